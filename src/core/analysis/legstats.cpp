// Legs sailed and the gaps to the first boat at each course entry.
#include "analysis/legstats.h"

#include <algorithm>
#include <cmath>

#include "analysis/trackplace.h"
#include "util/angles.h"
#include "util/units.h"

namespace brisko {

LegType legType(double legBearing, double windDir) {
    if (!std::isfinite(legBearing)) return LegType::Reach;
    const double off = std::abs(reduceAngle180(legBearing - windDir));
    if (off <= kWindAxisDegrees) return LegType::Upwind;
    if (off >= 180 - kWindAxisDegrees) return LegType::Downwind;
    return LegType::Reach;
}

std::optional<LegStats> analyseLeg(const TrackStore& store, const RoundingResults& r,
                                   const WindInForce& wind, int b, int k,
                                   const std::vector<Manoeuvre>& manoeuvres) {
    if (k < 2 || k > r.entryCount || !r.pointKnown[k - 1] || !r.pointKnown[k]) return std::nullopt;
    const double t0 = r.RoundTime(k - 1, b), t1 = r.RoundTime(k, b);
    const double bearing = r.LegCourse[k - 1];
    if (t0 == 0 || t1 == 0 || !(t1 > t0) || !std::isfinite(bearing)) return std::nullopt;
    const double elapsed = t1 - t0;

    LegStats leg;
    const double windDir = wind.dirAt((t0 + t1) / 2);
    leg.type = legType(bearing, windDir);
    const RacePlane plane(store, r.PointLat[k - 1], r.PointLon[k - 1]);
    const PlaneVec mark = plane.at(r.PointLat[k], r.PointLon[k]);
    leg.rhumbNm = length(mark) / kMetresPerNauticalMile;
    leg.sailedNm = distanceSailedAt(store, b, t1) - distanceSailedAt(store, b, t0);
    leg.sog = knotsOver(leg.sailedNm * kMetresPerNauticalMile, elapsed);

    const auto from = boatPlaceAt(store, b, t0), to = boatPlaceAt(store, b, t1);
    if (from && to) {
        const PlaneVec p0 = plane.at(from->lat, from->lon), p1 = plane.at(to->lat, to->lon);
        // Mean velocity made good: the progress over the whole leg divided by its time, which is
        // the mean of the boat's momentary values while the wind holds.
        if (leg.type != LegType::Reach) {
            const double windward = dot(p1 - p0, bearingVector(windDir));
            leg.vmg = knotsOver(leg.type == LegType::Upwind ? windward : -windward, elapsed);
        }
        // Toward the mark: how much nearer the boat came to it.
        leg.vmc = knotsOver(length(mark - p0) - length(mark - p1), elapsed);
    }

    for (const Manoeuvre& m : manoeuvres) {
        if (!(m.time >= t0 && m.time < t1)) continue;
        if (m.kind == ManoeuvreKind::Tack) ++leg.tacks;
        if (m.kind == ManoeuvreKind::Gybe) ++leg.gybes;
        if (m.lossM && std::isfinite(*m.lossM)) leg.lossM += *m.lossM;
    }
    return leg;
}

std::vector<std::optional<LegStats>> analyseLegs(const TrackStore& store, const RoundingResults& r,
                                                 const WindInForce& wind, int b,
                                                 const std::vector<Manoeuvre>& manoeuvres) {
    std::vector<std::optional<LegStats>> legs(static_cast<size_t>(std::max(r.entryCount, 0)) + 1);
    for (int k = 2; k <= r.entryCount; ++k) legs[k] = analyseLeg(store, r, wind, b, k, manoeuvres);
    return legs;
}

namespace {

// The boat that passed entry k first: the earliest positive time there. Nobody before the
// gun counts while a boat passed after it; at the start line a crossing before the gun leads
// when no boat crossed after it. 0 when nobody passed.
int firstBoatAt(const RoundingResults& r, int k, int boats) {
    int first = 0;
    for (int b = 1; b <= boats; ++b) {
        const double t = r.RoundTime(k, b);
        if (t > 0 && (first == 0 || t < r.RoundTime(k, first))) first = b;
    }
    if (first != 0 || k != 1) return first;
    for (int b = 1; b <= boats; ++b) {
        const double t = r.RoundTime(k, b);
        if (t != 0 && (first == 0 || t < r.RoundTime(k, first))) first = b;
    }
    return first;
}

// Which way "ahead" points at entry k when the first boat passes it at `lead`: to windward at
// the start and on an upwind leg, to leeward on a downwind leg, along the leg on a reach.
PlaneVec aheadAt(const RoundingResults& r, const WindInForce& wind, int k, int first, double lead) {
    const PlaneVec windward = bearingVector(wind.dirAt(lead));
    if (k == 1 || !std::isfinite(r.LegCourse[k - 1])) return windward;
    const double before = r.RoundTime(k - 1, first);
    const double mid = before != 0 && before < lead ? (before + lead) / 2 : lead;
    switch (legType(r.LegCourse[k - 1], wind.dirAt(mid))) {
        case LegType::Upwind:
            return windward;
        case LegType::Downwind:
            return -1 * windward;
        case LegType::Reach:
            break;
    }
    return bearingVector(r.LegCourse[k - 1]);
}

}  // namespace

std::vector<std::vector<std::optional<Gap>>> analyseGaps(const TrackStore& store,
                                                         const RoundingResults& r,
                                                         const WindInForce& wind, int boats) {
    const int entries = std::max(r.entryCount, 0);
    std::vector<std::vector<std::optional<Gap>>> gaps(
        static_cast<size_t>(std::max(boats, 0)) + 1,
        std::vector<std::optional<Gap>>(static_cast<size_t>(entries) + 1));
    for (int k = 1; k <= entries; ++k) {
        const int first = firstBoatAt(r, k, boats);
        if (first == 0) continue;
        const double lead = r.RoundTime(k, first);
        const auto leader = boatPlaceAt(store, first, lead);
        if (!leader) continue;
        const RacePlane plane(store, leader->lat, leader->lon);
        const PlaneVec ahead = aheadAt(r, wind, k, first, lead);
        for (int b = 1; b <= boats; ++b) {
            const double t = r.RoundTime(k, b);
            if (t == 0 || (k > 1 && t < 0)) continue;
            if (b == first) {
                gaps[b][k] = Gap{0, 0};
                continue;
            }
            const auto place = boatPlaceAt(store, b, lead);
            if (!place) continue;
            gaps[b][k] = Gap{t - lead, -dot(plane.at(place->lat, place->lon), ahead)};
        }
    }
    return gaps;
}

}  // namespace brisko
