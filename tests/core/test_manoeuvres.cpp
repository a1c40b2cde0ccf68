// Tacks, gybes and penalty turns found on tracks sailed on paper, whose turns, times and losses
// are known from their construction: with GPS noise, wobbles, thinned and dense fixes, gaps,
// and tracks too short or too odd to hold any turn.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/coach.h"
#include "analysis/courseturns.h"
#include "sailedtrack.h"

using namespace brisko;
using namespace brisko::test;

namespace {

constexpr double kRad = 3.14159265358979323846 / 180;

// The wind of the race file only.
WindInForce windFrom(double dir) {
    WindInForce w;
    w.meanDir = dir;
    return w;
}

// One boat sailing `path` from t0 to t1, fixes every `every` seconds.
TrackStore oneBoat(const SailedPath& path, double t0, double t1, double every = 1, double noise = 0,
                   unsigned seed = 1) {
    TrackStore s = planeStore(1);
    takeFixes(s, 1, path, t0, t1, every, noise, seed);
    deriveKinematics(s);
    return s;
}

void expectFinite(const Manoeuvre& m) {
    for (double v : {m.time, m.lat, m.lon, m.duration, m.turn, m.speedIn, m.speedMin, m.speedOut,
                     m.entryTime, m.exitTime})
        EXPECT_TRUE(std::isfinite(v));
    if (m.lossM) {
        EXPECT_TRUE(std::isfinite(*m.lossM));
    }
    if (m.lossS) {
        EXPECT_TRUE(std::isfinite(*m.lossS));
    }
}

// The loss of a turn by its definition, integrated along the path: how much less the boat made
// along the bisector `bis` than at `knots` on course `in`, from t0 to t1.
double integratedLoss(const Profile& course, const Profile& knots, double t0, double t1,
                      double knotsIn, double in, double bis) {
    double loss = 0;
    constexpr double dt = 0.001;
    for (double t = t0; t < t1; t += dt)
        loss += (knotsIn * std::cos((in - bis) * kRad) -
                 knots(t + dt / 2) * std::cos((course(t + dt / 2) - bis) * kRad)) *
                kMetresPerSecondPerKnot * dt;
    return loss;
}

}  // namespace

