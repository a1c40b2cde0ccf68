// The texts and colours of the leg analysis view's cells and chart scales: what a cell prints
// (nothing where there is no value, never a NaN or an infinity) and the grid labels.
#pragma once

#include <string>

#include "analysis/legtables.h"
#include "display/displayoptions.h"

namespace brisko {

constexpr Rgb kTitleRed{192, 0, 0};  // titles and best values

// A cell's text: the shortest decimal of its value; empty without a (finite) value.
std::string cellText(const Cell& v);
// Dark red for the best value of the column, black otherwise.
Rgb cumCellColour(const LegTable& t, int b, int k);
Rgb legCellColour(const LegTable& t, int b, int k);

// The label of grid line t of a chart: U x t without the binary fraction's tail (0.3, not
// 0.30000000000000004).
std::string chartGridLabel(const ChartScale& s, int t);

// The titles of the table kinds in the user's language (english: Lang > 0).
std::string cumTableTitle(TableKind kind, bool english);
std::string legTableTitle(TableKind kind, bool english);
std::string cumChartTitle(TableKind kind, bool english);
std::string legChartTitle(TableKind kind, bool english);

}  // namespace brisko
