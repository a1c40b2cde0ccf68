// Tacks, gybes and penalty turns of one boat and what each cost: the turns of its course over
// ground, told apart by whether the bow went through the wind's eye, through dead downwind, or
// through both.
#include <algorithm>
#include <cmath>

#include "analysis/coach.h"
#include "analysis/courseturns.h"
#include "util/angles.h"

namespace brisko {

namespace {

// A turn counts as through the wind's eye (or dead downwind) only when its steady courses lie
// at least this many degrees to either side of it: a boat that luffs head to wind and falls
// back, or bears away onto a dead run and comes up again, has not tacked or gybed.
constexpr double kSettleMargin = 10;
// A turn through both the wind's eye and dead downwind is a penalty turn when it comes round
// this far: a full circle, less what the steady courses either side take off. Less than that is
// a tack run on into a bear-away and gybe (or a gybe into a luff and tack) round a mark, named
// by what the boat did first.
constexpr double kPenaltyLeastTurn = 300;

// How many of the angles base + 360 k lie within lo..hi.
int linesWithin(double lo, double hi, double base) {
    if (hi < lo) return 0;
    return static_cast<int>(std::floor((hi - base) / 360) - std::ceil((lo - base) / 360)) + 1;
}

}  // namespace

const char* manoeuvreKindName(ManoeuvreKind k) {
    switch (k) {
        case ManoeuvreKind::Tack:
            return "tack";
        case ManoeuvreKind::Gybe:
            return "gybe";
        case ManoeuvreKind::Penalty:
            break;
    }
    return "penalty";
}

std::vector<Manoeuvre> findManoeuvres(const TrackStore& store, int boat, const WindInForce& wind) {
    std::vector<Manoeuvre> out;
    for (const CourseTurn& t : findCourseTurns(store, boat)) {
        // The courses against the wind: 0 head to wind, 180 dead downwind, counted on round
        // through the turn.
        const double before = reduceAngle180(t.courseIn - wind.dirAt(t.time));
        const double after = before + t.turn;
        const double lo = std::min(before, after) + kSettleMargin;
        const double hi = std::max(before, after) - kSettleMargin;
        const bool eye = linesWithin(lo, hi, 0) > 0;
        const bool downwind = linesWithin(lo, hi, 180) > 0;
        if (!eye && !downwind) continue;
        Manoeuvre m;
        if (eye && downwind && std::fabs(t.turn) >= kPenaltyLeastTurn) {
            m.kind = ManoeuvreKind::Penalty;
        } else {
            // Named by the first of the lines (every 180 degrees, the eye at multiples of 360)
            // past the entry course in the direction of the turn: the only one for a tack or a
            // gybe, the first crossed for a tack run on into a bear-away.
            const double first = t.turn > 0 ? std::ceil((before + kSettleMargin) / 180)
                                            : std::floor((before - kSettleMargin) / 180);
            m.kind =
                std::fmod(std::fabs(first), 2) == 0 ? ManoeuvreKind::Tack : ManoeuvreKind::Gybe;
        }
        m.time = t.time;
        m.lat = t.lat;
        m.lon = t.lon;
        m.entryTime = t.entryTime;
        m.exitTime = t.exitTime;
        m.duration = t.exitTime - t.entryTime;
        m.turn = t.turn;
        m.speedIn = t.speedIn;
        m.speedMin = t.speedMin;
        m.speedOut = t.speedOut;
        m.lossM = t.lossM;
        m.lossS = t.lossS;
        m.confident = t.confident;
        out.push_back(m);
    }
    return out;
}

}  // namespace brisko