// A 90 degree tack whose speed comes back within the turn: what it cost does not depend on
// where the exit is found, so the loss is checked against the integral of the lost way.
TEST(Manoeuvres, TackLossIsTheWayLostAlongTheBisector) {
    const Profile course{{-4, 315}, {4, 405}};
    const Profile knots{{-4, 6}, {0, 1}, {4, 6}};
    const SailedPath path(-120, 120, course, knots);
    const TrackStore s = oneBoat(path, -120, 120);
    const auto ms = findManoeuvres(s, 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    const Manoeuvre& m = ms[0];
    EXPECT_EQ(m.kind, ManoeuvreKind::Tack);
    EXPECT_NEAR(m.turn, 90, 2);
    EXPECT_NEAR(m.time, 0, 1.01);  // the middle of the turn, where it is fastest
    EXPECT_NEAR(m.speedIn, 6, 0.05);
    EXPECT_GT(m.speedOut, 4.5);  // the smoothing still holds some of the slow seconds
    EXPECT_LT(m.speedMin, 3);
    EXPECT_GE(m.speedMin, 1);
    EXPECT_TRUE(m.confident);
    EXPECT_LE(m.entryTime, -4);
    EXPECT_GE(m.exitTime, 4);
    EXPECT_DOUBLE_EQ(m.duration, m.exitTime - m.entryTime);
    const double expected = integratedLoss(course, knots, -4, 4, 6, 315, 0);
    ASSERT_TRUE(m.lossM);
    EXPECT_GT(expected, 4);
    EXPECT_NEAR(*m.lossM, expected, 1);
    // In seconds: over the velocity made good at entry, 6 knots at 45 degrees to the bisector.
    ASSERT_TRUE(m.lossS);
    EXPECT_NEAR(*m.lossS, *m.lossM / (6 * kMetresPerSecondPerKnot * std::cos(45 * kRad)), 0.2);
    // The position is the boat's at the moment given.
    const Point p = metresOf(m.lat, m.lon), q = path.at(m.time);
    EXPECT_NEAR(p.east, q.east, 0.5);
    EXPECT_NEAR(p.north, q.north, 0.5);
}

// A tack that slows the boat before it turns and leaves it slow for ten seconds after: the entry
// is where the speed starts to drop, the exit where the course is steady, and the loss is that
// of those two moments.
TEST(Manoeuvres, TackWithSlowRecoveryLosesWhatItsEntryAndExitSay) {
    const Profile course{{-2, 315}, {4, 405}};
    const Profile knots{{-4, 6}, {2, 3}, {12, 6}};
    const SailedPath path(-120, 120, course, knots);
    const auto ms = findManoeuvres(oneBoat(path, -120, 120), 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    const Manoeuvre& m = ms[0];
    EXPECT_EQ(m.kind, ManoeuvreKind::Tack);
    EXPECT_NEAR(m.turn, 90, 3);
    EXPECT_LE(m.entryTime, -4);
    EXPECT_GE(m.entryTime, -12);
    EXPECT_GE(m.exitTime, 4);
    EXPECT_LE(m.exitTime, 12);
    EXPECT_NEAR(m.speedIn, 6, 0.05);
    EXPECT_LT(m.speedOut, 6);
    ASSERT_TRUE(m.lossM);
    const double expected = lossByDefinition(path, m.entryTime, m.exitTime, 6, 315, 45);
    EXPECT_GT(expected, 3);
    EXPECT_NEAR(*m.lossM, expected, 1);
}

TEST(Manoeuvres, GybeThroughDeadDownwind) {
    const Profile course{{-3, 135}, {3, 225}};
    const Profile knots{{-3, 7}, {0, 6}, {3, 7}};
    const SailedPath path(-100, 100, course, knots);
    const auto ms = findManoeuvres(oneBoat(path, -100, 100), 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].kind, ManoeuvreKind::Gybe);
    EXPECT_NEAR(ms[0].turn, 90, 2);
    ASSERT_TRUE(ms[0].lossM);
    EXPECT_NEAR(*ms[0].lossM, integratedLoss(course, knots, -3, 3, 7, 135, 180), 1);
    // The same turn with the wind from the south goes through the wind's eye.
    const auto tack = findManoeuvres(oneBoat(path, -100, 100), 1, windFrom(180));
    ASSERT_EQ(tack.size(), 1u);
    EXPECT_EQ(tack[0].kind, ManoeuvreKind::Tack);
}

TEST(Manoeuvres, PenaltyTurnGoesThroughBothAndTurnsRoundOnce) {
    // Close-hauled on port, a full turn to port in 18 seconds, then on again.
    const Profile course{{0, 45}, {18, 45 - 360}};
    const Profile knots{{-1, 6}, {4, 3}, {18, 3}, {28, 6}};
    const SailedPath path(-100, 120, course, knots);
    const auto ms = findManoeuvres(oneBoat(path, -100, 120), 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].kind, ManoeuvreKind::Penalty);
    EXPECT_NEAR(ms[0].turn, -360, 15);
    EXPECT_GT(ms[0].time, 0);
    EXPECT_LT(ms[0].time, 18);
    ASSERT_TRUE(ms[0].lossM);
    EXPECT_GT(*ms[0].lossM, 20);  // a whole circle and the speed it cost
    // Round the windward mark: a tack run on into a bear-away and a gybe, three quarters of a
    // circle, goes through both but is no penalty: a tack first. Round the leeward mark: a gybe
    // run on into a luff and a tack is a gybe.
    const SailedPath windward(-100, 120, Profile{{0, 45}, {14, 45 - 265}},
                              Profile{{-1, 6}, {4, 3}, {14, 5}});
    const auto round = findManoeuvres(oneBoat(windward, -100, 120), 1, windFrom(0));
    ASSERT_EQ(round.size(), 1u);
    EXPECT_EQ(round[0].kind, ManoeuvreKind::Tack);
    const SailedPath leeward(-100, 120, Profile{{0, 150}, {14, 150 + 245}},
                             Profile{{-1, 6}, {4, 3}, {14, 5}});
    const auto luff = findManoeuvres(oneBoat(leeward, -100, 120), 1, windFrom(0));
    ASSERT_EQ(luff.size(), 1u);
    EXPECT_EQ(luff[0].kind, ManoeuvreKind::Gybe);
    EXPECT_NEAR(luff[0].turn, 245, 10);
    EXPECT_NEAR(round[0].turn, -265, 10);
}

