// Tests of the replay clock: speed kept whatever the frame rate, slider speeds, steps, rounding
// timer, auto-trace start and the time bar's mapping.
#include <gtest/gtest.h>

#include <cmath>

#include "display/playbackclock.h"

using namespace brisko;

namespace {

// Plays the clock for `seconds` of real time with frames every `framePeriod` seconds and the
// rate timer every `ratePeriod` seconds; returns the race time gained over the last
// `measureSeconds` (the first seconds are the rate control's warm-up).
double raceSecondsGained(PlaybackClock& clock, double framePeriod, double ratePeriod,
                         double seconds, double measureSeconds) {
    double nextFrame = framePeriod;
    double nextRate = ratePeriod;
    double startTime = 0;
    bool measuring = false;
    const double measureFrom = seconds - measureSeconds;
    double now = 0;
    while (now < seconds) {
        now = std::min(nextFrame, nextRate);
        if (!measuring && now >= measureFrom) {
            measuring = true;
            startTime = clock.RaceTime;
        }
        if (nextFrame <= nextRate) {
            clock.advance();
            clock.countTick();
            nextFrame += framePeriod;
        } else {
            clock.rateTick(now, true);
            nextRate += ratePeriod;
        }
    }
    return clock.RaceTime - startTime;
}

}  // namespace

TEST(PlaybackClock, KeepsChosenSpeedWhateverTheFrameRate) {
    // 10x: 10 race seconds per real second within 2 %, from 8 to 60 frames a second, with a rate
    // timer that keeps its second exactly or runs a few milliseconds long.
    for (double fps : {8.0, 15.0, 24.0, 33.3, 45.0, 60.0}) {
        for (double ratePeriod : {1.0, 1.004}) {
            PlaybackClock clock;
            clock.firstShow(180);
            clock.setUpRace(180, 3600);
            clock.setSlider(10);
            ASSERT_EQ(clock.SpeedFactor, 10);
            const double gained = raceSecondsGained(clock, 1.0 / fps, ratePeriod, 40, 30);
            EXPECT_NEAR(gained / 30, 10, 0.2) << fps << " fps, rate period " << ratePeriod;
        }
    }
}

TEST(PlaybackClock, KeepsSpeedBackwardsAndAtFullSpeed) {
    PlaybackClock clock;
    clock.firstShow(180);
    clock.setUpRace(180, 3600);
    clock.setSlider(19);
    clock.RaceTime = 3000;
    clock.backward();
    const double gained = raceSecondsGained(clock, 0.030, 1.0, 20, 15);
    EXPECT_NEAR(gained / 15, -100, 2);
}

TEST(PlaybackClock, RateTickSetsWholeMillisecondStep) {
    PlaybackClock clock;
    clock.firstShow(180);
    clock.rateTick(100, true);  // first tick only starts the measurement
    clock.TickCount = 33;
    clock.rateTick(101, true);
    EXPECT_DOUBLE_EQ(clock.TimeStep, 0.151);  // speed 5 at 33 ticks a second
    EXPECT_EQ(clock.TicksLastSecond, 33);
    EXPECT_EQ(clock.TickCount, 0);
}

TEST(PlaybackClock, RateTickAfterPauseOrWhenStoppedKeepsStep) {
    PlaybackClock clock;
    clock.firstShow(180);
    clock.rateTick(100, true);
    clock.TickCount = 10;
    clock.rateTick(103, true);  // three seconds: a pause, not a measurement
    EXPECT_DOUBLE_EQ(clock.TimeStep, kInitialTimeStep);

    clock.TickCount = 10;
    clock.rateTick(103.5, true);  // too short to measure
    EXPECT_DOUBLE_EQ(clock.TimeStep, kInitialTimeStep);

    clock.stop();
    clock.RaceTime = 10.4;
    clock.TickCount = 33;
    clock.rateTick(104.5, false);
    EXPECT_DOUBLE_EQ(clock.RaceTime, 10.4);  // stopped: nothing rounded, nothing counted
    EXPECT_EQ(clock.NoBoatSeconds, 0);
}

