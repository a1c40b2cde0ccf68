// The map mouse's arithmetic (zoom steps, read-outs, bearings, picking) and the course set-up on
// the chart through the race session: renumbering, the cleared course, capacities, the ".bak".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "race/racedefinition.h"
#include "interact/mapmouse.h"
#include "session/racesession.h"
#include "homeview.h"

using namespace brisko;
namespace fs = std::filesystem;

namespace {

}  // namespace

TEST(MapZoom, StepsBy1Point4AndSnapsBackToTheWholeArea) {
    MapView v = homeView();
    ASSERT_TRUE(zoomStep(v, true, {2101, 8301}));
    EXPECT_DOUBLE_EQ(v.ZoomHome, 1.4);
    EXPECT_DOUBLE_EQ(v.Zoom, 1.4);
    EXPECT_DOUBLE_EQ(v.CenterLat, 2101);  // the clicked point becomes the centre
    EXPECT_DOUBLE_EQ(v.CenterLon, 8301);
    ASSERT_TRUE(zoomStep(v, true, {2102, 8302}));
    EXPECT_NEAR(v.ZoomHome, 1.96, 1e-12);
    ASSERT_TRUE(zoomStep(v, false, {2103, 8303}));
    ASSERT_TRUE(zoomStep(v, false, {2104, 8304}));
    // 1.4 / 1.4 lands in the snap window: exactly 1, on the race area, not on the click.
    EXPECT_EQ(v.ZoomHome, 1.0);
    EXPECT_EQ(v.Zoom, 1.0);
    EXPECT_DOUBLE_EQ(v.CenterLat, 2100);
    EXPECT_DOUBLE_EQ(v.CenterLon, 8300);
}

TEST(MapZoom, TheSmallestZoomIsHeld) {
    MapView v = homeView();
    v.ZoomHome = v.Zoom = 0.37;
    ASSERT_TRUE(zoomStep(v, false, {2101, 8301}));
    EXPECT_DOUBLE_EQ(v.ZoomHome, 0.27);
    MapView before = v;
    EXPECT_FALSE(zoomStep(v, false, {2105, 8305}));
    EXPECT_DOUBLE_EQ(v.ZoomHome, 0.27);
    EXPECT_DOUBLE_EQ(v.CenterLat, before.CenterLat);
    EXPECT_FALSE(zoomAround(v, false, {2105, 8305}));
}

TEST(MapZoom, TheWheelKeepsThePlaceUnderTheCursor) {
    MapView v = homeView();
    v.ViewRotation = 200;  // wind up: the transform turns as well
    v.recompute();
    const ScreenPoint cursor{600, 250};
    const GeoPoint under = v.toLatLon(cursor.x, cursor.y);
    ASSERT_TRUE(zoomAround(v, true, under));
    v.recompute();
    EXPECT_DOUBLE_EQ(v.ZoomHome, 1.4);
    const ScreenPoint again = v.toScreen(under);
    EXPECT_NEAR(again.x, cursor.x, 1e-6);
    EXPECT_NEAR(again.y, cursor.y, 1e-6);
}

TEST(MapZoom, ShiftClicksMoveAndShowAllAndADragPans) {
    MapView v = homeView();
    v.ZoomHome = 1.96;
    v.Zoom = 0.5;
    moveCentreTo(v, {2103, 8297});
    EXPECT_DOUBLE_EQ(v.CenterLat, 2103);
    EXPECT_DOUBLE_EQ(v.Zoom, 1.96);  // zoom kept
    v.recompute();
    const GeoPoint pressed = v.toLatLon(100, 100);
    panBy(v, 30, -40);
    v.recompute();
    const ScreenPoint now = v.toScreen(pressed);
    EXPECT_NEAR(now.x, 130, 1e-6);
    EXPECT_NEAR(now.y, 60, 1e-6);
    showWholeArea(v);
    EXPECT_EQ(v.ZoomHome, 1.0);
    EXPECT_DOUBLE_EQ(v.CenterLon, 8300);
}

TEST(MapReadout, PositionTexts) {
    EXPECT_EQ(latitudeText(-2130), "S 35:30'");
    EXPECT_EQ(longitudeText(8345.25), "E 139:5.25'");
    EXPECT_EQ(latitudeText(2112.3456), "N 35:12.345'");  // minutes cut, not rounded
    EXPECT_EQ(longitudeText(-10.5), "W 0:10.5'");
    EXPECT_EQ(latitudeText(0), "S 0:0'");  // not greater than 0
    EXPECT_EQ(positionTitle("T", {-2130, 8345.25}),
              "T" + std::string(20, ' ') + "S 35:30'/E 139:5.25'");
}

