// The arithmetic behind the analysis views: the speed graph's scale and labels, the wind strip
// chart's centre, wind entry (sorting and sentinels), the typed wind direction, and the texts
// and colours of the table cells and chart scales.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/speedgraph.h"
#include "analysis/tabletext.h"
#include "analysis/windentry.h"

using namespace brisko;

TEST(SpeedGraph, DirectionPanelStartsAQuarterLeftOfTheWind) {
    const SpeedGraphScale s = speedGraphScale(800, 3900, 4140, 30);
    EXPECT_DOUBLE_EQ(s.DirPanelStart, 300);
    EXPECT_DOUBLE_EQ(s.xForDirection(30), 120);   // the wind
    EXPECT_DOUBLE_EQ(s.xForDirection(0), 90);     // the label "0"
    EXPECT_DOUBLE_EQ(s.xForDirection(210), 300);  // its reciprocal
    EXPECT_DOUBLE_EQ(s.xForDirection(300), 30);
    // Courses either side of north land at the panel's two ends when north is its edge.
    const SpeedGraphScale n = speedGraphScale(800, 3900, 4140, 90);
    EXPECT_NEAR(n.xForDirection(355) - n.xForDirection(5), 350, 1e-9);
    // A click maps back onto the same direction and the whole second under it.
    EXPECT_DOUBLE_EQ(s.directionAtX(120), 30);
    EXPECT_DOUBLE_EQ(s.directionAtX(30), 300);
    EXPECT_DOUBLE_EQ(s.PxPerSecond, 740.0 / 4140);
    EXPECT_DOUBLE_EQ(s.timeAtY(s.yForTime(1234)), 1234);
    EXPECT_DOUBLE_EQ(s.yForTime(3900), 30);
}

TEST(SpeedGraph, UnusableHeightOrRaceGivesNoScale) {
    EXPECT_EQ(speedGraphScale(50, 3900, 4140, 0).PxPerSecond, 0);
    EXPECT_EQ(speedGraphScale(800, 0, 0, 0).PxPerSecond, 0);
    EXPECT_EQ(speedGraphScale(800, 0, 0, 0).timeAtY(400), 0);
    EXPECT_TRUE(std::isfinite(speedGraphScale(800, 1, NAN, 0).yForTime(5)));
}

TEST(SpeedGraph, TimeLabelsAndLineColours) {
    EXPECT_EQ(graphTimeLabel(0), "0:00");
    EXPECT_EQ(graphTimeLabel(1), "0:05");
    EXPECT_EQ(graphTimeLabel(13), "1:05");
    EXPECT_EQ(graphTimeLabel(18), "1:30");
    EXPECT_EQ(graphTimeLineColour(12), (Rgb{255, 0, 0}));
    EXPECT_EQ(graphTimeLineColour(6), (Rgb{255, 128, 0}));
    EXPECT_EQ(graphTimeLineColour(4), (Rgb{255, 192, 192}));
    EXPECT_EQ(graphTimeLineColour(5), (Rgb{192, 192, 192}));
}

TEST(WindStrip, CentreAcrossNorthAndTheSmallestSpan) {
    WindStore w;
    w.append(0, 8, 355);
    w.append(60, 8, 5);
    w.append(120, 8, 0);
    const WindStripScale s = windStripScale(w, 150, 150, 4000);
    EXPECT_NEAR(s.centre, 0, 1e-9);
    EXPECT_DOUBLE_EQ(s.span, 30);  // ten degrees of wind still span thirty
    EXPECT_DOUBLE_EQ(s.xScale, 0.8 * 140 / 30);
    EXPECT_NEAR(s.xForDirection(0), 75, 1e-9);
    EXPECT_LT(s.xForDirection(355), 75);
    WindStore wide;
    wide.append(0, 8, 200);
    wide.append(60, 8, 260);
    const WindStripScale t = windStripScale(wide, 150, 150, 4000);
    EXPECT_DOUBLE_EQ(t.centre, 230);
    EXPECT_DOUBLE_EQ(t.span, 60);
}

TEST(WindStrip, DownwindIsMoreThanAQuarterOffTheWind) {
    EXPECT_FALSE(sailingDownwind(0, 45));
    EXPECT_FALSE(sailingDownwind(350, 80));
    EXPECT_TRUE(sailingDownwind(0, 180));
    EXPECT_TRUE(sailingDownwind(10, 270));
}

TEST(WindEntry, ClicksSortedInWithSentinels) {
    WindStore w;
    w.append(100, 9, 200);                          // a loaded series is replaced from index 1 on
    int n = enterWindPoint(w, 0, 1200, 240, 3900);  // 10:20
    EXPECT_EQ(n, 2);
    EXPECT_EQ(w.WindCount, 3);
    n = enterWindPoint(w, n, 300, 250, 3900);   // 10:05
    n = enterWindPoint(w, n, 2400, 230, 3900);  // 10:40
    ASSERT_EQ(n, 4);
    ASSERT_EQ(w.WindCount, 5);
    const double secs[] = {-300, 300, 1200, 2400, 3900};
    const double dirs[] = {250, 250, 240, 230, 230};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_DOUBLE_EQ(w.WindSec[i], secs[i - 1]) << i;
        EXPECT_DOUBLE_EQ(w.WindDir[i], dirs[i - 1]) << i;
        EXPECT_DOUBLE_EQ(w.WindSpeed[i], 0) << i;
    }
    // The same time again goes after the point entered first.
    n = enterWindPoint(w, n, 1200, 100, 3900);
    EXPECT_DOUBLE_EQ(w.WindDir[3], 240);
    EXPECT_DOUBLE_EQ(w.WindDir[4], 100);
}