TEST(PlaybackClock, RateTickRoundsRaceTimeAndKeepsDirection) {
    PlaybackClock clock;
    clock.firstShow(180);
    clock.backward();
    clock.RaceTime = -200.6;
    clock.rateTick(1, true);
    EXPECT_DOUBLE_EQ(clock.RaceTime, -201);
    clock.TickCount = 20;
    clock.rateTick(2, true);
    EXPECT_DOUBLE_EQ(clock.TimeStep, -0.25);
    EXPECT_EQ(clock.StepSign, -1);
}

TEST(PlaybackClock, AsksForRefitAfterTenSecondsWithoutBoats) {
    PlaybackClock clock;
    clock.firstShow(180);
    bool fit = false;
    for (int s = 1; s <= 10; ++s) fit = clock.rateTick(s, false);
    EXPECT_FALSE(fit);
    EXPECT_TRUE(clock.rateTick(11, false));
    EXPECT_FALSE(clock.rateTick(12, true));
    EXPECT_EQ(clock.NoBoatSeconds, 0);
}

TEST(PlaybackClock, SliderSpeeds) {
    EXPECT_EQ(speedFactorForSlider(1), 1);
    EXPECT_EQ(speedFactorForSlider(10), 10);
    EXPECT_EQ(speedFactorForSlider(11), 20);
    EXPECT_EQ(speedFactorForSlider(19), 100);
    EXPECT_EQ(speedFactorForSlider(0), 1);
    EXPECT_EQ(speedFactorForSlider(500), 100);
    EXPECT_EQ(speedText(20, true), "20 x spd");
    EXPECT_EQ(speedText(5, false), "5倍速");

    PlaybackClock clock;
    clock.firstShow(180);
    clock.setSlider(11);  // nothing measured yet: the step stays
    EXPECT_DOUBLE_EQ(clock.TimeStep, kInitialTimeStep);
    clock.TicksLastSecond = 40;
    clock.backward();
    clock.setSlider(11);
    EXPECT_DOUBLE_EQ(clock.TimeStep, -0.5);
}

TEST(PlaybackClock, DirectionButtonsAndSteps) {
    PlaybackClock clock;
    clock.firstShow(180);
    clock.RaceTime = 100;
    clock.TimeStep = 0.3;
    clock.backward();
    EXPECT_EQ(clock.PlayDirection(), -1);
    EXPECT_DOUBLE_EQ(clock.TimeStep, -0.3);
    clock.forward();
    EXPECT_DOUBLE_EQ(clock.TimeStep, 0.3);

    clock.stepPlus();  // at least a whole second
    EXPECT_TRUE(clock.stopped());
    EXPECT_DOUBLE_EQ(clock.RaceTime, 101);
    clock.stepMinus();
    EXPECT_DOUBLE_EQ(clock.RaceTime, 100);
    EXPECT_DOUBLE_EQ(clock.TimeStep, -0.3);

    clock.TimeStep = 3;  // fast replay: a step is the time step itself
    clock.stepPlus();
    EXPECT_DOUBLE_EQ(clock.RaceTime, 103);
    clock.stepMinus();
    EXPECT_DOUBLE_EQ(clock.RaceTime, 100);
}

TEST(PlaybackClock, CatchUpFollowsDirection) {
    PlaybackClock clock;
    clock.RaceTime = 0;
    clock.TimeStep = 0.2;
    clock.catchUpStep();
    EXPECT_DOUBLE_EQ(clock.RaceTime, 5);
    clock.TimeStep = -0.2;
    clock.catchUpStep();
    EXPECT_DOUBLE_EQ(clock.RaceTime, 0);
}

