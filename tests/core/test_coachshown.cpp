// Where the coach's analyses are shown from: the race session that works them out when a race
// opens and again when its wind or roundings change, the focused boats' manoeuvres laid out on
// the map box with their hints, and the manoeuvres and the estimated wind on the speed graph.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "analysis/coachmarks.h"
#include "analysis/speedgraph.h"
#include "homeview.h"
#include "session/racesession.h"

using namespace brisko;
namespace fs = std::filesystem;

namespace {

Manoeuvre at(double lat, double lon, double time, ManoeuvreKind kind = ManoeuvreKind::Tack) {
    Manoeuvre m;
    m.lat = lat;
    m.lon = lon;
    m.time = time;
    m.kind = kind;
    m.lossM = 12;
    return m;
}

struct Chart : ::testing::Test {
    MapView view = homeView();  // (2100', 8300') at (400, 400), 60 pixels a minute
    RaceDefinition race;
    DisplayOptions options;
    CoachAnalysis a;
    std::vector<ManoeuvreMark> marks;
    void SetUp() override {
        race.BoatCount = 3;
        race.Boats[1].BoatName = "Orca";
        race.Boats[2].BoatName = "Mistral";
        race.Boats[3].BoatName = "Blue Wing";
        options.resetForRace(3);
        options.Manoeuvres = true;
        a.manoeuvres.resize(4);
        a.manoeuvres[1] = {at(2100, 8300, 60), at(2101, 8301, 200, ManoeuvreKind::Gybe),
                           at(2120, 8300, 300)};  // 20 minutes north: off the map box
        a.manoeuvres[2] = {at(2099, 8299, 90, ManoeuvreKind::Penalty)};
        a.manoeuvres[3] = {at(2100.05, 8300, 120)};
    }
    void layOut(bool english = true) {
        marks = layOutManoeuvreMarks(a, race, view, options, english);
    }
};

}  // namespace

TEST_F(Chart, OnlyTheFocusedBoatsManoeuvresInTheMapBoxAreLaidOut) {
    layOut();
    EXPECT_TRUE(marks.empty());  // no boat focused
    options.BoatMarked[1] = true;
    options.FocusBoat = 1;  // boat 2 under the mouse in the boat list
    layOut();
    ASSERT_EQ(marks.size(), 3u);
    const ManoeuvreMark& tack = marks[0];
    EXPECT_EQ(tack.boat, 1);
    EXPECT_EQ(tack.kind, ManoeuvreKind::Tack);
    EXPECT_DOUBLE_EQ(tack.x, 400);
    EXPECT_DOUBLE_EQ(tack.y, 400);
    EXPECT_EQ(tack.hint, "Orca: tack 1:00, loss 12.0 m");
    const ManoeuvreMark& gybe = marks[1];
    EXPECT_EQ(gybe.kind, ManoeuvreKind::Gybe);
    EXPECT_NEAR(gybe.x, view.toScreen(2101, 8301).x, 1e-9);
    EXPECT_NEAR(gybe.y, 340, 1e-9);
    EXPECT_EQ(marks[2].boat, 2);
    EXPECT_EQ(marks[2].kind, ManoeuvreKind::Penalty);

    // An unticked boat shows none; the Japanese hint.
    options.BoatShown[2] = false;
    layOut(false);
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_EQ(marks[0].hint, "Orca: タック 1:00、損失 12.0 m");
}

TEST_F(Chart, NoSymbolsWithTheBoxOffOnTheGraphOrWithoutAnalysis) {
    options.BoatMarked[1] = options.BoatMarked[3] = true;
    options.Manoeuvres = false;
    layOut();
    EXPECT_TRUE(marks.empty());
    options.Manoeuvres = true;
    options.ViewMode = ViewModeKind::SpeedGraph;
    layOut();
    EXPECT_TRUE(marks.empty());
    // An analysis with fewer boats than the race, or none, lays out what it has.
    options.ViewMode = ViewModeKind::Map;
    a.manoeuvres.resize(2);
    layOut();
    EXPECT_EQ(marks.size(), 2u);
    a = CoachAnalysis{};
    layOut();
    EXPECT_TRUE(marks.empty());
}

TEST_F(Chart, TheMouseFindsTheSymbolUnderItTheLastLaidOutOnTop) {
    options.BoatMarked[1] = options.BoatMarked[3] = true;
    layOut();
    ASSERT_EQ(marks.size(), 3u);
    // Boat 3's tack lies 3 pixels north of boat 1's and is painted over it.
    EXPECT_EQ(manoeuvreMarkAt(marks, 400, 397), 2);
    EXPECT_EQ(manoeuvreMarkAt(marks, 400, 403), 0);
    EXPECT_EQ(manoeuvreMarkAt(marks, 404, 404), 0);
    EXPECT_EQ(manoeuvreMarkAt(marks, 405, 404), -1);  // beyond half the symbol
    EXPECT_EQ(manoeuvreMarkAt(marks, marks[1].x, 340), 1);
    EXPECT_EQ(manoeuvreMarkAt(marks, 100, 100), -1);
}

