// The wind in force at the shown race time (see windnow.h).
#include "display/windnow.h"

#include <algorithm>
#include <cmath>

#include "util/angles.h"

namespace brisko {

int WindSamples::count() const {
    const size_t n = std::min({sec.size(), speed.size(), dir.size()});
    return n > 1 ? static_cast<int>(n) - 1 : 0;
}

bool WindNow::update(const WindSamples& wind, double raceTime, double timeStep,
                     double magneticVariation) {
    const int n = wind.count();
    if (n < 1 || !std::isfinite(raceTime)) return false;
    int j = 0;
    double f = 0;
    if (n == 1 || raceTime < wind.sec[1]) {
        j = 1;  // before the first sample (or only one): the first sample holds
    } else if (raceTime >= wind.sec[n]) {
        j = n;  // after the last sample it holds on
    } else {
        auto encloses = [&](int i) {
            return wind.sec[i] <= raceTime && raceTime < wind.sec[i + 1];
        };
        const int hint = std::clamp(WindHint, 1, n - 1);
        if (timeStep > 0) {
            for (int i = hint; i <= n - 1 && !j; ++i)
                if (encloses(i)) j = i;
        } else {
            for (int i = std::min(hint + 1, n - 1); i >= 1 && !j; --i)
                if (encloses(i)) j = i;
        }
        if (!j)  // the time moved against the search: look through all entries
            for (int i = 1; i <= n - 1 && !j; ++i)
                if (encloses(i)) j = i;
        if (!j) return false;  // samples out of time order around raceTime
        f = (raceTime - wind.sec[j]) / (wind.sec[j + 1] - wind.sec[j]);
    }
    const int j1 = j < n ? j + 1 : j;
    const double delta = reduceAngle180(wind.dir[j1] - wind.dir[j]);
    WindDirFile = normalizeAngle360(wind.dir[j] + f * delta);
    WindDirNow =
        normalizeAngle360(WindDirFile + (std::isfinite(magneticVariation) ? magneticVariation : 0));
    const double speed = wind.speed[j] + f * (wind.speed[j1] - wind.speed[j]);
    WindSpeedNow = std::isfinite(speed) ? std::round(speed * 10) / 10 : 0;
    WindHint = std::min(j, std::max(1, n - 1));
    return true;
}

}  // namespace brisko
