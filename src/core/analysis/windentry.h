// Wind data entered by clicking directions onto the speed graph: each click puts a point into
// the wind store at once, sorted in by time, with the sentinels that hold the first direction
// from five minutes before the start and the last one up to the finish.
#pragma once

#include <optional>
#include <string>

#include "track/windfile.h"

namespace brisko {

constexpr double kWindEntryLeadSeconds = -300;  // the first sentinel's time

// Puts a point (seconds from the start, degrees magnetic) into the store. `entryCount` is the
// index of the last entered point (0 before the first click; entered points occupy 2, 3, ...);
// the new count is returned. Entries 2..count are kept in time order (equal times keep the order
// they were entered in); entry 1 and entry count + 1 are the sentinels. Entered points have no
// measured speed and are stored with 0 knots.
int enterWindPoint(WindStore& store, int entryCount, double sec, double dir, double raceSeconds);

// The mean wind direction typed into its box: the leading number; below 0 or above 360 (or no
// number at all) gives 0.
double typedWindDirection(const std::string& text);

}  // namespace brisko
