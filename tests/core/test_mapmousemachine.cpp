// The map mouse's state machine driven by events as the race screen sends them, checked by the
// actions it returns: clicks against drags, the wheel's notches, Shift and the other buttons,
// measuring, the set-up modes of marks, lines and the course, and the overview's clicks.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "homeview.h"
#include "interact/mapmousemachine.h"

using namespace brisko;
namespace mm = brisko::mapmouse;

namespace {

// Two marks and a line: mark 1 at home (400, 400), mark 2 a minute north (400, 340), the line's
// ends a minute south, a minute either side (340, 460) and (460, 460).
RaceDefinition twoMarksAndALine() {
    RaceDefinition r;
    r.MarkCount = 2;
    r.Marks[1].MarkLat = 2100, r.Marks[1].MarkLon = 8300;
    r.Marks[2].MarkLat = 2101, r.Marks[2].MarkLon = 8300;
    r.LineCount = 1;
    r.Lines[1] = {2099, 8299, 2099, 8301, true};
    r.MagneticVariation = -7;
    return r;
}

template <class T>
std::vector<T> all(const MapActions& acts) {
    std::vector<T> found;
    for (const MapAction& a : acts)
        if (const T* t = std::get_if<T>(&a)) found.push_back(*t);
    return found;
}

template <class T>
bool has(const MapActions& acts) {
    return !all<T>(acts).empty();
}

// The one action of kind T among the actions; fails the test when there is not exactly one.
template <class T>
T one(const MapActions& acts) {
    const std::vector<T> found = all<T>(acts);
    EXPECT_EQ(found.size(), 1u);
    return found.empty() ? T{} : found.front();
}

// The kinds of the actions in order, as variant indices, for checking a whole sequence.
template <class... T>
std::vector<size_t> kinds() {
    return {MapAction(T{}).index()...};
}
std::vector<size_t> kindsOf(const MapActions& acts) {
    std::vector<size_t> k;
    for (const MapAction& a : acts) k.push_back(a.index());
    return k;
}

constexpr MouseButtons kLeftHeld{.left = true};
constexpr MouseButtons kNoneHeld{};
constexpr KeyModifiers kShift{.shift = true};

struct MouseOnChart : ::testing::Test {
    MapView view = homeView();
    RaceDefinition race = twoMarksAndALine();
    MapMouse mouse;
    bool autoTrace = false;
    bool mapShown = true;
    bool hintsOn = true;
    bool browserMode = false;
    bool raceShown = true;

    MapMouseScene scene() const {
        return {.view = view,
                .race = raceShown ? &race : nullptr,
                .mapShown = mapShown,
                .autoTrace = autoTrace,
                .hintsOn = hintsOn,
                .browserMode = browserMode};
    }
    MapActions press(MouseButton b, ScreenPoint at, KeyModifiers k = {}) {
        return mouse.press(b, k, at, scene());
    }
    MapActions left(ScreenPoint at, KeyModifiers k = {}) { return press(MouseButton::Left, at, k); }
    MapActions right(ScreenPoint at, KeyModifiers k = {}) {
        return press(MouseButton::Right, at, k);
    }
    MapActions moveTo(ScreenPoint at, MouseButtons held = kNoneHeld, int boat = 0) {
        return mouse.move(held, at, boat, scene());
    }
    MapActions letGo(MouseButton b = MouseButton::Left) { return mouse.release(b, scene()); }
    MapActions click(ScreenPoint at) {
        MapActions a = left(at);
        const MapActions r = letGo();
        a.insert(a.end(), r.begin(), r.end());
        return a;
    }
    ScreenPoint pixelOf(double lat, double lon) const { return view.toScreen(lat, lon); }
    // Carries out a zoom as the window does, so that the next event sees the new chart.
    void apply(const mm::ZoomTo& z) {
        zoomTo(view, z.zoom, z.centre);
        view.recompute();
    }
};

void expectNear(GeoPoint a, GeoPoint b) {
    EXPECT_NEAR(a.lat, b.lat, 1e-9);
    EXPECT_NEAR(a.lon, b.lon, 1e-9);
}

}  // namespace

