// The race screen's geometry; see racelayout.h.
#include "ui/race/racelayout.h"

#include <algorithm>
#include <cmath>

namespace brisko {

int RaceLayout::sidePanelWidth(double fontScale) {
    const double s = fontScale > 0 ? fontScale : 1.0;
    return static_cast<int>(std::lround(kSidePanelBase * s));
}

int RaceLayout::mapSquare(QSize inner, int sidePanelWidth) {
    const int byWidth = inner.width() - sidePanelWidth - kPanelGap;
    const int byHeight = inner.height() - 2 * kMargin;
    return std::max(kMinMapSize, std::min(byWidth, byHeight));
}

RaceLayout RaceLayout::compute(QSize inner, double fontScale, QSize timePanelSize) {
    RaceLayout l;
    const int panelWidth = sidePanelWidth(fontScale);
    l.mapSize = mapSquare(inner, panelWidth);
    l.map = QRect(kMargin, kMargin, l.mapSize, l.mapSize);
    l.timeBar = QRect(l.map.right() + 1 + kMargin, kMargin, kTimeBarWidth, l.mapSize);
    const int panelLeft = l.mapSize + kPanelGap;
    l.sidePanel =
        QRect(panelLeft, kMargin, std::max(panelWidth, inner.width() - panelLeft - kMargin),
              std::max(l.mapSize, inner.height() - 2 * kMargin));
    l.timePanel = QRect(QPoint(l.map.left() + kMargin, l.map.top() + kMargin), timePanelSize);
    return l;
}

QSize RaceLayout::minimumInner(double fontScale, QSize sidePanelMinimum) {
    const int panelWidth = std::max(sidePanelWidth(fontScale), sidePanelMinimum.width());
    return QSize(kMinMapSize + kPanelGap + panelWidth + kMargin,
                 std::max(kMinMapSize, sidePanelMinimum.height()) + 2 * kMargin);
}

}  // namespace brisko
