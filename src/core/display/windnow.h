// The wind in force at the shown race time, interpolated from the wind store and turned from
// magnetic to true. Used by the wind indicator, the lay lines, the sails and the true wind angles.
#pragma once

#include <span>

namespace brisko {

// A view of the wind samples, 1-based like the store (element 0 unused; size = count + 1).
struct WindSamples {
    std::span<const double> sec;    // seconds from RaceStart
    std::span<const double> speed;  // knots
    std::span<const double> dir;    // degrees magnetic
    int count() const;              // usable samples (the shortest of the three, minus 1)
};

class WindNow {
public:
    int WindHint = 1;
    double WindDirNow = 0;    // degrees true, [0, 360)
    double WindSpeedNow = 0;  // knots, one decimal
    double WindDirFile = 0;   // interpolated file direction, magnetic, [0, 360)

    // Updates the wind at raceTime: searches the entry from WindHint in the playing direction
    // (upwards when timeStep > 0). Returns false (and keeps the last values) when no entry
    // pair encloses raceTime.
    bool update(const WindSamples& wind, double raceTime, double timeStep,
                double magneticVariation);
    void reset(double windDir) {
        WindHint = 1;
        WindDirNow = windDir;
        WindSpeedNow = 0;
        WindDirFile = windDir;
    }
};

}  // namespace brisko
