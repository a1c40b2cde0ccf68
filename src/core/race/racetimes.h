// When a race is: its start and finish, the replay window around them and the first and last
// fixes of the logs, as whole seconds of local race time, and the hours added to GPS time. Kept
// as numbers; the race file, the windows and the tools format them where they show or write them.
// The track readers take these times alone, not the whole race definition.
#pragma once

#include <cmath>
#include <optional>

#include "util/datetime.h"

namespace brisko {

using RaceTime = std::optional<CivilSeconds>;  // nullopt: not given and not yet settled

struct RaceTimes {
    RaceTime RaceStart;  // the gun: from the race file, else settled by the first fix
    RaceTime RaceEnd;    // the finish: from the race file, else settled by the last fix kept
    RaceTime ViewStart;  // RaceStart - (PreStartSeconds + 30) s
    RaceTime ViewEnd;    // RaceEnd
    RaceTime FirstFix, LastFix;  // set by the track readers from the logs
    int TimeDiff = 0;            // hours added to GPS time
};

// Whole seconds from one time to another; 0 when either is not set.
inline double secondsBetween(const RaceTime& from, const RaceTime& to) {
    return from && to ? static_cast<double>(*to - *from) : 0.0;
}

// The nautical time zone of a longitude in minutes of arc (east positive): whole hours, one
// for every 15 degrees, rounded to the nearest. The hours to add to GPS time where no race file
// says otherwise.
inline int nauticalTimeZone(double lonMinutes) {
    constexpr double kMinutesPerHourOfLongitude = 15 * 60;
    return static_cast<int>(std::floor(lonMinutes / kMinutesPerHourOfLongitude + 0.5));
}

// "yyyy/mm/dd hh:mm:ss", or empty when the time is not set.
inline std::string formatRaceTime(const RaceTime& t) {
    return t ? formatDateTime(*t) : std::string();
}

}  // namespace brisko
