// Tests for the chart's view: transform and inverse, orientation, zoom floor, fit to boats and
// the scale step.
#include <gtest/gtest.h>

#include <cmath>

#include "display/mapview.h"
#include "track/trackstore.h"

using namespace brisko;

namespace {
MapView makeView(double rotation) {
    MapView v;
    v.MapSize = 800;
    v.CenterLat = 2100;
    v.CenterLon = 8100;
    v.HomeLat = 2101;
    v.HomeLon = 8102;
    v.TrackSpan = 2;
    v.LonFactor = 0.82;
    v.MPerMinLat = 1849;
    v.ViewRotation = rotation;
    v.NorthUp = rotation == 0 ? 1 : 0;
    v.recompute();
    return v;
}
}  // namespace

TEST(MapView, InverseReturnsThePointInBothOrientations) {
    for (double rot : {0.0, 37.5, 90.0, 215.0, 359.0}) {
        MapView v = makeView(rot);
        for (auto [lat, lon] : {std::pair{2100.3, 8099.1}, {2099.0, 8101.7}, {2100.0, 8100.0}}) {
            ScreenPoint s = v.toScreen(lat, lon);
            GeoPoint g = v.toLatLon(s.x, s.y);
            EXPECT_NEAR(g.lat, lat, 1e-9) << rot;
            EXPECT_NEAR(g.lon, lon, 1e-9) << rot;
        }
    }
}

TEST(MapView, NorthUpAndWindUpPlacePointsAsSeen) {
    MapView v = makeView(0);
    ScreenPoint c = v.toScreen(2100, 8100);
    EXPECT_DOUBLE_EQ(c.x, 400);
    EXPECT_DOUBLE_EQ(c.y, 400);
    // North up: north is up (smaller y), east is right, with longitude scaled by LonFactor.
    ScreenPoint n = v.toScreen(2100.5, 8100);
    EXPECT_NEAR(n.y, 400 - 0.5 * v.PxPerMinLat, 1e-9);
    ScreenPoint e = v.toScreen(2100, 8100.5);
    EXPECT_NEAR(e.x - 400, 0.5 * v.PxPerMinLat * 0.82, 1e-9);
    // Wind up with a wind of 90: a point due east of the centre is straight above it.
    MapView w = makeView(90);
    ScreenPoint up = w.toScreen(2100, 8100.5);
    EXPECT_NEAR(up.x, 400, 1e-9);
    EXPECT_LT(up.y, 400);
    // Bearings drawn at b - ViewRotation: the wind's bearing points straight up.
    ScreenPoint ray = w.alongBearing({400, 400}, 90, 100);
    EXPECT_NEAR(ray.x, 400, 1e-9);
    EXPECT_NEAR(ray.y, 300, 1e-9);
}

TEST(MapView, ZoomFloorRecentresBelowPointSix) {
    MapView v = makeView(0);
    v.Zoom = 0.6;
    EXPECT_FALSE(v.applyZoomFloor());
    EXPECT_DOUBLE_EQ(v.Zoom, 0.6);
    EXPECT_DOUBLE_EQ(v.CenterLat, 2100);
    v.Zoom = 0.59;
    EXPECT_TRUE(v.applyZoomFloor());
    EXPECT_DOUBLE_EQ(v.Zoom, 0.5);
    EXPECT_DOUBLE_EQ(v.CenterLat, 2101);
    EXPECT_DOUBLE_EQ(v.CenterLon, 8102);
}

TEST(MapView, SetupTakesTheRaceAreaAndOrientation) {
    TrackStore t;
    t.HomeLat = 2000;
    t.HomeLon = 8000;
    t.TrackSpan = 0.05;  // a tiny area is shown as 0.1
    t.LonFactor = 0.9;
    t.MPerMinLat = 1850;
    MapView v;
    v.setupForRace(t, 600, 0, 225);
    EXPECT_DOUBLE_EQ(v.TrackSpan, 0.1);
    EXPECT_EQ(v.NorthUp, 0);
    EXPECT_DOUBLE_EQ(v.ViewRotation, 225);
    EXPECT_DOUBLE_EQ(v.GridAnchorLat, 2000);
    EXPECT_DOUBLE_EQ(v.PxPerMinLat, 0.75 * 600 / 0.1);
    v.setupForRace(t, 600, 1, 225);
    EXPECT_DOUBLE_EQ(v.ViewRotation, 0);
}