// A bear-away from a beat to a reach goes through neither the eye nor dead downwind; a luff
// head to wind that falls back onto the same tack is no tack either.
TEST(Manoeuvres, TurnsThatCrossNoLineOrDoNotSettleAreNone) {
    const WindInForce north = windFrom(0);
    const SailedPath bearAway(-60, 120, Profile{{0, 320}, {6, 230}}, Profile{{0, 6}, {6, 7}});
    EXPECT_TRUE(findManoeuvres(oneBoat(bearAway, -60, 120), 1, north).empty());
    const SailedPath luff(-60, 120, Profile{{0, 320}, {4, 365}, {6, 365}, {10, 320}},
                          Profile{{0, 6}, {5, 2}, {15, 6}});
    EXPECT_TRUE(findManoeuvres(oneBoat(luff, -60, 120), 1, north).empty());
    // Head to wind and out again five degrees the other side: not settled on the new tack.
    const SailedPath stall(-60, 120, Profile{{0, 310}, {5, 365}}, Profile{{0, 6}, {5, 2}});
    EXPECT_TRUE(findManoeuvres(oneBoat(stall, -60, 120), 1, north).empty());
}

// An 80 degree tack with every fix up to 2 m off: found once, every time, about where it is.
TEST(Manoeuvres, TackFoundThroughGpsNoise) {
    const Profile course{{0, 320}, {6, 400}};
    const SailedPath path(-120, 120, course, Profile{{-1, 6}, {3, 3.5}, {12, 6}});
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        const auto ms = findManoeuvres(oneBoat(path, -120, 120, 1, 2, seed), 1, windFrom(0));
        ASSERT_EQ(ms.size(), 1u);
        EXPECT_EQ(ms[0].kind, ManoeuvreKind::Tack);
        EXPECT_NEAR(ms[0].turn, 80, 8);
        EXPECT_NEAR(ms[0].time, 3, 3);
        // The loss is that of the noiseless track between the moments found.
        ASSERT_TRUE(ms[0].lossM);
        EXPECT_NEAR(*ms[0].lossM,
                    lossByDefinition(path, ms[0].entryTime, ms[0].exitTime, 6, 320, 40), 3);
    }
}

TEST(Manoeuvres, WobblesAndStraightRunsHoldNone) {
    const Profile knots{{0, 6}};
    const SailedPath straight(0, 600, Profile{{0, 40}}, knots);
    // Steering ten degrees either way of the course every ten seconds.
    const SailedPath wobble(
        0, 600, [](double t) { return 40 + 10 * std::sin(2 * 3.14159265358979 * t / 10); }, knots);
    for (unsigned seed = 1; seed <= 5; ++seed) {
        SCOPED_TRACE(seed);
        EXPECT_TRUE(findManoeuvres(oneBoat(straight, 0, 600, 1, 2, seed), 1, windFrom(0)).empty());
        EXPECT_TRUE(findManoeuvres(oneBoat(wobble, 0, 600, 1, 2, seed), 1, windFrom(0)).empty());
    }
    // Running dead downwind, a wobble through the wind's reverse is no gybe.
    const SailedPath run(
        0, 600, [](double t) { return 180 + 10 * std::sin(2 * 3.14159265358979 * t / 10); }, knots);
    EXPECT_TRUE(findManoeuvres(oneBoat(run, 0, 600, 1, 2), 1, windFrom(0)).empty());
}

