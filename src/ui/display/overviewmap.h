// The overview map: every boat's whole track and the coastline over the whole race area,
// with one dot per boat at its current position, or at the time the time bar previews.
#pragma once

#include <QColor>
#include <QPointF>

#include "display/framelayout.h"
#include "ui/display/racescene.h"

class QPainter;

namespace brisko {

class OverviewMap {
public:
    static constexpr double kDotHalf = 2;  // dot drawn 2 pixels to each side
    static constexpr double kDotSize = 7;  // OverviewDotSize

    // The overview's view: the map's rotation, centred on the race area, whole area in the box.
    static MapView overviewView(const MapView& map, double height, double width);
    // The same on the area the fleet sailed: the boats that finished when any did, so that a
    // boat that retired and sailed far away does not shrink the fleet to a dot.
    static MapView fleetView(const RaceScene& scene, double height, double width);
    static OverviewState overviewState(const MapView& map, double height, double width);

    // Draws the background of the overview (tracks of all boats, coastline).
    void draw(QPainter& p, const RaceScene& scene, double width, double height);
    // Draws the dots of the visible boats at their frame positions.
    void drawDots(QPainter& p, const RaceScene& scene) const;
    // Draws the dots of the time bar's preview: each boat where the layout found it at the
    // previewed time.
    void drawPreview(QPainter& p, const RaceScene& scene, const FrameLayout& layout) const;
    // Dot position of a boat at a position (overview pixels).
    QPointF dotPosition(GeoPoint pos) const;

    const MapView& view() const { return view_; }

private:
    MapView view_;
};

}  // namespace brisko
