// The leg analysis numbers on hand-made rounding results: tables, best values, spreads, chart
// scales and points, the factor analysis and the CSV form.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/legtables.h"
#include "race/racedefinition.h"

using namespace brisko;

namespace {

// Rounding results for boats x entries from per-boat rows of times and distances.
RoundingResults results(const std::vector<std::vector<double>>& times,
                        const std::vector<std::vector<double>>& dists = {}) {
    RoundingResults r;
    r.clear();
    r.boatCount = static_cast<int>(times.size());
    r.entryCount = times.empty() ? 0 : static_cast<int>(times[0].size());
    for (int b = 1; b <= r.boatCount; ++b)
        for (int k = 1; k <= r.entryCount; ++k) {
            r.setRoundTime(k, b, times[b - 1][k - 1]);
            if (!dists.empty()) r.setLegDist(k, b, dists[b - 1][k - 1]);
        }
    return r;
}

}  // namespace

TEST(LegTables, TimeTableExtremesTiesAndMissedMarks) {
    // Boat 3 missed entry 2; boats 1 and 2 rounded it together.
    auto r = results({{10, 300, 600}, {12, 300, 650}, {15, 0, 700}});
    LegTable t = buildLegTable(TableKind::Time, r);
    ASSERT_EQ(t.columns, 3);
    EXPECT_EQ(t.cum[3][2], 0.0);  // the time table shows what is stored
    EXPECT_EQ(t.CumMin[2], 300);  // 0 is not a time
    EXPECT_EQ(t.CumMax[3], 700);
    EXPECT_TRUE(t.cumBest(1, 2));
    EXPECT_TRUE(t.cumBest(2, 2));  // equal best values are all best
    EXPECT_FALSE(t.cumBest(3, 2));
    EXPECT_TRUE(t.cumBest(1, 1));
    EXPECT_EQ(t.CumSpread, 100);

    EXPECT_FALSE(t.leg[1][1].has_value());  // no leg ends at the first entry
    EXPECT_EQ(t.leg[2][2], 288.0);
    EXPECT_FALSE(t.leg[3][2].has_value());
    EXPECT_EQ(t.leg[3][3], 700.0);  // counted from a missed rounding
    EXPECT_EQ(t.LegMin[2], 288);
    EXPECT_TRUE(t.legBest(2, 2));
    EXPECT_EQ(t.LegSpread, 400);
    EXPECT_EQ(t.LegMin[1], kColumnMinStart);
    EXPECT_EQ(t.LegMax[1], kColumnMaxStart);

    // Cumulative chart: R = 200, so 1.375 pixels per second behind the column's best.
    EXPECT_EQ(t.cumScale.range, 200);
    EXPECT_DOUBLE_EQ(*t.cumY[1][1], 300);
    EXPECT_DOUBLE_EQ(*t.cumY[3][3], 300 - 1.375 * 100);
    EXPECT_TRUE(t.cumJoined[1][2]);
    EXPECT_FALSE(t.cumJoined[1][1]);
    // A boat that missed a mark has no point there and no line to or from it.
    EXPECT_FALSE(t.cumY[3][2].has_value());
    EXPECT_FALSE(t.cumJoined[3][2]);
    EXPECT_FALSE(t.cumJoined[3][3]);
    EXPECT_TRUE(t.legJoined[1][3]);
    EXPECT_FALSE(t.legJoined[1][2]);  // the leg chart starts at the second entry
}

