// Legs and gaps: the type of a leg against the wind, distance sailed against the rhumb line,
// speed and velocity made good to the wind and the mark, the manoeuvres counted in a leg, the
// gaps to the first boat at each course entry, a boat's place at a second, and the whole
// analysis of a race never giving a value that is not a number.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/legstats.h"
#include "analysis/trackplace.h"
#include "coachrace.h"

using namespace brisko;
using namespace brisko::test;

namespace {

constexpr double kNm = 1852;

// A leg 1 nm long on the given bearing from (0, 0), rounded by boat 1 at t0 and t1.
CoachRace oneLeg(double bearing, double t0, double t1) {
    CoachRace race(2);
    const double r = bearing * kDegToRad;
    race.points({{0, 0}, {kNm * std::cos(r), kNm * std::sin(r)}});
    race.times(1, {t0, t1});
    race.times(2, {t0, t1});
    return race;
}

Manoeuvre manoeuvre(double time, ManoeuvreKind kind, std::optional<double> lossM) {
    Manoeuvre m;
    m.time = time;
    m.kind = kind;
    m.lossM = lossM;
    return m;
}

}  // namespace

TEST(LegStats, LegTypeByTheWindAxis) {
    struct Case {
        double bearing, wind;
        LegType type;
    };
    const Case cases[] = {
        {0, 0, LegType::Upwind},           {45, 0, LegType::Upwind},
        {315, 0, LegType::Upwind},         {46, 0, LegType::Reach},
        {90, 0, LegType::Reach},           {134, 0, LegType::Reach},
        {135, 0, LegType::Downwind},       {180, 0, LegType::Downwind},
        {350, 20, LegType::Upwind},        {10, 340, LegType::Upwind},
        {200, 350, LegType::Downwind},     {260, 170, LegType::Reach},
        {std::nan(""), 0, LegType::Reach},
    };
    for (const Case& c : cases)
        EXPECT_EQ(legType(c.bearing, c.wind), c.type) << c.bearing << " in " << c.wind;
}

TEST(LegStats, StraightRunsGiveExactVelocityMadeGood) {
    // Up a 1 nm leg into a northerly: boat 1 sails 40 degrees off the wind at 6 knots for ten
    // minutes, boat 2 straight at the mark.
    CoachRace up = oneLeg(0, 100, 700);
    up.track(1, straightRun(0, 0, 0, 40, 6, 800));
    up.track(2, straightRun(100, 0, 0, 0, 6, 800));
    up.derive();
    const auto l1 = analyseLeg(up.st, up.r, steadyWind(0), 1, 2, {});
    ASSERT_TRUE(l1 && l1->sog && l1->vmg && l1->vmc);
    EXPECT_EQ(l1->type, LegType::Upwind);
    EXPECT_NEAR(l1->sailedNm, 1, 1e-9);
    EXPECT_NEAR(l1->rhumbNm, 1, 1e-9);
    EXPECT_NEAR(*l1->sog, 6, 1e-9);
    EXPECT_NEAR(*l1->vmg, 6 * std::cos(40 * kDegToRad), 1e-9);
    // From 1/6 nm along its 40-degree line to 7/6 nm: how much nearer the mark it came.
    auto toMark = [](double nm) {
        return std::hypot(kNm - nm * kNm * std::cos(40 * kDegToRad),
                          nm * kNm * std::sin(40 * kDegToRad));
    };
    EXPECT_NEAR(*l1->vmc, (toMark(1.0 / 6) - toMark(7.0 / 6)) / kNm * 6, 1e-9);
    const auto l2 = analyseLeg(up.st, up.r, steadyWind(0), 2, 2, {});
    ASSERT_TRUE(l2 && l2->vmg && l2->vmc);
    EXPECT_NEAR(*l2->vmg, 6, 1e-9);
    EXPECT_NEAR(*l2->vmc, 6, 1e-9);

    // Down a leg with the wind from astern: 30 degrees off dead downwind at 7 knots makes good
    // 7 cos 30 to leeward, counted positive.
    CoachRace down = oneLeg(180, 100, 700);
    down.track(1, straightRun(0, 0, 0, 150, 7, 800));
    down.derive();
    const auto l3 = analyseLeg(down.st, down.r, steadyWind(0), 1, 2, {});
    ASSERT_TRUE(l3 && l3->vmg);
    EXPECT_EQ(l3->type, LegType::Downwind);
    EXPECT_NEAR(*l3->vmg, 7 * std::cos(30 * kDegToRad), 1e-9);

    // Sailing away from the wind on an upwind leg loses ground: negative.
    CoachRace back = oneLeg(0, 100, 700);
    back.track(1, straightRun(0, 0, 0, 180, 5, 800));
    back.derive();
    const auto l4 = analyseLeg(back.st, back.r, steadyWind(0), 1, 2, {});
    ASSERT_TRUE(l4 && l4->vmg && l4->vmc);
    EXPECT_NEAR(*l4->vmg, -5, 1e-9);
    EXPECT_NEAR(*l4->vmc, -5, 1e-9);

    // A reach has no velocity made good to the wind, only to the mark.
    CoachRace reach = oneLeg(90, 100, 700);
    reach.track(1, straightRun(0, 0, 0, 90, 5, 800));
    reach.derive();
    const auto l5 = analyseLeg(reach.st, reach.r, steadyWind(0), 1, 2, {});
    ASSERT_TRUE(l5 && l5->vmc);
    EXPECT_EQ(l5->type, LegType::Reach);
    EXPECT_FALSE(l5->vmg);
    EXPECT_NEAR(*l5->vmc, 5, 1e-9);
}