TEST(WindEntry, StoreGrowsKeepingItsPoints) {
    WindStore w;
    int n = 0;
    for (int i = 0; i < 150; ++i) n = enterWindPoint(w, n, 3000 - 10 * i, i % 360, 3900);
    EXPECT_EQ(w.WindCount, 152);
    EXPECT_GE(w.capacity, 161);
    for (int i = 3; i <= n; ++i) EXPECT_LE(w.WindSec[i - 1], w.WindSec[i]);
    EXPECT_DOUBLE_EQ(w.WindSec[2], 3000 - 10 * 149);
    EXPECT_DOUBLE_EQ(w.WindSec[n + 1], 3900);
}

TEST(WindEntry, TypedDirection) {
    EXPECT_DOUBLE_EQ(typedWindDirection("245"), 245);
    EXPECT_DOUBLE_EQ(typedWindDirection("245.5deg"), 245.5);
    EXPECT_DOUBLE_EQ(typedWindDirection("360"), 360);
    EXPECT_DOUBLE_EQ(typedWindDirection("400"), 0);
    EXPECT_DOUBLE_EQ(typedWindDirection("-5"), 0);
    EXPECT_DOUBLE_EQ(typedWindDirection("north"), 0);
    EXPECT_DOUBLE_EQ(typedWindDirection("1e999"), 0);
}

TEST(TableText, CellsWithoutValueStayEmpty) {
    EXPECT_EQ(cellText(std::nullopt), "");
    EXPECT_EQ(cellText(NAN), "");
    EXPECT_EQ(cellText(INFINITY), "");
    EXPECT_EQ(cellText(12.5), "12.5");
    EXPECT_EQ(cellText(0.0), "0");
    EXPECT_EQ(cellText(3605.0), "3605");
}

TEST(TableText, GridLabelsWithoutBinaryTails) {
    const ChartScale s = chartScale(0.347);
    EXPECT_DOUBLE_EQ(s.unit, 0.1);
    EXPECT_EQ(chartGridLabel(s, 3), "0.3");
    EXPECT_EQ(chartGridLabel(s, 0), "0");
    const ChartScale big = chartScale(347);
    EXPECT_EQ(chartGridLabel(big, 4), "400");
    const ChartScale none = chartScale(0);  // one boat: a single unit, still drawable
    EXPECT_EQ(chartGridLabel(none, 1), "1");
}

TEST(TableText, BestValuesInDarkRed) {
    RoundingResults r;
    r.entryCount = 3;
    r.boatCount = 2;
    r.setRoundTime(1, 1, 10);
    r.setRoundTime(1, 2, 10);
    r.setRoundTime(2, 1, 400);
    r.setRoundTime(2, 2, 380);
    r.setRoundTime(3, 1, 900);  // boat 2 never reaches entry 3
    for (int k = 1; k <= 3; ++k) r.setLegDist(k, 1, 0.3 * k);
    for (int k = 1; k <= 2; ++k) r.setLegDist(k, 2, 0.3 * k);
    const LegTable t = buildLegTable(TableKind::Time, r);
    EXPECT_EQ(cumCellColour(t, 1, 1), kTitleRed);  // equal best both red
    EXPECT_EQ(cumCellColour(t, 2, 1), kTitleRed);
    EXPECT_EQ(cumCellColour(t, 1, 2), kBlack);
    EXPECT_EQ(cumCellColour(t, 2, 2), kTitleRed);
    EXPECT_EQ(legCellColour(t, 2, 3), kBlack);  // no value: not best
    EXPECT_EQ(cellText(t.leg[2][3]), "");
    const LegTable sp = buildLegTable(TableKind::Speed, r);
    EXPECT_EQ(cellText(sp.cum[2][3]), "");
    EXPECT_EQ(cumCellColour(sp, 2, 2), kTitleRed);  // faster to entry 2
    EXPECT_EQ(cumCellColour(sp, 1, 2), kBlack);
    // By leg: the quickest leg in the time table, the fastest in the speed table.
    EXPECT_EQ(legCellColour(t, 2, 2), kTitleRed);  // 370 s against 390 s
    EXPECT_EQ(legCellColour(t, 1, 2), kBlack);
    EXPECT_EQ(legCellColour(sp, 2, 2), kTitleRed);  // 2.918 kn against 2.769 kn
    EXPECT_EQ(legCellColour(sp, 1, 2), kBlack);
    EXPECT_EQ(legCellColour(sp, 1, 3), kTitleRed);  // alone on the leg
}
