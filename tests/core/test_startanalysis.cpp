// The start: a line's bias to the wind and its favoured end, which side is the course side, and
// each boat's distance, place along the line and speed at the gun and at its crossing.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/startanalysis.h"
#include "coachrace.h"

using namespace brisko;
using namespace brisko::test;

namespace {

// A 200 m line running east from (0, 0), square to a northerly, and a mark 1 km up the course.
CoachRace squareStart(int boats) {
    CoachRace race(boats);
    race.line(1, 0, 0, 0, 200);
    race.mark(1, 1000, 100);
    race.course({"L1", "MK1"});
    return race;
}

BoatStart startOf(const CoachRace& race, const WindInForce& wind, int b) {
    const auto line = startGeometry(race.def, race.st, race.r, wind);
    EXPECT_TRUE(line.has_value());
    return line ? analyseBoatStart(*line, race.st, race.r, b) : BoatStart{};
}

}  // namespace

TEST(StartAnalysis, BoatsBehindAndOverTheLineAtTheGun) {
    CoachRace race = squareStart(4);
    const WindInForce wind = steadyWind(0);
    // 20 m behind the line a quarter of the way along, sailing north at 5 knots.
    race.track(1, straightRun(-60, -20 - mps(5) * 60, 50, 0, 5, 300));
    // 10 m over the line three quarters of the way along at the gun.
    race.track(2, straightRun(-60, 10 - mps(5) * 60, 150, 0, 5, 300));
    // Its log begins half a minute after the gun, already up the course.
    race.track(3, straightRun(30, 50, 100, 0, 5, 300));
    // Its log ends at the gun, 5 m short of the line beyond end 2, at 4 knots.
    race.track(4, straightRun(-60, -5 - mps(4) * 60, 260, 0, 4, 0));
    race.run();

    const BoatStart s1 = startOf(race, wind, 1);
    ASSERT_TRUE(s1.gunDistM && s1.gunAlong && s1.gunSpeed);
    EXPECT_NEAR(*s1.gunDistM, 20, 1e-6);
    EXPECT_NEAR(*s1.gunAlong, 0.25, 1e-9);
    EXPECT_NEAR(*s1.gunSpeed, 5, 1e-6);
    EXPECT_FALSE(s1.ocs);
    // Over the line 7.8 s after the gun: the crossing is the second before it.
    ASSERT_TRUE(s1.crossTime && s1.crossSpeed && s1.crossAlong);
    EXPECT_EQ(*s1.crossTime, 7);
    EXPECT_NEAR(*s1.crossSpeed, 5, 1e-6);
    EXPECT_NEAR(*s1.crossAlong, 0.25, 1e-9);

    const BoatStart s2 = startOf(race, wind, 2);
    ASSERT_TRUE(s2.gunDistM && s2.gunAlong);
    EXPECT_NEAR(*s2.gunDistM, -10, 1e-6);
    EXPECT_NEAR(*s2.gunAlong, 0.75, 1e-9);
    EXPECT_TRUE(s2.ocs);
    // Over 3.9 s before the gun and never back: the early crossing is its time.
    ASSERT_TRUE(s2.crossTime && s2.crossAlong);
    EXPECT_EQ(*s2.crossTime, -4);
    EXPECT_NEAR(*s2.crossAlong, 0.75, 1e-9);

    const BoatStart s3 = startOf(race, wind, 3);
    EXPECT_FALSE(s3.gunDistM || s3.gunAlong || s3.gunSpeed || s3.ocs);
    EXPECT_FALSE(s3.crossTime || s3.crossSpeed || s3.crossAlong);

    // The last fix at the gun: its place, and the speed of the segment that ends there.
    const BoatStart s4 = startOf(race, wind, 4);
    ASSERT_TRUE(s4.gunDistM && s4.gunAlong && s4.gunSpeed);
    EXPECT_NEAR(*s4.gunDistM, 5, 1e-6);
    EXPECT_NEAR(*s4.gunAlong, 1.3, 1e-9);  // beyond end 2
    EXPECT_NEAR(*s4.gunSpeed, 4, 1e-6);
}

TEST(StartAnalysis, BiasAndFavouredEndOfSkewedLines) {
    // The line turned by `skew` degrees from square to the wind, end 2 to windward for positive
    // skew, for winds from several quarters.
    struct Case {
        double wind, skew;
        std::optional<int> favoured;
    };
    const Case cases[] = {{0, 7, 2},    {0, -7, 1},      {135, 12, 2}, {350, -30, 1},
                          {0, 0.3, {}}, {225, -0.4, {}}, {90, 0.6, 2}, {270, 0, {}}};
    const double len = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "wind " << c.wind << " skew " << c.skew);
        const double beta = (c.wind - 90 + c.skew) * kDegToRad;
        CoachRace race(1);
        race.line(1, 0, 0, len * std::cos(beta), len * std::sin(beta));
        race.course({"L1"});
        const WindInForce wind = steadyWind(c.wind);
        const auto line = startGeometry(race.def, race.st, race.r, wind);
        ASSERT_TRUE(line);
        const StartLineAnalysis a = analyseStartLine(*line, wind);
        EXPECT_NEAR(a.lengthM, len, 1e-6);
        EXPECT_NEAR(a.windDir, c.wind, 1e-12);
        EXPECT_NEAR(a.biasDeg, c.skew, 1e-6);
        EXPECT_EQ(a.favouredEnd, c.favoured);
        EXPECT_NEAR(a.advantageM, len * std::abs(std::sin(c.skew * kDegToRad)), 1e-6);
    }
}

