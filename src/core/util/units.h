// Units the whole program counts in: seconds of the clock, minutes of arc, nautical miles.
// Whole numbers where they are exact counts, so that they serve integer and floating arithmetic.
#pragma once

#include <cstdint>

namespace brisko {

constexpr std::int64_t kSecondsPerMinute = 60;
constexpr std::int64_t kSecondsPerHour = 3600;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr double kMinutesPerDegree = 60;
constexpr double kMetresPerNauticalMile = 1852;

}  // namespace brisko
