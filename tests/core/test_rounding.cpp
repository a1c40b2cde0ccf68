// Mark roundings and leg distances on constructed tracks: line crossings, mark roundings by
// side and by closest approach, the leaders, and the distance sailed to each rounding.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "coachrace.h"
#include "race/racedefinition.h"
#include "track/kinematics.h"
#include "track/rounding.h"

using namespace brisko;
using namespace brisko::test;

namespace {

struct Pt {
    double n, e;
};

// Points of an arc round a centre, bearings from `from` to `to` degrees in 5-degree steps.
void arc(std::vector<Pt>& pts, Pt c, double r, double from, double to) {
    int steps = static_cast<int>(std::abs(to - from) / 5);
    for (int i = 0; i <= steps; ++i) {
        double th = (from + (to - from) * i / steps) * std::numbers::pi / 180;
        pts.push_back({c.n + r * std::cos(th), c.e + r * std::sin(th)});
    }
}

// Times for a polyline sailed at a constant speed from t0.
std::vector<Key> timed(const std::vector<Pt>& pts, double t0, double speed) {
    std::vector<Key> keys{{t0, pts[0].n, pts[0].e}};
    for (size_t i = 1; i < pts.size(); ++i) {
        double d = std::hypot(pts[i].n - pts[i - 1].n, pts[i].e - pts[i - 1].e);
        keys.push_back({keys.back().t + d / speed, pts[i].n, pts[i].e});
    }
    return keys;
}

// The race fixture of the coach's analyses, with lines given by their two ends.
struct Race : CoachRace {
    using CoachRace::CoachRace;
    void line(int i, Pt a, Pt b) { CoachRace::line(i, a.n, a.e, b.n, b.e); }
};

}  // namespace

TEST(Rounding, StartLineKeepsLastCrossingWithinItsWindow) {
    Race race(5);
    race.line(1, {0, 0}, {0, 200});
    race.course({"L1"});
    // Over at -9.5 s, back at -1.6 s, over again at 25.5 s: the last crossing counts.
    addTrack(race.st, 1, {{-30, -102.5, 100}, {-5, 22.5, 100}, {10, -77.5, 100}, {40, 72.5, 100}});
    // Over at -9.5 s and back only at 400 s, after the start window.
    addTrack(race.st, 2, {{-30, -102.5, 100}, {-5, 22.5, 100}, {390, 50, 100}, {420, -100, 100}});
    // Reaches the line only at 400.5 s.
    addTrack(race.st, 3, {{-30, -2152.5, 100}, {420, 97.5, 100}});
    // Over at -89.5 s, a minute and a half before the gun, and away up the course.
    addTrack(race.st, 4, {{-100, -26.25, 100}, {-60, 73.75, 100}, {400, 1200, 100}});
    // Over at -129.5 s, before the line is watched, and never back.
    addTrack(race.st, 5, {{-140, -26.25, 100}, {-100, 73.75, 100}, {400, 1200, 100}});
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 25);
    EXPECT_EQ(race.r.RoundTime(1, 2), -10);  // early and never back: negative, not "missing"
    EXPECT_EQ(race.r.RoundTime(1, 3), 0);
    EXPECT_EQ(race.r.RoundTime(1, 4), -90);
    EXPECT_EQ(race.r.RoundTime(1, 5), 0);
    EXPECT_EQ(race.r.LeadTime(1), 25);  // only positive times lead
}

TEST(Rounding, CrossingTheStartLineExtendedIsNoStart) {
    Race race(4);
    race.line(1, {0, 0}, {0, 200});  // ends 0 m and 200 m east
    race.course({"L1"});
    // Northwards at 2.5 m/s, through north 0 at 10.5 s: 30 m beyond end 2, 30 m beyond end 1,
    // then 5 m inside each end. All four pass within 556 m of end 1.
    const double east[] = {230, -30, 195, 5};
    for (int b = 1; b <= 4; ++b)
        addTrack(race.st, b, {{-30, -101.25, east[b - 1]}, {60, 123.75, east[b - 1]}});
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 0);
    EXPECT_EQ(race.r.RoundTime(1, 2), 0);
    EXPECT_EQ(race.r.RoundTime(1, 3), 10);
    EXPECT_EQ(race.r.RoundTime(1, 4), 10);
    EXPECT_EQ(race.r.LeadTime(1), 10);
}

