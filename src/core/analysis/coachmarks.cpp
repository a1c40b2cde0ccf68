// The focused boats' manoeuvres on the map box; see coachmarks.h.
#include "analysis/coachmarks.h"

#include <algorithm>
#include <cmath>

#include "analysis/coachtables.h"

namespace brisko {

std::vector<ManoeuvreMark> layOutManoeuvreMarks(const CoachAnalysis& a, const RaceDefinition& race,
                                                const MapView& view, const DisplayOptions& opt,
                                                bool english) {
    std::vector<ManoeuvreMark> marks;
    if (!opt.Manoeuvres || opt.ViewMode != ViewModeKind::Map) return marks;
    const double half = kManoeuvreMarkSize / 2;
    const int n = std::min({static_cast<int>(a.manoeuvres.size()) - 1, race.BoatCount, kMaxBoats});
    for (int k = 1; k <= n; ++k) {
        if (!opt.focused(k) || !opt.shown(k)) continue;
        for (const Manoeuvre& m : a.manoeuvres[k]) {
            if (!std::isfinite(m.lat) || !std::isfinite(m.lon)) continue;
            const ScreenPoint sp = view.toScreen(m.lat, m.lon);
            // Only what the map box shows, a symbol cut by its edge included.
            if (!(sp.x >= -half && sp.x <= view.MapSize + half && sp.y >= -half &&
                  sp.y <= view.MapSize + half))
                continue;
            marks.push_back({k, m.kind, m.confident, sp.x, sp.y,
                             manoeuvreHintText(race.Boats[k].BoatName, m, english)});
        }
    }
    return marks;
}

int manoeuvreMarkAt(const std::vector<ManoeuvreMark>& marks, double x, double y) {
    const double half = kManoeuvreMarkSize / 2;
    for (int i = static_cast<int>(marks.size()) - 1; i >= 0; --i) {
        const ManoeuvreMark& m = marks[static_cast<size_t>(i)];
        if (std::fabs(x - m.x) <= half && std::fabs(y - m.y) <= half) return i;
    }
    return -1;
}

}  // namespace brisko
