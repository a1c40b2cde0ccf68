// The numbers of the leg analysis view: the cumulative and by-leg tables of rounding times,
// sailed distances and speeds, their column extremes, the difference charts' scales and
// points, and the factor analysis. The analysis view draws them; brisko-analyse prints them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "race/racedefinition.h"
#include "track/rounding.h"

namespace brisko {

enum class TableKind { Time, Dist, Speed, Factor };

// Start values of the column extremes and spreads; they stay where nothing replaced them.
constexpr double kColumnMinStart = 99999;
constexpr double kColumnMaxStart = -10;
constexpr double kSpreadStart = -100;
// Pixel geometry of the tables and charts that the numbers depend on.
constexpr double kTableWidth = 260;       // pixels shared by the columns
constexpr double kMaxColumnPitch = 45;    // pixels
constexpr double kChartPlotHeight = 275;  // pixels the chart range spans
constexpr double kChartBottomLine = 300;  // y of the best boat in the time and distance charts
constexpr double kChartTopLine = 25;      // y of the fastest boat in the speed charts
constexpr double kNoPointY = -100;        // y the speed chart gives a boat without a value
// Factor-analysis ratios are drawn within +-20 %; a bar is 4 column pitches per 100 %.
constexpr double kRatioClamp = 0.2;
constexpr double kBarPitchesPerUnit = 4;

// The column pitch of the tables: 260 pixels shared by the columns, at most 45.
double columnPitch(int columns);

// The vertical scale of a difference chart: the spread rounded up to its leading digit plus
// one (347 gives unit 100, 4 steps, range 400) and the pixels per unit. A spread of 0 or less
// (one boat, or all boats equal) gives a range of one unit.
struct ChartScale {
    double unit = 1;                      // U, the grid step
    int steps = 1;                        // N, grid lines 0..N
    double range = 1;                     // R = U x N
    double pxPerUnit = kChartPlotHeight;  // P = 275 / R
};
ChartScale chartScale(double spread);

using Cell = std::optional<double>;
// [boat][entry], both from 1; element 0 of each is unused.
using CellGrid = std::vector<std::vector<Cell>>;

// Table kinds Time, Dist and Speed. A cell without a value is nullopt; the time and distance
// tables show 0 for a boat that did not pass (they print what is stored).
struct LegTable {
    TableKind kind = TableKind::Time;
    int columns = 0;  // course entries taking part
    int boats = 0;

    CellGrid cum;  // v(b, k)
    CellGrid leg;  // w(b, k), k = 2..columns
    // Per entry 0..columns; element 0 (and leg element 1) keep the start values.
    std::vector<double> CumMin, CumMax, LegMin, LegMax;
    double CumSpread = kSpreadStart, LegSpread = kSpreadStart;
    ChartScale cumScale, legScale;

    // Chart points: the y (pixels of the chart picture) of boat b at column k, nullopt where
    // the boat has no point; the Joined grids say whether a segment runs from k - 1 to k.
    CellGrid cumY, legY;
    std::vector<std::vector<bool>> cumJoined, legJoined;

    // Best values print in dark red: the smallest (time, distance) or largest (speed).
    bool cumBest(int b, int k) const;
    bool legBest(int b, int k) const;
};

LegTable buildLegTable(TableKind kind, const RoundingResults& r);

// Factor analysis: per boat and column, the time, distance and speed ratios against the
// column's reference boat (the fastest; on a tie the first in the list), clamped to +-0.2.
// Column 1 is the whole race to the last entry, column k >= 2 the leg ending at entry k.
struct FactorRatios {
    std::optional<double> time, dist, speed;
};
struct FactorTable {
    int columns = 0;
    int boats = 0;
    std::vector<int> referenceBoat;  // per column; 0 = no boat has a positive time
    std::vector<std::vector<std::optional<FactorRatios>>> cells;  // [boat][column]
};

FactorTable buildFactorTable(const RoundingResults& r);

// Length in pixels of a factor bar for a clamped ratio (negative: to the left).
double factorBarLength(double ratio, double pitch);

// The table of one kind as CSV (RFC 4180 quoting), one row per boat in list order, every number
// in a cell of its own and an empty cell where there is no value (a mark the boat did not round
// included). Time, dist and speed give the cumulative table under "Boat" and the course entries;
// factor gives three cells per factor column, "TTL" (the whole race) and then the course entries
// from the second on: "<column> time", "<column> dist" and "<column> speed".
std::string legTableCsv(TableKind kind, const RaceDefinition& def, const RoundingResults& r);

// One CSV cell, quoted when it holds a comma, a quote or a line break (quotes doubled).
std::string csvCell(const std::string& text);

}  // namespace brisko
