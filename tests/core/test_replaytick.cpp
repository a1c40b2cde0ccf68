// The replay tick of the race session: the clock steps on and the frame is laid out once; a
// stretch with no boat in the map box is crossed faster; a stopped clock stays; auto trace keeps
// the view on the boats.
#include <gtest/gtest.h>

#include "session/racesession.h"

using namespace brisko;

namespace {

const std::string kApp = BRISKO_TEST_DATA "/tracks/app";

struct Replay {
    AppSettings settings;
    CapturingMessageSink sink;
    std::unique_ptr<RaceSession> session;
    MapView view;
    DisplayOptions options;

    Replay() {
        settings.AppPath = kApp;
        settings.Lang = 1;
        settings.EditionMode = 1;
        RaceRequest req;
        req.seed.RaceFileName = "race1.txt";
        session = RaceSession::open(settings, req, sink).session;
        if (!session) return;
        const RaceDefinition& race = session->race();
        view.setupForRace(session->tracks(), 800, race.NorthUp, race.MeanWindDir);
        options.resetForRace(session->boatCount());
    }
    RaceSession& s() { return *session; }
    double time() const { return session->clock().RaceTime; }
    // The view moved far off the race area: no boat can be in the map box.
    void lookElsewhere() {
        view.CenterLat += 30;
        view.recompute();
    }
};

}  // namespace

TEST(ReplayTick, StepsTheClockAndLaysTheFrameOutOnce) {
    Replay r;
    ASSERT_TRUE(r.session);
    r.s().jumpTo(600);
    r.s().showFrame(r.view, r.options);
    ASSERT_TRUE(r.s().frameLayout().anyInView);
    const long long laidOut = r.s().frameLayout().framesLaidOut;
    const int ticks = r.s().clock().TickCount;
    const double step = r.s().clock().TimeStep;
    ASSERT_GT(step, 0);
    for (int i = 1; i <= 10; ++i) {
        const FrameShown shown = r.s().replayTick(r.view, r.options);
        EXPECT_TRUE(shown.laidOut);
        EXPECT_DOUBLE_EQ(r.time(), 600 + i * step);
        EXPECT_EQ(r.s().frameLayout().framesLaidOut, laidOut + i);
        EXPECT_DOUBLE_EQ(r.s().frameLayout().raceTime, r.time());
    }
    EXPECT_EQ(r.s().clock().TickCount, ticks + 10);
    // The layout follows the frame the tick derived.
    const BoatFrame& b = r.s().frame().Boats[1];
    ASSERT_TRUE(b.visible);
    const ScreenPoint p = r.view.toScreen(b.lat, b.lon);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().boats[1].x, p.x);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().boats[1].y, p.y);
}

TEST(ReplayTick, AStretchWithNoBoatInViewIsCrossedFaster) {
    Replay r;
    ASSERT_TRUE(r.session);
    r.s().jumpTo(600);
    r.lookElsewhere();
    const double step = r.s().clock().TimeStep;
    const long long laidOut = r.s().frameLayout().framesLaidOut;
    const FrameShown shown = r.s().replayTick(r.view, r.options);
    // The step, then three catch-up steps of 5 s; laid out once, where the tick ended.
    EXPECT_TRUE(shown.laidOut);
    EXPECT_DOUBLE_EQ(r.time(), 600 + step + 3 * kCatchUpSeconds);
    EXPECT_EQ(r.s().frameLayout().framesLaidOut, laidOut + 1);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().raceTime, r.time());
    EXPECT_FALSE(r.s().frameLayout().anyInView);

    // Backwards the stretch is crossed backwards.
    r.s().backward();
    r.s().jumpTo(600);
    r.s().replayTick(r.view, r.options);
    EXPECT_DOUBLE_EQ(r.time(), 600 - step - 3 * kCatchUpSeconds);

    // On the speed graph there is no map box to leave: only the step.
    r.s().forward();
    r.s().jumpTo(600);
    r.options.ViewMode = ViewModeKind::SpeedGraph;
    r.s().replayTick(r.view, r.options);
    EXPECT_DOUBLE_EQ(r.time(), 600 + step);
    // In auto trace the view follows the boats instead.
    r.options.ViewMode = ViewModeKind::Map;
    r.options.AutoTrace = true;
    r.s().jumpTo(600);
    const FrameShown traced = r.s().replayTick(r.view, r.options);
    EXPECT_DOUBLE_EQ(r.time(), 600 + step);
    EXPECT_TRUE(traced.viewFitted);
    EXPECT_TRUE(r.s().frameLayout().anyInView);
}