TEST(LegStats, WindAtTheMiddleOfTheLegDecidesItsType) {
    // Easterly at both roundings, northerly half way: a beat to the north.
    CoachRace race = oneLeg(0, 100, 700);
    race.track(1, straightRun(0, 0, 0, 0, 5, 800));
    race.derive();
    WindInForce wind;
    wind.source = WindSource::File;
    wind.samples = {{100, 90}, {400, 0}, {700, 90}};
    const auto leg = analyseLeg(race.st, race.r, wind, 1, 2, {});
    ASSERT_TRUE(leg && leg->vmg);
    EXPECT_EQ(leg->type, LegType::Upwind);
    EXPECT_NEAR(*leg->vmg, 5, 1e-9);
}

TEST(LegStats, ZigzagSailsFurtherThanTheRhumbLineAndCountsItsManoeuvres) {
    // Four boards at 45 degrees to a 1 km beat, one every 100 s.
    CoachRace race(1);
    race.points({{0, 0}, {1000, 0}});
    race.track(1, {{10, 0, 0},
                   {110, 250, 250},
                   {210, 500, 0},
                   {310, 750, 250},
                   {410, 1000, 0},
                   {510, 1100, 0}});
    race.derive();
    race.times(1, {10, 410});
    const std::vector<Manoeuvre> ms{
        manoeuvre(5, ManoeuvreKind::Tack, 50),  // before the leg
        manoeuvre(110, ManoeuvreKind::Tack, 5),
        manoeuvre(210, ManoeuvreKind::Tack, 7),
        manoeuvre(250, ManoeuvreKind::Gybe, 2),
        manoeuvre(260, ManoeuvreKind::Penalty, 30),
        manoeuvre(310, ManoeuvreKind::Tack, std::nullopt),  // its loss not known
        manoeuvre(410, ManoeuvreKind::Tack, 100),           // at the rounding: the next leg's
    };
    const auto leg = analyseLeg(race.st, race.r, steadyWind(0), 1, 2, ms);
    ASSERT_TRUE(leg && leg->sog && leg->vmg && leg->vmc);
    const double sailed = 4 * 250 * std::sqrt(2.0);
    EXPECT_NEAR(leg->sailedNm, sailed / kNm, 1e-12);
    EXPECT_NEAR(leg->rhumbNm, 1000 / kNm, 1e-12);
    EXPECT_NEAR(*leg->sog, sailed / 400 * 3600 / kNm, 1e-9);
    EXPECT_NEAR(*leg->vmg, 1000.0 / 400 * 3600 / kNm, 1e-9);
    EXPECT_NEAR(*leg->vmc, 1000.0 / 400 * 3600 / kNm, 1e-9);
    EXPECT_EQ(leg->tacks, 3);
    EXPECT_EQ(leg->gybes, 1);
    EXPECT_NEAR(leg->lossM, 5 + 7 + 2 + 30, 1e-12);
}

