// The race screen's geometry: the square map box at (5, 5) as large as the window allows beside
// the side panel, the time bar right of it and the side panel at the right edge. Recomputed
// whenever the window is resized; the panel's width follows the font scale.
#pragma once

#include <QRect>
#include <QSize>

namespace brisko {

struct RaceLayout {
    static constexpr int kMargin = 5;
    static constexpr int kPanelGap = 45;        // map margin, gap, time bar and gap together
    static constexpr int kSidePanelBase = 350;  // side panel width at font scale 1
    static constexpr int kMinMapSize = 300;
    static constexpr int kTimeBarWidth = 30;

    int mapSize = kMinMapSize;
    QRect map;  // the square map box
    QRect timeBar;
    QRect sidePanel;
    QRect timePanel;  // at its start place over the map's top left corner

    // The map square: the smaller of (inner width - side panel width - 45) and (inner height
    // - 10), never below kMinMapSize.
    static int mapSquare(QSize inner, int sidePanelWidth);
    static int sidePanelWidth(double fontScale);
    static RaceLayout compute(QSize inner, double fontScale, QSize timePanelSize);
    // The smallest window at which everything stays readable: a map of at least kMinMapSize
    // beside the side panel, and the side panel as tall as its controls need.
    static QSize minimumInner(double fontScale, QSize sidePanelMinimum);
};

}  // namespace brisko
