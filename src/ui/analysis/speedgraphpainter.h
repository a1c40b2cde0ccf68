// The speed and course graph: every ticked boat's magnetic course and speed against race time
// beside the wind's direction and speed, with the grids and their labels. Also the wind
// strip chart under the wind panel and the time bar's upwind/downwind strip. Painters only:
// const state in, pixels out, on any painter.
#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

#include "analysis/coach.h"
#include "analysis/speedgraph.h"
#include "display/displayoptions.h"
#include "display/playbackclock.h"
#include "race/racedefinition.h"
#include "track/trackstore.h"
#include "track/windfile.h"

class QPainter;

namespace brisko {

struct SpeedGraphInput {
    const RaceDefinition* race = nullptr;
    const TrackStore* tracks = nullptr;
    const WindStore* wind = nullptr;
    const DisplayOptions* options = nullptr;
    int boats = 0;
    bool hasWind = false;  // the race has wind data (a wind file, or points being entered)
    // The replay period; times outside it are shaded when the user chose one.
    double periodFrom = 0, periodTo = 0;
    bool periodLimited = false;
    QFont font;
    // The coach's analyses: the shown boats' manoeuvres marked on the time axis, and the wind
    // estimated from the fleet drawn apart from measured wind, labelled `estimatedLabel`.
    const CoachAnalysis* coach = nullptr;
    QString estimatedLabel;
};

// The estimated wind's line: dashed, in a colour no measured wind is drawn in.
inline const QColor kEstimatedWindColour(230, 110, 0);
constexpr double kManoeuvreTickSize = 7;  // pixels across a manoeuvre's mark on the time axis

// The graph's scale for a picture of the given height and the race's times.
SpeedGraphScale speedGraphScaleFor(const RaceDefinition& race, double height);

void drawSpeedGraph(QPainter& p, const SpeedGraphInput& in, const SpeedGraphScale& s, QSize size);

// The wind strip chart under the wind panel: a square of the given width.
void drawWindStrip(QPainter& p, const WindStore& wind, const RaceDefinition& race, int width,
                   const QFont& font);

// The time bar's strip: boat 1's upwind (grey) and downwind (white) phases against the mean
// wind, and the start and finish lines.
void drawTimeBarStrip(QPainter& p, const TrackStore& tracks, const RaceDefinition& race,
                      const TimeBarScale& scale, QSize size);

}  // namespace brisko
