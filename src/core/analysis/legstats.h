// Each boat's legs (how far it sailed against the straight line, its speed, velocity made good
// to the wind and to the mark, its tacks and gybes) and the gaps to the first boat at every
// course entry. Part of the coach's analyses (analysis/coach.h).
#pragma once

#include <optional>
#include <vector>

#include "analysis/coach.h"

namespace brisko {

// A leg whose bearing lies within this many degrees of the wind axis is sailed upwind or
// downwind; any other is a reach.
constexpr double kWindAxisDegrees = 45;

// Upwind when the leg's bearing is within kWindAxisDegrees of where the wind comes from,
// downwind when within that of where it blows to, else a reach (also for a bearing that is
// not a number).
LegType legType(double legBearing, double windDir);

// The leg from course entry k - 1 to k (k >= 2) of boat b, with the boat's manoeuvres in time
// order; empty when the boat did not round both entries or the later rounding is not after the
// earlier, or when either course point is unknown.
std::optional<LegStats> analyseLeg(const TrackStore& store, const RoundingResults& roundings,
                                   const WindInForce& wind, int b, int k,
                                   const std::vector<Manoeuvre>& manoeuvres);

// Every leg of boat b: element k is the leg ending at entry k, k = 1..entryCount (element 0
// and the leg to entry 1 empty).
std::vector<std::optional<LegStats>> analyseLegs(const TrackStore& store,
                                                 const RoundingResults& roundings,
                                                 const WindInForce& wind, int b,
                                                 const std::vector<Manoeuvre>& manoeuvres);

// The gaps of boats 1..boats at every course entry: gaps[b][k], k = 1..entryCount. Empty when
// the boat did not pass entry k, or when its place at the moment the first boat passed is not
// known (no fix around that second).
std::vector<std::vector<std::optional<Gap>>> analyseGaps(const TrackStore& store,
                                                         const RoundingResults& roundings,
                                                         const WindInForce& wind, int boats);

}  // namespace brisko