TEST(ReplayTick, CatchingUpStopsWhereABoatComesIntoView) {
    Replay r;
    ASSERT_TRUE(r.session);
    const double step = r.s().clock().TimeStep;
    // A close view on where boat 1 is 10 s (two catch-up steps) after the tick's step.
    Replay ahead;
    ahead.s().jumpTo(600 + step + 2 * kCatchUpSeconds);
    ahead.s().showFrame(ahead.view, ahead.options);
    const BoatFrame b = ahead.s().frame().Boats[1];
    ASSERT_TRUE(b.visible);
    r.view.CenterLat = b.lat;
    r.view.CenterLon = b.lon;
    r.view.Zoom = 400;
    r.view.recompute();
    // Neither boat is in that view at the step nor one catch-up step later.
    for (double t : {600 + step, 600 + step + kCatchUpSeconds}) {
        ahead.s().jumpTo(t);
        ahead.s().showFrame(ahead.view, ahead.options);
        ASSERT_FALSE(FrameLayout::anyBoatInView(ahead.s().frame(), r.view, r.options)) << t;
    }
    r.s().jumpTo(600);
    r.s().replayTick(r.view, r.options);
    EXPECT_DOUBLE_EQ(r.time(), 600 + step + 2 * kCatchUpSeconds);
    EXPECT_TRUE(r.s().frameLayout().anyInView);
    EXPECT_TRUE(r.s().frameLayout().boats[1].inView);
}

TEST(ReplayTick, AStoppedReplayShowsNothingNew) {
    Replay r;
    ASSERT_TRUE(r.session);
    r.s().jumpTo(600);
    r.s().showFrame(r.view, r.options);
    r.s().stop();
    const long long laidOut = r.s().frameLayout().framesLaidOut;
    const double step = r.s().clock().TimeStep;
    r.lookElsewhere();  // not even a stretch without boats sets it going
    // A tick that fires while stopped counts and moves the clock by its step (the timer is off
    // while stopped; the window's step buttons move on from there), but the frame shown stays.
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(r.s().replayTick(r.view, r.options).laidOut);
    EXPECT_DOUBLE_EQ(r.time(), 600 + 5 * step);
    EXPECT_EQ(r.s().frameLayout().framesLaidOut, laidOut);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().raceTime, 600);
    EXPECT_TRUE(r.s().frameLayout().anyInView);
    // In auto trace a stopped replay still keeps the view on the boats.
    r.options.AutoTrace = true;
    const FrameShown shown = r.s().replayTick(r.view, r.options);
    EXPECT_TRUE(shown.laidOut);
    EXPECT_TRUE(shown.viewFitted);
    EXPECT_TRUE(r.s().frameLayout().anyInView);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().raceTime, r.time());
    // A step moves the stopped clock by a whole second, and the frame follows.
    const double before = r.time();
    r.s().stepForward();
    r.s().showFrame(r.view, r.options);
    EXPECT_DOUBLE_EQ(r.s().frameLayout().raceTime, before + 1);
}

TEST(ReplayTick, EventsOfEveryFrameCrossedAreKept) {
    Replay r;
    ASSERT_TRUE(r.session);
    // The start gun sounds in the race's first two seconds: a catch-up step that lands there
    // and the steps after it still report it.
    r.lookElsewhere();
    r.s().jumpTo(-4);
    r.s().showFrame(r.view, r.options);
    const FrameShown shown = r.s().replayTick(r.view, r.options);
    EXPECT_GT(r.time(), 10);
    EXPECT_TRUE(shown.events.playGun);
    // The rate timer reads the layout: ten seconds with no boat in view ask for a refit.
    bool refit = false;
    for (int i = 1; i <= 12 && !refit; ++i) refit = r.s().rateTick(i * 1.0);
    EXPECT_TRUE(refit);
}
