// The start: how the line lies to the wind at the gun, and where each boat was at the gun and
// when it crossed. Part of the coach's analyses (analysis/coach.h).
#pragma once

#include <optional>

#include "analysis/coach.h"
#include "analysis/trackplace.h"

namespace brisko {

// Below this many degrees of bias the line is square: neither end is favoured.
constexpr double kSquareLineDegrees = 0.5;

// The start line laid on the race area's plane, end 1 at the origin.
struct StartGeometry {
    RacePlane plane;
    PlaneVec end2;        // end 2 from end 1, metres
    PlaneVec courseSide;  // unit step square to the line toward the course side
};

// The start line of the race: course entry 1 when it names a line whose ends are known. The
// course side is the side of course point 2 (roundings.PointLat/PointLon), or the windward side
// at the gun when there is no known point 2 or it lies on the line.
std::optional<StartGeometry> startGeometry(const RaceDefinition& race, const TrackStore& store,
                                           const RoundingResults& roundings,
                                           const WindInForce& wind);

// Length, the wind at the gun, the bias and the favoured end of the line.
StartLineAnalysis analyseStartLine(const StartGeometry& line, const WindInForce& wind);

// Boat b at the gun (second 0) and at its crossing (RoundTime of entry 1). A line without
// length gives no distance or along-the-line value.
BoatStart analyseBoatStart(const StartGeometry& line, const TrackStore& store,
                           const RoundingResults& roundings, int b);

}  // namespace brisko
