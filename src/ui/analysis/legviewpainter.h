// The data view's picture: the cumulative and by-leg tables of rounding times, sailed distances
// or speeds with their difference charts, or the factor analysis. Laid out from the fonts so
// that no text overlaps another, then painted from const state onto any painter.
#pragma once

#include <QFont>
#include <QSize>

#include "analysis/legtables.h"
#include "display/displayoptions.h"
#include "race/racedefinition.h"
#include "track/rounding.h"

class QPainter;

namespace brisko {

struct LegViewInput {
    const RaceDefinition* race = nullptr;
    const RoundingResults* roundings = nullptr;
    const DisplayOptions* options = nullptr;  // boat colours and the ticked boats
    int boats = 0;                            // rows
    TableKind kind = TableKind::Time;
    bool english = false;
    QFont font;
};

// Where things go. The pitches follow the fixed layout of the view (a column pitch of 260 pixels
// shared by the columns, at most 45) and widen only where a text would not fit.
struct LegViewLayout {
    int columns = 0;
    double colWidth = 0;     // column pitch
    double cellWidth = 0;    // the widest cell or header text
    double nameRight = 100;  // right edge of the boat name swatches
    double lineHeight = 0;
    double rowPitch = 18;
    double headerY = 65;                // top of the header row
    double legX0 = 0;                   // left edge of the by-leg table
    double chartTop = 0;                // top of the difference charts
    double cumAxis = 40, legAxis = 40;  // width left of each chart's plot for its grid labels
    double legChartLeft = 0;
    QSize size;  // the whole picture
};

// The picture is at least `minimum` large (the area it is shown in).
LegViewLayout layoutLegView(const LegViewInput& in, QSize minimum);
// Draws the picture for in.kind (clears it first, white).
void drawLegView(QPainter& p, const LegViewInput& in, const LegViewLayout& l);

}  // namespace brisko
