// The replay clock's arithmetic; see playbackclock.h.
#include "display/playbackclock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisko {

namespace {
constexpr double kMillisecondsPerSecond = 1000;
constexpr int kSlowSpeedSliderTop = 10;  // slider values up to here are the speed itself
constexpr int kFastSpeedStep = 10;       // above it each notch adds ten times real speed
constexpr double kCancelledPeriodMargin = 240;
constexpr double kMinuteSeconds = 60;
}  // namespace

int speedFactorForSlider(int v) {
    v = std::clamp(v, kSpeedSliderMin, kSpeedSliderMax);
    if (v <= kSlowSpeedSliderTop) return v;
    return kSlowSpeedSliderTop + kFastSpeedStep * (v - kSlowSpeedSliderTop);
}

std::string speedText(int speedFactor, bool english) {
    return std::to_string(speedFactor) + (english ? " x spd" : "倍速");
}

std::string roundingTimerText(double secondsSince) {
    if (!std::isfinite(secondsSince) || secondsSince < 0) return {};
    const long e = static_cast<long>(std::floor(secondsSince));
    if (e < 60) return std::to_string(e);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%ld:%02ld", e / 60, e % 60);
    return buf;
}

void PlaybackClock::firstShow(double preStartSeconds) {
    RaceTime = -(preStartSeconds + 20);
    TimeStep = kInitialTimeStep;
    StepSign = 1;
    State = PlayState::Forward;
    AutoTraceArmed = true;
    IdleSeconds = 0;
    TickCount = 0;
    TicksLastSecond = 0;
    LastTimerValue = -1;
}

void PlaybackClock::setUpRace(double preStartSeconds, double raceSeconds) {
    RaceTime = -(preStartSeconds + 20);
    PeriodFrom = -(preStartSeconds + 30);
    PeriodTo = raceSeconds;
    TickCount = 0;
    LastTimerValue = -1;
    NoBoatSeconds = 0;
    LastRoundedIndex = 0;
    LastRoundedText.clear();
}

void PlaybackClock::stepFromTickRate(double ticksPerSecond) {
    if (!(ticksPerSecond > 0)) return;
    // A step in whole milliseconds, never zero, so that a replay at any rate keeps moving.
    double ms = std::floor(kMillisecondsPerSecond * SpeedFactor / ticksPerSecond);
    ms = std::max(ms, 1.0);
    TimeStep = StepSign * ms / kMillisecondsPerSecond;
}

bool PlaybackClock::rateTick(double now, bool boatInView) {
    if (stopped()) return false;
    double elapsed = LastTimerValue < 0 ? 0 : now - LastTimerValue;
    LastTimerValue = now;
    if (elapsed > kRatePauseInterval || elapsed < 0) elapsed = 0;

    RaceTime = std::floor(RaceTime + 0.5);
    StepSign = stepSignNow();
    TicksLastSecond = TickCount;
    // The ticks are counted over the measured interval, which a timer seldom keeps to the
    // millisecond; scaling by it keeps the speed true when the interval runs a little long.
    if (TickCount > 0 && elapsed > kRateMinInterval) {
        TicksLastSecond = static_cast<int>(std::lround(TickCount / elapsed));
        stepFromTickRate(TickCount / elapsed);
    }
    TickCount = 0;

    NoBoatSeconds = boatInView ? 0 : NoBoatSeconds + 1;
    return NoBoatSeconds > kNoBoatFitSeconds;
}

void PlaybackClock::updateRoundingTimer(const std::vector<double>& leadTimes, int courseCount) {
    LastRoundedIndex = 0;
    LastRoundedText.clear();
    const int last = std::min(courseCount, static_cast<int>(leadTimes.size()) - 1);
    for (int j = last; j >= 2; --j) {
        const double lead = leadTimes[j];
        if (lead <= RaceTime && RaceTime <= lead + kRoundingTimerSeconds) {
            LastRoundedIndex = j;
            LastRoundedText = roundingTimerText(RaceTime - lead);
            return;
        }
    }
}

void PlaybackClock::setSlider(int sliderValue) {
    SpeedFactor = speedFactorForSlider(sliderValue);
    StepSign = stepSignNow();
    if (TicksLastSecond != 0) stepFromTickRate(TicksLastSecond);
}

void PlaybackClock::forward() {
    State = PlayState::Forward;
    TimeStep = std::fabs(TimeStep);
}

void PlaybackClock::stop() { State = PlayState::Stopped; }

void PlaybackClock::backward() {
    State = PlayState::Backward;
    TimeStep = -std::fabs(TimeStep);
}

void PlaybackClock::stepPlus() {
    stop();
    TimeStep = std::fabs(TimeStep);
    RaceTime += std::max(TimeStep, 1.0);
}

void PlaybackClock::stepMinus() {
    stop();
    RaceTime -= std::max(std::fabs(TimeStep), 1.0);
    TimeStep = -std::fabs(TimeStep);
}

bool PlaybackClock::autoTraceTick() {
    if (!AutoTraceArmed) return false;
    ++IdleSeconds;
    if (IdleSeconds >= kAutoTraceFromSecond && IdleSeconds <= kAutoTraceToSecond) {
        AutoTraceArmed = false;
        return true;
    }
    return false;
}

void PlaybackClock::setPeriod(double t1, double t2) {
    PeriodFrom = std::min(t1, t2);
    PeriodTo = std::max(t1, t2);
    RaceTime = PeriodFrom;
}

void PlaybackClock::cancelPeriod(double preStartSeconds, double raceSeconds) {
    // Four minutes before the start covers the usual three-minute sequence and the minute
    // before it; a longer sequence keeps its whole pre-start data in the period.
    PeriodFrom = -std::max(kCancelledPeriodMargin, preStartSeconds + kMinuteSeconds);
    PeriodTo = raceSeconds + kCancelledPeriodMargin;
}

double TimeBarScale::pxPerSecond() const {
    if (!(RaceSecondsPlus > 0) || Height <= 2 * kMargin) return 0;
    return (Height - 2 * kMargin) / RaceSecondsPlus;
}

double TimeBarScale::yForTime(double t) const {
    return kMargin + pxPerSecond() * (RaceSeconds - t);
}

double TimeBarScale::timeAtY(double y) const {
    const double px = pxPerSecond();
    if (px <= 0) return 0;
    return std::floor(RaceSeconds - (y - kMargin) / px + 0.5);
}

}  // namespace brisko
