// The focused boats' tacks, gybes and penalty turns on the map box: where each symbol lies on
// the chart as it is drawn now and what the mouse over it tells. The race session lays them
// out with every frame; the renderer paints them and the mouse finds them.
#pragma once

#include <string>
#include <vector>

#include "analysis/coach.h"
#include "display/displayoptions.h"
#include "display/mapview.h"
#include "race/racedefinition.h"

namespace brisko {

constexpr double kManoeuvreMarkSize = 9;  // pixels across a symbol on the chart

struct ManoeuvreMark {
    int boat = 0;
    ManoeuvreKind kind = ManoeuvreKind::Tack;
    bool confident = true;
    double x = 0, y = 0;  // symbol centre, map box pixels
    std::string hint;     // what the mouse over it shows, in the user's language
};

// The manoeuvres of the boats focused and shown, in boat and time order, that lie on the map
// box; none unless the chart is shown and the options ask for them.
std::vector<ManoeuvreMark> layOutManoeuvreMarks(const CoachAnalysis& analysis,
                                                const RaceDefinition& race, const MapView& view,
                                                const DisplayOptions& options, bool english);

// The mark whose symbol covers map box pixel (x, y): its index, -1 when none (the last laid
// out wins, as it is painted on top).
int manoeuvreMarkAt(const std::vector<ManoeuvreMark>& marks, double x, double y);

}  // namespace brisko