TEST(Rounding, LineIsWatchedOnlyNearItsFirstEnd) {
    Race race(2);
    race.line(1, {0, 0}, {0, 1000});  // a 1 km line
    race.course({"L1"});
    addTrack(race.st, 1, {{-30, -252.5, 800}, {60, 197.5, 800}});  // crosses 800 m from end 1
    addTrack(race.st, 2, {{-30, -252.5, 400}, {60, 197.5, 400}});  // crosses 400 m from end 1
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 0);
    EXPECT_EQ(race.r.RoundTime(1, 2), 20);
}

TEST(Rounding, FinishKeepsFirstCrossingAndUnpassedEntryHasNoLeader) {
    Race race(2);
    race.line(1, {0, 0}, {0, 200});
    race.line(2, {1000, 0}, {1000, 200});
    race.mark(1, 5000, 5000);  // nobody goes there
    race.course({"L1", "L2", "MK1"});
    // Start at 10.5 s, finish at 210.5 s, back over the finish at 300.5 s and again at 400.5 s.
    addTrack(race.st, 1,
             {{-20, -152.5, 100},
              {245, 1172.5, 100},
              {300.5, 1000, 100},
              {345, 862.5, 100},
              {400.5, 1000, 100},
              {420, 1060, 100}});
    // A slower boat: start at 30.5 s, finish at 530.5 s.
    addTrack(race.st, 2, {{-20, -101, 50}, {600, 1139, 50}});
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 10);
    EXPECT_EQ(race.r.RoundTime(2, 1), 210);
    EXPECT_EQ(race.r.RoundTime(2, 2), 530);
    EXPECT_EQ(race.r.LeadTime(2), 210);
    EXPECT_EQ(race.r.RoundTime(3, 1), 0);
    EXPECT_EQ(race.r.LeadTime(3), kNoLeadTime);
    // Distances to the roundings: 5 m/s from the gun.
    EXPECT_NEAR(race.r.LegDist(2, 1), 1050 / 1852.0, 0.0006);
}

TEST(Rounding, WindwardMarkRoundedOnTheFarSide) {
    Race race(2);
    race.line(1, {0, 0}, {0, 200});
    race.mark(1, 2000, 0);
    race.course({"L1", "MK1", "L1"});
    // Up the east side at 150 m, over the top of the mark and back down to the line.
    std::vector<Pt> pts{{-152.5, 150}, {2000, 150}};
    arc(pts, {2000, 0}, 150, 90, -90);
    pts.push_back({1000, 100});
    pts.push_back({-200, 100});
    auto keys = timed(pts, -20, 5);  // the start line at 10.5 s, due north of the mark at ~457.6
    addTrack(race.st, 1, keys);
    // Turns back short of the mark, on the side of the legs: the fallback gives the second
    // after its closest approach (at 400 s).
    addTrack(race.st, 2, {{-20, -152.5, 150}, {10.5, 0, 150}, {400, 1950, 150}, {800, -50, 150}});
    race.run();

    EXPECT_NEAR(race.r.RoundDir[2], 360, 1e-9);
    EXPECT_EQ(race.r.RoundTime(1, 1), 10);
    EXPECT_EQ(race.r.RoundTime(2, 1), 458);
    EXPECT_GT(race.r.RoundTime(3, 1), 458);
    EXPECT_EQ(race.r.RoundTime(2, 2), 401);
    EXPECT_EQ(race.r.LeadTime(2), 401);
}

TEST(Rounding, ClosingOnlyUntilWindowEndsFallsBackToSecondChance) {
    Race race(2);
    race.mark(1, 0, 0);
    race.mark(2, 0, 1500);
    race.course({"MK1", "MK2"});
    // Inside 200 m of mark 1 from 209 s but still closing at 360 s; nearest (60 m) at 400 s.
    // Then away east, passing north of mark 2.
    addTrack(race.st, 1, {{0, -400, 60}, {400, 0, 60}, {500, 100, 1000}, {800, 100, 2500}});
    // The same, but its nearest is 150 m: outside the second chance's 100 m.
    addTrack(race.st, 2, {{0, -400, 150}, {400, 0, 150}, {500, 100, 1000}, {800, 100, 2500}});
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 400);
    EXPECT_EQ(race.r.RoundTime(1, 2), 0);
    EXPECT_GT(race.r.RoundTime(2, 1), 500);
    EXPECT_GT(race.r.RoundTime(2, 2), 500);
    EXPECT_EQ(race.r.LeadTime(1), 400);
}

