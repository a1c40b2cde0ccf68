// Real logs: two dinghies racing twice off Valencia in a steady east-south-east breeze (110
// degrees true by the race notes), a fix a second from sports watches. The tacks found are where
// the course swings through the wind by a dinghy's tacking angle and cost metres, not hundreds;
// the wind estimated from the two boats' turns lies near the noted wind; a straight line
// sailed holds none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/coach.h"
#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/kinematics.h"
#include "track/trackloader.h"
#include "util/fileutil.h"

using namespace brisko;

namespace {

const std::string kFolder = BRISKO_SHARED_DATA "/real/valencia-2025-06-21";
constexpr double kNotedWind = 110;
constexpr double kRad = 3.14159265358979323846 / 180;
// Without a race file the race starts four minutes after the first fix; the notes give the gun
// five minutes after the logs begin. Before it the boats manoeuvre every way.
constexpr double kGun = 60;

struct RealRace {
    RaceDefinition race;
    TrackStore store;
};

// Race P01 or P02 of both boats, as the race screen would hold it.
RealRace load(const std::string& race) {
    RealRace r;
    r.race.TimeDiff = 2;
    r.race.MeanWindDir = kNotedWind;
    r.store.reset(2);
    int b = 0;
    for (const char* boat : {"ESP29375", "ESP30782"}) {
        ++b;
        readGpsTrackFile(kFolder + "/2025-06-21-" + boat + "-" + race + ".gpx", r.race,
                         r.store.boats[b]);
        updateMapValues(r.store, b);
    }
    deriveKinematics(r.store);
    return r;
}

double angleBetween(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The circular mean of the raw segment courses of fixes whose times lie in t0..t1.
double meanCourse(const TrackStore& s, int b, double t0, double t1) {
    double east = 0, north = 0;
    for (int k = 1; k < s.TrkCount(b); ++k)
        if (s.TrkSec(b, k) >= t0 && s.TrkSec(b, k) <= t1) {
            east += std::sin(s.TrkCourse(b, k) * kRad);
            north += std::cos(s.TrkCourse(b, k) * kRad);
        }
    return std::atan2(east, north) / kRad;
}

// Stretches of at least `seconds` over which every fix lies within `metres` of the straight
// line between the stretch's ends and the distance sailed is hardly more than that line: a
// boat sailing a straight line, by its positions alone.
std::vector<std::pair<double, double>> straightRuns(const TrackStore& s, int b, double seconds,
                                                    double metres) {
    std::vector<std::pair<double, double>> runs;
    const int n = s.TrkCount(b);
    auto east = [&](int k) { return s.TrkLon(b, k) * s.MPerMinLon; };
    auto north = [&](int k) { return s.TrkLat(b, k) * s.MPerMinLat; };
    for (int a = 1; a <= n;) {
        int e = a;
        while (e < n && s.TrkSec(b, e) - s.TrkSec(b, a) < seconds) ++e;
        if (s.TrkSec(b, e) - s.TrkSec(b, a) < seconds) break;
        const double dx = east(e) - east(a), dy = north(e) - north(a), len = std::hypot(dx, dy);
        const double sailed = (s.TrkDist(b, e) - s.TrkDist(b, a)) * 1852;
        bool straight = len > 0 && len >= 0.9 * sailed;
        for (int k = a; straight && k <= e; ++k)
            straight =
                std::fabs((east(k) - east(a)) * dy - (north(k) - north(a)) * dx) / len <= metres;
        if (straight) {
            runs.push_back({s.TrkSec(b, a), s.TrkSec(b, e)});
            a = e;
        } else {
            ++a;
        }
    }
    return runs;
}

}  // namespace

TEST(RealManoeuvres, ValenciaTacksWindAndStraightLines) {
    if (!folderExists(kFolder)) GTEST_SKIP() << "no real logs at " << kFolder;
    for (const char* name : {"P01", "P02"}) {
        SCOPED_TRACE(name);
        const RealRace r = load(name);
        ASSERT_GT(r.store.TrkCount(1), 1500);
        ASSERT_GT(r.store.TrkCount(2), 1500);

        const WindInForce w = windInForce(r.race, r.store, WindStore{});
        ASSERT_EQ(w.source, WindSource::Estimated);
        std::vector<double> dirs;
        for (const WindSample& x : w.samples) {
            dirs.push_back(x.dir);
            EXPECT_LT(angleBetween(x.dir, kNotedWind), 20) << x.sec;
        }
        EXPECT_LT(angleBetween(median(dirs), kNotedWind), 10);
        std::printf(
            "%s wind estimated from %.0f s to %.0f s, %zu samples, %.0f..%.0f, median %.0f\n", name,
            w.samples.front().sec, w.samples.back().sec, w.samples.size(),
            *std::min_element(dirs.begin(), dirs.end()),
            *std::max_element(dirs.begin(), dirs.end()), median(dirs));

        for (int b = 1; b <= 2; ++b) {
            SCOPED_TRACE(b);
            const auto ms = findManoeuvres(r.store, b, w);
            int tacks = 0, gybes = 0, penalties = 0;
            std::vector<double> turns, losses;
            for (const Manoeuvre& m : ms) {
                tacks += m.kind == ManoeuvreKind::Tack;
                gybes += m.kind == ManoeuvreKind::Gybe;
                penalties += m.kind == ManoeuvreKind::Penalty;
                ASSERT_TRUE(m.lossM);
                EXPECT_LT(std::fabs(*m.lossM), 100) << m.time;
                if (m.kind != ManoeuvreKind::Tack || std::fabs(m.turn) < 70 ||
                    std::fabs(m.turn) > 110 || m.time < kGun)
                    continue;
                // An upwind tack: the course of the logged fixes before and after it swings by
                // about the turn found, through the wind.
                turns.push_back(std::fabs(m.turn));
                losses.push_back(*m.lossM);
                const double before = meanCourse(r.store, b, m.entryTime - 10, m.entryTime);
                const double after = meanCourse(r.store, b, m.exitTime, m.exitTime + 10);
                EXPECT_LT(angleBetween(after - before, m.turn), 25) << m.time;
                EXPECT_LT(angleBetween(before + m.turn / 2, w.dirAt(m.time)), 30) << m.time;
                EXPECT_GT(*m.lossM, -10) << m.time;
                EXPECT_LT(*m.lossM, 40) << m.time;
                EXPECT_TRUE(m.confident) << m.time;
            }
            std::printf(
                "  boat %d: %d tacks, %d gybes, %d penalty turns; %zu upwind tacks turning %.0f "
                "degrees and losing %.1f m (medians)\n",
                b, tacks, gybes, penalties, turns.size(), median(turns), median(losses));
            EXPECT_GE(turns.size(), 5u);
            EXPECT_GT(median(losses), -2);
            EXPECT_LT(median(losses), 15);
            // No manoeuvre while the boat sails a straight line for a minute (its ends may be
            // the last seconds of a turn, when the boat is slow and moves little).
            int straight = 0;
            for (const auto& [t0, t1] : straightRuns(r.store, b, 60, 8)) {
                ++straight;
                for (const Manoeuvre& m : ms)
                    EXPECT_FALSE(m.time > t0 + 10 && m.time < t1 - 10)
                        << m.time << " in " << t0 << ".." << t1;
            }
            EXPECT_GE(straight, 5);
        }
    }
}
