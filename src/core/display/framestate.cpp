// The computable part of a replay frame (see framestate.h).
#include "display/framestate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "display/mapview.h"
#include "track/trackstore.h"
#include "util/angles.h"
#include "util/datetime.h"
#include "util/units.h"

namespace brisko {

namespace {
constexpr double kBlueFlagFrom = -240, kBlueFlagTo = -60, kBlueLowerTo = -55;
constexpr double kSevenFrom = -60, kSevenTo = 0.5, kSevenLowerTo = 5;
constexpr double kGunWindow = 2;        // the start gun sounds in the first 2 s of the race
constexpr double kFlagLowerParts = 30;  // a lowered flag moves by MapSize / 30 per frame
constexpr double kTurnSeconds = 1;      // a boat turns to its new course within one second

long long wholeSecondsAbs(double t) {
    if (!std::isfinite(t)) return 0;
    return std::llabs(static_cast<long long>(std::floor(t)));
}
}  // namespace

double FrameState::lastDataTimeOf(const TrackStore& tracks) {
    double last = 0;
    for (int b = 1; b <= tracks.boatCount(); ++b) {
        const int n = tracks.TrkCount(b);
        if (n > 0) last = std::max(last, tracks.TrkSec(b, n));
    }
    return last;
}

void FrameState::resetForRace(const TrackStore& tracks, int boats, double periodFrom,
                              double periodTo, double raceTime) {
    boatCount = std::clamp(boats, 0, kMaxBoats);
    PeriodFrom = periodFrom;
    PeriodTo = periodTo;
    RaceTime = raceTime;
    LastDataTime = lastDataTimeOf(tracks);
    Boats.fill(BoatFrame{});
    ShownSpeed.fill(0);
    GunFired = 0;
    resetFinishList();
    resetHints(true, tracks);
    putFlagsBack();
    BlueP.shown = Seven.shown = false;
    BoatInView = false;
    LastWholeSecond = wholeSecond();
    LastMarksWind = -1;
}

void FrameState::resetFinishList() {
    Finished.fill(0);
    FinishOrder.fill(0);
    FinishCount = 0;
    LastFinisher = 0;
    FinishListShown = false;
}

void FrameState::resetHints(bool forward, const TrackStore& tracks) {
    SampleHint.fill(1);
    if (!forward)
        for (int b = 1; b <= boatCount; ++b) SampleHint[b] = std::max(1, tracks.TrkCount(b));
}

void FrameState::putFlagsBack() {
    BlueP.top = FlagState::kTop;
    Seven.top = FlagState::kTop;
}

bool FrameState::wrapClock(const TrackStore& tracks, double leadFinish) {
    if (!std::isfinite(RaceTime)) RaceTime = PeriodFrom;
    if (RaceTime >= PeriodTo || RaceTime > LastDataTime) {
        RaceTime = PeriodFrom;
        // Back before the first finish the list starts again. With nobody finished at all
        // (leadFinish 0) there is nothing to keep either.
        if (RaceTime < leadFinish || leadFinish <= 0) resetFinishList();
        SampleHint.fill(1);
        putFlagsBack();
        return true;
    }
    if (RaceTime < PeriodFrom) {
        RaceTime = std::min(PeriodTo, LastDataTime);
        resetHints(false, tracks);
        return true;
    }
    return false;
}

void FrameState::updateFlags(double mapSize) {
    const double t = RaceTime;
    const bool forward = TimeStep > 0;
    const double drop = mapSize / kFlagLowerParts;
    auto lower = [&](FlagState& f) {
        f.shown = true;
        if (f.top < mapSize) f.top += drop;
    };
    if (t >= kBlueFlagTo && t <= kBlueLowerTo && forward)
        lower(BlueP);
    else
        BlueP.shown = t >= kBlueFlagFrom && t < kBlueFlagTo;
    if (t >= 0 && t <= kSevenLowerTo && forward)
        lower(Seven);
    else
        Seven.shown = t >= kSevenFrom && t <= kSevenTo;
}

bool FrameState::updateStartGun() {
    if (RaceTime < 0) GunFired = 0;
    if (RaceTime >= 0 && RaceTime < kGunWindow && TimeStep > 0 && GunFired == 0) {
        GunFired = 1;
        return true;
    }
    return false;
}

bool FrameState::updateFinishes(const FinishInputs& finish) {
    // The list appears once the first boat has finished; a race nobody finished shows none.
    FinishListShown =
        finish.courseCount > 0 && finish.leadFinish > 0 && RaceTime >= finish.leadFinish;
    if (!FinishListShown) return false;
    // Boats finishing within this frame are listed in the order they finished, so a jump over
    // several finishes still gives the right places.
    std::vector<int> arrived;
    for (int k = 1; k <= boatCount; ++k) {
        const double ft = finish.finishTime[k];
        if (!Finished[k] && ft > 0 && ft <= RaceTime) arrived.push_back(k);
    }
    std::stable_sort(arrived.begin(), arrived.end(),
                     [&](int a, int b) { return finish.finishTime[a] < finish.finishTime[b]; });
    for (int k : arrived) {
        if (FinishCount >= kMaxBoats) break;
        Finished[k] = 1;
        FinishOrder[++FinishCount] = k;
        LastFinisher = k;
    }
    return !arrived.empty();
}

BoatFrame FrameState::locateBoat(const TrackStore& tracks, int boat, double windDirNow) {
    BoatFrame bf;
    const int n = tracks.TrkCount(boat);
    if (n < 2 || boat < 1 || boat > kMaxBoats) return bf;
    const double t = RaceTime;
    auto encloses = [&](int i) {
        return tracks.TrkSec(boat, i) <= t && t < tracks.TrkSec(boat, i + 1);
    };
    // The search moves one way from the hint: one or two comparisons in normal playback.
    const int hint = std::clamp(SampleHint[boat], 1, n - 1);
    int seg = 0;
    if (TimeStep > 0) {
        for (int i = hint; i <= n - 1; ++i)
            if (encloses(i)) {
                seg = i;
                break;
            } else if (tracks.TrkSec(boat, i) > t)
                break;
    } else {
        for (int i = std::min(hint + 1, n - 1); i >= 1; --i)
            if (encloses(i)) {
                seg = i;
                break;
            } else if (tracks.TrkSec(boat, i + 1) <= t)
                break;
    }
    if (seg == 0 && t >= tracks.TrkSec(boat, 1) && t < tracks.TrkSec(boat, n)) {
        // The time moved against the hint (a jump): find the segment by bisection instead of
        // hiding a boat that has a position.
        const auto& sec = tracks.boats[boat].TrkSec;
        const int m = std::min(n, static_cast<int>(sec.size()) - 1);  // times actually held
        auto it = std::upper_bound(sec.begin() + 1, sec.begin() + m + 1, t);
        const int i = static_cast<int>(it - sec.begin()) - 1;
        if (i >= 1 && i <= m - 1 && encloses(i)) seg = i;
    }
    if (seg == 0) return bf;

    const double t0 = tracks.TrkSec(boat, seg), t1 = tracks.TrkSec(boat, seg + 1);
    const double f = (t - t0) / (t1 - t0);
    bf.visible = true;
    bf.segment = seg;
    bf.lat =
        tracks.TrkLat(boat, seg) + f * (tracks.TrkLat(boat, seg + 1) - tracks.TrkLat(boat, seg));
    bf.lon =
        tracks.TrkLon(boat, seg) + f * (tracks.TrkLon(boat, seg + 1) - tracks.TrkLon(boat, seg));
    bf.speed = tracks.TrkSpeed(boat, seg);
    const double course = tracks.TrkCourse(boat, seg);
    bf.twa = reduceAngle180(course - windDirNow);
    bf.heading = course;
    // During the first second of a segment the symbol turns from the previous course, the
    // short way round (350 to 10 turns through north).
    if (seg > 1 && t - t0 < kTurnSeconds) {
        const double delta = reduceAngle180(course - tracks.TrkCourse(boat, seg - 1));
        bf.heading = normalizeAngle360(course + (t - t0 - kTurnSeconds) * delta);
    }
    SampleHint[boat] = seg;
    return bf;
}

FrameEvents FrameState::advance(const TrackStore& tracks, const FinishInputs& finish,
                                double windDirNow, double mapSize) {
    FrameEvents ev;
    ev.wrapped = wrapClock(tracks, finish.leadFinish);
    updateFlags(mapSize);
    if (updateStartGun()) ev.playGun = true;
    if (updateFinishes(finish)) {
        ev.playGun = true;
        ev.finishListChanged = true;
    }
    for (int k = 1; k <= boatCount; ++k) Boats[k] = locateBoat(tracks, k, windDirNow);
    return ev;
}

std::vector<GeoPoint> FrameState::positionsForFit(const DisplayOptions& options) const {
    // A boat without a position this frame is left out: its 0, 0 would pull the view away.
    std::vector<GeoPoint> out;
    for (int k = 1; k <= boatCount; ++k)
        if (options.shown(k) && Boats[k].visible) out.push_back({Boats[k].lat, Boats[k].lon});
    return out;
}

long long FrameState::wholeSecond() const {
    return std::isfinite(RaceTime) ? static_cast<long long>(std::floor(RaceTime)) : 0;
}

bool FrameState::takeWholeSecondChange() {
    const long long s = wholeSecond();
    if (s == LastWholeSecond) return false;
    LastWholeSecond = s;
    return true;
}

std::string FrameState::durationText(double seconds) {
    const long long a = wholeSecondsAbs(seconds);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", a / kSecondsPerHour,
                  (a / kSecondsPerMinute) % 60, a % kSecondsPerMinute);
    return buf;
}

std::string FrameState::timeOfDayText(const std::string& raceStart, double raceTime) {
    const auto start = parseDateTime(raceStart);
    if (!start || !std::isfinite(raceTime)) return {};
    const std::string full =
        formatDateTime(*start + static_cast<CivilSeconds>(std::floor(raceTime)));
    return full.size() >= 8 ? full.substr(full.size() - 8) : full;
}

std::string FrameState::clockText(double raceTime) { return durationText(raceTime); }

long long FrameState::countdownValue(double raceTime) { return wholeSecondsAbs(raceTime); }

std::string FrameState::finishRowText(int place, const FinishInputs& finish) const {
    if (place < 1 || place > FinishCount) return {};
    const int k = FinishOrder[place];
    const double ft = finish.finishTime[k];
    const double lag = ft - finish.finishTime[FinishOrder[1]];
    return durationText(ft) + "   <" + std::to_string(static_cast<long long>(std::llround(lag))) +
           ">";
}

}  // namespace brisko