TEST(LegTables, DistanceAndSpeedTables) {
    auto r = results({{10, 290, 0}, {20, 300, 300}, {-5, 280, 580}},
                     {{0.05, 0.55, 0}, {0.01, 1.234, 1.234}, {-0.01, 0.6, 1.6}});
    LegTable d = buildLegTable(TableKind::Dist, r);
    EXPECT_EQ(d.cum[2][2], 2285.0);  // 1.234 nm to whole metres
    EXPECT_EQ(d.cum[3][1], -19.0);
    EXPECT_EQ(d.leg[2][2], 2267.0);  // 1852 x 1.224
    EXPECT_DOUBLE_EQ(*d.cumY[2][2], 300 - d.cumScale.pxPerUnit * (1852 * 1.234 - 1019));
    // A boat that passed the mark with no distance sailed known (no fix before it) gets no point
    // on the leg chart, not one at minus the distance to the mark before.
    LegTable unknown =
        buildLegTable(TableKind::Dist, results({{10, 290}, {20, 300}}, {{0.05, 0}, {0.01, 0.6}}));
    EXPECT_TRUE(unknown.leg[1][2].has_value());
    EXPECT_FALSE(unknown.legY[1][2].has_value());
    EXPECT_TRUE(unknown.legY[2][2].has_value());

    LegTable s = buildLegTable(TableKind::Speed, r);
    EXPECT_EQ(s.cum[1][1], 18.0);
    EXPECT_FALSE(s.cum[3][1].has_value());  // a start before the gun has no speed
    EXPECT_FALSE(s.cum[1][3].has_value());
    EXPECT_DOUBLE_EQ(*s.cum[1][2], 6.828);  // 6.8275..., rounded
    EXPECT_DOUBLE_EQ(*s.leg[1][2], 6.428);  // 6.4285..., truncated
    EXPECT_FALSE(s.leg[2][3].has_value());  // a leg of no time has no speed
    EXPECT_TRUE(s.cumBest(2, 2));           // the fastest is best
    EXPECT_FALSE(s.cumBest(1, 2));
    // The fastest leg is the one marked: 15.737 kn against 7.705 and 6.428.
    EXPECT_DOUBLE_EQ(*s.leg[2][2], 15.737);
    EXPECT_TRUE(s.legBest(2, 2));
    EXPECT_FALSE(s.legBest(1, 2));
    EXPECT_FALSE(s.legBest(3, 2));
    EXPECT_DOUBLE_EQ(s.LegMax[2], 15.737);
    // The start column's speeds (up to 18 kn) do not count for the spread.
    EXPECT_DOUBLE_EQ(s.CumSpread, *s.cum[2][2] - *s.cum[1][2]);
    EXPECT_FALSE(s.cumY[1][1].has_value());
    EXPECT_DOUBLE_EQ(*s.cumY[2][2], kChartTopLine);
    EXPECT_FALSE(s.cumJoined[2][2]);  // the speed chart's first segment ends at entry 3
    EXPECT_TRUE(s.cumJoined[3][3]);
}

TEST(LegTables, ChartScaleAndColumnPitch) {
    ChartScale s = chartScale(347);
    EXPECT_EQ(s.unit, 100);
    EXPECT_EQ(s.steps, 4);
    EXPECT_EQ(s.range, 400);
    EXPECT_DOUBLE_EQ(s.pxPerUnit, 275.0 / 400);
    EXPECT_EQ(chartScale(1000).range, 2000);
    EXPECT_EQ(chartScale(999).range, 1000);
    EXPECT_NEAR(chartScale(0.3).range, 0.4, 1e-12);
    for (double bad : {0.0, -100.0, std::nan("")}) {
        ChartScale z = chartScale(bad);
        EXPECT_EQ(z.range, 1);
        EXPECT_EQ(z.pxPerUnit, 275);
    }
    // One boat: every spread is 0, the charts still get a finite scale.
    LegTable one = buildLegTable(TableKind::Time, results({{10, 300, 600}}));
    EXPECT_EQ(one.CumSpread, 0);
    EXPECT_DOUBLE_EQ(*one.cumY[1][3], 300);

    EXPECT_EQ(columnPitch(5), 45);
    EXPECT_EQ(columnPitch(13), 20);
    EXPECT_EQ(columnPitch(0), 45);
}