TEST(SpeedGraphCoach, TicksAtTheShownBoatsManoeuvresWithinTheDrawnTimes) {
    const SpeedGraphScale s = speedGraphScale(700, 3000, 3300, 200);
    DisplayOptions options;
    options.resetForRace(3);
    options.BoatShown[2] = false;
    CoachAnalysis a;
    a.manoeuvres.resize(4);
    a.manoeuvres[1] = {at(0, 0, -120), at(0, 0, -30), at(0, 0, 600, ManoeuvreKind::Gybe),
                       at(0, 0, 3000)};  // before the drawn minute, in it, racing, at the finish
    a.manoeuvres[2] = {at(0, 0, 100)};
    a.manoeuvres[3] = {at(0, 0, 200, ManoeuvreKind::Penalty)};
    const auto ticks = manoeuvreTicks(a, options, 3, s);
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_DOUBLE_EQ(ticks[0].y, s.yForTime(-30));
    EXPECT_EQ(ticks[1].kind, ManoeuvreKind::Gybe);
    EXPECT_DOUBLE_EQ(ticks[1].y, s.yForTime(600));
    EXPECT_EQ(ticks[2].boat, 3);
    EXPECT_EQ(manoeuvreTicks(a, options, 1, s).size(), 2u);  // the race's boats only
    EXPECT_TRUE(manoeuvreTicks(a, options, 3, speedGraphScale(10, 3000, 3300, 200)).empty());
}

TEST(SpeedGraphCoach, EstimatedWindIsDrawnMagneticAndBrokenWhereItWrapsAcrossThePanel) {
    // The panel runs from 110 (mean 200 less 90) round to 470 = 110.
    const SpeedGraphScale s = speedGraphScale(700, 3000, 3300, 200);
    WindInForce w;
    w.source = WindSource::Estimated;
    w.samples = {{-100, 200}, {0, 200}, {600, 110}, {1200, 100}, {1800, 120}, {4000, 200}};
    const auto runs = windDirectionRuns(w, -7, s);  // true 200 is magnetic 207
    ASSERT_EQ(runs.size(), 3u);
    ASSERT_EQ(runs[0].size(), 2u);  // -100 is before the drawn minute
    EXPECT_DOUBLE_EQ(runs[0][0].x, s.xForDirection(207));
    EXPECT_DOUBLE_EQ(runs[0][0].y, s.yForTime(0));
    EXPECT_DOUBLE_EQ(runs[0][1].x, s.xForDirection(117));
    EXPECT_EQ(runs[1].size(), 1u);  // 107 magnetic lies at the panel's far edge
    EXPECT_GT(runs[1][0].x, 380);
    EXPECT_EQ(runs[2].size(), 1u);  // back at 127, and 4000 s is past the finish
    EXPECT_TRUE(windDirectionRuns(WindInForce{}, 0, s).empty());
}

// --- The race session --------------------------------------------------------------------------