// --- Clicks and drags ---------------------------------------------------------------------------

TEST_F(MouseOnChart, ALeftClickZoomsInOnThePlacePressedWhenLetGo) {
    const GeoPoint pressed = view.toLatLon(300, 200);
    EXPECT_TRUE(left({300, 200}).empty());  // nothing yet: it may become a drag
    EXPECT_TRUE(mouse.state().pressPending);
    const MapActions a = letGo();
    const mm::ZoomTo z = one<mm::ZoomTo>(a);
    EXPECT_DOUBLE_EQ(z.zoom, 1.4);
    expectNear(z.centre, pressed);
    EXPECT_FALSE(mouse.state().pressPending);
    EXPECT_TRUE(letGo().empty());  // a second release without a press does nothing
}

TEST_F(MouseOnChart, ADragOfZeroPixelsOrWithinTheSlopIsStillAClickOnThePressedPlace) {
    const GeoPoint pressed = view.toLatLon(300, 200);
    left({300, 200});
    MapActions a = moveTo({300, 200}, kLeftHeld);
    EXPECT_FALSE(has<mm::PanBy>(a));
    EXPECT_TRUE(has<mm::ShowPosition>(a));  // not dragging: the position read-out goes on
    a = moveTo({304, 200}, kLeftHeld);      // exactly the slop of 4 pixels away
    EXPECT_FALSE(has<mm::PanBy>(a));
    EXPECT_FALSE(mouse.state().dragging);
    // Let go away from the press: the zoom is still on the place pressed.
    expectNear(one<mm::ZoomTo>(letGo()).centre, pressed);
}

TEST_F(MouseOnChart, BeyondTheSlopALeftPressDragsTheChartAndDoesNotZoom) {
    left({100, 100});
    MapActions a = moveTo({104.5, 100}, kLeftHeld);
    ASSERT_TRUE(mouse.state().dragging);
    mm::PanBy p = one<mm::PanBy>(a);
    EXPECT_DOUBLE_EQ(p.dx, 4.5);
    EXPECT_DOUBLE_EQ(p.dy, 0);
    EXPECT_FALSE(has<mm::ShowPosition>(a));            // a drag shows no read-out
    p = one<mm::PanBy>(moveTo({110, 90}, kLeftHeld));  // from where the last move was
    EXPECT_DOUBLE_EQ(p.dx, 5.5);
    EXPECT_DOUBLE_EQ(p.dy, -10);
    // Back within the slop of the press: still a drag.
    EXPECT_TRUE(has<mm::PanBy>(moveTo({101, 100}, kLeftHeld)));
    EXPECT_TRUE(letGo().empty());
    EXPECT_FALSE(mouse.state().dragging);
    EXPECT_FALSE(mouse.state().pressPending);
}

TEST_F(MouseOnChart, AMoveWithoutTheLeftButtonHeldIsNoDrag) {
    left({100, 100});
    const MapActions a = moveTo({200, 200}, {.right = true});
    EXPECT_FALSE(has<mm::PanBy>(a));
    EXPECT_FALSE(mouse.state().dragging);
    EXPECT_TRUE(has<mm::ZoomTo>(letGo()));  // the press is still a click
}

TEST_F(MouseOnChart, RightAndMiddleZoomOutAtOnceAndTheFloorHolds) {
    const GeoPoint at = view.toLatLon(500, 300);
    mm::ZoomTo z = one<mm::ZoomTo>(right({500, 300}));
    EXPECT_DOUBLE_EQ(z.zoom, 1 / 1.4);
    expectNear(z.centre, at);
    EXPECT_TRUE(letGo(MouseButton::Right).empty());
    EXPECT_TRUE(has<mm::ZoomTo>(press(MouseButton::Middle, {500, 300})));
    view.ZoomHome = view.Zoom = kSmallestMouseZoom;
    view.recompute();
    EXPECT_TRUE(right({500, 300}).empty());  // at the floor nothing changes, nothing is drawn
}