TEST(PlaybackClock, RoundingTimer) {
    PlaybackClock clock;
    std::vector<double> lead = {0, 0, 600, 1200};  // entries 1..3
    clock.RaceTime = 725;
    clock.updateRoundingTimer(lead, 3);
    EXPECT_EQ(clock.LastRoundedIndex, 2);
    EXPECT_EQ(clock.LastRoundedText, "2:05");
    clock.RaceTime = 1230;
    clock.updateRoundingTimer(lead, 3);
    EXPECT_EQ(clock.LastRoundedIndex, 3);
    EXPECT_EQ(clock.LastRoundedText, "30");
    clock.RaceTime = 1501;  // more than five minutes after the last rounding
    clock.updateRoundingTimer(lead, 3);
    EXPECT_EQ(clock.LastRoundedIndex, 0);
    EXPECT_EQ(clock.LastRoundedText, "");
    clock.updateRoundingTimer(lead, 9);  // a course longer than the results: no overrun
    EXPECT_EQ(clock.LastRoundedIndex, 0);
    EXPECT_EQ(roundingTimerText(60), "1:00");
}

TEST(PlaybackClock, RoundingTimerAtTheEndsOfItsFiveMinutes) {
    PlaybackClock clock;
    const std::vector<double> lead = {0, 0, 600};
    for (double t : {600.0, 900.0}) {  // the rounding itself and five minutes after it
        clock.RaceTime = t;
        clock.updateRoundingTimer(lead, 2);
        EXPECT_EQ(clock.LastRoundedIndex, 2) << t;
    }
    EXPECT_EQ(clock.LastRoundedText, "5:00");
    for (double t : {599.99, 900.01}) {
        clock.RaceTime = t;
        clock.updateRoundingTimer(lead, 2);
        EXPECT_EQ(clock.LastRoundedIndex, 0) << t;
    }
}

TEST(PlaybackClock, AutoTraceComesOnOnceInSecondSeven) {
    PlaybackClock clock;
    clock.firstShow(180);
    int firstOn = 0, count = 0;
    for (int s = 1; s <= 20; ++s)
        if (clock.autoTraceTick()) {
            ++count;
            if (!firstOn) firstOn = s;
        }
    EXPECT_EQ(firstOn, 7);
    EXPECT_EQ(count, 1);
}

TEST(PlaybackClock, PeriodsFromTheTimeBar) {
    PlaybackClock clock;
    clock.setUpRace(180, 3600);
    EXPECT_DOUBLE_EQ(clock.PeriodFrom, -210);
    EXPECT_DOUBLE_EQ(clock.PeriodTo, 3600);
    EXPECT_DOUBLE_EQ(clock.RaceTime, -200);
    clock.setPeriod(2000, 1000);  // dragged upwards: later time first
    EXPECT_DOUBLE_EQ(clock.PeriodFrom, 1000);
    EXPECT_DOUBLE_EQ(clock.PeriodTo, 2000);
    EXPECT_DOUBLE_EQ(clock.RaceTime, 1000);
    clock.cancelPeriod(180, 3600);
    EXPECT_DOUBLE_EQ(clock.PeriodFrom, -240);
    EXPECT_DOUBLE_EQ(clock.PeriodTo, 3840);
    clock.cancelPeriod(600, 3600);  // a ten-minute sequence keeps its pre-start
    EXPECT_DOUBLE_EQ(clock.PeriodFrom, -660);
}

TEST(TimeBarScale, MapsTimeToPixelsBothWays) {
    TimeBarScale bar{3600, 3840, 640 + 60};
    EXPECT_DOUBLE_EQ(bar.pxPerSecond(), 640.0 / 3840);
    EXPECT_DOUBLE_EQ(bar.yForTime(3600), 30);        // finish 30 px from the top
    EXPECT_DOUBLE_EQ(bar.yForTime(-240), 700 - 30);  // pre-start less a minute at the bottom
    for (double t : {-240.0, -1.0, 0.0, 17.0, 1800.0, 3600.0})
        EXPECT_DOUBLE_EQ(bar.timeAtY(bar.yForTime(t)), t);
    EXPECT_DOUBLE_EQ(bar.timeAtY(30 + 3 * 640.0 / 3840 - 0.01), 3597);

    TimeBarScale tooShort{3600, 3840, 50};  // no room: no division by zero, no NaN
    EXPECT_FALSE(tooShort.usable());
    EXPECT_DOUBLE_EQ(tooShort.timeAtY(20), 0);
    TimeBarScale noRace{0, 0, 700};
    EXPECT_FALSE(noRace.usable());
}