namespace {

const std::string kApp = BRISKO_TEST_DATA "/tracks/app";

// A stand-in for the analyses that tells what it was given each time.
struct Analyser {
    struct Call {
        int windCount = 0;
        int entries = 0;
        int boats = 0;
    };
    std::shared_ptr<std::vector<Call>> calls = std::make_shared<std::vector<Call>>();
    CoachAnalyser fn() const {
        auto log = calls;
        return [log](const RaceDefinition& race, const TrackStore& t, const RoundingResults& r,
                     const WindStore& w) {
            log->push_back({w.WindCount, r.entryCount, t.boatCount()});
            CoachAnalysis a;
            a.manoeuvres.resize(static_cast<size_t>(t.boatCount()) + 1);
            a.manoeuvres[1] = {
                at(race.Marks[1].MarkLat, race.Marks[1].MarkLon, static_cast<double>(log->size()))};
            return a;
        };
    }
};

struct SessionApp {
    fs::path root;
    AppSettings settings;
    CapturingMessageSink sink;
    SessionApp() {
        root = fs::temp_directory_path() /
               ("brisko_coach_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::copy(kApp, root, fs::copy_options::recursive);
        settings.AppPath = root.string();
        settings.Lang = 1;
        settings.EditionMode = 2;
    }
    ~SessionApp() { fs::remove_all(root); }
    std::unique_ptr<RaceSession> open(CoachAnalyser analyser = {}) {
        RaceRequest req;
        req.seed.RaceFileName = "race1.txt";
        req.analyser = std::move(analyser);
        RaceSession::Opened o = RaceSession::open(settings, req, sink);
        EXPECT_EQ(o.status, SessionOpenStatus::Ok) << o.error;
        return std::move(o.session);
    }
};

}  // namespace

TEST(CoachSession, AnalysedOnceWhenTheRaceOpensWithItsRoundingsAndWind) {
    SessionApp app;
    Analyser an;
    auto s = app.open(an.fn());
    ASSERT_TRUE(s);
    ASSERT_EQ(an.calls->size(), 1u);
    EXPECT_EQ(an.calls->at(0).windCount, s->data().wind.WindCount);
    EXPECT_GT(an.calls->at(0).windCount, 0);
    EXPECT_EQ(an.calls->at(0).entries, 3);  // MK2, MK1, MK2
    EXPECT_EQ(an.calls->at(0).boats, 2);
    ASSERT_EQ(s->coach().manoeuvres.size(), 3u);
    EXPECT_DOUBLE_EQ(s->coach().manoeuvres[1].at(0).time, 1);
    // Replaying and laying frames out does not work it out again.
    MapView view;
    view.setupForRace(s->tracks(), 400, 1, 180);
    DisplayOptions options;
    options.resetForRace(2);
    for (int i = 0; i < 5; ++i) s->replayTick(view, options);
    s->jumpTo(600);
    s->showFrame(view, options);
    EXPECT_EQ(an.calls->size(), 1u);
    EXPECT_TRUE(s->manoeuvreMarks().empty());  // the box is off
    // Boat 1's tack, set at mark 1, laid out with the frame once the box is on and it is marked.
    options.Manoeuvres = true;
    options.BoatMarked[1] = true;
    s->layOutFrame(view, options);
    ASSERT_EQ(s->manoeuvreMarks().size(), 1u);
    const ScreenPoint mark1 = view.toScreen(s->race().Marks[1].MarkLat, s->race().Marks[1].MarkLon);
    EXPECT_DOUBLE_EQ(s->manoeuvreMarks()[0].x, mark1.x);
    EXPECT_DOUBLE_EQ(s->manoeuvreMarks()[0].y, mark1.y);
    EXPECT_EQ(s->manoeuvreMarks()[0].hint, "One: tack 0:01, loss 12.0 m");
    s->resetFrameLayout();
    EXPECT_TRUE(s->manoeuvreMarks().empty());
}

TEST(CoachSession, TheRealAnalysesWithoutAStandIn) {
    SessionApp app;
    auto s = app.open();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->coach().manoeuvres.size(), 3u);
    EXPECT_EQ(s->coach().wind.source, WindSource::File);
    EXPECT_FALSE(s->coach().wind.samples.empty());
}

TEST(CoachSession, SavedWindSamplesAreAnalysedAgainButUnsavedOrUnwrittenOnesAreNot) {
    SessionApp app;
    Analyser an;
    auto s = app.open(an.fn());
    ASSERT_TRUE(s);
    WindStore w;
    w.WindCount = 3;
    w.WindSec = {0, 0, 600, 1200};
    w.WindSpeed = {0, 8, 9, 10};
    w.WindDir = {0, 190, 200, 210};
    s->setWindSamples(w);
    EXPECT_EQ(an.calls->size(), 1u);  // entered on the graph, not yet saved
    ASSERT_TRUE(s->saveWindSamples().ok);
    ASSERT_EQ(an.calls->size(), 2u);
    EXPECT_EQ(an.calls->at(1).windCount, 3);
    EXPECT_DOUBLE_EQ(s->coach().manoeuvres[1].at(0).time, 2);
    // The wind folder made a file: a save that cannot be written keeps the analysis.
    fs::remove_all(app.root / "winddat");
    { std::ofstream(app.root / "winddat") << "x"; }
    w.WindCount = 1;
    s->setWindSamples(w);
    EXPECT_FALSE(s->saveWindSamples().ok);
    EXPECT_EQ(an.calls->size(), 2u);
    EXPECT_DOUBLE_EQ(s->coach().manoeuvres[1].at(0).time, 2);
}

TEST(CoachSession, ACourseChangedOnTheChartIsAnalysedWithTheNewRoundings) {
    SessionApp app;
    Analyser an;
    auto s = app.open(an.fn());
    ASSERT_TRUE(s);
    ASSERT_TRUE(s->clearCourse().ok);
    ASSERT_EQ(an.calls->size(), 2u);
    EXPECT_EQ(an.calls->at(1).entries, 0);
    ASSERT_TRUE(s->setMark({2116, 8370.5}).ok);
    ASSERT_EQ(an.calls->size(), 3u);
    // The leg data is not computed again while it is valid.
    EXPECT_FALSE(s->ensureLegData());
    EXPECT_EQ(an.calls->size(), 3u);
}

// A symbol cut by the map box's edge is drawn (its centre within half a symbol of the edge);
// one wholly beyond it is not.
TEST_F(Chart, ASymbolCutByTheEdgeIsDrawnOneBeyondItIsNot) {
    options.BoatMarked[1] = true;
    a.manoeuvres[1] = {at(2100 + 404 / 60.0, 8300, 60), at(2100 + 405 / 60.0, 8300, 90),
                       at(2100, 8300 - 404 / 60.0, 120), at(2100, 8300 - 405 / 60.0, 150)};
    layOut();
    ASSERT_EQ(marks.size(), 2u);
    EXPECT_NEAR(marks[0].y, -4, 1e-9);
    EXPECT_NEAR(marks[1].x, -4, 1e-9);
}