TEST_F(MouseOnChart, ShiftMovesOrShowsAllWhateverTheButtonAndControlIsAPlainClick) {
    view.ZoomHome = view.Zoom = 1.96;
    view.recompute();
    const GeoPoint at = view.toLatLon(200, 600);
    mm::ZoomTo z = one<mm::ZoomTo>(left({200, 600}, kShift));
    EXPECT_DOUBLE_EQ(z.zoom, 1.96);  // moved, not zoomed
    expectNear(z.centre, at);
    EXPECT_FALSE(mouse.state().pressPending);  // no click waits for the release
    EXPECT_TRUE(letGo().empty());
    z = one<mm::ZoomTo>(right({10, 10}, kShift));
    EXPECT_EQ(z.zoom, 1.0);
    expectNear(z.centre, {2100, 8300});
    EXPECT_TRUE(left({200, 600}, {.control = true}).empty());
    EXPECT_TRUE(mouse.state().pressPending);
}

TEST_F(MouseOnChart, ClicksOnlyActOnTheMapManuallyAndWithARace) {
    for (int c = 0; c < 3; ++c) {
        MapMouse fresh;
        mouse = fresh;
        autoTrace = c == 0;
        mapShown = c != 1;
        raceShown = c != 2;
        EXPECT_TRUE(click({300, 300}).empty()) << c;
        EXPECT_TRUE(right({300, 300}).empty()) << c;
        EXPECT_TRUE(left({300, 300}, kShift).empty()) << c;
        EXPECT_TRUE(mouse.wheel({300, 300}, 120, scene()).empty()) << c;
    }
    // Auto trace turned on during a drag: the drag is followed but the chart left to the trace.
    mouse = MapMouse{};
    autoTrace = false;
    raceShown = true;
    left({100, 100});
    autoTrace = true;
    EXPECT_TRUE(moveTo({150, 100}, kLeftHeld).empty());
    EXPECT_TRUE(mouse.state().dragging);
    autoTrace = false;
    EXPECT_DOUBLE_EQ(one<mm::PanBy>(moveTo({160, 100}, kLeftHeld)).dx, 10);
    // Without a race a move does nothing at all.
    raceShown = false;
    EXPECT_TRUE(moveTo({300, 300}).empty());
}

// --- The wheel ----------------------------------------------------------------------------------

TEST_F(MouseOnChart, TheWheelZoomsAWholeNotchAtATimeAroundTheCursor) {
    view.ViewRotation = 200;
    view.recompute();
    const GeoPoint under = view.toLatLon(600, 200);
    EXPECT_TRUE(mouse.wheel({600, 200}, 60, scene()).empty());  // half a notch waits
    const mm::ZoomTo z = one<mm::ZoomTo>(mouse.wheel({600, 200}, 60, scene()));
    EXPECT_DOUBLE_EQ(z.zoom, 1.4);
    apply(z);
    const ScreenPoint again = view.toScreen(under);
    EXPECT_NEAR(again.x, 600, 1e-6);
    EXPECT_NEAR(again.y, 200, 1e-6);
    EXPECT_EQ(mouse.state().wheelRest, 0);
}

TEST_F(MouseOnChart, WheelNotchesAddUpAndTheRestKeepsItsSign) {
    view.ZoomHome = view.Zoom = 4;
    view.recompute();
    const mm::ZoomTo z = one<mm::ZoomTo>(mouse.wheel({400, 400}, -300, scene()));
    EXPECT_NEAR(z.zoom, 4 / 1.96, 1e-12);  // two notches out, half a notch left over
    EXPECT_EQ(mouse.state().wheelRest, -60);
    EXPECT_TRUE(mouse.wheel({400, 400}, 60, scene()).empty());  // back to nothing
    EXPECT_EQ(mouse.state().wheelRest, 0);
    EXPECT_TRUE(mouse.wheel({400, 400}, 0, scene()).empty());
}

