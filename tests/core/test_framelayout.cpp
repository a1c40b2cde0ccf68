// The frame layout: where the boats lie on the map box and how big they are, what is in view,
// the time panel's texts and colours, the boat panel's values, the hit test and the overview's
// preview.
#include <gtest/gtest.h>

#include "display/framelayout.h"
#include "track/trackstore.h"

using namespace brisko;

namespace {

// Boat 1 sails north from (2000', 8000') with a sample every 10 s from 0 to 100; boat 2 sails
// east from 50 to 80 s; boat 3 has a single fix and never a segment.
TrackStore makeTracks() {
    TrackStore t;
    t.reset(3);
    for (int k = 0; k <= 10; ++k) {
        t.boats[1].append(2000 + 0.01 * k, 8000, 10.0 * k);
        t.boats[1].TrkSpeed.back() = 6;
    }
    for (int k = 0; k < 4; ++k) {
        t.boats[2].append(2000, 8000 + 0.01 * k, 50.0 + 10 * k);
        t.boats[2].TrkSpeed.back() = 4 + k;
        t.boats[2].TrkCourse.back() = 90;
    }
    t.boats[3].append(2000, 8000, 20);
    t.HomeLat = 2000.05;
    t.HomeLon = 8000.02;
    t.TrackSpan = 0.2;
    t.MPerMinLat = t.MPerMinLon = 1852;
    return t;
}

class FrameLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        tracks = makeTracks();
        race.BoatCount = 3;
        race.Boats[1].BoatName = "One";
        race.Boats[2].BoatName = "Two";
        race.BoatLength = 8;
        race.RaceStart = parseDateTime("2024/05/03 10:00:00");
        clock.PeriodFrom = -210;
        clock.PeriodTo = 1000;
        clock.TimeStep = 1;
        frame.resetForRace(tracks, 3, clock);
        view.setupForRace(tracks, 400, 1, 0);
        options.resetForRace(3);
    }
    // The frame at time t derived and laid out, as the race session does it.
    void at(double t) {
        clock.RaceTime = t;
        frame.advance(tracks, {}, clock, 0, view.MapSize);
        layout.layOut(frame, tracks, race, t, 10, view, options);
    }
    TrackStore tracks;
    RaceDefinition race;
    PlaybackClock clock;
    FrameState frame;
    MapView view;
    DisplayOptions options;
    FrameLayout layout;
};

}  // namespace

TEST(FrameLayoutSymbol, RealSizeOrEnlargedNeverBelowThreePixels) {
    bool real = false;
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(8, 2, true, 15, real), 16.0);
    EXPECT_TRUE(real);
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(2, 2, true, 15, real), 15.0);
    EXPECT_FALSE(real);
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(2, 2, false, 15, real), 4.0);
    EXPECT_TRUE(real);
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(2, 0.1, false, 15, real), 3.0);
    // A scale that is no number gives the smallest symbol rather than none.
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(2, std::nan(""), false, 15, real), 3.0);
    // A boat exactly as large as the enlarged size is shown at its real size: "Real Size".
    EXPECT_DOUBLE_EQ(FrameLayout::symbolSize(5, 3, true, 15, real), 15.0);
    EXPECT_TRUE(real);
}

TEST(FrameLayoutHitTest, EverySymbolDrawnIsFoundHoweverSmallAndNoneThatIsNot) {
    FrameLayout layout;
    layout.boats[3].x = 100;
    layout.boats[3].y = 50;
    layout.boats[3].size = 0.5;  // a boat far out on the whole race area
    EXPECT_EQ(layout.boatAt(100.2, 50.2), 3);
    EXPECT_EQ(layout.boatAt(100.3, 50), 0);
    layout.boats[3].size = 0;  // not drawn
    EXPECT_EQ(layout.boatAt(100, 50), 0);
}

TEST(FrameLayoutLabel, NameAndSpeedInKnots) {
    EXPECT_EQ(boatLabelText("Alpha", 5.254), "Alpha (5.25)");
    EXPECT_EQ(boatLabelText("Alpha", 6), "Alpha (6)");
}

