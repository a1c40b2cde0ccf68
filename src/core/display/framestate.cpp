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

void FrameState::resetForRace(const TrackStore& tracks, int boats, const PlaybackClock& clock) {
    boatCount = std::clamp(boats, 0, kMaxBoats);
    LastDataTime = lastDataTimeOf(tracks);
    Boats.fill(BoatFrame{});
    GunFired = 0;
    resetFinishList();
    resetHints(true, tracks);
    putFlagsBack();
    BlueP.shown = Seven.shown = false;
    LastWholeSecond = wholeSecond(clock.RaceTime);
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

bool FrameState::wrapClock(const TrackStore& tracks, PlaybackClock& clock, double leadFinish) {
    double& t = clock.RaceTime;
    if (!std::isfinite(t)) t = clock.PeriodFrom;
    if (t >= clock.PeriodTo || t > LastDataTime) {
        t = clock.PeriodFrom;
        // Back before the first finish the list starts again. With nobody finished at all
        // (leadFinish 0) there is nothing to keep either.
        if (t < leadFinish || leadFinish <= 0) resetFinishList();
        SampleHint.fill(1);
        putFlagsBack();
        return true;
    }
    if (t < clock.PeriodFrom) {
        t = std::min(clock.PeriodTo, LastDataTime);
        resetHints(false, tracks);
        return true;
    }
    return false;
}

void FrameState::updateFlags(double t, bool forward, double mapSize) {
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

bool FrameState::updateStartGun(double t, bool forward) {
    if (t < 0) GunFired = 0;
    if (t >= 0 && t < kGunWindow && forward && GunFired == 0) {
        GunFired = 1;
        return true;
    }
    return false;
}

bool FrameState::updateFinishes(const FinishInputs& finish, double t) {
    const int before = FinishCount;
    resetFinishList();
    // The list appears once the first boat has finished; a race nobody finished shows none.
    FinishListShown = finish.courseCount > 0 && finish.leadFinish > 0 && t >= finish.leadFinish;
    if (!FinishListShown) return false;
    // Built afresh from the finish times on every frame: a list kept by adding arrivals would
    // keep boats that have not finished yet at a time reached backwards or by a jump.
    std::vector<int> finished;
    for (int k = 1; k <= boatCount; ++k) {
        const double ft = finish.finishTime[k];
        if (ft > 0 && ft <= t) finished.push_back(k);
    }
    std::stable_sort(finished.begin(), finished.end(),
                     [&](int a, int b) { return finish.finishTime[a] < finish.finishTime[b]; });
    for (int k : finished) {
        if (FinishCount >= kMaxBoats) break;
        Finished[k] = 1;
        FinishOrder[++FinishCount] = k;
    }
    LastFinisher = FinishCount > 0 ? FinishOrder[FinishCount] : 0;
    return FinishCount > before;
}

BoatFrame FrameState::locateBoat(const TrackStore& tracks, int boat, double t, bool forward,
                                 double windDirNow) {
    BoatFrame bf;
    const int n = tracks.TrkCount(boat);
    if (n < 2 || boat < 1 || boat > kMaxBoats) return bf;
    auto encloses = [&](int i) {
        return tracks.TrkSec(boat, i) <= t && t < tracks.TrkSec(boat, i + 1);
    };
    // The search moves one way from the hint: one or two comparisons in normal playback.
    const int hint = std::clamp(SampleHint[boat], 1, n - 1);
    int seg = 0;
    if (forward) {
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
                                PlaybackClock& clock, double windDirNow, double mapSize) {
    FrameEvents ev;
    ev.wrapped = wrapClock(tracks, clock, finish.leadFinish);
    const double t = clock.RaceTime;
    const bool forward = clock.TimeStep > 0;
    updateFlags(t, forward, mapSize);
    if (updateStartGun(t, forward)) ev.playGun = true;
    const int listed = FinishCount;
    const int last = LastFinisher;
    if (updateFinishes(finish, t)) {
        // A finisher's gun sounds when the replay runs forward onto the finish, not when a jump
        // or a backward replay shows a list that has it already.
        if (forward) ev.playGun = true;
        ev.finishListChanged = true;
    } else if (FinishCount != listed || LastFinisher != last) {
        ev.finishListChanged = true;
    }
    for (int k = 1; k <= boatCount; ++k) Boats[k] = locateBoat(tracks, k, t, forward, windDirNow);
    return ev;
}

std::vector<GeoPoint> FrameState::positionsForFit(const DisplayOptions& options) const {
    // A boat without a position this frame is left out: its 0, 0 would pull the view away.
    std::vector<GeoPoint> out;
    for (int k = 1; k <= boatCount; ++k)
        if (options.shown(k) && Boats[k].visible) out.push_back({Boats[k].lat, Boats[k].lon});
    return out;
}

long long FrameState::wholeSecond(double raceTime) {
    return std::isfinite(raceTime) ? static_cast<long long>(std::floor(raceTime)) : 0;
}

bool FrameState::takeWholeSecondChange(double raceTime) {
    const long long s = wholeSecond(raceTime);
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

std::string FrameState::timeOfDayText(const RaceTime& raceStart, double raceTime) {
    if (!raceStart || !std::isfinite(raceTime)) return {};
    const std::string full =
        formatDateTime(*raceStart + static_cast<CivilSeconds>(std::floor(raceTime)));
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