TEST_F(MouseOnChart, AnAbsurdWheelTurnNeitherHangsNorOverflows) {
    const mm::ZoomTo in = one<mm::ZoomTo>(mouse.wheel({400, 400}, INT_MAX, scene()));
    EXPECT_TRUE(std::isfinite(in.zoom));
    EXPECT_GT(in.zoom, 1e100);
    const int rest = mouse.state().wheelRest;
    EXPECT_EQ(rest, INT_MAX % kWheelNotch);
    mouse.wheel({400, 400}, INT_MAX, scene());  // the rest and the turn add up without overflow
    EXPECT_EQ(mouse.state().wheelRest, static_cast<int>((rest + 0LL + INT_MAX) % kWheelNotch));
    EXPECT_DOUBLE_EQ(one<mm::ZoomTo>(mouse.wheel({400, 400}, INT_MIN, scene())).zoom,
                     kSmallestMouseZoom);
}

TEST_F(MouseOnChart, TheWheelRestsWhileMeasuringOrSettingUp) {
    mouse.setMeasuring(true);
    EXPECT_TRUE(mouse.wheel({400, 400}, 240, scene()).empty());
    mouse.setMeasuring(false);
    mouse.toggleCourseMode();
    EXPECT_TRUE(mouse.wheel({400, 400}, 240, scene()).empty());
    EXPECT_EQ(mouse.state().wheelRest, 0);  // turns that are ignored are not kept either
}

// --- Range and bearing ---------------------------------------------------------------------------

TEST_F(MouseOnChart, MeasuringDrawsTheRubberLineFromTheOriginWithItsBearings) {
    mouse.toggleMarkMode();
    const MapActions on = mouse.setMeasuring(true);
    EXPECT_FALSE(mouse.state().anySetupMode());
    EXPECT_TRUE(has<mm::ModesChanged>(on));
    EXPECT_TRUE(has<mm::HideBox>(on));

    // No origin yet: no rubber line and no help, but a boat still shows itself.
    MapActions a = moveTo({400, 500});
    EXPECT_FALSE(has<mm::ShowRubberLine>(a));
    EXPECT_TRUE(has<mm::HideBox>(a));
    EXPECT_EQ(one<mm::ShowBox>(moveTo({400, 500}, kNoneHeld, 3)).box, MapBox::Boat);

    EXPECT_TRUE(left({400, 400}).empty());  // the origin: no zoom, no drag
    EXPECT_FALSE(mouse.state().pressPending);
    EXPECT_TRUE(letGo().empty());
    a = moveTo({400, 460});  // a minute due south
    const mm::ShowRubberLine line = one<mm::ShowRubberLine>(a);
    EXPECT_DOUBLE_EQ(line.from.x, 400);
    EXPECT_DOUBLE_EQ(line.from.y, 400);
    EXPECT_DOUBLE_EQ(line.to.y, 460);
    const mm::ShowBox box = one<mm::ShowBox>(a);
    EXPECT_EQ(box.box, MapBox::RangeBearing);
    EXPECT_EQ(box.text, " 180度／187mag   1852m");
    EXPECT_TRUE(has<mm::ShowPosition>(a));
    EXPECT_TRUE(mouse.state().RubberLineShown);
}

TEST_F(MouseOnChart, AnOriginOnTheMapBoxEdgeIsNone) {
    mouse.setMeasuring(true);
    left({0, 300});
    EXPECT_FALSE(mouse.state().hasOrigin());
    EXPECT_FALSE(has<mm::ShowRubberLine>(moveTo({200, 300})));
    left({200, 300});
    EXPECT_TRUE(has<mm::ShowRubberLine>(moveTo({220, 300})));
}