TEST_F(FrameLayoutTest, BoatsLieWhereTheViewPutsThemAndOnlyBoatsWithAPosition) {
    at(25);
    const ScreenPoint p1 = view.toScreen(frame.Boats[1].lat, frame.Boats[1].lon);
    EXPECT_TRUE(layout.boats[1].drawn);
    EXPECT_DOUBLE_EQ(layout.boats[1].x, p1.x);
    EXPECT_DOUBLE_EQ(layout.boats[1].y, p1.y);
    EXPECT_TRUE(layout.boats[1].inView);
    EXPECT_TRUE(layout.anyInView);
    // Boat 2 starts later, boat 3 never has a segment: neither is drawn nor hit.
    EXPECT_FALSE(layout.boats[2].drawn);
    EXPECT_DOUBLE_EQ(layout.boats[2].size, 0);
    EXPECT_FALSE(layout.boats[3].drawn);
    // The boats are small at this scale: enlarged to the minimum size.
    EXPECT_FALSE(layout.realSize);
    EXPECT_DOUBLE_EQ(layout.boats[1].size, DisplayOptions::kMinEnlargedSize);
    options.Enlarge = false;
    at(25);
    EXPECT_TRUE(layout.realSize);
    EXPECT_DOUBLE_EQ(layout.boats[1].size, std::max(8 * view.PxPerMetre, 3.0));

    // The view moved away: the boat is laid out outside the map box and nothing is in view.
    view.CenterLat += 1;
    view.recompute();
    at(26);
    EXPECT_TRUE(layout.boats[1].drawn);
    EXPECT_FALSE(layout.boats[1].inView);
    EXPECT_FALSE(layout.anyInView);
    EXPECT_FALSE(FrameLayout::anyBoatInView(frame, view, options));

    // The speed graph instead of the chart: no symbols, but a boat with a position counts as
    // in view, so that the replay does not race over it.
    options.ViewMode = ViewModeKind::SpeedGraph;
    at(27);
    EXPECT_FALSE(layout.boats[1].drawn);
    EXPECT_TRUE(layout.anyInView);
    EXPECT_TRUE(FrameLayout::anyBoatInView(frame, view, options));
    EXPECT_EQ(layout.boatAt(layout.boats[1].x, layout.boats[1].y), 0);
}

TEST_F(FrameLayoutTest, ClockCountdownAndTimeOfDay) {
    at(-30.5);
    EXPECT_EQ(layout.clockText, "00:00:31");
    EXPECT_EQ(layout.clockColour, kRed);
    EXPECT_FALSE(layout.countdownVisible);  // 30.5 s before the start is not yet counted
    at(-12.5);
    EXPECT_TRUE(layout.countdownVisible);
    EXPECT_EQ(layout.countdownText, "13");
    EXPECT_EQ(layout.countdownColour, kRed);
    at(25);
    EXPECT_EQ(layout.clockText, "00:00:25");
    EXPECT_EQ(layout.clockColour, kBlue);
    EXPECT_FALSE(layout.countdownVisible);
    EXPECT_EQ(layout.timeOfDay, "10:00:25");
    // With no boat in view the time of day stays as it was last shown; the clock goes on.
    view.CenterLat += 1;
    view.recompute();
    at(40);
    EXPECT_EQ(layout.clockText, "00:00:40");
    EXPECT_EQ(layout.timeOfDay, "10:00:25");
}

TEST_F(FrameLayoutTest, BoatPanelSpeedIsRewrittenOnlyWhenItChangesAndWhileInView) {
    at(55);
    EXPECT_TRUE(layout.panel[1].speedChanged);
    EXPECT_EQ(layout.panel[1].speedText, "6.00");
    EXPECT_EQ(layout.panel[2].speedText, "4.00");
    EXPECT_EQ(layout.panel[1].twaText, "0");
    EXPECT_EQ(layout.panel[2].twaText, "90");
    EXPECT_DOUBLE_EQ(layout.panel[2].barLength, 40);  // 10 pixels a knot
    at(56);
    EXPECT_FALSE(layout.panel[1].speedChanged);  // same speed: the text is not written again
    at(65);
    EXPECT_TRUE(layout.panel[2].speedChanged);
    EXPECT_EQ(layout.panel[2].speedText, "5.00");
    // An unticked boat has no bar; its texts stay.
    options.BoatShown[2] = false;
    at(66);
    EXPECT_DOUBLE_EQ(layout.panel[2].barLength, 0);
    EXPECT_EQ(layout.panel[2].speedText, "5.00");
    options.BoatShown[2] = true;
    at(67);
    EXPECT_DOUBLE_EQ(layout.panel[2].barLength, 50);
    // Out of view the panel keeps the last speed shown.
    view.CenterLat += 1;
    view.recompute();
    at(75);
    EXPECT_EQ(layout.panel[2].speedText, "5.00");
    EXPECT_DOUBLE_EQ(layout.panel[2].barLength, 50);
    // A new race: every speed is written afresh.
    layout.resetForRace();
    view.CenterLat -= 1;
    view.recompute();
    at(76);
    EXPECT_TRUE(layout.panel[1].speedChanged);
    EXPECT_EQ(layout.panel[2].speedText, "6.00");
}