TEST(LegStats, LegsNotSailedAreEmpty) {
    CoachRace race = oneLeg(0, 100, 700);
    race.track(1, straightRun(0, 0, 0, 0, 5, 800));
    race.derive();
    const WindInForce wind = steadyWind(0);
    // Missed either mark, a zero-time leg, roundings in the wrong order.
    for (const auto& [t0, t1] :
         std::vector<std::pair<double, double>>{{0, 700}, {100, 0}, {400, 400}, {700, 100}}) {
        race.times(1, {t0, t1});
        EXPECT_FALSE(analyseLeg(race.st, race.r, wind, 1, 2, {})) << t0 << " to " << t1;
    }
    race.times(1, {100, 700});
    EXPECT_TRUE(analyseLeg(race.st, race.r, wind, 1, 2, {}));
    // No leg ends at the first entry, nor beyond the course.
    EXPECT_FALSE(analyseLeg(race.st, race.r, wind, 1, 1, {}));
    EXPECT_FALSE(analyseLeg(race.st, race.r, wind, 1, 3, {}));
    // A mark without a position.
    race.r.pointKnown[2] = false;
    EXPECT_FALSE(analyseLeg(race.st, race.r, wind, 1, 2, {}));

    race.r.pointKnown[2] = true;
    const auto legs = analyseLegs(race.st, race.r, wind, 1, {});
    ASSERT_EQ(legs.size(), 3u);
    EXPECT_FALSE(legs[0]);
    EXPECT_FALSE(legs[1]);
    EXPECT_TRUE(legs[2]);
}

TEST(LegStats, LegWithoutFixesAtItsRoundingsHasNoVelocityMadeGood) {
    // The log begins after the first rounding and ends before the second.
    CoachRace race = oneLeg(0, 100, 700);
    race.track(1, straightRun(200, 0, 0, 0, 5, 600));
    race.derive();
    const auto leg = analyseLeg(race.st, race.r, steadyWind(0), 1, 2, {});
    ASSERT_TRUE(leg && leg->sog);
    EXPECT_FALSE(leg->vmg);
    EXPECT_FALSE(leg->vmc);
    // What the log holds of the leg, over the leg's whole time.
    EXPECT_NEAR(leg->sailedNm, 5 * 400 / 3600.0, 1e-9);
    EXPECT_NEAR(*leg->sog, 5 * 400 / 600.0, 1e-9);
}

namespace {

// A windward-leeward course sailed by every boat on one path at 5 m/s, each a few seconds
// behind the first: north 1000 m to mark 2, east 800 m to mark 3 (a reach in a northerly),
// south 1000 m to mark 4. Positions at path time tau.
Key onPath(double t, double tau, double east) {
    const double v = 5;
    if (tau <= 200) return {t, v * tau, east};
    if (tau <= 360) return {t, 1000, east + v * (tau - 200)};
    return {t, 1000 - v * (tau - 360), east + 800};
}

// The path sailed `delay` seconds behind, logged from second `from` to 700.
std::vector<Key> pathBehind(double delay, double from, double east = 0) {
    std::vector<Key> keys{onPath(from, from - delay, east)};
    for (double tau : {200.0, 360.0})
        if (tau + delay > from) keys.push_back(onPath(tau + delay, tau, east));
    keys.push_back(onPath(700, 700 - delay, east));
    return keys;
}

void expectGap(const std::optional<Gap>& g, double timeS, double distM) {
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->timeS, timeS, 1e-9);
    EXPECT_NEAR(g->distM, distM, 1e-6);
}

}  // namespace