// A tack in two steps, two seconds head to wind between them, is one tack.
TEST(Manoeuvres, TurnsOfOneDirectionSecondsApartAreOne) {
    const SailedPath path(-100, 100, Profile{{0, 315}, {3, 358}, {5, 362}, {8, 405}},
                          Profile{{0, 6}, {4, 2}, {14, 6}});
    const auto ms = findManoeuvres(oneBoat(path, -100, 100), 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_NEAR(ms[0].turn, 90, 3);
    // Two tacks a minute apart stay two, in time order, turning either way.
    const SailedPath twice(-100, 160, Profile{{0, 315}, {6, 405}, {60, 405}, {66, 315}},
                           Profile{{0, 6}});
    const auto two = findManoeuvres(oneBoat(twice, -100, 160), 1, windFrom(0));
    ASSERT_EQ(two.size(), 2u);
    EXPECT_GT(two[0].turn, 0);
    EXPECT_LT(two[1].turn, 0);
    EXPECT_LT(two[0].exitTime, two[1].entryTime);
}

// A tacking duel: three tacks sixteen seconds apart, each found with its own turn, the one
// ending before the next begins. Four seconds apart the course is never steady between them:
// each is still found where it turns, in its own direction, but marked unsure.
TEST(Manoeuvres, TacksInQuickSuccessionAreEachFound) {
    for (const double gap : {10.0, 4.0}) {
        SCOPED_TRACE(gap);
        const double p = 6 + gap;  // from the start of one tack to the next
        const SailedPath path(
            -100, 150,
            Profile{{0, 315}, {6, 405}, {p, 405}, {p + 6, 315}, {2 * p, 315}, {2 * p + 6, 405}},
            Profile{{0, 6},
                    {3, 4},
                    {p - 2, 5},
                    {p + 3, 3.5},
                    {2 * p - 2, 5},
                    {2 * p + 3, 3.5},
                    {2 * p + 15, 6}});
        const auto ms = findManoeuvres(oneBoat(path, -100, 150), 1, windFrom(0));
        ASSERT_EQ(ms.size(), 3u);
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(ms[i].kind, ManoeuvreKind::Tack);
            EXPECT_NEAR(ms[i].time, 3 + p * static_cast<double>(i), 2);
            EXPECT_NEAR(ms[i].turn, i == 1 ? -90 : 90, gap > 5 ? 12 : 25);
            EXPECT_EQ(ms[i].confident, gap > 5 || i == 2);
            if (i > 0) {
                EXPECT_LE(ms[i - 1].exitTime, ms[i].entryTime);
            }
        }
    }
}

// Fixes twice a second, every two seconds and ten a second give the same tack.
TEST(Manoeuvres, SameTackWhateverTheFixRate) {
    const Profile course{{-4, 315}, {4, 405}};
    const Profile knots{{-4, 6}, {0, 1}, {4, 6}};
    const SailedPath path(-120, 120, course, knots);
    const double expected = integratedLoss(course, knots, -4, 4, 6, 315, 0);
    for (double every : {0.1, 0.5, 2.0}) {
        SCOPED_TRACE(every);
        const auto ms = findManoeuvres(oneBoat(path, -120, 120, every), 1, windFrom(0));
        ASSERT_EQ(ms.size(), 1u);
        EXPECT_NEAR(ms[0].turn, 90, 3);
        ASSERT_TRUE(ms[0].lossM);
        EXPECT_NEAR(*ms[0].lossM, expected, 1.5);
    }
}