TEST(MapReadout, BearingsAndTheMagneticCorrection) {
    const GeoPoint o{2100, 8300};
    const double mPerMin = 1852;
    auto rb = [&](GeoPoint p, double mg = 0) { return rangeAndBearing(o, p, 0.8, mPerMin, mg); };
    EXPECT_EQ(rb({2099, 8300}).trueBearing, 180);
    EXPECT_EQ(rb({2099, 8300}).magneticBearing, 187);
    EXPECT_EQ(rb({2100, 8299}).trueBearing, 270);
    EXPECT_EQ(rb({2100, 8299}).magneticBearing, 277);
    EXPECT_EQ(rb({2100, 8301}).trueBearing, 90);
    EXPECT_EQ(rb({2099, 8301.25}).trueBearing, 135);  // south-east: dX = 1
    EXPECT_EQ(rb({2101, 8298.75}).trueBearing, 315);
    EXPECT_EQ(rb({2101, 8300}).magneticBearing, 7);
    EXPECT_EQ(rb({2099, 8300}).metres, 1852);
    // The race's variation: west 7 gives the same +7, east 5 gives -5, across north as well.
    EXPECT_EQ(rb({2099, 8300}, -7).magneticBearing, 187);
    EXPECT_EQ(rb({2099, 8300}, 5).magneticBearing, 175);
    EXPECT_EQ(rb({2101, 8300}, 5).magneticBearing, 355);
    const RangeBearing t = rb({2101, 8301.25});  // north-east, 45 degrees
    EXPECT_EQ(t.trueBearing, 45);
    EXPECT_EQ(t.text, " 45度／52mag   " + std::to_string(t.metres) + "m");
}

TEST(MapPickRule, NearestWithinTheRadiusAndTheMarkWinsATie) {
    RaceDefinition r;
    r.MarkCount = 2;
    r.Marks[1].MarkLat = 2100, r.Marks[1].MarkLon = 8300;
    r.Marks[2].MarkLat = 2100.05, r.Marks[2].MarkLon = 8300;
    r.LineCount = 1;
    r.Lines[1] = {2100, 8300, 2090, 8290, true};
    // Mark 1 and the line's first end lie on the same spot: the mark is picked.
    MapPick p = pickAt(r, {2100.01, 8300}, 1, 1);
    EXPECT_EQ(p.kind, MapPick::Kind::Mark);
    EXPECT_EQ(p.number, 1);
    p = pickAt(r, {2100.04, 8300}, 1, 1);  // nearer mark 2 (0.01) than mark 1 (0.04)
    EXPECT_EQ(p.number, 2);
    p = pickAt(r, {2099.99, 8300}, 1, 1);
    EXPECT_EQ(p.kind, MapPick::Kind::Mark);
    EXPECT_EQ(p.number, 1);
    p = pickAt(r, {2090.01, 8290}, 1, 1);  // either end picks the line
    EXPECT_EQ(p.kind, MapPick::Kind::Line);
    EXPECT_EQ(courseEntryFor(p), "L1");
    EXPECT_EQ(pickLabel(p), "LINE1");
    // The radius shrinks with the zoom: 0.08 away counts at zoom 1, not at zoom 1.4.
    EXPECT_TRUE(pickAt(r, {2090.08, 8290}, 1, 1).any());
    EXPECT_FALSE(pickAt(r, {2090.08, 8290}, 1, 1.4).any());
    EXPECT_FALSE(pickAt(r, {2090.12, 8290}, 1, 1).any());
}

TEST(MapOverview, RightClickBearingsAndTheCoursePanel) {
    EXPECT_EQ(windDirectionFromOverview(200, overviewScreenBearing(40, 0)), 290);
    EXPECT_EQ(windDirectionFromOverview(200, overviewScreenBearing(0, -40)), 20);
    EXPECT_DOUBLE_EQ(overviewScreenBearing(-40, 0), 270);
    EXPECT_DOUBLE_EQ(overviewScreenBearing(0, 40), 0);
    EXPECT_DOUBLE_EQ(overviewScreenBearing(-40, -40), 225);
    EXPECT_EQ(coursePanelHeight(0), 70);
    EXPECT_EQ(coursePanelHeight(1), 67);
    EXPECT_EQ(coursePanelHeight(12), 199);
    EXPECT_EQ(courseListLine(1, "MK1"), " 1  MK1");
    EXPECT_EQ(boxLeftBesideCursor(0, 300, 170), 120);
    EXPECT_EQ(boxLeftBesideCursor(0, 100, 170), 110);
}