TEST_F(FrameLayoutTest, SpeedTextsKeepTheirFormat) {
    // Below a knot there is no leading zero; halves of the last decimal round up.
    tracks.boats[1].TrkSpeed[3] = 0.125;
    tracks.boats[1].TrkSpeed[4] = 5.125;
    tracks.boats[1].TrkSpeed[5] = 12.3449;
    at(25);
    EXPECT_EQ(layout.panel[1].speedText, ".13");
    at(35);
    EXPECT_EQ(layout.panel[1].speedText, "5.13");
    at(45);
    EXPECT_EQ(layout.panel[1].speedText, "12.34");
    // No speed (a stop) writes nothing.
    tracks.boats[1].TrkSpeed[6] = 0;
    at(55);
    EXPECT_FALSE(layout.panel[1].speedChanged);
    EXPECT_EQ(layout.panel[1].speedText, "12.34");
}

TEST_F(FrameLayoutTest, WakesAndNames) {
    // Boat 2 logs every 2 s here.
    tracks.boats[2].clear();
    for (int k = 0; k <= 15; ++k) tracks.boats[2].append(2000, 8000 + 0.001 * k, 50.0 + 2 * k);
    // Whole tracks drawn: no short wakes, and no names outside auto trace.
    options.BoatNames = true;
    at(65);
    EXPECT_EQ(layout.boats[1].wakePoints, 0);
    EXPECT_TRUE(layout.boats[1].label.empty());
    // Whole tracks off: the boat, then the samples behind it, newest first...
    options.WakeOn = false;
    at(65);
    const ScreenPoint s7 = view.toScreen(tracks.TrkLat(1, 7), tracks.TrkLon(1, 7));
    EXPECT_DOUBLE_EQ(layout.boats[1].wake[0].x, layout.boats[1].x);
    EXPECT_DOUBLE_EQ(layout.boats[1].wake[1].x, s7.x);
    EXPECT_DOUBLE_EQ(layout.boats[1].wake[1].y, s7.y);
    // ...ending at the first sample more than 30 s old (at 30 s: 35 s before 65)...
    EXPECT_EQ(layout.boats[1].wakePoints, 5);
    // ...and at five samples, however close they lie.
    EXPECT_EQ(layout.boats[2].wakePoints, 6);
    // A boat near the start of its log has fewer behind it.
    at(53);
    EXPECT_EQ(layout.boats[2].wakePoints, 3);
    // Names in auto trace: every boat's with the names box, else the marked boats'.
    options.AutoTrace = true;
    tracks.boats[2].TrkSpeed[8] = 5;
    at(65);
    EXPECT_EQ(layout.boats[2].label, "Two (5)");
    options.BoatNames = false;
    options.BoatMarked[1] = true;
    at(65);
    EXPECT_EQ(layout.boats[1].label, "One (6)");
    EXPECT_TRUE(layout.boats[2].label.empty());
}

TEST_F(FrameLayoutTest, HitTestFindsTheSymbolUnderThePointTopmostFirst) {
    options.Enlarge = false;
    at(55);
    const BoatPlace b1 = layout.boats[1];
    ASSERT_TRUE(b1.drawn && layout.boats[2].drawn);
    const double half = b1.size / 2;
    EXPECT_EQ(layout.boatAt(b1.x, b1.y), 1);
    EXPECT_EQ(layout.boatAt(b1.x + half, b1.y - half), 1);  // the box's edge belongs to it
    EXPECT_EQ(layout.boatAt(b1.x + half + 0.5, b1.y), 0);
    // Enlarged symbols overlap: the boat painted last, on top, is found.
    options.Enlarge = true;
    options.MinEnlargedSize = 400;
    at(55);
    EXPECT_EQ(layout.boatAt(layout.boats[1].x, layout.boats[1].y), 2);
    // Out of the race time no boat is drawn and none is found.
    at(500);
    EXPECT_EQ(layout.boatAt(b1.x, b1.y), 0);
}

TEST_F(FrameLayoutTest, OverviewPreviewAtAPreviewedTime) {
    layout.previewAt(tracks, 3, 62);
    ASSERT_TRUE(layout.previewing);
    ASSERT_EQ(layout.preview.size(), 2u);  // boat 3 has no segment
    EXPECT_EQ(layout.preview[0].boat, 1);
    EXPECT_DOUBLE_EQ(layout.preview[0].at.lat, tracks.TrkLat(1, 7));  // the segment's start
    EXPECT_EQ(layout.preview[1].boat, 2);
    EXPECT_DOUBLE_EQ(layout.preview[1].at.lon, tracks.TrkLon(2, 2));
    // Before boat 2's log and after both: fewer dots.
    layout.previewAt(tracks, 3, 20);
    ASSERT_EQ(layout.preview.size(), 1u);
    layout.previewAt(tracks, 3, 100);
    EXPECT_TRUE(layout.preview.empty());
    // Only the race's boats, however many the caller names.
    layout.previewAt(tracks, 1, 62);
    EXPECT_EQ(layout.preview.size(), 1u);
    layout.previewAt(tracks, 99, 62);
    EXPECT_EQ(layout.preview.size(), 2u);
    layout.endPreview();
    EXPECT_FALSE(layout.previewing);
    EXPECT_TRUE(layout.preview.empty());
}