TEST_F(MouseOnChart, AnyOtherButtonEndsTheMeasuring) {
    mouse.setMeasuring(true);
    left({400, 400});
    moveTo({420, 420});
    const MapActions a = right({420, 420}, kShift);
    ASSERT_FALSE(a.empty());
    EXPECT_EQ(a.front().index(), MapAction(mm::EndMeasuring{}).index());
    EXPECT_TRUE(has<mm::HideRubberLine>(a));
    EXPECT_TRUE(has<mm::HideBox>(a));
    EXPECT_FALSE(has<mm::ZoomTo>(a));  // neither Shift nor the button zooms
    EXPECT_FALSE(mouse.state().RangeBearingOn);
    EXPECT_FALSE(mouse.state().RubberLineShown);
    EXPECT_FALSE(mouse.state().hasOrigin());
    // Unticking the box as well changes nothing more.
    EXPECT_FALSE(has<mm::HideRubberLine>(mouse.setMeasuring(false)));
}

// --- Set-up modes -------------------------------------------------------------------------------

TEST_F(MouseOnChart, TheSetUpModesExcludeEachOther) {
    MapActions a = mouse.toggleMarkMode();
    EXPECT_EQ(kindsOf(a), kinds<mm::ModesChanged>());  // a mode on: the box stays for its prompt
    mouse.toggleLineMode();
    EXPECT_FALSE(mouse.state().MarkMode);
    EXPECT_EQ(mouse.state().LineMode, LineStage::FirstEnd);
    mouse.toggleCourseMode();
    EXPECT_EQ(mouse.state().LineMode, LineStage::Off);
    EXPECT_TRUE(mouse.state().CourseMode);
    mouse.toggleMarkMode();
    EXPECT_FALSE(mouse.state().CourseMode);
    a = mouse.toggleMarkMode();  // off again: no mode, no box
    EXPECT_FALSE(mouse.state().anySetupMode());
    EXPECT_EQ(kindsOf(a), (kinds<mm::ModesChanged, mm::HideBox>()));
}

TEST_F(MouseOnChart, OneMarkAPressOfTheButton) {
    mouse.toggleMarkMode();
    const GeoPoint at = view.toLatLon(300, 250);
    const MapActions a = left({300, 250});
    EXPECT_EQ(kindsOf(a), (kinds<mm::ModesChanged, mm::HideBox, mm::AddMark>()));
    expectNear(one<mm::AddMark>(a).at, at);
    EXPECT_FALSE(mouse.state().MarkMode);
    EXPECT_FALSE(mouse.state().pressPending);
    EXPECT_TRUE(letGo().empty());           // the release does not zoom
    EXPECT_TRUE(left({300, 250}).empty());  // the next click is a zoom click again
    EXPECT_TRUE(mouse.state().pressPending);
}

TEST_F(MouseOnChart, ALineIsSetByTwoClicksWithTheRubberLineBetween) {
    mouse.toggleLineMode();
    EXPECT_EQ(one<mm::ShowBox>(moveTo({90, 90})).box, MapBox::FirstEndPrompt);
    const GeoPoint first = view.toLatLon(100, 100);
    MapActions a = left({100, 100});
    EXPECT_EQ(kindsOf(a), kinds<mm::ShowRubberLine>());
    EXPECT_EQ(mouse.state().LineMode, LineStage::SecondEnd);
    EXPECT_TRUE(letGo().empty());

    a = moveTo({150, 130});
    const mm::ShowRubberLine line = one<mm::ShowRubberLine>(a);
    EXPECT_DOUBLE_EQ(line.from.x, 100);
    EXPECT_DOUBLE_EQ(line.to.x, 150);
    const mm::ShowBox prompt = one<mm::ShowBox>(a);
    EXPECT_EQ(prompt.box, MapBox::SecondEndPrompt);
    EXPECT_EQ(prompt.x, 150);
    hintsOn = false;  // without hints the prompt goes, the rubber line stays
    a = moveTo({160, 120});
    EXPECT_TRUE(has<mm::ShowRubberLine>(a));
    EXPECT_FALSE(has<mm::ShowBox>(a));
    EXPECT_TRUE(has<mm::HideBox>(a));

    const GeoPoint second = view.toLatLon(160, 120);
    a = left({160, 120});
    EXPECT_EQ(kindsOf(a),
              (kinds<mm::HideRubberLine, mm::ModesChanged, mm::HideBox, mm::AddLine>()));
    expectNear(one<mm::AddLine>(a).end1, first);
    expectNear(one<mm::AddLine>(a).end2, second);
    EXPECT_FALSE(mouse.state().RubberLineShown);
    EXPECT_FALSE(mouse.state().anySetupMode());
}

