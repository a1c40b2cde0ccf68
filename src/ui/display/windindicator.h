// The wind panel: compass circle, north arrow turned with the map, and the red
// triangle on the side the wind comes from, at the wind in force that the race session keeps;
// also gives the texts for the direction and speed boxes.
#pragma once

#include <QColor>
#include <QPolygonF>
#include <QString>

#include "ui/display/racescene.h"

class QPainter;

namespace brisko {

class WindIndicator {
public:
    static constexpr double kRadius = 20;

    // Draws the indicator into a panel of the given width. The background is the panel's colour.
    void draw(QPainter& p, const RaceScene& scene, double panelWidth, const QColor& background);

    // The red triangle around centre (cx, cy) for a wind from windDir with the map turned by
    // viewRotation.
    static QPolygonF windTriangle(double cx, double cy, double windDir, double viewRotation);

    QString directionText() const { return dirText_; }  // file direction, whole degrees
    QString speedText() const { return speedText_; }    // one decimal

private:
    static int roundToIntDeg(double deg);  // whole degrees, 359.6 shows 0
    QString dirText_, speedText_;
};

}  // namespace brisko
