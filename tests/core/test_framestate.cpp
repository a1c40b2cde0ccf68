// Tests for the frame state: boat positions and headings, clock wrap, clock texts, the start
// gun, the finishing list and the current wind.
#include <gtest/gtest.h>

#include <cmath>

#include "display/displayoptions.h"
#include "display/framestate.h"
#include "display/windnow.h"
#include "track/trackstore.h"

using namespace brisko;

namespace {
// Boat 1: samples every 10 s from 0 to 100 going north; boat 2: from 50 to 80 with a turn.
TrackStore makeTracks() {
    TrackStore t;
    t.reset(3);
    for (int k = 0; k <= 10; ++k) {
        t.boats[1].append(2000 + 0.01 * k, 8000, 10.0 * k);
        t.boats[1].TrkSpeed.back() = 6;
    }
    const double courses[] = {350, 10, 10, 0};
    for (int k = 0; k < 4; ++k) {
        t.boats[2].append(2000, 8000 + 0.01 * k, 50.0 + 10 * k);
        t.boats[2].TrkSpeed.back() = 4 + k;
        t.boats[2].TrkCourse.back() = courses[k];
    }
    // boat 3 has a single fix: never a segment
    t.boats[3].append(2000, 8000, 20);
    return t;
}
}  // namespace

class FrameStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        tracks = makeTracks();
        clock.PeriodFrom = -210;
        clock.PeriodTo = 100;
        clock.RaceTime = -30;
        clock.TimeStep = 1;
        fs.resetForRace(tracks, 3, clock);
    }
    FrameEvents at(double t) {
        clock.RaceTime = t;
        return fs.advance(tracks, finish, clock, 90, 800);
    }
    TrackStore tracks;
    PlaybackClock clock;
    FrameState fs;
    FinishInputs finish;
};

TEST_F(FrameStateTest, PositionsAndVisibility) {
    EXPECT_DOUBLE_EQ(fs.LastDataTime, 100);
    at(25);
    ASSERT_TRUE(fs.Boats[1].visible);
    EXPECT_EQ(fs.Boats[1].segment, 3);
    EXPECT_NEAR(fs.Boats[1].lat, 2000.025, 1e-9);
    EXPECT_DOUBLE_EQ(fs.Boats[1].speed, 6);
    EXPECT_DOUBLE_EQ(fs.Boats[1].twa, -90);
    EXPECT_FALSE(fs.Boats[2].visible);  // before its first fix
    EXPECT_FALSE(fs.Boats[3].visible);  // one fix: no segment ever
    EXPECT_DOUBLE_EQ(fs.Boats[2].lat, 0);
    at(65);
    EXPECT_TRUE(fs.Boats[2].visible);
    EXPECT_NEAR(fs.Boats[2].lon, 8000.015, 1e-9);
    at(85);
    EXPECT_FALSE(fs.Boats[2].visible);  // after its last fix
}

TEST_F(FrameStateTest, FitUsesShownBoatsWithAPosition) {
    DisplayOptions o;
    o.resetForRace(3);
    at(25);  // only boat 1 has a position
    auto pts = fs.positionsForFit(o);
    ASSERT_EQ(pts.size(), 1u);
    EXPECT_DOUBLE_EQ(pts[0].lat, fs.Boats[1].lat);
    at(65);
    EXPECT_EQ(fs.positionsForFit(o).size(), 2u);
    o.BoatShown[1] = false;
    EXPECT_EQ(fs.positionsForFit(o).size(), 1u);
}

TEST_F(FrameStateTest, HeadingTurnsTheShortWayInTheFirstSecond) {
    at(60.5);  // segment 2 (course 10) after 350: half way through north
    EXPECT_NEAR(fs.Boats[2].heading, 0, 1e-9);
    at(61);
    EXPECT_DOUBLE_EQ(fs.Boats[2].heading, 10);
    at(70.25);  // 10 -> 10: no turn
    EXPECT_DOUBLE_EQ(fs.Boats[2].heading, 10);
}