TEST(Rounding, OnlyTwentyEntriesTakePartInALongCourse) {
    Race race(1);
    race.def.RaceSecondsPlus = 8000;
    race.mark(1, 0, 0);
    race.mark(2, 1000, 0);
    std::vector<std::string> course;
    for (int i = 0; i < 25; ++i) course.push_back(i % 2 ? "MK2" : "MK1");
    race.course(course);
    // Laps round both marks anticlockwise: north of mark 2, south of mark 1.
    std::vector<Pt> pts{{-50, 100}};
    for (int lap = 0; lap < 13; ++lap) {
        arc(pts, {1000, 0}, 100, 90, -90);
        arc(pts, {0, 0}, 100, 270, 90);
    }
    addTrack(race.st, 1, timed(pts, 0, 5));
    race.run();
    EXPECT_EQ(race.r.entryCount, 20);
    EXPECT_EQ(legCourses(race.def, race.st).size(), 19u);
    EXPECT_EQ(race.r.RoundTime(1, 1), 11);  // first mark by closest approach
    for (int t = 2; t <= 20; ++t) {
        // Half a lap (1000 m + a half circle at 5 m/s) between roundings.
        double gap = race.r.RoundTime(t, 1) - race.r.RoundTime(t - 1, 1);
        if (t > 2) {
            EXPECT_NEAR(gap, (1000 + std::numbers::pi * 100) / 5, 2) << t;
        }
        EXPECT_EQ(race.r.LeadTime(t), race.r.RoundTime(t, 1));
    }
    EXPECT_EQ(race.r.RoundTime(21, 1), 0);
    EXPECT_EQ(race.r.LeadTime(21), kNoLeadTime);
    EXPECT_EQ(race.r.LegDist(21, 1), 0);
}

TEST(Rounding, EntriesNamingNothingGetNoRounding) {
    Race race(3);  // boat 2 has a single fix, boat 3 none
    race.line(1, {0, 0}, {0, 200});
    race.mark(1, 1000, 100);
    race.course({"L1", "MK7", "L9", "", "MK", "MK1"});
    addTrack(
        race.st, 1,
        {{-20, -152.5, 100}, {10.5, 0, 100}, {300, 1000, 50}, {400, 1100, 100}, {500, 1200, 200}});
    race.st.boats[2].append(latOf(0), lonOf(0), 0);  // a single fix
    race.def.BoatCount = 5;                          // more boats than the store holds
    race.run();
    EXPECT_EQ(race.r.boatCount, 3);
    EXPECT_EQ(race.r.RoundTime(1, 1), 10);
    for (int t = 2; t <= 5; ++t) EXPECT_EQ(race.r.RoundTime(t, 1), 0) << t;
    EXPECT_GT(race.r.RoundTime(6, 1), 10);
    EXPECT_EQ(race.r.RoundTime(1, 2), 0);
    EXPECT_EQ(race.r.RoundTime(6, 3), 0);
    auto legs = legCourses(race.def, race.st);
    ASSERT_EQ(legs.size(), 5u);
    EXPECT_TRUE(std::isnan(legs[0]));
    EXPECT_TRUE(std::isnan(legs[4]));
}

