// The start-sequence flag pictures (see startflag.h).
#include "ui/display/startflag.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace brisko {

namespace {
constexpr int kSevenPixels = 12;  // height of the "7" on the class flag
const QColor kFlagBlue(0, 0, 160);
}  // namespace

StartFlag::StartFlag(Kind kind, QWidget* mapBox) : QWidget(mapBox), kind_(kind) {
    setObjectName(kind == Kind::BlueP ? QStringLiteral("bluePeterFlag")
                                      : QStringLiteral("sevenFlag"));
    setFixedSize(kWidth, kHeight);
    // The map's mouse (zoom, pan, measuring) works under the flags too.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    move(leftIn(mapBox ? mapBox->width() : kWidth), static_cast<int>(FlagState::kTop));
    hide();
}

void StartFlag::follow(const FlagState& state, int mapSize) {
    const double top = std::isfinite(state.top) ? state.top : FlagState::kTop;
    const QPoint at(leftIn(mapSize), static_cast<int>(std::lround(std::clamp(top, -1e6, 1e6))));
    if (pos() != at) move(at);
    if (isHidden() == state.shown) setVisible(state.shown);
}

void StartFlag::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r(0, 0, kWidth, kHeight);
    if (kind_ == Kind::BlueP) {
        // Blue with a white square in the middle.
        p.fillRect(r, kFlagBlue);
        p.fillRect(
            QRect(kWidth / 3, kHeight / 3, kWidth - 2 * (kWidth / 3), kHeight - 2 * (kHeight / 3)),
            Qt::white);
    } else {
        p.fillRect(r, Qt::white);
        QFont f = font();
        f.setPixelSize(kSevenPixels);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::black);
        p.drawText(r, Qt::AlignCenter, QStringLiteral("7"));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
}

}  // namespace brisko