TEST(LegTables, FactorAnalysisReferenceAndClampedRatios) {
    // Boats 1 and 2 share the best total time; boat 3 is 35 % slower; boat 4 never finished.
    auto r = results({{10, 1000}, {5, 1000}, {10, 1350}, {10, 0}},
                     {{0, 2.0}, {0, 1.99}, {0, 2.0}, {0, 1.0}});
    FactorTable f = buildFactorTable(r);
    EXPECT_EQ(f.referenceBoat[1], 1);  // the first of equal times
    ASSERT_TRUE(f.cells[3][1].has_value());
    EXPECT_DOUBLE_EQ(*f.cells[3][1]->time, 0.2);  // +35 % drawn as +20 %
    EXPECT_DOUBLE_EQ(*f.cells[2][1]->dist, 3685.0 / 3704 - 1);
    EXPECT_NEAR(*f.cells[2][1]->speed, -0.005, 1e-12);  // a short bar to the left
    EXPECT_DOUBLE_EQ(*f.cells[1][1]->time, 0);
    EXPECT_FALSE(f.cells[4][1].has_value());
    EXPECT_FALSE(f.cells[4][2].has_value());
    // The leg to entry 2: boat 1 is fastest (990 s).
    EXPECT_EQ(f.referenceBoat[2], 1);
    EXPECT_NEAR(*f.cells[2][2]->time, 995.0 / 990 - 1, 1e-12);
    EXPECT_DOUBLE_EQ(factorBarLength(0.2, 20), 16);
    EXPECT_DOUBLE_EQ(factorBarLength(-0.005, 20), -0.4);

    // No distance for the reference: no distance or speed ratio, but the time ratio stays.
    auto z = results({{10, 100}, {10, 200}}, {{0, 0}, {0, 0.5}});
    FactorTable g = buildFactorTable(z);
    EXPECT_FALSE(g.cells[2][2]->dist.has_value());
    EXPECT_FALSE(g.cells[2][2]->speed.has_value());
    EXPECT_DOUBLE_EQ(*g.cells[2][2]->time, 0.2);
    // A boat whose leg took no time has no speed ratio.
    auto still = results({{10, 100}, {100, 100}}, {{0, 0.5}, {0.4, 0.4}});
    EXPECT_FALSE(buildFactorTable(still).cells[2][2]->speed.has_value());
}

TEST(LegTables, CsvQuotesAndEmptyCells) {
    RaceDefinition def;
    def.Boats[1].BoatName = "Sea, Breeze";
    def.Boats[2].BoatName = "The \"Fox\"";
    def.Course[1] = " L1 ";
    def.Course[2] = "MK1";
    auto r = results({{10, 300}, {-5, 0}}, {{0.05, 1.0}, {0, 0}});
    EXPECT_EQ(legTableCsv(TableKind::Speed, def, r),
              "Boat,L1,MK1\n\"Sea, Breeze\",18,12\n\"The \"\"Fox\"\"\",,\n");
    EXPECT_EQ(legTableCsv(TableKind::Time, def, r),
              "Boat,L1,MK1\n\"Sea, Breeze\",10,300\n\"The \"\"Fox\"\"\",-5,\n");
    // A mark not rounded is an empty cell, not a distance of 0 m.
    EXPECT_EQ(legTableCsv(TableKind::Dist, def, r),
              "Boat,L1,MK1\n\"Sea, Breeze\",93,1852\n\"The \"\"Fox\"\"\",0,\n");
    // Factor ratios: three cells per column, the whole race first; a boat that did not finish
    // has an empty cell for each.
    EXPECT_EQ(legTableCsv(TableKind::Factor, def, r),
              "Boat,TTL time,TTL dist,TTL speed,MK1 time,MK1 dist,MK1 speed\n"
              "\"Sea, Breeze\",0,0,0,0,0,0\n"
              "\"The \"\"Fox\"\"\",,,,,,\n");
    // A ratio without a reference is an empty cell beside the ratios that exist, and a course
    // entry with a comma in its text is quoted with its suffix.
    def.Course[2] = "MK1,a";
    auto z = results({{10, 100}, {10, 200}}, {{0, 0}, {0, 0.5}});
    EXPECT_EQ(legTableCsv(TableKind::Factor, def, z),
              "Boat,TTL time,TTL dist,TTL speed,\"MK1,a time\",\"MK1,a dist\",\"MK1,a speed\"\n"
              "\"Sea, Breeze\",0,,,0,,\n"
              "\"The \"\"Fox\"\"\",0.2,,,0.2,,\n");
    // Nothing to show: a header and no rows.
    EXPECT_EQ(legTableCsv(TableKind::Dist, RaceDefinition{}, results({})), "Boat\n");
    EXPECT_EQ(buildLegTable(TableKind::Speed, results({})).CumSpread, kSpreadStart);
}
