// The start line against the wind at the gun, and each boat's place at the gun and crossing.
#include "analysis/startanalysis.h"

#include <algorithm>
#include <cmath>

#include "util/angles.h"

namespace brisko {

namespace {

// Course point 2 closer to the line than this (metres) does not tell the course side.
constexpr double kSideFromPointMinimum = 1;

}  // namespace

std::optional<StartGeometry> startGeometry(const RaceDefinition& race, const TrackStore& store,
                                           const RoundingResults& roundings,
                                           const WindInForce& wind) {
    if (race.CourseCount < 1) return std::nullopt;
    const CourseTarget target = resolveCourseEntry(race.Course[1]);
    if (!target.isLine || target.number < 1 || target.number > std::min(race.LineCount, kMaxLines))
        return std::nullopt;
    const LineEntry& l = race.Lines[target.number];
    if (!l.PositionKnown) return std::nullopt;
    StartGeometry g{RacePlane(store, l.LineLat1, l.LineLon1), {}, {}};
    g.end2 = g.plane.at(l.LineLat2, l.LineLon2);
    // Square to the line, turned to starboard from end 1 toward end 2.
    const double len = length(g.end2);
    PlaneVec normal = len > 0 ? PlaneVec{-g.end2.e / len, g.end2.n / len} : PlaneVec{};
    double side = 0;
    if (roundings.entryCount >= 2 && roundings.pointKnown[2]) {
        const double d = dot(g.plane.at(roundings.PointLat[2], roundings.PointLon[2]), normal);
        if (std::abs(d) >= kSideFromPointMinimum) side = d;
    }
    if (side == 0) side = dot(bearingVector(wind.dirAt(0)), normal);
    g.courseSide = side < 0 ? -1 * normal : normal;
    return g;
}

StartLineAnalysis analyseStartLine(const StartGeometry& line, const WindInForce& wind) {
    StartLineAnalysis a;
    a.lengthM = length(line.end2);
    a.windDir = wind.dirAt(0);
    if (!(a.lengthM > 0)) return a;
    // How far end 2 lies to windward of end 1: the line turned from square to the wind.
    const double windward = dot(line.end2, bearingVector(a.windDir));
    a.biasDeg = std::asin(std::clamp(windward / a.lengthM, -1.0, 1.0)) / kDegToRad;
    a.advantageM = std::abs(windward);
    if (std::abs(a.biasDeg) >= kSquareLineDegrees) a.favouredEnd = a.biasDeg > 0 ? 2 : 1;
    return a;
}

BoatStart analyseBoatStart(const StartGeometry& line, const TrackStore& store,
                           const RoundingResults& roundings, int b) {
    BoatStart s;
    const double len2 = dot(line.end2, line.end2);
    auto along = [&](const BoatPlace& p) -> std::optional<double> {
        if (!(len2 > 0)) return std::nullopt;
        return dot(line.plane.at(p.lat, p.lon), line.end2) / len2;
    };
    if (const auto gun = boatPlaceAt(store, b, 0)) {
        if (len2 > 0) {
            // Positive on the pre-start side, negative over the line.
            s.gunDistM = -dot(line.plane.at(gun->lat, gun->lon), line.courseSide);
            s.ocs = *s.gunDistM < 0;
        }
        s.gunAlong = along(*gun);
        s.gunSpeed = gun->speed;
    }
    const double cross = roundings.RoundTime(1, b);
    if (cross != 0) {
        s.crossTime = cross;
        if (const auto p = boatPlaceAt(store, b, cross)) {
            s.crossSpeed = p->speed;
            s.crossAlong = along(*p);
        }
    }
    return s;
}

}  // namespace brisko
