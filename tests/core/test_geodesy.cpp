// Tests of the metric factors and the Tokyo <-> WGS datum shift used by the chart and the
// coastline loader.
#include <gtest/gtest.h>

#include <cmath>

#include "track/geodesy.h"

using namespace brisko;

TEST(Geodesy, MetricFactorsAt35North) {
    const GeoFactors g = getCodeLength(35 * 60);
    EXPECT_DOUBLE_EQ(g.DegRad, M_PI / 180);
    EXPECT_NEAR(g.MPerMinLat, 1846.3, 0.1);
    EXPECT_NEAR(g.MPerMinLon, 1518.3, 0.1);
}

TEST(Geodesy, MetricFactorsFollowLatitude) {
    // A minute of latitude lengthens towards the pole, a minute of longitude shrinks; both are
    // the same north and south of the equator.
    const GeoFactors equator = getCodeLength(0);
    const GeoFactors north = getCodeLength(60 * 60);
    const GeoFactors south = getCodeLength(-60 * 60);
    EXPECT_LT(equator.MPerMinLat, north.MPerMinLat);
    EXPECT_GT(equator.MPerMinLon, 2 * north.MPerMinLon * 0.99);
    EXPECT_DOUBLE_EQ(north.MPerMinLat, south.MPerMinLat);
    EXPECT_DOUBLE_EQ(north.MPerMinLon, south.MPerMinLon);
    EXPECT_NEAR(getCodeLength(90 * 60).MPerMinLon, 0, 1e-6);
}

TEST(Geodesy, TokyoToWgsShiftNearTokyo) {
    double lat = 0, lon = 0;
    tokyoToWgs(35 * 60, 139 * 60, lat, lon);
    // About 11.8 seconds further north and 11.3 seconds further west.
    EXPECT_NEAR((lat - 35 * 60) * 60, 11.8, 0.15);
    EXPECT_NEAR((lon - 139 * 60) * 60, -11.3, 0.15);
}

TEST(Geodesy, WgsToTokyoInvertsTheShift) {
    for (double latDeg : {24.0, 35.27, 45.5}) {
        for (double lonDeg : {123.0, 139.47, 145.8}) {
            double tLat = 0, tLon = 0, wLat = 0, wLon = 0;
            wgsToTokyo(latDeg * 60, lonDeg * 60, tLat, tLon);
            tokyoToWgs(tLat, tLon, wLat, wLon);
            // 1e-7 minutes is about 0.2 mm.
            EXPECT_NEAR(wLat, latDeg * 60, 1e-7);
            EXPECT_NEAR(wLon, lonDeg * 60, 1e-7);
            EXPECT_GT(tLat, latDeg * 60 - 1);  // a shift of seconds, not minutes
            EXPECT_LT(tLat, latDeg * 60);
        }
    }
}

TEST(Geodesy, ShiftIsDefinedAwayFromJapan) {
    // On the prime meridian and in the western hemisphere the shift stays a shift of seconds
    // (no division by zero, no folding of the longitude into the eastern hemisphere).
    for (double lonDeg : {0.0, -70.0, 179.99}) {
        double lat = 0, lon = 0;
        tokyoToWgs(10 * 60, lonDeg * 60, lat, lon);
        ASSERT_TRUE(std::isfinite(lat) && std::isfinite(lon)) << lonDeg;
        EXPECT_NEAR(lat, 10 * 60, 0.5) << lonDeg;
        EXPECT_NEAR(lon, lonDeg * 60, 0.5) << lonDeg;
    }
}
