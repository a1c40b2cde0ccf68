// The map box widget: kept picture plus moving layer (see mappicture.h).
#include "ui/display/mappicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "display/framestate.h"
#include "ui/display/finishlist.h"
#include "ui/display/startflag.h"

namespace brisko {

MapPicture::MapPicture(QWidget* parent) : QWidget(parent) {
    setObjectName("mapPicture");
    setMouseTracking(true);
    // Not marked opaque, though it paints every pixel: when a flag moves, Qt repaints an opaque
    // parent of the moved widget on its own, as if nothing lay over it, and the time panel over
    // the map's corner would lose its border and background until it next changed size.
    bluePeter_ = new StartFlag(StartFlag::Kind::BlueP, this);
    sevenFlag_ = new StartFlag(StartFlag::Kind::Seven, this);
    finishList_ = new FinishList(this);
    setMapSize(1);
}

void MapPicture::followFrame(const FrameState& frame, const RaceScene* scene,
                             const QRect& keepClear) {
    if (!scene) {
        bluePeter_->hide();
        sevenFlag_->hide();
        finishList_->follow(frame, nullptr, mapSize());
        return;
    }
    bluePeter_->follow(frame.BlueP, mapSize());
    sevenFlag_->follow(frame.Seven, mapSize());
    finishList_->follow(frame, scene, mapSize(), keepClear);
}

void MapPicture::setMapSize(int size) {
    size = std::max(1, size);
    if (kept_.width() != size || kept_.height() != size) {
        kept_ = QImage(size, size, QImage::Format_RGB32);
        kept_.fill(sea_);
    }
    setFixedSize(size, size);
    update();
}

void MapPicture::clear(const QColor& sea) {
    sea_ = sea;
    kept_.fill(sea_);
    update();
}

QImage MapPicture::composed() const {
    QImage out = kept_.copy();
    QPainter p(&out);
    if (overlay_) overlay_(p);
    p.end();
    for (QWidget* child : {static_cast<QWidget*>(bluePeter_), static_cast<QWidget*>(sevenFlag_),
                           static_cast<QWidget*>(finishList_)})
        if (!child->isHidden()) child->render(&out, child->pos(), QRegion(), QWidget::DrawChildren);
    return out;
}

void MapPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, kept_);
    if (overlay_) overlay_(p);
}

void MapPicture::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

void MapPicture::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->buttons(), e->modifiers(), e->position().x(), e->position().y());
}

void MapPicture::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

void MapPicture::wheelEvent(QWheelEvent* e) {
    emit wheel(e->position().x(), e->position().y(), e->angleDelta().y());
    e->accept();
}

}  // namespace brisko
