// The frame renderer: after the race session has advanced the frame, lays the boats out on the
// map, draws the short wakes and names into the kept map picture, and paints the moving layer
// (boat hulls and sails, focus rings, comparison lines). It reads the scene and changes nothing
// in it. Exposes the clock texts and per-boat panel values for the window's
// widgets; the start flags and the finishing list are widgets of their own (StartFlag,
// FinishList) that follow the frame state.
#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPolygonF>
#include <QString>

#include "ui/display/racescene.h"

class QPainter;

namespace brisko {

// One boat's row in the boat panel after a frame.
struct BoatPanelValues {
    bool speedChanged = false;  // the speed text to be rewritten
    QString speedText;          // "##.#0"
    QString twaText;            // "##0"
    double barLength = 0;       // pixels, 0 when the boat is not shown
};

// What the window acts on after a frame.
struct FrameResult {
    bool anyBoatInView = false;  // a boat lies inside the map box (or the map is not shown)
};

class FrameRenderer {
public:
    // Hull and sail polygons of a boat symbol in a box of side s centred at `centre`.
    static QPolygonF hullPolygon(QPointF centre, double s, double screenHeading, bool smallBoat);
    static QPolygonF sailPolygon(QPointF centre, double s, double screenHeading, double heading,
                                 double windDir, bool smallBoat);
    // Symbol side for a boat length at a scale; sets realSize false when enlarged.
    static double symbolSize(double boatLength, double pxPerMetre, bool enlarge, double minEnlarged,
                             bool& realSize);

    // One frame of the scene as the session advanced it: symbol places and panel values, then
    // the wakes and names into `kept` (the map box's picture).
    FrameResult drawFrame(const RaceScene& scene, QImage& kept);
    // A new race: no speed shown yet.
    void resetForRace();

    // The moving layer for the last frame, painted over the kept picture.
    void drawMovingLayer(QPainter& p, const RaceScene& scene) const;
    // Draws one boat symbol (focus ring, hull, sail).
    // The symbol box is transparent, so that lines and labels under a boat stay visible.
    static void drawBoat(QPainter& p, QPointF centre, double s, double heading, double viewRotation,
                         double windDir, bool smallBoat, const QColor& colour, bool focusRing);
    // Text in a colour with a one-pixel halo that sets it off from any sea: white around dark
    // colours, black around light ones. (x, y) is the baseline's start.
    static void drawHaloText(QPainter& p, QPointF at, const QString& text, const QColor& colour);
    // A boat's label: its name and its speed in knots in brackets, "Name (5.25)".
    static QString boatLabel(const std::string& name, double speed);
    // The shown boat whose symbol covers map box pixel (x, y) in the last frame, 0 when none
    // (the last drawn wins, as it lies on top).
    int boatAt(double x, double y) const;
    // The finishing list picture (its height is 14 x count + 5) and its width.
    static double finishListWidth(const RaceScene& scene);
    // The right edge of the coloured name boxes: wide enough for the longest name listed.
    static double finishNameRight(const RaceScene& scene);
    static void drawFinishList(QPainter& p, const RaceScene& scene, QPointF topLeft);

    // Window texts after a frame.
    QString clockText() const { return clockText_; }
    QColor clockColour() const { return clockColour_; }
    bool countdownVisible() const { return countdownVisible_; }
    QString countdownText() const { return countdownText_; }
    QColor countdownColour() const { return countdownColour_; }
    QString timeOfDayText() const { return timeOfDay_; }  // empty: unchanged
    bool realSize() const { return realSize_; }           // "Real Size" vs "Enlarged"
    const BoatPanelValues& panel(int boat) const { return panel_[boatIndex(boat)]; }
    // The time bar's cursor: y = 30 + pxPerSecond x (raceSeconds - RaceTime).
    static double timeBarCursorY(double raceTime, double pxPerSecond, double raceSeconds);

    // Symbol geometry of the last frame, per boat (1-based): centre and side, for hit tests.
    QPointF boatCentre(int boat) const { return centre_[boatIndex(boat)]; }
    double boatSize(int boat) const { return size_[boatIndex(boat)]; }

private:
    static int boatIndex(int b) { return (b >= 1 && b <= kMaxBoats) ? b : 0; }
    QString clockText_, countdownText_, timeOfDay_;
    QColor clockColour_, countdownColour_;
    bool countdownVisible_ = false;
    bool realSize_ = true;
    std::array<BoatPanelValues, kMaxBoats + 1> panel_{};
    std::array<double, kMaxBoats + 1> shownSpeed_{};  // speed last written to the panel
    std::array<QPointF, kMaxBoats + 1> centre_{};
    std::array<double, kMaxBoats + 1> size_{};
};

}  // namespace brisko
