// The wind in force: the wind file's samples made true, or the estimate from the fleet.
#include <cmath>

#include "analysis/coach.h"
#include "util/angles.h"

namespace brisko {

const char* windSourceName(WindSource s) {
    switch (s) {
        case WindSource::File: return "file";
        case WindSource::Estimated: return "estimated";
        case WindSource::RaceFile: break;
    }
    return "race file";
}

double WindInForce::dirAt(double sec) const {
    if (samples.empty()) return normalizeAngle360(meanDir);
    if (sec <= samples.front().sec) return samples.front().dir;
    if (sec >= samples.back().sec) return samples.back().dir;
    size_t i = 1;
    while (samples[i].sec < sec) ++i;
    const WindSample& a = samples[i - 1];
    const WindSample& b = samples[i];
    if (b.sec <= a.sec) return b.dir;
    const double f = (sec - a.sec) / (b.sec - a.sec);
    return normalizeAngle360(a.dir + f * reduceAngle180(b.dir - a.dir));
}

WindInForce windFromFile(const RaceDefinition& race, const WindStore& wind) {
    WindInForce w;
    w.meanDir = normalizeAngle360(race.MeanWindDir);
    for (int i = 1; i <= wind.WindCount; ++i)
        w.samples.push_back({wind.WindSec[i], normalizeAngle360(wind.WindDir[i] + race.MagneticVariation)});
    w.source = w.samples.empty() ? WindSource::RaceFile : WindSource::File;
    return w;
}

WindInForce windInForce(const RaceDefinition& race, const TrackStore&, const WindStore& wind) {
    return windFromFile(race, wind);  // placeholder until the estimate lands
}

}  // namespace brisko
