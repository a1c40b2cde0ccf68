// The wind in force: the wind file's samples made true, or the wind estimated from fleets sailed
// on paper whose wind is known: boats tacking up to it, gybing down from it, through a shift,
// with a race file's mean far from it, or with too few turns to tell.
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>

#include "analysis/coach.h"
#include "sailedtrack.h"

using namespace brisko;
using namespace brisko::test;

namespace {

double angleBetween(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

// A boat zigzagging about `axis` (degrees), `half` degrees either side, turning through the
// axis in six seconds every `period` seconds from `first` on; `wind(t)` moves the axis.
std::function<double(double)> zigzag(std::function<double(double)> axis, double half, double period,
                                     double first) {
    return [=](double t) {
        const double since = t - first;
        const long k = static_cast<long>(std::floor(since / period));
        const double into = since - static_cast<double>(k) * period;
        const double side = (k % 2 == 0) ? -1 : 1;  // before the k-th turn
        const double a = axis(t);
        if (into < period - 6) return a + side * half;
        return a + side * half - side * 2 * half * (into - (period - 6)) / 6;
    };
}

std::function<double(double)> steady(double dir) {
    return [dir](double) { return dir; };
}

// Boats 1..n of `s` sailing their courses from t0 to t1 at 6 knots, fixes every second with
// up to `noise` metres of error.
void sailFleet(TrackStore& s, const std::vector<std::function<double(double)>>& courses, double t0,
               double t1, double noise = 1) {
    for (size_t i = 0; i < courses.size(); ++i) {
        const int b = static_cast<int>(i) + 1;
        const SailedPath path(
            t0, t1, courses[i], [](double) { return 6.0; }, {100.0 * b, 0}, 0.05);
        takeFixes(s, b, path, t0, t1, 1, noise, static_cast<unsigned>(b));
    }
    deriveKinematics(s);
}

RaceDefinition raceWithMean(double dir) {
    RaceDefinition r;
    r.RaceFileName = "race.txt";
    r.MeanWindDir = dir;
    return r;
}

}  // namespace

TEST(WindInForce, EstimatedFromTheFleetsTacks) {
    constexpr double kWind = 23;
    TrackStore s = planeStore(4);
    sailFleet(s,
              {zigzag(steady(kWind), 45, 60, -280), zigzag(steady(kWind), 42, 70, -250),
               zigzag(steady(kWind), 47, 80, -270), zigzag(steady(kWind), 45, 90, -230)},
              -300, 1200);
    // The race file's mean is 20 degrees off.
    const WindInForce w = windInForce(raceWithMean(3), s, WindStore{});
    ASSERT_EQ(w.source, WindSource::Estimated);
    EXPECT_EQ(w.meanDir, 3);
    // Every 30 seconds from the first turn to the last.
    ASSERT_GE(w.samples.size(), 45u);
    ASSERT_LE(w.samples.size(), 52u);
    for (size_t i = 0; i < w.samples.size(); ++i) {
        SCOPED_TRACE(w.samples[i].sec);
        if (i > 0) {
            EXPECT_DOUBLE_EQ(w.samples[i].sec - w.samples[i - 1].sec, 30);
        }
        EXPECT_LT(angleBetween(w.samples[i].dir, kWind), 2);
    }
    // The manoeuvres judged by that wind are all tacks.
    for (int b = 1; b <= 4; ++b) {
        const auto ms = findManoeuvres(s, b, w);
        EXPECT_GE(ms.size(), 15u) << b;
        for (const Manoeuvre& m : ms) EXPECT_EQ(m.kind, ManoeuvreKind::Tack);
    }
}

// Gybes say where the wind comes from through their reverse; boats on both sides of the wind's
// north give one wind.
TEST(WindInForce, GybesCountReversedAndNorthIsNoEdge) {
    constexpr double kWind = 355;
    TrackStore s = planeStore(4);
    sailFleet(
        s,
        {zigzag(steady(kWind), 45, 60, -280), zigzag(steady(kWind), 44, 75, -250),
         zigzag(steady(kWind + 180), 30, 50, -260), zigzag(steady(kWind + 180), 35, 65, -240)},
        -300, 900);
    const WindInForce w = windInForce(raceWithMean(330), s, WindStore{});
    ASSERT_EQ(w.source, WindSource::Estimated);
    for (const WindSample& x : w.samples) EXPECT_LT(angleBetween(x.dir, kWind), 2) << x.sec;
    const auto gybes = findManoeuvres(s, 3, w);
    ASSERT_FALSE(gybes.empty());
    for (const Manoeuvre& m : gybes) EXPECT_EQ(m.kind, ManoeuvreKind::Gybe);
}

// A track opened without a race file has no mean wind (it reads 0): the boat beat up to a wind
// from 205 at 5 knots and ran down gybing at 7, so the slower end of the turns' axis is the wind's.
// Judged against north, every tack would have been a gybe and the wind 180 degrees out.
TEST(WindInForce, WithoutARaceFileTheSlowerEndOfTheAxisIsTheWinds) {
    constexpr double kWind = 205;
    TrackStore s = planeStore(1);
    const auto beat = zigzag(steady(kWind), 45, 60, -280);
    const auto run = zigzag(steady(kWind + 180), 30, 50, 620);
    const SailedPath path(
        -300, 1500, [&](double t) { return t < 600 ? beat(t) : run(t); },
        [](double t) { return t < 600 ? 5.0 : 7.0; }, {0, 0}, 0.05);
    takeFixes(s, 1, path, -300, 1500, 1, 1, 1);
    deriveKinematics(s);
    RaceDefinition single;  // as a single track is opened: no race file, no mean wind
    const WindInForce w = windInForce(single, s, WindStore{});
    ASSERT_EQ(w.source, WindSource::Estimated);
    for (const WindSample& x : w.samples) EXPECT_LT(angleBetween(x.dir, kWind), 3) << x.sec;
    const auto turns = findManoeuvres(s, 1, w);
    int tacks = 0, gybes = 0;
    for (const Manoeuvre& m : turns)
        (m.time < 600 ? tacks : gybes) +=
            m.kind == (m.time < 600 ? ManoeuvreKind::Tack : ManoeuvreKind::Gybe);
    EXPECT_GE(tacks, 10);
    EXPECT_GE(gybes, 10);
}

// The wind veers 30 degrees at ten minutes: the estimate follows within the window's reach.
TEST(WindInForce, FollowsAShift) {
    const auto wind = [](double t) { return t < 600 ? 10.0 : 40.0; };
    TrackStore s = planeStore(4);
    sailFleet(s,
              {zigzag(wind, 45, 60, -280), zigzag(wind, 43, 70, -250), zigzag(wind, 46, 80, -270),
               zigzag(wind, 45, 55, -230)},
              -300, 1500);
    const WindInForce w = windInForce(raceWithMean(10), s, WindStore{});
    ASSERT_EQ(w.source, WindSource::Estimated);
    EXPECT_LT(angleBetween(w.dirAt(200), 10), 2);
    EXPECT_LT(angleBetween(w.dirAt(1200), 40), 2);
    EXPECT_GT(w.dirAt(700), 15);  // shifting already, a window's half after the shift
}

// A race file's mean 70 degrees off still tells tacks from gybes; the second look settles on
// the fleet's wind.
TEST(WindInForce, MeanFarOffStillGivesTheFleetsWind) {
    constexpr double kWind = 200;
    TrackStore s = planeStore(3);
    sailFleet(s,
              {zigzag(steady(kWind), 45, 60, -280), zigzag(steady(kWind), 45, 70, -250),
               zigzag(steady(kWind), 45, 80, -270)},
              -300, 900);
    const WindInForce w = windInForce(raceWithMean(kWind + 70), s, WindStore{});
    ASSERT_EQ(w.source, WindSource::Estimated);
    for (const WindSample& x : w.samples) EXPECT_LT(angleBetween(x.dir, kWind), 2) << x.sec;
}

// Where too few boats turned, the race file's mean stands in; without a single window of
// enough turns there is no estimate at all.
TEST(WindInForce, TooFewTurnsFallBackToTheMean) {
    constexpr double kWind = 60;
    {
        // Three boats tack for the first ten minutes, then one boat turns alone.
        TrackStore s = planeStore(3);
        const auto late = [](double t) {
            return t < 1500 ? 15.0 : (t < 1506 ? 15 + 15 * (t - 1500) : 105.0);
        };
        const auto early = [&](double first, double period) {
            auto z = zigzag(steady(kWind), 45, period, first);
            return [=](double t) { return t < 600 ? z(t) : z(600); };
        };
        sailFleet(s, {early(-280, 60), early(-250, 70), late}, -300, 1800);
        const WindInForce w = windInForce(raceWithMean(50), s, WindStore{});
        ASSERT_EQ(w.source, WindSource::Estimated);
        EXPECT_LT(angleBetween(w.dirAt(0), kWind), 2);
        EXPECT_EQ(w.dirAt(1500), 50);  // one turn in that window: the mean
        EXPECT_NEAR(w.samples.back().sec, 1500, 30);
    }
    {
        // One boat, two tacks.
        TrackStore s = planeStore(1);
        sailFleet(s, {zigzag(steady(kWind), 45, 250, -200)}, -300, 300);
        const WindInForce w = windInForce(raceWithMean(50), s, WindStore{});
        EXPECT_EQ(w.source, WindSource::RaceFile);
        EXPECT_TRUE(w.samples.empty());
        EXPECT_EQ(w.dirAt(0), 50);
    }
    {
        // Straight lines, and a boat with no fixes.
        TrackStore s = planeStore(3);
        sailFleet(s, {steady(10), steady(100)}, -300, 900);
        const WindInForce w = windInForce(raceWithMean(-30), s, WindStore{});
        EXPECT_EQ(w.source, WindSource::RaceFile);
        EXPECT_TRUE(w.samples.empty());
        EXPECT_EQ(w.dirAt(100), 330);
    }
}

// The wind file wins over the fleet: its magnetic directions made true.
TEST(WindInForce, WindFileWinsMadeTrue) {
    TrackStore s = planeStore(3);
    sailFleet(s,
              {zigzag(steady(40), 45, 60, -280), zigzag(steady(40), 45, 70, -250),
               zigzag(steady(40), 45, 80, -270)},
              -300, 900);
    RaceDefinition race = raceWithMean(45);
    race.MagneticVariation = -3;
    WindStore file;
    file.append(0, 8, 1);
    file.append(300, 9, 358);
    file.append(600, 9, 50);
    const WindInForce w = windInForce(race, s, file);
    EXPECT_EQ(w.source, WindSource::File);
    ASSERT_EQ(w.samples.size(), 3u);
    EXPECT_EQ(w.samples[0].dir, 358);
    EXPECT_EQ(w.samples[1].dir, 355);
    EXPECT_EQ(w.samples[2].dir, 47);
    EXPECT_EQ(w.samples[1].sec, 300);
    // Between samples the shorter way round, beyond them the nearest.
    EXPECT_NEAR(w.dirAt(150), 356.5, 1e-9);
    EXPECT_NEAR(w.dirAt(450), 21, 1e-9);
    EXPECT_EQ(w.dirAt(-100), 358);
    EXPECT_EQ(w.dirAt(1e9), 47);
    EXPECT_EQ(w.dirAt(std::nan("")), 358);
    // A count larger than the samples held reads only those held; samples out of time order
    // give one of their directions, never a crash.
    file.WindCount = 10;
    EXPECT_EQ(windFromFile(race, file).samples.size(), 3u);
    file.WindSec[2] = 900;
    const WindInForce shuffled = windFromFile(race, file);
    for (double sec : {-1.0, 100.0, 450.0, 700.0, 1000.0}) {
        const double d = shuffled.dirAt(sec);
        EXPECT_TRUE(d >= 0 && d < 360) << sec;
    }
}

// Fifty boats tacking for two hours, a fix a second: the wind and every boat's manoeuvres
// together stay far from a quadratic search (the budget of a whole race analysis is 50 ms on
// an ordinary machine; this allows for slow builds and a busy machine).
TEST(WindInForce, FiftyBoatsForTwoHoursTakeLittleTime) {
    constexpr int kBoats = 50;
    TrackStore s = planeStore(kBoats);
    for (int b = 1; b <= kBoats; ++b) {
        const SailedPath path(
            0, 7200, zigzag(steady(10), 45, 60 + b, -b), [](double) { return 6.0; }, {}, 0.5);
        takeFixes(s, b, path, 0, 7200, 1, 1, static_cast<unsigned>(b));
    }
    deriveKinematics(s);
    // Processor time of the whole process (both threads of the wind's search), which a busy
    // machine does not stretch as it does the clock on the wall.
    const std::clock_t start = std::clock();
    const WindInForce w = windInForce(raceWithMean(0), s, WindStore{});
    size_t tacks = 0;
    for (int b = 1; b <= kBoats; ++b) tacks += findManoeuvres(s, b, w).size();
    const double ms = 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    std::printf("wind and manoeuvres of %d boats x 7200 fixes: %.1f ms of processor time\n", kBoats,
                ms);
    EXPECT_EQ(w.source, WindSource::Estimated);
    EXPECT_GT(tacks, 50u * 80);
    EXPECT_LT(ms, 1000);
}