TEST(LegStats, GapsToTheFirstBoatAtEachEntry) {
    CoachRace race(5);
    race.points({{0, 0}, {1000, 0}, {1000, 800}, {0, 800}});
    race.track(1, pathBehind(8, -30));
    race.track(2, pathBehind(20, -30, 300));  // 300 m east of the others all the way
    race.track(3, pathBehind(0, -30));        // the first boat everywhere
    race.track(4, pathBehind(-4, -30));       // over the start line early, then retired
    race.track(5, pathBehind(100, 300));      // its log begins at the first mark
    race.derive();
    race.times(1, {13, 208, 368, 568});
    race.times(2, {25, 220, 380, 580});
    race.times(3, {5, 200, 360, 560});
    race.times(4, {-3, 0, 0, 0});
    race.times(5, {0, 310, 460, 660});
    const auto gaps = analyseGaps(race.st, race.r, steadyWind(0), 5);
    ASSERT_EQ(gaps.size(), 6u);
    ASSERT_EQ(gaps[1].size(), 5u);

    // The start: along the wind. The boat over early crossed before the first proper start.
    expectGap(gaps[3][1], 0, 0);
    expectGap(gaps[1][1], 8, 40);
    expectGap(gaps[2][1], 20, 100);
    expectGap(gaps[4][1], -8, -20);
    EXPECT_FALSE(gaps[5][1]);
    // The beat: windward distance, the other boat's 300 m to the east left out.
    expectGap(gaps[3][2], 0, 0);
    expectGap(gaps[1][2], 8, 40);
    expectGap(gaps[2][2], 20, 100);
    EXPECT_FALSE(gaps[4][2]);  // never rounded
    EXPECT_FALSE(gaps[5][2]);  // no fix when the first boat rounded
    // The reach: along the leg, where 300 m to the east is 300 m further on.
    expectGap(gaps[1][3], 8, 40);
    expectGap(gaps[2][3], 20, 100 - 300);
    expectGap(gaps[5][3], 100, 500);
    // The run: leeward distance.
    expectGap(gaps[3][4], 0, 0);
    expectGap(gaps[1][4], 8, 40);
    expectGap(gaps[2][4], 20, 100);
    expectGap(gaps[5][4], 100, 500);
}

TEST(LegStats, GapsWhenNobodyOrOnlyEarlyStartersPassed) {
    CoachRace race(2);
    race.points({{0, 0}, {1000, 0}});
    race.track(1, pathBehind(0, -30));
    race.track(2, pathBehind(6, -30));
    race.derive();
    // Both over early and never back; nobody at the mark.
    race.times(1, {-10, 0});
    race.times(2, {-4, 0});
    const auto gaps = analyseGaps(race.st, race.r, steadyWind(0), 2);
    expectGap(gaps[1][1], 0, 0);
    expectGap(gaps[2][1], 6, 30);
    EXPECT_FALSE(gaps[1][2]);
    EXPECT_FALSE(gaps[2][2]);
    // A time before the gun at a mark is no rounding.
    race.times(2, {-4, -2});
    EXPECT_FALSE(analyseGaps(race.st, race.r, steadyWind(0), 2)[2][2]);
}

