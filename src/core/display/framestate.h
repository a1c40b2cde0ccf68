// The computable part of a replay frame: the race clock and its wrap within the replay period,
// clock texts and colours, the start flags, the start and finish guns, the finishing list and
// every boat's interpolated position, heading, speed and true wind angle at the race time.
// Driven by the frame renderer on every clock tick; the drawing itself is done in the UI.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "display/displayoptions.h"
#include "display/mapview.h"
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

    double RaceTime = 0;
    double TimeStep = 0.04;
    double PeriodFrom = -210, PeriodTo = 0;
    double LastDataTime = 0;

    std::array<int, kMaxBoats + 1> SampleHint{};
    std::array<BoatFrame, kMaxBoats + 1> Boats{};
    std::array<double, kMaxBoats + 1> ShownSpeed{};  // speed last written to the panel

    int GunFired = 0;
    std::array<int, kMaxBoats + 1> Finished{};
    int FinishCount = 0;
    std::array<int, kMaxBoats + 1> FinishOrder{};  // boats by place, 1-based
    int LastFinisher = 0;
    bool FinishListShown = false;

    FlagState BlueP, Seven;
    bool BoatInView = false;
    long long LastWholeSecond = 0;
    double LastMarksWind = -1;

    int boatCount = 0;

    // Race set-up: the period, the data end and the start time; hints, guns and the list reset.
    void resetForRace(const TrackStore& tracks, int boats, double periodFrom, double periodTo,
                      double raceTime);
    // The latest last-sample time over all boats, from 0.
    static double lastDataTimeOf(const TrackStore& tracks);

    // Steps 1..7 of a frame that need no drawing: wrap, flags, guns, finishes and every boat's
    // position. windDirNow is the wind in force, mapSize the map box side (flag lowering).
    FrameEvents advance(const TrackStore& tracks, const FinishInputs& finish, double windDirNow,
                        double mapSize);

    // The parts of advance, usable on their own.
    // Wraps the clock within the replay period and the track data; true when it wrapped.
    bool wrapClock(const TrackStore& tracks, double leadFinish);
    void updateFlags(double mapSize);
    bool updateStartGun();                            // true when the gun is to sound now
    bool updateFinishes(const FinishInputs& finish);  // true when a boat was added
    void resetFinishList();
    void resetHints(bool forward, const TrackStore& tracks);  // 1 or TrkCount per boat
    void putFlagsBack();
    BoatFrame locateBoat(const TrackStore& tracks, int boat, double windDirNow);

    // Positions for fitting the view to the boats: the shown boats that have a position now.
    std::vector<GeoPoint> positionsForFit(const DisplayOptions& options) const;

    // Whether the whole second of the race time moved since the last wind update; remembers it.
    bool takeWholeSecondChange();
    long long wholeSecond() const;

    // Race clock text "hh:mm:ss" of |integer part of t| (rounded down: -0.5 shows 00:00:01).
    static std::string clockText(double raceTime);
    static Rgb clockColour(double raceTime) { return raceTime >= 0 ? kClockAfter : kClockBefore; }
    static bool countdownVisible(double raceTime) {
        return raceTime >= kCountdownFrom && raceTime <= kCountdownTo;
    }
    static Rgb countdownColour(double raceTime) { return raceTime >= 1 ? kBlue : kRed; }
    // The countdown box's number: |integer part rounded down|.
    static long long countdownValue(double raceTime);
    // The time of day "hh:mm:ss" at raceTime for a start "yyyy/mm/dd hh:mm:ss" (Text1); empty
    // when the start time cannot be read.
    static std::string timeOfDayText(const std::string& raceStart, double raceTime);
    // "hh:mm:ss" of whole seconds (finish times in the finishing list).
    static std::string durationText(double seconds);
    // The finishing list's text right of the name: finish time, "   <", lag to the winner, ">".
    std::string finishRowText(int place, const FinishInputs& finish) const;
};

}  // namespace brisko