// A turn with no steady course before it within the track, or one that never settles, is
// found but not confident.
TEST(Manoeuvres, TurnWithoutSteadyCourseIsNotConfident) {
    const Profile knots{{0, 6}};
    const SailedPath early(0, 200, Profile{{2, 315}, {8, 405}}, knots);
    auto ms = findManoeuvres(oneBoat(early, 0, 200), 1, windFrom(0));
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_FALSE(ms[0].confident);
    // After the tack the boat weaves 25 degrees either way for a minute.
    const SailedPath weave(
        -100, 200,
        [](double t) {
            if (t < 0) return 315.0;
            if (t < 6) return 315 + 15 * t;
            return 405 + (t < 66 ? 25 * std::sin(2 * 3.14159265358979 * (t - 6) / 16) : 0);
        },
        knots);
    ms = findManoeuvres(oneBoat(weave, -100, 200), 1, windFrom(0));
    ASSERT_GE(ms.size(), 1u);
    EXPECT_EQ(ms[0].kind, ManoeuvreKind::Tack);
    EXPECT_FALSE(ms[0].confident);
    EXPECT_LE(ms[0].exitTime - ms[0].time, kTurnSearchLimit + 8);
}

// No turn is made across a gap in the fixes: the course changed while nothing was logged.
TEST(Manoeuvres, NoTurnAcrossAGap) {
    const SailedPath path(-200, 200, Profile{{0, 315}, {6, 405}}, Profile{{0, 6}});
    TrackStore s = planeStore(1);
    takeFixes(s, 1, path, -200, -5);
    takeFixes(s, 1, path, 60, 200);
    deriveKinematics(s);
    EXPECT_TRUE(findManoeuvres(s, 1, windFrom(0)).empty());
}

// Tracks with nothing to find, or nothing sensible in them: never a crash, NaN or infinity.
TEST(Manoeuvres, OddTracksGiveNothingOrFiniteValues) {
    const WindInForce w = windFrom(0);
    for (int fixes = 0; fixes <= 2; ++fixes) {
        TrackStore s = planeStore(1);
        for (int k = 0; k < fixes; ++k) s.boats[1].append(kOriginLat + k * 0.01, kOriginLon, k);
        deriveKinematics(s);
        EXPECT_TRUE(findManoeuvres(s, 1, w).empty()) << fixes;
    }
    TrackStore s = planeStore(4);
    // Boat 1 lies still; boat 2's fixes all have one time; boat 3 logs every fix twice;
    // boat 4's track has holes of NaN and a fix from the past.
    for (int k = 0; k < 300; ++k) s.boats[1].append(kOriginLat, kOriginLon, k);
    for (int k = 0; k < 300; ++k) s.boats[2].append(kOriginLat + k * 0.001, kOriginLon, 5);
    const SailedPath path(-100, 100, Profile{{0, 315}, {6, 405}}, Profile{{0, 6}});
    for (int t = -100; t <= 100; ++t) {
        const Point p = path.at(t);
        const double lat = kOriginLat + p.north / kMPerMinLat,
                     lon = kOriginLon + p.east / kMPerMinLon;
        s.boats[3].append(lat, lon, t);
        s.boats[3].append(lat, lon, t);
        const double nan = std::numeric_limits<double>::quiet_NaN();
        if (t % 17 == 0) s.boats[4].append(nan, lon, t);
        if (t == 50) s.boats[4].append(lat, lon, -90);
        s.boats[4].append(lat, t % 23 == 0 ? nan : lon, t);
    }
    deriveKinematics(s);
    EXPECT_TRUE(findManoeuvres(s, 1, w).empty());
    EXPECT_TRUE(findManoeuvres(s, 2, w).empty());
    const auto twice = findManoeuvres(s, 3, w);
    ASSERT_EQ(twice.size(), 1u);
    EXPECT_EQ(twice[0].kind, ManoeuvreKind::Tack);
    for (int b = 3; b <= 4; ++b)
        for (const Manoeuvre& m : findManoeuvres(s, b, w)) expectFinite(m);
    EXPECT_TRUE(findManoeuvres(s, 0, w).empty());
    EXPECT_TRUE(findManoeuvres(s, 5, w).empty());
    // A store without its metres per minute still gives finite values.
    TrackStore bare = oneBoat(path, -100, 100);
    bare.MPerMinLat = bare.MPerMinLon = 0;
    const auto ms = findManoeuvres(bare, 1, w);
    ASSERT_EQ(ms.size(), 1u);
    expectFinite(ms[0]);
}