TEST(LegStats, BoatPlaceBetweenFixes) {
    TrackStore st;
    st.reset(3);
    st.LonFactor = kLonFactor;
    st.MPerMinLat = 1852;
    addTrack(st, 1, {{-2, 0, 0}, {2, 40, 0}});
    // Fixes out of time order: found all the same.
    for (double s : {2.0, 0.0, 1.0}) st.boats[2].append(latOf(10 * s), lonOf(0), s);
    deriveKinematics(st);

    const RacePlane plane(st, kLat0, kLon0);
    const auto mid = boatPlaceAt(st, 1, 0.5);
    ASSERT_TRUE(mid && mid->speed);
    EXPECT_NEAR(plane.at(mid->lat, mid->lon).n, 25, 1e-6);
    EXPECT_NEAR(*mid->speed, 10 * 3600 / kNm, 1e-9);
    const auto last = boatPlaceAt(st, 1, 2);
    ASSERT_TRUE(last && last->speed);
    EXPECT_NEAR(plane.at(last->lat, last->lon).n, 40, 1e-6);
    EXPECT_FALSE(boatPlaceAt(st, 1, 2.5));
    EXPECT_FALSE(boatPlaceAt(st, 1, -2.5));
    EXPECT_FALSE(boatPlaceAt(st, 1, std::nan("")));
    const auto shuffled = boatPlaceAt(st, 2, 0.5);
    ASSERT_TRUE(shuffled);
    EXPECT_NEAR(plane.at(shuffled->lat, shuffled->lon).n, 5, 1e-6);
    EXPECT_FALSE(boatPlaceAt(st, 3, 0));  // no fixes
    EXPECT_FALSE(boatPlaceAt(st, 4, 0));  // no such boat
    EXPECT_FALSE(boatPlaceAt(st, 0, 0));

    // A single fix: its place, but no speed.
    TrackStore one;
    one.reset(1);
    one.boats[1].append(kLat0, kLon0, 0);
    const auto only = boatPlaceAt(one, 1, 0);
    ASSERT_TRUE(only);
    EXPECT_FALSE(only->speed);

    EXPECT_FALSE(knotsOver(100, 0));
    EXPECT_FALSE(knotsOver(std::numeric_limits<double>::infinity(), 10));
    EXPECT_NEAR(*knotsOver(kNm, 3600), 1, 1e-12);
}

namespace {

bool finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }

// Every number of the analysis is finite or absent.
void expectAllFinite(const CoachAnalysis& a) {
    if (a.startLine) {
        EXPECT_TRUE(std::isfinite(a.startLine->lengthM) && std::isfinite(a.startLine->biasDeg) &&
                    std::isfinite(a.startLine->advantageM) && std::isfinite(a.startLine->windDir));
    }
    for (const auto& s : a.starts) {
        if (!s) continue;
        EXPECT_TRUE(finite(s->gunDistM) && finite(s->gunAlong) && finite(s->gunSpeed) &&
                    finite(s->crossTime) && finite(s->crossSpeed) && finite(s->crossAlong));
    }
    for (const auto& boat : a.legs) {
        for (const auto& l : boat) {
            if (!l) continue;
            EXPECT_TRUE(std::isfinite(l->sailedNm) && std::isfinite(l->rhumbNm) && finite(l->sog) &&
                        finite(l->vmg) && finite(l->vmc) && std::isfinite(l->lossM));
        }
    }
    for (const auto& boat : a.gaps) {
        for (const auto& g : boat) {
            if (g) {
                EXPECT_TRUE(std::isfinite(g->timeS) && std::isfinite(g->distM));
            }
        }
    }
}

}  // namespace