namespace {

const std::string kApp = BRISKO_TEST_DATA "/tracks/app";

struct CourseApp {
    fs::path root;
    AppSettings settings;
    CapturingMessageSink sink;
    std::unique_ptr<RaceSession> s;
    CourseApp() {
        root = fs::temp_directory_path() /
               ("brisko_course_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::copy(kApp, root, fs::copy_options::recursive);
        settings.AppPath = root.string();
        settings.Lang = 1;
        settings.EditionMode = 2;
        RaceRequest req;
        req.seed.RaceFileName = "race1.txt";
        s = std::move(RaceSession::open(settings, req, sink).session);
    }
    ~CourseApp() { fs::remove_all(root); }
    fs::path file(const std::string& name = "race1.txt") const { return root / "raceadmin" / name; }
    std::string text(const std::string& name = "race1.txt") const {
        std::ifstream in(file(name), std::ios::binary);
        std::ostringstream o;
        o << in.rdbuf();
        return o.str();
    }
};

}  // namespace

TEST(CourseOnTheChart, ChangesAreWrittenAndTheFirstKeepsTheFileOnce) {
    CourseApp a;
    ASSERT_TRUE(a.s);
    const std::string original = a.text();
    ASSERT_TRUE(a.s->setMark({2110, 8360}).ok);
    EXPECT_EQ(a.s->race().MarkCount, 3);
    EXPECT_NE(a.text().find("MK, 2110, 8360"), std::string::npos);
    ASSERT_TRUE(fs::exists(a.file("race1.txt.bak")));
    EXPECT_EQ(a.text("race1.txt.bak"), original);
    EXPECT_EQ(a.s->backupOf("race1.txt"), a.file("race1.txt.bak").string());

    ASSERT_TRUE(a.s->setLine({2111, 8361}, {2112, 8362}).ok);
    ASSERT_TRUE(a.s->addCourseEntry(pickAt(a.s->race(), {2111, 8361}, 1, 1)).ok);
    EXPECT_EQ(a.s->race().Course[a.s->race().CourseCount], "L1");
    EXPECT_NE(a.text().find("CRS, MK2, MK1, MK2, L1"), std::string::npos);
    // Later changes leave the kept copy as it was, also on the next race shown.
    EXPECT_EQ(a.text("race1.txt.bak"), original);
    RaceRequest req;
    req.seed.RaceFileName = "race1.txt";
    auto next = RaceSession::open(a.settings, req, a.sink).session;
    ASSERT_TRUE(next);
    next->continueReplayOf(*a.s);
    ASSERT_TRUE(next->clearCourse().ok);
    EXPECT_EQ(a.text("race1.txt.bak"), original);
    EXPECT_EQ(next->race().CourseCount, 0);
    EXPECT_EQ(a.text().find("CRS"), std::string::npos);
}

TEST(CourseOnTheChart, DeletingRenumbersAndClearsTheCourse) {
    CourseApp a;
    ASSERT_TRUE(a.s);
    ASSERT_TRUE(a.s->setMark({2110, 8360}).ok);  // marks 1, 2, 3; course MK2, MK1, MK2
    ASSERT_TRUE(a.s->deleteMark(2).ok);
    const RaceDefinition& r = a.s->race();
    EXPECT_EQ(r.MarkCount, 2);
    EXPECT_DOUBLE_EQ(r.Marks[1].MarkLat, 2116.5);
    EXPECT_DOUBLE_EQ(r.Marks[2].MarkLat, 2110);  // the old mark 3
    EXPECT_EQ(r.CourseCount, 0);
    EXPECT_EQ(a.s->data().roundings.entryCount, 0);
    ASSERT_TRUE(a.s->setLine({1, 2}, {3, 4}).ok);
    ASSERT_TRUE(a.s->setLine({5, 6}, {7, 8}).ok);
    ASSERT_TRUE(a.s->deleteLine(1).ok);
    EXPECT_EQ(a.s->race().LineCount, 1);
    EXPECT_DOUBLE_EQ(a.s->race().Lines[1].LineLat1, 5);
    EXPECT_FALSE(a.s->deleteMark(7).ok);
}

TEST(CourseOnTheChart, FullListsRefuseAndChangeNothing) {
    CourseApp a;
    ASSERT_TRUE(a.s);
    while (a.s->race().MarkCount < kMaxMarks) ASSERT_TRUE(a.s->setMark({2100, 8300}).ok);
    for (int i = 0; i < kMaxLines; ++i) ASSERT_TRUE(a.s->setLine({1, 1}, {2, 2}).ok);
    const MapPick mark{MapPick::Kind::Mark, 1};
    while (a.s->race().CourseCount < kMaxCourse) ASSERT_TRUE(a.s->addCourseEntry(mark).ok);
    const std::string before = a.text();
    for (const WriteResult& w :
         {a.s->setMark({1, 1}), a.s->setLine({1, 1}, {2, 2}), a.s->addCourseEntry(mark)}) {
        EXPECT_FALSE(w.ok);
        EXPECT_NE(w.error.find("No more than"), std::string::npos) << w.error;
    }
    EXPECT_EQ(a.s->race().MarkCount, kMaxMarks);
    EXPECT_EQ(a.s->race().LineCount, kMaxLines);
    EXPECT_EQ(a.s->race().CourseCount, kMaxCourse);
    EXPECT_EQ(a.text(), before);
    EXPECT_TRUE(a.s->addCourseEntry({}).ok);  // nothing picked: nothing to do
}

TEST(CourseOnTheChart, AFailedWriteLeavesTheRaceAsItWas) {
    CourseApp a;
    ASSERT_TRUE(a.s);
    fs::remove(a.file());
    fs::create_directory(a.file());
    EXPECT_FALSE(a.s->setMark({2110, 8360}).ok);
    EXPECT_EQ(a.s->race().MarkCount, 2);
    EXPECT_FALSE(a.s->clearCourse().ok);
    EXPECT_EQ(a.s->race().CourseCount, 3);
}
