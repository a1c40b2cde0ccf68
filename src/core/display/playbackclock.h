// The replay clock's arithmetic: race time, time step and direction, the rate control that keeps
// the chosen speed whatever the frame rate, the rounding timer and the time bar's time <-> pixel
// mapping. The race screen's timers and buttons drive it; it draws nothing.
#pragma once

#include <string>
#include <vector>

namespace brisko {

constexpr double kInitialTimeStep = 1.0 / 25;  // race seconds per tick at first showing
constexpr int kSpeedSliderMin = 1;
constexpr int kSpeedSliderMax = 19;
constexpr int kSpeedSliderStart = 5;
constexpr double kCatchUpSeconds = 5;      // race time skipped per catch-up frame
constexpr int kCatchUpFrames = 3;          // catch-up frames per tick at most
constexpr double kRateMinInterval = 0.95;  // shorter rate-timer intervals are not measured
// A rate-timer interval longer than this is a pause (a modal box, a slow redraw): the time step
// is left as it was rather than computed from a stalled second.
constexpr double kRatePauseInterval = 1.5;
constexpr int kNoBoatFitSeconds = 10;          // seconds with no boat in view before a refit
constexpr double kRoundingTimerSeconds = 300;  // how long a rounding's timer stays up
constexpr int kAutoTraceFromSecond = 7;        // auto trace switches on in seconds 7..9
constexpr int kAutoTraceToSecond = 9;

// Replay speed (race seconds per real second) of a speed slider value: 1..10 as they are, then
// 20, 30, ... 100 for 11..19. Values outside the slider's range are held at its ends.
int speedFactorForSlider(int sliderValue);
// The speed box text: "5 x spd" in English, "5倍速" in Japanese.
std::string speedText(int speedFactor, bool english);
// Time since a rounding as the rounding timer shows it: whole seconds below a minute, else
// minutes and two-digit seconds ("2:05").
std::string roundingTimerText(double secondsSince);

enum class PlayState { Forward, Stopped, Backward };

class PlaybackClock {
public:
    // Replay state.
    double RaceTime = 0;
    double TimeStep = kInitialTimeStep;
    PlayState State = PlayState::Forward;
    int StepSign = 1;
    int SpeedFactor = kSpeedSliderStart;
    int TickCount = 0;
    int TicksLastSecond = 0;
    double LastTimerValue = -1;  // monotonic seconds at the last rate tick; -1 before the first
    int NoBoatSeconds = 0;
    double PeriodFrom = 0, PeriodTo = 0;

    // Rounding timer: the course entry most recently rounded by the leader and the time since.
    int LastRoundedIndex = 0;
    std::string LastRoundedText;

    // Auto-trace start a few seconds after the race screen first shows.
    bool AutoTraceArmed = true;
    int IdleSeconds = 0;

    int PlayDirection() const {
        return State == PlayState::Forward ? 1 : State == PlayState::Backward ? -1 : 0;
    }
    bool stopped() const { return State == PlayState::Stopped; }

    // First showing of the race screen: forward by a 25th of a second a tick, auto trace armed.
    void firstShow(double preStartSeconds);
    // Race set-up: the replay starts 20 s before the pre-start period, the period covers the
    // whole race, rate measurement restarts. Speed and direction stay as they were.
    void setUpRace(double preStartSeconds, double raceSeconds);

    // Clock tick: one step of race time; and the catch-up step over a stretch with no boat in
    // view (5 s in the playing direction).
    void advance() { RaceTime += TimeStep; }
    void catchUpStep() { RaceTime += TimeStep > 0 ? kCatchUpSeconds : -kCatchUpSeconds; }
    void countTick() { ++TickCount; }

    // Rate tick, once a second. `now` is a monotonic time in seconds. Rounds the race time to
    // the whole second, measures the ticks of the last second and sets the time step so that
    // the replay keeps SpeedFactor. Returns true when the view should be fitted to the boats
    // (no boat in view for more than 10 s). Does nothing while stopped.
    bool rateTick(double now, bool boatInView);

    // Rounding timer for the leader's roundings: leadTimes[j] (j = 1..courseCount) are the
    // first rounding times of the course entries, seconds from the start.
    void updateRoundingTimer(const std::vector<double>& leadTimes, int courseCount);

    // Speed slider moved: new speed, and a new step from the last measured tick rate.
    void setSlider(int sliderValue);

    void forward();
    void stop();
    void backward();
    // "+" / "-": stop, then one step (at least one second) forwards or backwards.
    void stepPlus();
    void stepMinus();

    // Auto-trace start timer, once a second: true exactly once, when auto trace should come on.
    bool autoTraceTick();

    // Shift-drag on the time bar: the period between the two times (in either order); the replay
    // restarts at its earlier end.
    void setPeriod(double t1, double t2);
    // Shift + right click: the period opens to four minutes either side of the race (at least the
    // whole pre-start period and a minute before it).
    void cancelPeriod(double preStartSeconds, double raceSeconds);

private:
    int stepSignNow() const { return TimeStep < 0 ? -1 : 1; }
    void stepFromTickRate(double ticksPerSecond);
};

// The vertical time bar: time runs upwards, the finish 30 px below the top and the start of the
// pre-start period (less a minute) 30 px above the bottom.
struct TimeBarScale {
    static constexpr double kMargin = 30;
    double RaceSeconds = 0;
    double RaceSecondsPlus = 0;  // RaceSeconds + PreStartSeconds + 60
    double Height = 0;           // pixels

    // Pixels per second; 0 when the bar is too short or the race has no length.
    double pxPerSecond() const;
    bool usable() const { return pxPerSecond() > 0; }
    double yForTime(double t) const;
    // The whole second under a click at y (race time, seconds from the start); the race start
    // when the bar is not usable.
    double timeAtY(double y) const;
};

}  // namespace brisko
