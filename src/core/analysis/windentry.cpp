// Wind data entry on the speed graph; see windentry.h.
#include "analysis/windentry.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kFirstEntered = 2;
}  // namespace

int enterWindPoint(WindStore& store, int entryCount, double sec, double dir, double raceSeconds) {
    const int count = std::max(entryCount + 1, kFirstEntered);
    // The store grows in steps and keeps its contents.
    if (store.capacity < count + kWindCapacityMargin) store.capacity = count + kWindCapacityStep;
    const size_t needed = static_cast<size_t>(std::max(store.capacity, count + 1)) + 1;
    for (std::vector<double>* v : {&store.WindSec, &store.WindSpeed, &store.WindDir})
        if (v->size() < needed) v->resize(needed, 0.0);
    store.WindSec[count] = sec;
    store.WindDir[count] = dir;
    store.WindSpeed[count] = 0;

    // Sorted in by time; a point at the same time as an earlier one goes after it.
    struct Point {
        double sec, dir, speed;
    };
    std::vector<Point> pts;
    for (int i = kFirstEntered; i <= count; ++i)
        pts.push_back({store.WindSec[i], store.WindDir[i], store.WindSpeed[i]});
    std::stable_sort(pts.begin(), pts.end(),
                     [](const Point& a, const Point& b) { return a.sec < b.sec; });
    for (int i = kFirstEntered; i <= count; ++i) {
        const Point& p = pts[static_cast<size_t>(i - kFirstEntered)];
        store.WindSec[i] = p.sec;
        store.WindDir[i] = p.dir;
        store.WindSpeed[i] = p.speed;
    }

    // Sentinels: the first direction from five minutes before the start, the last to the finish.
    store.WindSec[1] = kWindEntryLeadSeconds;
    store.WindDir[1] = store.WindDir[kFirstEntered];
    store.WindSpeed[1] = store.WindSpeed[kFirstEntered];
    store.WindSec[count + 1] = raceSeconds;
    store.WindDir[count + 1] = store.WindDir[count];
    store.WindSpeed[count + 1] = store.WindSpeed[count];
    store.WindCount = count + 1;
    return count;
}

double typedWindDirection(const std::string& text) {
    const double d = numericPrefix(text);
    if (!std::isfinite(d) || d < 0 || d > 360) return 0;
    return d;
}

}  // namespace brisko
