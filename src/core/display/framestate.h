// The computable part of a replay frame, derived from the replay clock: the clock's wrap within
// the replay period, clock texts and colours, the start flags, the start and finish guns, the
// finishing list and every boat's interpolated position, heading, speed and true wind angle at
// the clock's time. Advanced once per clock tick by the race session; drawing only reads it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "display/displayoptions.h"
#include "display/mapview.h"
#include "display/playbackclock.h"
#include "race/racedefinition.h"

namespace brisko {

struct TrackStore;

// One boat at the current race time.
struct BoatFrame {
    bool visible = false;     // false when the boat has no track segment at the race time
    int segment = 0;          // sample i with TrkSec(i) <= RaceTime < TrkSec(i + 1)
    double lat = 0, lon = 0;  // interpolated position; 0, 0 when not visible
    double speed = 0;         // knots, the segment's speed (not interpolated)
    double twa = 0;           // true wind angle, (-180, 180]
    double heading = 0;       // drawn heading, degrees true, with the one-second turn
};

// A start-sequence flag picture at the top right of the map box.
struct FlagState {
    static constexpr double kTop = 10;
    bool shown = false;
    double top = kTop;  // pixels from the map box's top; grows while the flag is lowered
};

// What the window needs from the rounding results for the finish.
struct FinishInputs {
    int courseCount = 0;
    double leadFinish = 0;  // LeadTime of the last course entry: the first boat's finish
    // RoundTime of the last course entry per boat (1-based); 0 = never finished.
    std::array<double, kMaxBoats + 1> finishTime{};
};

// What happened in one frame that the UI has to act on.
struct FrameEvents {
    bool wrapped = false;            // the clock jumped to the other end of the period
    bool playGun = false;            // start gun or a finisher: play the gun sound once
    bool finishListChanged = false;  // redraw the finishing list
};

class FrameState {
public:
    // Before the start the clock counts down in red, after it up in blue.
    static constexpr Rgb kClockBefore = kRed;
    static constexpr Rgb kClockAfter = kBlue;
    static constexpr double kCountdownFrom = -30, kCountdownTo = 10;
    static constexpr double kWakeMaxAge = 30;  // seconds: short wakes stop at older samples

    // The time itself, its step and the replay period are the clock's; the frame keeps only
    // what it derives from them.
    double LastDataTime = 0;

    std::array<int, kMaxBoats + 1> SampleHint{};
    std::array<BoatFrame, kMaxBoats + 1> Boats{};

    int GunFired = 0;
    std::array<int, kMaxBoats + 1> Finished{};
    int FinishCount = 0;
    std::array<int, kMaxBoats + 1> FinishOrder{};  // boats by place, 1-based
    int LastFinisher = 0;
    bool FinishListShown = false;

    FlagState BlueP, Seven;
    long long LastWholeSecond = 0;
    double LastMarksWind = -1;

    int boatCount = 0;

    // Race set-up: the data end; hints, guns and the list reset for the clock's time.
    void resetForRace(const TrackStore& tracks, int boats, const PlaybackClock& clock);
    // The latest last-sample time over all boats, from 0.
    static double lastDataTimeOf(const TrackStore& tracks);

    // Everything of a frame that needs no drawing: the clock wrapped within the period, flags,
    // guns, finishes and every boat's position at the clock's time. windDirNow is the wind in
    // force, mapSize the map box side (flag lowering).
    FrameEvents advance(const TrackStore& tracks, const FinishInputs& finish, PlaybackClock& clock,
                        double windDirNow, double mapSize);

    // The parts of advance, usable on their own.
    // Wraps the clock within the replay period and the track data; true when it wrapped.
    bool wrapClock(const TrackStore& tracks, PlaybackClock& clock, double leadFinish);
    void updateFlags(double raceTime, bool forward, double mapSize);
    bool updateStartGun(double raceTime, bool forward);  // true when the gun is to sound now
    // The finishing list is always the boats whose finish time is not after raceTime, in the
    // order they finished, whatever way the clock got there. True when it gained a boat.
    bool updateFinishes(const FinishInputs& finish, double raceTime);
    void resetFinishList();
    void resetHints(bool forward, const TrackStore& tracks);  // 1 or TrkCount per boat
    void putFlagsBack();
    BoatFrame locateBoat(const TrackStore& tracks, int boat, double raceTime, bool forward,
                         double windDirNow);

    // Positions for fitting the view to the boats: the shown boats that have a position now.
    std::vector<GeoPoint> positionsForFit(const DisplayOptions& options) const;

    // Whether the whole second of the race time moved since the last wind update; remembers it.
    bool takeWholeSecondChange(double raceTime);
    static long long wholeSecond(double raceTime);

    // Race clock text "hh:mm:ss" of |integer part of t| (rounded down: -0.5 shows 00:00:01).
    static std::string clockText(double raceTime);
    static Rgb clockColour(double raceTime) { return raceTime >= 0 ? kClockAfter : kClockBefore; }
    static bool countdownVisible(double raceTime) {
        return raceTime >= kCountdownFrom && raceTime <= kCountdownTo;
    }
    static Rgb countdownColour(double raceTime) { return raceTime >= 1 ? kBlue : kRed; }
    // The countdown box's number: |integer part rounded down|.
    static long long countdownValue(double raceTime);
    // The time of day "hh:mm:ss" at raceTime for a start "yyyy/mm/dd hh:mm:ss"; empty
    // when the start time cannot be read.
    static std::string timeOfDayText(const RaceTime& raceStart, double raceTime);
    // "hh:mm:ss" of whole seconds (finish times in the finishing list).
    static std::string durationText(double seconds);
    // The finishing list's text right of the name: finish time, "   <", lag to the winner, ">".
    std::string finishRowText(int place, const FinishInputs& finish) const;
};

}  // namespace brisko