TEST(MapView, FitToBoatsCentresAndZooms) {
    MapView v = makeView(0);
    ASSERT_TRUE(v.fitToBoats({{2100, 8100}, {2100.4, 8101}}));
    EXPECT_DOUBLE_EQ(v.CenterLat, 2100.2);
    EXPECT_DOUBLE_EQ(v.CenterLon, 8100.5);
    // span = max(0.4, 0.82 x 1) = 0.82
    EXPECT_NEAR(v.Zoom, 0.85 * 2 / 0.82, 1e-12);

    // All boats at one point: 0.02 minute divided by the trace zoom.
    v.TraceZoom = 0.5;
    ASSERT_TRUE(v.fitToBoats({{2100, 8100}, {2100, 8100}}));
    EXPECT_NEAR(v.Zoom, 0.85 * 2 / 0.04, 1e-9);

    // Nothing to fit: the view stays where it is.
    const double zoom = v.Zoom;
    EXPECT_FALSE(v.fitToBoats({}));
    EXPECT_FALSE(v.fitToBoats({{NAN, 8100}}));
    EXPECT_DOUBLE_EQ(v.Zoom, zoom);
}

TEST(MapView, HomeOnTheBoatsStillRacingKeepsTheWholeAreaWithinReach) {
    // Race area 2 minutes across around (2101, 8102); the fleet sailed in 0.25 x 0.2 of it.
    MapView v = makeView(30);
    v.fitHome(2100.0, 2100.25, 8100.0, 8100.2);
    EXPECT_DOUBLE_EQ(v.CenterLat, 2100.125);
    EXPECT_DOUBLE_EQ(v.CenterLon, 8100.1);
    EXPECT_DOUBLE_EQ(v.ZoomHome, 2 / 0.25);
    EXPECT_DOUBLE_EQ(v.Zoom, v.ZoomHome);
    // The fleet's corners lie in the map box; the far end of the race area does not.
    for (double lat : {2100.0, 2100.25})
        for (double lon : {8100.0, 8100.2}) EXPECT_TRUE(v.insideStrict(v.toScreen(lat, lon)));
    const GeoPoint far{2101.9, 8102.9};
    EXPECT_FALSE(v.insideStrict(v.toScreen(far)));
    // Zooming out past the floor shows the whole race area again.
    v.Zoom = 0.59;
    EXPECT_TRUE(v.applyZoomFloor());
    v.recompute();
    EXPECT_TRUE(v.insideStrict(v.toScreen(far)));
    // A fleet as large as the race area keeps zoom 1; nonsense leaves the view alone.
    MapView w = makeView(0);
    w.fitHome(2100, 2102, 8100, 8100.1);
    EXPECT_DOUBLE_EQ(w.ZoomHome, 1);
    w.fitHome(std::nan(""), 2102, 8100, 8100.1);
    EXPECT_DOUBLE_EQ(w.CenterLat, 2101);
}

TEST(MapView, ScaleStepFollowsOneTwoFive) {
    ScaleStep s = scaleStepFor(1.0);  // 400 m in 400 px
    EXPECT_EQ(s.digit, 2);
    EXPECT_DOUBLE_EQ(s.metres, 200);
    EXPECT_DOUBLE_EQ(s.pixels, 200);
    EXPECT_EQ(s.label, "200m");
    s = scaleStepFor(0.1);
    EXPECT_DOUBLE_EQ(s.metres, 2000);
    EXPECT_EQ(s.label, "2Km");
    EXPECT_EQ(scaleStepFor(400.0 / 700).label, "500m");
    EXPECT_EQ(scaleStepFor(400.0 / 150).label, "100m");
    EXPECT_EQ(scaleStepFor(400.0 / 15000).label, "10Km");
    // Very close zoom: steps below a metre still have a 1-2-5 digit.
    s = scaleStepFor(1000);
    EXPECT_DOUBLE_EQ(s.metres, 0.2);
    EXPECT_EQ(s.label, "0.2m");
    // No scale yet: no division by zero.
    EXPECT_DOUBLE_EQ(scaleStepFor(0).pixels, 0);
}
