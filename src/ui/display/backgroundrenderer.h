// The map's background layer: coastline, auto-trace grid, whole tracks within the replay period,
// scale bar, and the marks and lines with their lay lines and labels. Draws onto any QPainter.
#pragma once

#include <QColor>

#include "ui/display/racescene.h"

class QPainter;

namespace brisko {

QColor toQColor(Rgb c);

class BackgroundRenderer {
public:
    // Clears to the sea colour, applies the zoom floor, recomputes the view, then draws the
    // coastline, grid, whole tracks and scale bar. May load the coastline through the scene.
    void drawBackground(QPainter& p, RaceScene& scene);
    // Marks, lines, lay lines, labels and the elapsed time above the last rounded mark.
    void drawMarksAndLines(QPainter& p, RaceScene& scene);

    // Parts, usable on their own (the overview uses the coastline and tracks with its own view).
    static void drawCoastline(QPainter& p, const CoastPoints& coast, const MapView& view,
                              const QColor& ink, int penWidth);
    static void drawGrid(QPainter& p, const MapView& view, double step);
    static void drawTracks(QPainter& p, const TrackStore& tracks, const DisplayOptions& options,
                           const MapView& view, double periodFrom, double periodTo, bool allBoats);
    static void drawScaleBar(QPainter& p, const MapView& view, const QColor& ink, double fontScale);

    // The sample range [first, last] of boat b drawn for the replay period.
    static void trackRange(const TrackStore& tracks, int boat, double periodFrom, double periodTo,
                           int& first, int& last);

    // The centre of the last coastline drawing (cleared when auto trace goes off).
    bool hasCoastCentre = false;
    double coastCentreLat = 0, coastCentreLon = 0;
};

}  // namespace brisko