TEST_F(FrameStateTest, JumpAgainstTheSearchStillFindsTheBoat) {
    at(95);
    EXPECT_EQ(fs.SampleHint[1], 10);
    at(15);  // a jump back while playing forward
    ASSERT_TRUE(fs.Boats[1].visible);
    EXPECT_EQ(fs.Boats[1].segment, 2);
    clock.TimeStep = -1;
    at(5);
    EXPECT_EQ(fs.Boats[1].segment, 1);
}

TEST_F(FrameStateTest, ClockWrapsWithinThePeriodAndData) {
    fs.SampleHint[1] = 7;
    FrameEvents ev = at(100.01);  // past the last data
    EXPECT_TRUE(ev.wrapped);
    EXPECT_DOUBLE_EQ(clock.RaceTime, -210);
    EXPECT_EQ(fs.SampleHint[1], 1);
    // Backwards before the period continues at the earlier of period end and data end.
    clock.PeriodTo = 150;
    clock.TimeStep = -1;
    at(-211);
    EXPECT_DOUBLE_EQ(clock.RaceTime, 100);
    EXPECT_EQ(fs.SampleHint[2], 4);
    EXPECT_FALSE(at(-210).wrapped);
}

TEST_F(FrameStateTest, ClockExactlyAtTheEndOfThePeriodOrTheData) {
    // The end of the period belongs to the next pass: the clock wraps on it, not after it.
    clock.PeriodTo = 80;
    EXPECT_FALSE(at(79.99).wrapped);
    EXPECT_TRUE(at(80).wrapped);
    EXPECT_DOUBLE_EQ(clock.RaceTime, -210);
    // The last data time (100, boat 1's last fix) is still shown; past it the clock wraps.
    clock.PeriodTo = 150;
    EXPECT_FALSE(at(100).wrapped);
    EXPECT_DOUBLE_EQ(clock.RaceTime, 100);
    EXPECT_TRUE(at(100.001).wrapped);
    // Backwards the start of the period is inside it.
    clock.TimeStep = -1;
    EXPECT_FALSE(at(-210).wrapped);
    EXPECT_DOUBLE_EQ(clock.RaceTime, -210);
}

TEST_F(FrameStateTest, StartGunOncePerForwardPass) {
    int guns = 0;
    for (double t = -3; t < 5; t += 0.25) guns += at(t).playGun;
    EXPECT_EQ(guns, 1);
    for (double t = 4; t >= 0; t -= 0.25) guns += at(t).playGun;  // still forward: no re-arm
    EXPECT_EQ(guns, 1);
    clock.TimeStep = -1;  // backwards through the start: silent, but re-armed below 0
    for (double t = 3; t > -2; t -= 0.25) guns += at(t).playGun;
    EXPECT_EQ(guns, 1);
    clock.TimeStep = 1;
    for (double t = -1; t < 3; t += 0.25) guns += at(t).playGun;
    EXPECT_EQ(guns, 2);
}

TEST_F(FrameStateTest, FinishingListOrderAndResetOnWrap) {
    finish.courseCount = 4;
    finish.leadFinish = 70;
    finish.finishTime[1] = 80;
    finish.finishTime[2] = 70;
    finish.finishTime[3] = 0;  // never finished
    at(60);
    EXPECT_FALSE(fs.FinishListShown);
    FrameEvents ev = at(90);  // both finished since the last frame: listed by finish time
    EXPECT_TRUE(ev.finishListChanged);
    EXPECT_TRUE(ev.playGun);
    ASSERT_EQ(fs.FinishCount, 2);
    EXPECT_EQ(fs.FinishOrder[1], 2);
    EXPECT_EQ(fs.FinishOrder[2], 1);
    EXPECT_EQ(fs.LastFinisher, 1);
    EXPECT_EQ(fs.finishRowText(2, finish), "00:01:20   <10>");
    EXPECT_FALSE(at(95).finishListChanged);  // nobody listed twice
    EXPECT_EQ(fs.FinishCount, 2);
    at(101);  // wraps to the period start, before the first finish
    EXPECT_EQ(fs.FinishCount, 0);
    EXPECT_FALSE(fs.FinishListShown);
    EXPECT_EQ(fs.Finished[2], 0);
}

