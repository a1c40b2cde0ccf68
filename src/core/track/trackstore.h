// The track store: every boat's GPS samples for the race on the screen, the values derived
// from them, and the tracks' bounding box with the map values the view starts from.
// Boats and samples are numbered from 1. A never-written value reads as 0.
#pragma once

#include <vector>

namespace brisko {

// One boat's samples. Each vector holds element 0 (unused) and then samples 1..count().
struct BoatTrack {
    std::vector<double> TrkLat;     // minutes of arc, north positive
    std::vector<double> TrkLon;     // minutes of arc, east positive
    std::vector<double> TrkSec;     // whole seconds from RaceStart
    std::vector<double> TrkDist;    // nautical miles sailed from sample 1 (0 at sample 1)
    std::vector<double> TrkSpeed;   // knots, segment k to k+1 (0 at the last sample)
    std::vector<double> TrkCourse;  // degrees, segment k to k+1 (0 at the last sample)

    int count() const { return TrkLat.empty() ? 0 : static_cast<int>(TrkLat.size()) - 1; }
    void clear();
    void reserve(int samples);
    // Appends one fix; distance, speed and course are filled later by the kinematics.
    void append(double lat, double lon, double sec);
};

struct TrackStore {
    // boats[0] is unused; boats 1..boatCount().
    std::vector<BoatTrack> boats = std::vector<BoatTrack>(1);

    // The sample capacity the store reports: it starts at 100 and grows in steps of 5 whenever
    // a sample k is stored with k > capacity - 5.
    int TrkCapacity = 100;

    double LatMax = -200000, LatMin = 200000, LonMax = -200000, LonMin = 200000;
    double CenterLat = 0, CenterLon = 0;
    double HomeLat = 0, HomeLon = 0;
    double DegRad = 0, MPerMinLat = 0, MPerMinLon = 0;
    double LonFactor = 1;
    double TrackSpan = 0.1;
    double InitScale = 10;

    int boatCount() const { return static_cast<int>(boats.size()) - 1; }
    void reset(int boatCount);  // empties everything; the box takes its start values

    int TrkCount(int b) const { return valid(b) ? boats[b].count() : 0; }
    double TrkLat(int b, int k) const { return at(b, k, &BoatTrack::TrkLat); }
    double TrkLon(int b, int k) const { return at(b, k, &BoatTrack::TrkLon); }
    double TrkSec(int b, int k) const { return at(b, k, &BoatTrack::TrkSec); }
    double TrkDist(int b, int k) const { return at(b, k, &BoatTrack::TrkDist); }
    double TrkSpeed(int b, int k) const { return at(b, k, &BoatTrack::TrkSpeed); }
    double TrkCourse(int b, int k) const { return at(b, k, &BoatTrack::TrkCourse); }

private:
    bool valid(int b) const { return b >= 1 && b < static_cast<int>(boats.size()); }
    double at(int b, int k, std::vector<double> BoatTrack::*arr) const {
        if (!valid(b)) return 0;
        const auto& v = boats[b].*arr;
        return (k >= 1 && k < static_cast<int>(v.size())) ? v[k] : 0;
    }
};

}  // namespace brisko
