// The arithmetic of the speed and course graph, the wind strip chart and the time bar's
// upwind/downwind strip: where a time, a direction or a speed lies, the grid labels and
// colours, and what a click on the direction panel means. Drawn by the analysis views.
#pragma once

#include <string>
#include <vector>

#include "analysis/coach.h"
#include "display/displayoptions.h"
#include "track/windfile.h"

namespace brisko {

// Fixed layout of the graph picture, in pixels.
constexpr double kGraphMargin = 30;        // top margin, and left edge of the direction panel
constexpr double kGraphBottomMargin = 40;  // panels end this far above the bottom
constexpr double kDirPanelLeft = 30, kDirPanelRight = 390;
constexpr double kSpeedPanelLeft = 400, kSpeedPanelRight = 700;
constexpr double kBoatSpeedPx = 30;    // pixels per knot of boat speed (0..10 knots)
constexpr double kWindSpeedPx = 15;    // pixels per knot of wind speed (0..20 knots)
constexpr double kGraphWidth = 710;    // the picture's width that holds both panels
constexpr double kPreStartShown = 60;  // seconds before the start that are drawn

struct SpeedGraphScale {
    double height = 0;           // H, pixels
    double RaceSeconds = 0;      // top of the time axis
    double RaceSecondsPlus = 0;  // seconds the axis covers
    double PxPerSecond = 0;      // 0 when the picture is too short or the race has no length
    double DirPanelStart = 0;    // direction at the panel's left edge, 0..360

    double yForTime(double t) const { return kGraphMargin + PxPerSecond * (RaceSeconds - t); }
    // x of a direction, brought into the panel (30..390) by adding or subtracting 360.
    double xForDirection(double d) const;
    // The direction under x, brought into 0..360.
    double directionAtX(double x) const;
    // The whole second under y (0 when the scale is not usable).
    double timeAtY(double y) const;
    double panelBottom() const { return height - kGraphBottomMargin; }
};

SpeedGraphScale speedGraphScale(double height, double raceSeconds, double raceSecondsPlus,
                                double meanWindDir);

// A manoeuvre of a shown boat marked on the graph's time axis.
struct ManoeuvreTick {
    double y = 0;  // pixels, the manoeuvre's time
    int boat = 0;
    ManoeuvreKind kind = ManoeuvreKind::Tack;
};
// The shown boats' (1..boats) manoeuvres at the times the graph draws (from a minute before the
// start to the finish), in boat and time order.
std::vector<ManoeuvreTick> manoeuvreTicks(const CoachAnalysis& analysis,
                                          const DisplayOptions& options, int boats,
                                          const SpeedGraphScale& scale);

// An estimated wind's magnetic direction on the direction panel, as runs of points: a run
// breaks where the line would cross the panel from one edge to the other. The samples are
// true; magnetic = true - variation (west negative). Only the times the graph draws.
struct GraphPoint {
    double x = 0, y = 0;
};
std::vector<std::vector<GraphPoint>> windDirectionRuns(const WindInForce& wind,
                                                       double magneticVariation,
                                                       const SpeedGraphScale& scale);

// The label of the m-th five-minute line: "0:05", "1:30".
std::string graphTimeLabel(int m);
// Grey, pale red every 10 minutes, orange every 30 and red on the hour.
Rgb graphTimeLineColour(int m);

// The strip chart of the wind's direction under the wind panel: its centre, span and scales.
struct WindStripScale {
    double centre = 0;  // direction at the chart's middle
    double span = 30;   // degrees across 80 % of the chart, at least 30
    double xScale = 0;  // pixels per degree
    double yScale = 0;  // pixels per second
    double width = 0;

    double xForDirection(double d) const;
};
WindStripScale windStripScale(const WindStore& wind, double width, double height,
                              double raceSecondsPlus);

// Whether a boat on this course sails downwind of the mean wind (more than 90 degrees off it).
bool sailingDownwind(double meanWindDir, double course);

}  // namespace brisko