TEST_F(MouseOnChart, LeavingALineHalfSetTakesTheRubberLineAway) {
    mouse.toggleLineMode();
    left({100, 100});
    moveTo({120, 100});
    MapActions a = mouse.toggleLineMode();
    EXPECT_EQ(kindsOf(a), (kinds<mm::HideRubberLine, mm::ModesChanged, mm::HideBox>()));
    EXPECT_TRUE(click({300, 300}).size() == 1);  // a plain zoom click again

    // Into another mode, or measuring, between the two ends: the same.
    mouse.toggleLineMode();
    left({100, 100});
    a = mouse.toggleMarkMode();
    EXPECT_TRUE(has<mm::HideRubberLine>(a));
    EXPECT_EQ(one<mm::ShowBox>(moveTo({130, 130})).box, MapBox::MarkPrompt);
    mouse.toggleLineMode();
    left({100, 100});
    a = mouse.setMeasuring(true);
    EXPECT_TRUE(has<mm::HideRubberLine>(a));
    EXPECT_EQ(mouse.state().LineMode, LineStage::Off);
    EXPECT_FALSE(has<mm::ShowRubberLine>(moveTo({130, 130})));  // and no origin yet
}

TEST_F(MouseOnChart, AClickExactlyOnAMarkOrALineEndInCourseModeAddsIt) {
    mouse.toggleCourseMode();
    MapActions a = left(pixelOf(2100, 8300));
    MapPick p = one<mm::AddCourseEntry>(a).pick;
    EXPECT_EQ(p.kind, MapPick::Kind::Mark);
    EXPECT_EQ(p.number, 1);
    p = one<mm::AddCourseEntry>(right(pixelOf(2099, 8301))).pick;  // any button, either end
    EXPECT_EQ(p.kind, MapPick::Kind::Line);
    EXPECT_EQ(p.number, 1);
    EXPECT_TRUE(left({700, 100}).empty());          // nothing there
    EXPECT_TRUE(left({700, 100}, kShift).empty());  // nor does Shift move the chart
    EXPECT_TRUE(mouse.state().CourseMode);          // the mode stays for the next entry
    EXPECT_FALSE(mouse.state().pressPending);
}

TEST_F(MouseOnChart, CourseModeNamesWhatIsUnderTheCursor) {
    mouse.toggleCourseMode();
    MapActions a = moveTo({401, 340});
    const mm::ShowBox b = one<mm::ShowBox>(a);
    EXPECT_EQ(b.box, MapBox::PickLabel);
    EXPECT_EQ(b.text, "MK2");
    EXPECT_EQ(b.x, 401);
    EXPECT_EQ(one<mm::ShowBox>(moveTo({460, 461})).text, "LINE1");
    a = moveTo({700, 100}, kNoneHeld, 2);  // off the marks: nothing, not even a boat
    EXPECT_FALSE(has<mm::ShowBox>(a));
    EXPECT_TRUE(has<mm::HideBox>(a));
}

