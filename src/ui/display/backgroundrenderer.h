// The map's background layer: coastline, auto-trace grid, whole tracks within the replay period,
// scale bar, and the marks and lines with their lay lines and labels. Draws onto any QPainter
// from a const scene whose view the caller has brought up to date (zoom floor, recompute).
#pragma once

#include "ui/widgets/colour.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <string>

#include "ui/display/racescene.h"

class QPainter;

namespace brisko {


class BackgroundRenderer {
public:
    // Clears to the sea colour, then draws the coastline, grid, whole tracks and scale bar.
    static void drawBackground(QPainter& p, const RaceScene& scene);
    // Marks, lines, lay lines, labels and the elapsed time above the last rounded mark.
    static void drawMarksAndLines(QPainter& p, const RaceScene& scene);

    // Time marks: every shown boat's position at each whole minute of the replay period, as
    // small circles filled with the minute's colour (red, white, blue, yellow, green, black,
    // again from red) and outlined in the boat's colour.
    static void drawTimeMarks(QPainter& p, const RaceScene& scene);
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
                             double angleHalf, bool downwindSet, const QColor& colour);
    // The lay lines' colour on a sea: lavender, or a darker blue on the light seas where
    // lavender would vanish.
    static QColor layLineColour(Rgb sea);

    // The sample range [first, last] of boat b drawn for the replay period.
    static void trackRange(const TrackStore& tracks, int boat, double periodFrom, double periodTo,
                           int& first, int& last);
};

}  // namespace brisko