TEST(LegStats, WholeRaceFromTheRoundings) {
    // Three boats 10 s apart at 5 m/s start, beat to a mark 1 km up, round it to port and run
    // back through the start line as the finish.
    CoachRace race(4);
    race.line(1, 0, 0, 0, 200);
    race.mark(1, 1000, 100);
    race.course({"L1", "MK1", "L1"});
    const std::vector<std::pair<double, double>> path{
        {-352.5, 150}, {1000, 150}, {1050, 100}, {1000, 50}, {-200, 50}};
    for (int b = 1; b <= 3; ++b) {
        std::vector<Key> keys{{-60.0 + 10 * (b - 1), path[0].first, path[0].second}};
        for (size_t i = 1; i < path.size(); ++i) {
            const double d =
                std::hypot(path[i].first - path[i - 1].first, path[i].second - path[i - 1].second);
            keys.push_back({keys.back().t + d / 5, path[i].first, path[i].second});
        }
        race.track(b, keys);
    }
    // Boat 4 has a single fix, long before the start.
    race.st.boats[4].append(latOf(-500), lonOf(0), -400);
    race.run();
    WindStore wind;
    wind.append(-600, 10, 0);
    const CoachAnalysis a = analyseRace(race.def, race.st, race.r, wind);

    EXPECT_EQ(a.wind.source, WindSource::File);
    ASSERT_TRUE(a.startLine);
    EXPECT_NEAR(a.startLine->lengthM, 200, 1e-6);
    ASSERT_EQ(a.starts.size(), 5u);
    ASSERT_EQ(a.legs.size(), 5u);
    ASSERT_EQ(a.gaps.size(), 5u);
    ASSERT_EQ(a.manoeuvres.size(), 5u);
    for (int b = 1; b <= 4; ++b) {
        ASSERT_TRUE(a.starts[b]);
        ASSERT_EQ(a.legs[b].size(), 4u);
        ASSERT_EQ(a.gaps[b].size(), 4u);
    }
    // Every boat sailing crossed the line, rounded the mark and finished: a beat and a run.
    for (int b = 1; b <= 3; ++b) {
        ASSERT_NE(race.r.RoundTime(3, b), 0) << b;
        ASSERT_TRUE(a.legs[b][2] && a.legs[b][3]) << b;
        EXPECT_EQ(a.legs[b][2]->type, LegType::Upwind);
        EXPECT_EQ(a.legs[b][3]->type, LegType::Downwind);
        for (int k = 1; k <= 3; ++k) {
            ASSERT_TRUE(a.gaps[b][k]) << b << " at " << k;
            EXPECT_EQ(a.gaps[b][k]->timeS, 10 * (b - 1));
        }
    }
    EXPECT_EQ(a.gaps[1][2]->distM, 0);
    EXPECT_GT(a.gaps[2][2]->distM, 0);
    EXPECT_GT(a.gaps[3][2]->distM, a.gaps[2][2]->distM);
    // Up the course 10 s behind is 50 m to leeward.
    EXPECT_NEAR(a.gaps[2][1]->distM, 50, 1e-6);
    EXPECT_FALSE(a.starts[4]->gunDistM);
    EXPECT_FALSE(a.legs[4][2]);
    EXPECT_FALSE(a.gaps[4][1]);
    expectAllFinite(a);
}

TEST(LegStats, AwkwardRacesGiveNoNumberThatIsNotOne) {
    // A line without length, a store without its metric factor, boats with one fix, none, times
    // that go back, and a course naming marks and lines that do not exist.
    CoachRace race(4);
    race.line(1, 0, 0, 0, 0);
    race.mark(1, 1000, 0);
    race.course({"L1", "MK1", "MK7", "L3", "MK1"});
    race.track(1, straightRun(-100, -300, 0, 0, 5, 600));
    race.st.boats[2].append(latOf(0), lonOf(0), 0);
    for (double s : {5.0, -5.0, 0.0, 300.0, 200.0}) race.st.boats[4].append(latOf(s), lonOf(0), s);
    race.run();
    race.st.MPerMinLat = 0;
    const CoachAnalysis a = analyseRace(race.def, race.st, race.r, WindStore{});
    expectAllFinite(a);
    ASSERT_TRUE(a.startLine);
    EXPECT_EQ(a.startLine->lengthM, 0);

    // A single track without a course: nothing to analyse but the wind and the manoeuvres.
    CoachRace single(1);
    single.track(1, straightRun(-100, -300, 0, 0, 5, 600));
    single.run();
    const CoachAnalysis s = analyseRace(single.def, single.st, single.r, WindStore{});
    EXPECT_FALSE(s.startLine);
    ASSERT_EQ(s.legs.size(), 2u);
    EXPECT_EQ(s.legs[1].size(), 1u);
    EXPECT_EQ(s.gaps[1].size(), 1u);
}