TEST_F(MouseOnChart, SettingMarksOrLinesTheOtherButtonsDelete) {
    mouse.toggleMarkMode();
    EXPECT_EQ(one<mm::DeleteMark>(right(pixelOf(2101, 8300))).number, 2);
    EXPECT_EQ(one<mm::DeleteLine>(press(MouseButton::Middle, pixelOf(2099, 8299))).number, 1);
    // Shift does not turn a delete into showing the whole area.
    EXPECT_EQ(one<mm::DeleteMark>(right(pixelOf(2100, 8300), kShift)).number, 1);
    EXPECT_TRUE(right({700, 100}).empty());  // nothing there: nothing deleted, nothing zoomed
    EXPECT_TRUE(mouse.state().MarkMode);     // deleting keeps the mode
    mouse.toggleLineMode();
    EXPECT_EQ(one<mm::DeleteMark>(right(pixelOf(2100, 8300))).number, 1);
    EXPECT_EQ(mouse.state().LineMode, LineStage::FirstEnd);
    // Shift + left still moves the chart and the mode waits.
    EXPECT_TRUE(has<mm::ZoomTo>(left({200, 200}, kShift)));
    EXPECT_EQ(mouse.state().LineMode, LineStage::FirstEnd);
}

TEST_F(MouseOnChart, SetUpClicksWaitWhileTheChartIsTraced) {
    mouse.toggleMarkMode();
    autoTrace = true;
    EXPECT_TRUE(left({300, 300}).empty());
    EXPECT_TRUE(right(pixelOf(2100, 8300)).empty());
    EXPECT_TRUE(mouse.state().MarkMode);
}

// --- The boxes beside the cursor -----------------------------------------------------------------

TEST_F(MouseOnChart, OffTheSetUpABoatOrTheHelpIsShown) {
    MapActions a = moveTo({310.7, 300.2});
    mm::ShowBox b = one<mm::ShowBox>(a);
    EXPECT_EQ(b.box, MapBox::MapHelp);
    EXPECT_EQ(b.x, 310);
    EXPECT_EQ(b.y, 300);
    EXPECT_TRUE(b.wholeAreaLine);  // at zoom 1 Shift + right shows the whole area
    expectNear(one<mm::ShowPosition>(a).at, view.toLatLon(310.7, 300.2));
    view.Zoom = MapView::kZoomFloorLimit;
    EXPECT_FALSE(one<mm::ShowBox>(moveTo({300, 300})).wholeAreaLine);

    hintsOn = false;
    EXPECT_FALSE(has<mm::ShowBox>(moveTo({300, 300})));
    b = one<mm::ShowBox>(moveTo({300, 300}, kNoneHeld, 4));  // a boat whatever the hints say
    EXPECT_EQ(b.box, MapBox::Boat);
    EXPECT_EQ(b.boat, 4);

    hintsOn = true;
    autoTrace = true;  // the trace shows no position and no help
    a = moveTo({300, 300});
    EXPECT_FALSE(has<mm::ShowPosition>(a));
    EXPECT_EQ(kindsOf(a), kinds<mm::HideBox>());
}

TEST_F(MouseOnChart, AManoeuvreSymbolTellsItsHintUnlessABoatLiesOverIt) {
    const std::string hint = "Orca: tack 12:34, loss 15.2 m (5.1 s)";
    hintsOn = false;  // shown whatever the HINT box says, as a boat's name is
    mm::ShowBox b = one<mm::ShowBox>(mouse.move(kNoneHeld, {300.4, 200.6}, 0, scene(), hint));
    EXPECT_EQ(b.box, MapBox::Manoeuvre);
    EXPECT_EQ(b.text, hint);
    EXPECT_EQ(b.x, 300);
    EXPECT_EQ(b.y, 200);
    EXPECT_EQ(one<mm::ShowBox>(mouse.move(kNoneHeld, {300, 200}, 2, scene(), hint)).box,
              MapBox::Boat);
    // Measuring and the set-up modes keep their own boxes.
    mouse.setMeasuring(true);
    click({100, 100});
    EXPECT_EQ(one<mm::ShowBox>(mouse.move(kNoneHeld, {300, 200}, 0, scene(), hint)).box,
              MapBox::RangeBearing);
    mouse.setMeasuring(false);
    mouse.toggleCourseMode();
    EXPECT_FALSE(has<mm::ShowBox>(mouse.move(kNoneHeld, {300, 200}, 0, scene(), hint)));
}