TEST_F(FrameStateTest, FinishingListIsTheBoatsFinishedByTheShownTime) {
    finish.courseCount = 4;
    finish.leadFinish = 70;
    finish.finishTime[1] = 80;
    finish.finishTime[2] = 70;
    at(90);
    ASSERT_EQ(fs.FinishCount, 2);
    // Backwards past boat 1's finish, then forwards again short of it: boat 2 alone.
    clock.TimeStep = -1;
    at(75);
    EXPECT_EQ(fs.FinishCount, 1);
    EXPECT_EQ(fs.FinishOrder[1], 2);
    clock.TimeStep = 1;
    EXPECT_FALSE(at(76).playGun);
    EXPECT_EQ(fs.FinishCount, 1);
    EXPECT_EQ(fs.Finished[1], 0);
    // A jump back before the first finish empties it; one forward over both lists them in order.
    at(50);
    EXPECT_EQ(fs.FinishCount, 0);
    EXPECT_FALSE(fs.FinishListShown);
    at(85);
    ASSERT_EQ(fs.FinishCount, 2);
    EXPECT_EQ(fs.FinishOrder[1], 2);
    EXPECT_EQ(fs.FinishOrder[2], 1);
    // Backwards, reaching a list that already has a boat, fires no gun.
    clock.TimeStep = -1;
    at(79);
    EXPECT_FALSE(at(78).playGun);
}

TEST_F(FrameStateTest, EveryRowOfTheFinishingListGivesItsGapToTheWinner) {
    finish.courseCount = 4;
    finish.leadFinish = 70;
    finish.finishTime[1] = 80;
    finish.finishTime[2] = 70;
    finish.finishTime[3] = 95;
    at(99);
    ASSERT_EQ(fs.FinishCount, 3);
    EXPECT_EQ(fs.finishRowText(1, finish), "00:01:10   <0>");
    EXPECT_EQ(fs.finishRowText(2, finish), "00:01:20   <10>");
    EXPECT_EQ(fs.finishRowText(3, finish), "00:01:35   <25>");  // not 15 behind the second
    EXPECT_EQ(fs.finishRowText(4, finish), "");
}

TEST_F(FrameStateTest, NobodyFinishedShowsNoList) {
    finish.courseCount = 2;  // leader's finish time 0: not finished
    at(50);
    EXPECT_FALSE(fs.FinishListShown);
    EXPECT_EQ(fs.FinishCount, 0);
}

TEST_F(FrameStateTest, FlagsShowAndLower) {
    at(-100);
    EXPECT_TRUE(fs.BlueP.shown);
    EXPECT_FALSE(fs.Seven.shown);
    at(-59);
    EXPECT_TRUE(fs.BlueP.shown);
    EXPECT_NEAR(fs.BlueP.top, 10 + 800.0 / 30, 1e-9);
    EXPECT_TRUE(fs.Seven.shown);
    EXPECT_DOUBLE_EQ(fs.Seven.top, 10);
    at(-50);
    EXPECT_FALSE(fs.BlueP.shown);
    at(3);
    EXPECT_TRUE(fs.Seven.shown);
    EXPECT_GT(fs.Seven.top, 10);
    at(6);
    EXPECT_FALSE(fs.Seven.shown);
}

