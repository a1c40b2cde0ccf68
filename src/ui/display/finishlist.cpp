// The finishing list picture (see finishlist.h).
#include "ui/display/finishlist.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/display/framerenderer.h"
#include "ui/display/racescene.h"

namespace brisko {

FinishList::FinishList(QWidget* mapBox) : QWidget(mapBox) {
    setObjectName(QStringLiteral("finishList"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    move(kRightMargin, kTop);
    hide();
}

void FinishList::follow(const FrameState& frame, const RaceScene* scene, int mapSize,
                        const QRect& keepClear) {
    const bool shown = scene && scene->frame && frame.FinishListShown && frame.FinishCount > 0;
    if (!shown) {
        if (!isHidden()) hide();
        shownCount_ = 0;
        order_.fill(0);
        return;
    }
    // Redrawn when the boats listed change, not only their number: a jump can swap them.
    if (frame.FinishCount != shownCount_ || scene != scene_ || frame.FinishOrder != order_) {
        scene_ = scene;
        shownCount_ = frame.FinishCount;
        order_ = frame.FinishOrder;
        const int width = static_cast<int>(std::ceil(FrameRenderer::finishListWidth(*scene)));
        resize(width, heightFor(shownCount_));
        update();
    }
    QPoint at(std::max(0, mapSize - width() - kRightMargin), kTop);
    if (QRect(at, size()).intersects(keepClear)) at.setY(keepClear.bottom() + 1 + kTop);
    if (pos() != at) move(at);
    if (isHidden()) show();
}

void FinishList::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (!scene_ || shownCount_ == 0) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    FrameRenderer::drawFinishList(p, *scene_, QPointF(0, 0));
}

}  // namespace brisko