TEST(StartAnalysis, BiasUsesTheWindAtTheGun) {
    CoachRace race(1);
    race.line(1, 0, 0, 0, 200);
    race.course({"L1"});
    // The wind backs from 20 to 340 over the pre-start and holds there after the gun.
    WindInForce wind;
    wind.source = WindSource::File;
    wind.samples = {{-600, 20}, {-60, 350}, {0, 340}, {600, 10}};
    const auto line = startGeometry(race.def, race.st, race.r, wind);
    ASSERT_TRUE(line);
    const StartLineAnalysis a = analyseStartLine(*line, wind);
    EXPECT_NEAR(a.windDir, 340, 1e-12);
    // Wind from 340: end 1 (west) is 20 degrees nearer to it.
    EXPECT_NEAR(a.biasDeg, -20, 1e-6);
    EXPECT_EQ(a.favouredEnd, 1);
}

TEST(StartAnalysis, CourseSideFollowsTheFirstMarkElseTheWind) {
    const WindInForce northerly = steadyWind(0), southerly = steadyWind(180);
    auto distAtGun = [](CoachRace& race, const WindInForce& wind, double north) {
        race.st.reset(1);
        race.st.LonFactor = kLonFactor;
        race.st.MPerMinLat = 1852;
        race.track(1, {{-10, north, 100}, {10, north, 100}});
        race.derive();
        return startOf(race, wind, 1).gunDistM.value_or(NAN);
    };
    // The first mark to the south: boats come down to the line from the north, whatever the
    // wind says.
    CoachRace south(1);
    south.line(1, 0, 0, 0, 200);
    south.course({"L1", "MK1"});
    south.points({{0, 0}, {-1000, 100}});
    EXPECT_NEAR(distAtGun(south, northerly, 20), 20, 1e-6);
    EXPECT_NEAR(distAtGun(south, northerly, -20), -20, 1e-6);

    // No second course point: the course side is to windward.
    CoachRace alone(1);
    alone.line(1, 0, 0, 0, 200);
    alone.course({"L1"});
    EXPECT_NEAR(distAtGun(alone, northerly, 20), -20, 1e-6);
    EXPECT_NEAR(distAtGun(alone, southerly, 20), 20, 1e-6);

    // A second point on the line itself (start and finish at the same line) tells nothing.
    CoachRace same(1);
    same.line(1, 0, 0, 0, 200);
    same.course({"L1", "L1"});
    same.points({{0, 0}, {0, 0}});
    EXPECT_NEAR(distAtGun(same, southerly, -20), -20, 1e-6);
}

TEST(StartAnalysis, NoStartLineWithoutALineFirst) {
    const WindInForce wind = steadyWind(0);
    CoachRace race(1);
    race.line(1, 0, 0, 0, 200);
    race.mark(1, 1000, 100);
    for (const std::vector<std::string>& course :
         {std::vector<std::string>{"MK1", "L1"}, {"L2", "MK1"}, {"L0"}, {}}) {
        race.course(course);
        EXPECT_FALSE(startGeometry(race.def, race.st, race.r, wind));
    }
    race.course({"L1", "MK1"});
    race.def.Lines[1].PositionKnown = false;
    EXPECT_FALSE(startGeometry(race.def, race.st, race.r, wind));

    // The whole analysis then has no start for anyone.
    race.track(1, straightRun(-60, -200, 50, 0, 5, 300));
    race.run();
    const CoachAnalysis a = analyseRace(race.def, race.st, race.r, WindStore{});
    EXPECT_FALSE(a.startLine);
    ASSERT_EQ(a.starts.size(), 2u);
    EXPECT_FALSE(a.starts[1]);
}

TEST(StartAnalysis, LineWithoutLengthGivesNoNumbersToDivide) {
    CoachRace race(1);
    race.line(1, 0, 100, 0, 100);
    race.course({"L1"});
    race.track(1, straightRun(-60, -200, 50, 0, 5, 300));
    race.derive();
    const WindInForce wind = steadyWind(45);
    const auto line = startGeometry(race.def, race.st, race.r, wind);
    ASSERT_TRUE(line);
    const StartLineAnalysis a = analyseStartLine(*line, wind);
    EXPECT_EQ(a.lengthM, 0);
    EXPECT_EQ(a.biasDeg, 0);
    EXPECT_FALSE(a.favouredEnd);
    EXPECT_EQ(a.advantageM, 0);
    const BoatStart s = analyseBoatStart(*line, race.st, race.r, 1);
    EXPECT_FALSE(s.gunDistM || s.gunAlong || s.ocs);
    ASSERT_TRUE(s.gunSpeed);  // the boat's own speed is still known
    EXPECT_NEAR(*s.gunSpeed, 5, 1e-6);
}
