// Boats' tracks sailed on paper for the manoeuvre and wind tests: a course and a speed given as
// functions of race time are integrated in hundredths of a second, so that where the boat is at
// any moment, and what a turn cost it, is known independently of the GPS fixes taken from it.
#pragma once

#include <cmath>
#include <functional>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

#include "track/kinematics.h"
#include "track/trackstore.h"

namespace brisko::test {

// Off Valencia: metres per minute of latitude and of longitude.
constexpr double kMPerMinLat = 1852;
constexpr double kMPerMinLon = 1852 * 0.7727;  // cos 39.4 degrees
constexpr double kOriginLat = 39.4 * 60, kOriginLon = -0.32 * 60;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600;

// A value that runs straight between given (time, value) points, constant beyond the ends.
class Profile {
public:
    Profile(std::initializer_list<std::pair<double, double>> points) : p_(points) {}
    double operator()(double t) const {
        if (t <= p_.front().first) return p_.front().second;
        for (size_t i = 1; i < p_.size(); ++i)
            if (t <= p_[i].first) {
                const auto& [t0, v0] = p_[i - 1];
                const auto& [t1, v1] = p_[i];
                return t1 > t0 ? v0 + (v1 - v0) * (t - t0) / (t1 - t0) : v1;
            }
        return p_.back().second;
    }

private:
    std::vector<std::pair<double, double>> p_;
};

struct Point {
    double east = 0, north = 0;  // metres
};

// The path of a boat from t0 to t1 whose course (degrees) and speed (knots) at time t are
// given, starting at `start`.
class SailedPath {
public:
    // Integrated in steps of `step` seconds.
    SailedPath(double t0, double t1, std::function<double(double)> course,
               std::function<double(double)> knots, Point start = {}, double step = 0.01)
        : t0_(t0), step_(step) {
        p_.push_back(start);
        for (double t = t0; t < t1; t += step) {
            const double mid = t + step / 2;
            const double c = course(mid) * 3.14159265358979323846 / 180;
            const double v = knots(mid) * kMetresPerSecondPerKnot;
            Point q = p_.back();
            q.east += v * step * std::sin(c);
            q.north += v * step * std::cos(c);
            p_.push_back(q);
        }
    }
    Point at(double t) const {
        const double f = (t - t0_) / step_;
        if (f <= 0) return p_.front();
        const size_t i = static_cast<size_t>(f);
        if (i + 1 >= p_.size()) return p_.back();
        const double r = f - static_cast<double>(i);
        return {p_[i].east + r * (p_[i + 1].east - p_[i].east),
                p_[i].north + r * (p_[i + 1].north - p_[i].north)};
    }

private:
    double t0_, step_;
    std::vector<Point> p_;
};

// A store of `boats` empty boats on the plane off Valencia.
inline TrackStore planeStore(int boats) {
    TrackStore s;
    s.reset(boats);
    s.MPerMinLat = kMPerMinLat;
    s.MPerMinLon = kMPerMinLon;
    s.LonFactor = kMPerMinLon / kMPerMinLat;
    return s;
}

// Fixes of `path` every `every` seconds from t0 to t1 into boat `boat`, each moved by up to
// `noise` metres north and east (seeded, so every run sees the same fixes).
inline void takeFixes(TrackStore& s, int boat, const SailedPath& path, double t0, double t1,
                      double every = 1, double noise = 0, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-noise, noise);
    for (double t = t0; t <= t1 + 1e-9; t += every) {
        Point p = path.at(t);
        if (noise > 0) {
            p.east += jitter(random);
            p.north += jitter(random);
        }
        s.boats[boat].append(kOriginLat + p.north / kMPerMinLat, kOriginLon + p.east / kMPerMinLon,
                             t);
    }
}

// Metres east and north of the origin of a position in minutes of arc.
inline Point metresOf(double lat, double lon) {
    return {(lon - kOriginLon) * kMPerMinLon, (lat - kOriginLat) * kMPerMinLat};
}

// What a turn cost by its definition: where the boat would be at `exit` had it sailed on from
// `entry` at `knots` on course `in`, less where it is, along the bisector of `in` and `out`.
inline double lossByDefinition(const SailedPath& path, double entry, double exit, double knots,
                               double in, double out) {
    constexpr double kRad = 3.14159265358979323846 / 180;
    const double d = std::remainder(out - in, 360.0);
    const double bis = (in + d / 2) * kRad;
    const Point a = path.at(entry), b = path.at(exit);
    const double run = knots * kMetresPerSecondPerKnot * (exit - entry);
    const double qe = a.east + run * std::sin(in * kRad), qn = a.north + run * std::cos(in * kRad);
    return (qe - b.east) * std::sin(bis) + (qn - b.north) * std::cos(bis);
}

}  // namespace brisko::test