TEST(Rounding, LegDistancesAreRoundedToAThousandthOfAMile) {
    TrackStore st;
    st.reset(3);
    auto fix = [&](int b, double sec, double dist) {
        st.boats[b].append(kLat0, kLon0, sec);
        st.boats[b].TrkDist.back() = dist;
    };
    for (int b = 1; b <= 2; ++b) {
        fix(b, -10, 0);
        fix(b, 0, 0.1);
        fix(b, 100, 0.1 + (b == 1 ? 1.23449 : 1.23451));
        fix(b, 200, 2.1);
    }
    fix(3, 50, 0.5);  // a track that starts after the gun and ends before the finish
    fix(3, 300, 1.5);
    RoundingResults r;
    r.clear();
    r.entryCount = 3;
    r.boatCount = 3;
    for (int b = 1; b <= 3; ++b) {
        r.setRoundTime(1, b, 100);
        r.setRoundTime(2, b, 150);
        r.setRoundTime(3, b, 400);
    }
    r.setRoundTime(1, 3, 0);  // not found
    computeLegDistances(RaceDefinition{}, st, r);
    EXPECT_DOUBLE_EQ(r.LegDist(1, 1), 1.234);
    EXPECT_DOUBLE_EQ(r.LegDist(1, 2), 1.235);
    EXPECT_DOUBLE_EQ(r.LegDist(2, 1), 1.617);  // halfway between 1.33449 and 2.1, less 0.1
    EXPECT_DOUBLE_EQ(r.LegDist(3, 1), 2);      // after the last fix: the last fix's distance
    EXPECT_DOUBLE_EQ(r.LegDist(1, 3), 0);      // no rounding: nothing sailed since the gun
    EXPECT_DOUBLE_EQ(r.LegDist(2, 3), 0.4);    // the gun before the first fix: from its value
    EXPECT_DOUBLE_EQ(r.LegDist(3, 3), 1);
}

TEST(Rounding, RoundingDirections) {
    // North then east: a starboard turn, passed on its north-west side.
    Race race(0);
    race.mark(1, 0, 0);
    race.mark(2, 1000, 0);
    race.mark(3, 1000, 1000);
    race.course({"MK1", "MK2", "MK3"});
    race.run();
    EXPECT_NEAR(race.r.RoundDir[2], 315, 1e-9);
    EXPECT_EQ(race.r.RoundDir[1], 0);
    EXPECT_EQ(race.r.RoundDir[3], 0);
    auto legs = legCourses(race.def, race.st);
    ASSERT_EQ(legs.size(), 2u);
    EXPECT_NEAR(legs[0], 0, 1e-9);
    EXPECT_NEAR(legs[1], 90, 1e-9);
    EXPECT_EQ(race.r.LeadTime(1), kNoLeadTime);
    EXPECT_EQ(RoundingResults{}.LeadTime(1), kNoLeadTime);  // before any run
}

TEST(Rounding, FixOutOfTimeOrderDoesNotDerailTheScan) {
    Race race(1);
    race.line(1, {0, 0}, {0, 200});
    race.line(2, {1000, 0}, {1000, 200});
    race.course({"L1", "L2"});
    addTrack(race.st, 1, {{-20, -152.5, 100}, {300, 1447.5, 100}});
    // A stray fix stamped 50 s too early in the middle of the track.
    auto& tr = race.st.boats[1];
    tr.TrkSec[120] -= 50;
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 10);
    EXPECT_EQ(race.r.RoundTime(2, 1), 210);
    EXPECT_GT(race.r.LegDist(2, 1), 0.5);
    EXPECT_GT(distanceSailedAt(race.st, 1, 250), race.r.LegDist(2, 1));
}

TEST(Rounding, RetiredBoatIsNotCreditedWithAnEarlierRoundingOfTheSameMark) {
    Race race(1);
    race.line(1, {-150, 0}, {-150, 300});
    race.mark(1, 0, 0);
    race.mark(2, 1500, 0);
    race.line(2, {-150, 0}, {-150, 300});
    race.course({"L1", "MK2", "MK1", "MK2", "L2"});
    // Over the start, round the windward mark, then turn away east halfway down and retire.
    std::vector<Pt> pts{{-300, 100}, {1500, 100}};
    arc(pts, {1500, 0}, 100, 90, -90);
    pts.push_back({800, -100});
    pts.push_back({800, 2000});
    addTrack(race.st, 1, timed(pts, -20.5, 5));
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 9);
    EXPECT_GT(race.r.RoundTime(2, 1), 300);
    EXPECT_EQ(race.r.RoundTime(3, 1), 0);
    EXPECT_EQ(race.r.RoundTime(4, 1), 0);
    EXPECT_EQ(race.r.RoundTime(5, 1), 0);
    EXPECT_EQ(race.r.LegDist(4, 1), 0);
}