TEST(FrameStateTexts, ClockAndCountdown) {
    EXPECT_EQ(FrameState::clockText(-0.5), "00:00:01");
    EXPECT_EQ(FrameState::clockText(-180), "00:03:00");
    EXPECT_EQ(FrameState::clockText(3725.9), "01:02:05");
    EXPECT_EQ(FrameState::clockText(NAN), "00:00:00");
    EXPECT_EQ(FrameState::clockColour(-0.1), kRed);
    EXPECT_EQ(FrameState::clockColour(0), kBlue);
    EXPECT_TRUE(FrameState::countdownVisible(-30));
    EXPECT_TRUE(FrameState::countdownVisible(10));
    EXPECT_FALSE(FrameState::countdownVisible(10.1));
    EXPECT_EQ(FrameState::countdownColour(0.9), kRed);
    EXPECT_EQ(FrameState::countdownColour(1), kBlue);
    EXPECT_EQ(FrameState::countdownValue(-12.3), 13);
    EXPECT_EQ(FrameState::timeOfDayText(parseDateTime("2024/05/03 13:00:00"), 75.6), "13:01:15");
    EXPECT_EQ(FrameState::timeOfDayText(RaceTime(), 5), "");
}

TEST(BoatColours, TableRepeats) {
    EXPECT_EQ(boatColourFor(1), (Rgb{255, 0, 0}));
    EXPECT_EQ(boatColourFor(7), kBlack);
    EXPECT_EQ(boatColourFor(13), boatColourFor(3));
    EXPECT_EQ(boatColourFor(16), boatColourFor(1));
    EXPECT_EQ(boatColourFor(30), boatColourFor(15));
    EXPECT_EQ(boatColourFor(46), boatColourFor(1));
    EXPECT_EQ(boatColourFor(50), boatColourFor(5));
    DisplayOptions o;
    o.resetForRace(3);
    EXPECT_TRUE(o.shown(3));
    EXPECT_FALSE(o.shown(4));
    o.applySwatch(1);
    EXPECT_EQ(o.InkColour, kBlack);
    o.applySwatch(9);  // ignored
    EXPECT_EQ(o.SeaColour, (Rgb{0, 255, 255}));
}

TEST(WindNowTest, InterpolatesThroughNorthAndAddsVariation) {
    std::vector<double> sec{0, 0, 100, 200}, speed{0, 4, 8, 8}, dir{0, 350, 10, 20};
    WindSamples w{sec, speed, dir};
    WindNow wn;
    ASSERT_TRUE(wn.update(w, 50, 1, 0));
    EXPECT_NEAR(wn.WindDirNow, 0, 1e-9);
    EXPECT_DOUBLE_EQ(wn.WindSpeedNow, 6);
    ASSERT_TRUE(wn.update(w, 25, 1, -7));
    EXPECT_NEAR(wn.WindDirFile, 355, 1e-9);
    EXPECT_NEAR(wn.WindDirNow, 348, 1e-9);
    // Backwards from a later hint, and outside the samples the end values hold.
    ASSERT_TRUE(wn.update(w, 150, 1, 0));
    EXPECT_EQ(wn.WindHint, 2);
    ASSERT_TRUE(wn.update(w, 10, -1, 0));
    EXPECT_EQ(wn.WindHint, 1);
    // At a sample's own second the dial shows that sample (the clock ticks in whole seconds and
    // samples are whole minutes): 10 degrees and 8 knots at 100.
    ASSERT_TRUE(wn.update(w, 100, 1, 0));
    EXPECT_DOUBLE_EQ(wn.WindDirNow, 10);
    EXPECT_DOUBLE_EQ(wn.WindSpeedNow, 8);
    ASSERT_TRUE(wn.update(w, 500, 1, 0));
    EXPECT_DOUBLE_EQ(wn.WindDirNow, 20);
    ASSERT_TRUE(wn.update(w, -50, 1, 0));
    EXPECT_DOUBLE_EQ(wn.WindDirNow, 350);
    std::vector<double> one{0, 3};
    ASSERT_TRUE(wn.update(WindSamples{one, one, one}, 9, 1, -7));
    EXPECT_DOUBLE_EQ(wn.WindDirNow, 356);
    EXPECT_FALSE(wn.update(WindSamples{}, 9, 1, 0));
}