TEST_F(MouseOnChart, PromptsFollowTheModeAndTheHints) {
    mouse.toggleMarkMode();
    MapActions a = moveTo({300, 300}, kNoneHeld, 4);  // setting up, boats are not named
    EXPECT_EQ(one<mm::ShowBox>(a).box, MapBox::MarkPrompt);
    EXPECT_FALSE(has<mm::HideRubberLine>(a));
    hintsOn = false;
    EXPECT_EQ(kindsOf(moveTo({300, 300})), (kinds<mm::ShowPosition, mm::HideBox>()));
}

// --- The overview
// ----------------------------------------------------------------------------------

TEST_F(MouseOnChart, TheOverviewsLeftClickMovesAZoomedChart) {
    MapView ov = homeView();
    ov.MapSize = 200;
    ov.recompute();
    view.ZoomHome = view.Zoom = 1.96;
    const mm::ZoomTo z =
        one<mm::ZoomTo>(mouse.overviewPress(MouseButton::Left, {120, 120}, ov, scene()));
    EXPECT_DOUBLE_EQ(z.zoom, 1.96);
    expectNear(z.centre, ov.toLatLon(120, 120));
    view.Zoom = MapView::kZoomFloorLimit;  // the whole area is shown already
    EXPECT_TRUE(mouse.overviewPress(MouseButton::Left, {120, 120}, ov, scene()).empty());
    view.Zoom = 1.96;
    autoTrace = true;
    EXPECT_TRUE(mouse.overviewPress(MouseButton::Left, {120, 120}, ov, scene()).empty());
}

TEST_F(MouseOnChart, TheOverviewsRightClickTurnsTheWindUpOnlyInFullMode) {
    MapView ov = homeView();
    ov.MapSize = 200;
    ov.recompute();
    view.setWindUp(200);
    auto rightOn = [&](ScreenPoint at) {
        return mouse.overviewPress(MouseButton::Right, at, ov, scene());
    };
    EXPECT_EQ(one<mm::SetWindDirection>(rightOn({140, 100})).degrees, 290);
    EXPECT_EQ(one<mm::SetWindDirection>(rightOn({100, 140})).degrees, 20);  // 200 + 180
    autoTrace = true;  // the trace does not stop it
    EXPECT_EQ(one<mm::SetWindDirection>(rightOn({60, 100})).degrees, 110);
    browserMode = true;
    EXPECT_TRUE(rightOn({140, 100}).empty());
    browserMode = false;
    view.setNorthUp();
    EXPECT_TRUE(rightOn({140, 100}).empty());
    raceShown = false;
    view.setWindUp(200);
    EXPECT_TRUE(rightOn({140, 100}).empty());
}

// --- A race shown afresh
// -----------------------------------------------------------------------------

TEST_F(MouseOnChart, ResetForgetsModesMeasuringAndAPressHalfDone) {
    mouse.wheel({100, 100}, 60, scene());
    mouse.toggleLineMode();
    left({100, 100});
    MapActions a = mouse.reset();
    EXPECT_EQ(kindsOf(a), (kinds<mm::HideRubberLine, mm::ModesChanged, mm::HideBox>()));
    EXPECT_FALSE(mouse.state().anySetupMode());
    EXPECT_FALSE(mouse.state().RubberLineShown);
    EXPECT_EQ(mouse.state().wheelRest, 0);
    left({300, 300});
    mouse.setMeasuring(true);
    left({300, 300});
    mouse.reset();
    EXPECT_FALSE(mouse.state().RangeBearingOn);
    EXPECT_FALSE(mouse.state().hasOrigin());
    EXPECT_FALSE(mouse.state().pressPending);
    EXPECT_EQ(mouse.state().wheelRest, 0);
    EXPECT_TRUE(letGo().empty());
}