TEST(Rounding, FinishAfterAMissedMarkIsNotTheStartCrossing) {
    Race race(1);
    race.line(1, {0, 0}, {0, 200});
    race.mark(1, 5000, 5000);  // misplaced: nobody rounds it
    race.course({"L1", "MK1", "L1"});
    // Over the line at 10.5 s and back over it at 509.5 s.
    addTrack(race.st, 1, {{-20, -152.5, 100}, {260, 1247.5, 100}, {600, -452.5, 100}});
    race.run();
    EXPECT_EQ(race.r.RoundTime(1, 1), 10);
    EXPECT_EQ(race.r.RoundTime(2, 1), 0);
    EXPECT_EQ(race.r.RoundTime(3, 1), 509);
}

TEST(Rounding, DistanceSailedOutsideTheTrackIsThatOfItsNearerEnd) {
    Race race(2);
    race.line(1, {0, 0}, {0, 200});
    race.course({"L1"});
    // A boat whose log starts after the gun and ends well before the race does.
    addTrack(race.st, 1, {{100, -100, 100}, {400, 500, 100}});
    race.run();
    const double whole = race.st.TrkDist(1, race.st.TrkCount(1));
    ASSERT_GT(whole, 0.3);
    EXPECT_EQ(distanceSailedAt(race.st, 1, -500), 0);
    EXPECT_EQ(distanceSailedAt(race.st, 1, 100), 0);
    EXPECT_NEAR(distanceSailedAt(race.st, 1, 250), whole / 2, 1e-9);
    EXPECT_EQ(distanceSailedAt(race.st, 1, 400), whole);
    EXPECT_EQ(distanceSailedAt(race.st, 1, 5000), whole);
    // A boat without samples has sailed nothing, whenever it is asked.
    EXPECT_EQ(distanceSailedAt(race.st, 2, 250), 0);
    EXPECT_EQ(distanceSailedAt(race.st, 3, 250), 0);
}

TEST(Rounding, MarkBesideAMissingCourseEntryTurnsBetweenItsKnownNeighbours) {
    // Down from mark 1 to mark 2, then (past a mark the race never defined) back up to mark 3:
    // mark 2 is a leeward mark passed on its south side.
    Race race(1);
    race.mark(1, 3000, 0);
    race.mark(2, 1000, 0);
    race.mark(3, 3000, 0);
    race.course({"MK1", "MK2", "MK9", "MK3"});
    // Coming down from the north-east, the boat swings round the mark anticlockwise, 100 m off:
    // past its north side first, then west, and round the south side on the way back up.
    const Pt m{1000, 0};
    const double r = 100;
    std::vector<Pt> pts{
        {m.n + 400 * std::cos(std::numbers::pi / 6), m.e + 400 * std::sin(std::numbers::pi / 6)}};
    arc(pts, m, r, 20, -250);
    pts.push_back({m.n + 600, m.e + 200});
    auto keys = timed(pts, 0, 5);
    addTrack(race.st, 1, keys);
    race.run();

    EXPECT_NEAR(race.r.RoundDir[2], 180, 1e-9);
    EXPECT_EQ(race.r.RoundDir[3], 0);  // no known point after the last
    auto legs = legCourses(race.def, race.st);
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_NEAR(legs[0], 180, 1e-9);
    EXPECT_TRUE(std::isnan(legs[1]));
    EXPECT_TRUE(std::isnan(legs[2]));
    EXPECT_EQ(race.r.RoundTime(3, 1), 0);

    // The arc starts at keys[1]; the south side lies 200 degrees of arc further on. Passing the
    // north side, 20 degrees in, is not the rounding.
    const double arcStart = keys[1].t, perDegree = 2 * std::numbers::pi * r / 360 / 5;
    const double south = arcStart + 200 * perDegree;
    EXPECT_NEAR(race.r.RoundTime(2, 1), south, 1.5);
    EXPECT_GT(race.r.RoundTime(2, 1), arcStart + 100 * perDegree);

    // A mark with no known point before it keeps the north of the course's ends.
    race.course({"MK9", "MK2", "MK3"});
    race.run();
    EXPECT_EQ(race.r.RoundDir[2], 0);
}
