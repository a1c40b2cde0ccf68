// The map's background layer: coastline, auto-trace grid, whole tracks within the replay period,
// scale bar, and the marks and lines with their lay lines and labels. Draws onto any QPainter.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <string>

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

    // Time marks: every shown boat's position at each whole minute of the replay period, as
    // small circles filled with the minute's colour (red, white, blue, yellow, green, black,
    // again from red) and outlined in the boat's colour.
    void drawTimeMarks(QPainter& p, RaceScene& scene);
    static QColor timeMarkColour(int minuteIndex);

    // Parts, usable on their own (the overview uses the coastline and tracks with its own view).
    // Coastline polylines; a segment is drawn when one of its ends lies strictly inside the box
    // of width x height pixels.
    static void drawCoastline(QPainter& p, const CoastPoints& coast, const MapView& view,
                              const QColor& ink, int penWidth, double width, double height);
    static void drawGrid(QPainter& p, const MapView& view, double step);
    static void drawTracks(QPainter& p, const TrackStore& tracks, const DisplayOptions& options,
                           const MapView& view, double periodFrom, double periodTo, bool allBoats);
    static void drawScaleBar(QPainter& p, const MapView& view, const QColor& ink, double fontScale);

    // Label font: size in points (9, 12, 16) times the font scale, as pixels.
    static QFont labelFont(double points, double fontScale);
    // Lay-line rays from a screen point: the upwind set (from marks and line ends) and the
    // downwind set (from marks) for wind windDir.
    static void drawLayLines(QPainter& p, const MapView& view, QPointF from, double windDir,
                             double angleHalf, bool downwindSet);

    // The race screen's set-up: the coastline may be loaded again once. (A change of race is
    // also noticed by itself, from the race file name and the race area's centre.)
    void resetForRace() {
        coastTriedFor.clear();
        hasCoastCentre = false;
    }

    // The sample range [first, last] of boat b drawn for the replay period.
    static void trackRange(const TrackStore& tracks, int boat, double periodFrom, double periodTo,
                           int& first, int& last);

    // The centre of the last coastline drawing (cleared when auto trace goes off).
    bool hasCoastCentre = false;
    std::string coastTriedFor;  // the race whose coastline load was tried (empty: none)
    double coastCentreLat = 0, coastCentreLon = 0;
};

}  // namespace brisko
