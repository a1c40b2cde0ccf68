// The frame renderer: paints the frame the race session laid out. The short wakes and names go
// into the kept map picture, the moving layer (boat hulls and sails, focus rings, comparison
// lines) over it. It works nothing out and changes nothing: the boats' places and sizes come
// from the frame layout, the colours, focus and orientation from the scene. The start flags and
// the finishing list are widgets of their own (StartFlag, FinishList) that follow the frame
// state.
#pragma once

#include <QColor>
#include <QPointF>
#include <QPolygonF>
#include <QString>

#include "analysis/coachmarks.h"
#include "display/framelayout.h"
#include "ui/display/racescene.h"

class QPainter;

namespace brisko {

class FrameRenderer {
public:
    // Hull and sail polygons of a boat symbol in a box of side s centred at `centre`.
    static QPolygonF hullPolygon(QPointF centre, double s, double screenHeading, bool smallBoat);
    static QPolygonF sailPolygon(QPointF centre, double s, double screenHeading, double heading,
                                 double windDir, bool smallBoat);

    // The short wakes and the names of a laid-out frame, painted into the kept map picture
    // (they stay there until the background is drawn again). Nothing unless the chart is shown.
    void paint(QPainter& p, const RaceScene& scene, const FrameLayout& layout) const;
    // The moving layer of a laid-out frame, painted over the kept picture.
    void paintMovingLayer(QPainter& p, const RaceScene& scene, const FrameLayout& layout) const;
    // Draws one boat symbol (focus ring, hull, sail).
    // The symbol box is transparent, so that lines and labels under a boat stay visible.
    static void drawBoat(QPainter& p, QPointF centre, double s, double heading, double viewRotation,
                         double windDir, bool smallBoat, const QColor& colour, bool focusRing);
    // A tack (a triangle pointing up), a gybe (one pointing down) or a penalty turn (a ring) in
    // the boat's colour with a dark outline; a doubtful one is drawn hollow. `size` across.
    static void drawManoeuvreMark(QPainter& p, const ManoeuvreMark& m, const QColor& colour,
                                  double size = kManoeuvreMarkSize);
    // The focused boats' manoeuvres laid out on the map box, under the moving layer. Nothing
    // unless the chart is shown.
    void paintManoeuvres(QPainter& p, const RaceScene& scene,
                         const std::vector<ManoeuvreMark>& marks) const;
    // Text in a colour with a one-pixel halo that sets it off from any sea: white around dark
    // colours, black around light ones. (x, y) is the baseline's start.
    static void drawHaloText(QPainter& p, QPointF at, const QString& text, const QColor& colour);
    // A boat's label: its name and its speed in knots in brackets, "Name (5.25)".
    static QString boatLabel(const std::string& name, double speed);
    // The finishing list picture (its height is 14 x count + 5) and its width.
    static double finishListWidth(const RaceScene& scene);
    // The right edge of the coloured name boxes: wide enough for the longest name listed.
    static double finishNameRight(const RaceScene& scene);
    static void drawFinishList(QPainter& p, const RaceScene& scene, QPointF topLeft);

    // The time bar's cursor: y = 30 + pxPerSecond x (raceSeconds - RaceTime).
    static double timeBarCursorY(double raceTime, double pxPerSecond, double raceSeconds);
};

}  // namespace brisko
