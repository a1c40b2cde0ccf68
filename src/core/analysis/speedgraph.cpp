// The speed graph's, wind strip's and time bar strip's arithmetic; see speedgraph.h.
#include "analysis/speedgraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "util/angles.h"

namespace brisko {

namespace {
constexpr double kFullCircle = 360;
constexpr double kQuarter = 90;
constexpr double kStripMinSpan = 30;
constexpr double kStripUsed = 0.8;  // share of the strip's width the span fills
constexpr double kStripSide = 5, kStripTop = 15;
}  // namespace

double SpeedGraphScale::xForDirection(double d) const {
    if (!std::isfinite(d)) d = 0;
    double x = kDirPanelLeft + std::fmod(d - DirPanelStart, kFullCircle);
    while (x < kDirPanelLeft) x += kFullCircle;
    while (x > kDirPanelRight) x -= kFullCircle;
    return x;
}

double SpeedGraphScale::directionAtX(double x) const {
    double d = (x - kDirPanelLeft) + DirPanelStart;
    if (d < 0) d += kFullCircle;
    if (d > kFullCircle) d -= kFullCircle;
    return d;
}

double SpeedGraphScale::timeAtY(double y) const {
    if (!(PxPerSecond > 0)) return 0;
    return std::floor(RaceSeconds - (y - kGraphMargin) / PxPerSecond + 0.5);
}

SpeedGraphScale speedGraphScale(double height, double raceSeconds, double raceSecondsPlus,
                                double meanWindDir) {
    SpeedGraphScale s;
    s.height = height;
    s.RaceSeconds = raceSeconds;
    s.RaceSecondsPlus = raceSecondsPlus;
    const double usable = height - 2 * kGraphMargin;
    if (usable > 0 && raceSecondsPlus > 0 && std::isfinite(raceSecondsPlus))
        s.PxPerSecond = usable / raceSecondsPlus;
    s.DirPanelStart = normalizeAngle360(meanWindDir - kQuarter);
    return s;
}

std::string graphTimeLabel(int m) {
    const int hours = m / 12;
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", hours, 5 * m - 60 * hours);
    return text;
}

Rgb graphTimeLineColour(int m) {
    if (m % 12 == 0) return {255, 0, 0};
    if (m % 6 == 0) return {255, 128, 0};
    if (m % 2 == 0) return {255, 192, 192};
    return {192, 192, 192};
}

double WindStripScale::xForDirection(double d) const {
    return width / 2 + xScale * reduceAngle180(d - centre);
}

WindStripScale windStripScale(const WindStore& wind, double width, double height,
                              double raceSecondsPlus) {
    WindStripScale s;
    s.width = width;
    const int n = std::min<int>(wind.WindCount, static_cast<int>(wind.WindDir.size()) - 1);
    if (n >= 1) {
        // Deviations from the first sample: the extremes either way give the span.
        const double c = wind.WindDir[1];
        double lo = 0, hi = 0;
        for (int i = 1; i <= n; ++i) {
            const double dev = reduceAngle180(wind.WindDir[i] - c);
            lo = std::min(lo, dev);
            hi = std::max(hi, dev);
        }
        const double lowest = normalizeAngle360(c + lo);
        s.span = hi - lo;
        s.centre = normalizeAngle360(lowest + s.span / 2);
    }
    if (s.span < kStripMinSpan) s.span = kStripMinSpan;
    s.xScale = kStripUsed * (width - 2 * kStripSide) / s.span;
    if (raceSecondsPlus > 0) s.yScale = (height - kStripTop - kStripSide) / raceSecondsPlus;
    return s;
}

namespace {
bool graphTime(double t, const SpeedGraphScale& s) {
    return std::isfinite(t) && t >= -kPreStartShown && t < s.RaceSeconds;
}
}  // namespace

std::vector<ManoeuvreTick> manoeuvreTicks(const CoachAnalysis& a, const DisplayOptions& options,
                                          int boats, const SpeedGraphScale& s) {
    std::vector<ManoeuvreTick> ticks;
    if (!(s.PxPerSecond > 0)) return ticks;
    const int n = std::min({boats, static_cast<int>(a.manoeuvres.size()) - 1, kMaxBoats});
    for (int b = 1; b <= n; ++b) {
        if (!options.shown(b)) continue;
        for (const Manoeuvre& m : a.manoeuvres[b])
            if (graphTime(m.time, s)) ticks.push_back({s.yForTime(m.time), b, m.kind});
    }
    return ticks;
}

std::vector<std::vector<GraphPoint>> windDirectionRuns(const WindInForce& wind,
                                                       double magneticVariation,
                                                       const SpeedGraphScale& s) {
    std::vector<std::vector<GraphPoint>> runs;
    if (!(s.PxPerSecond > 0)) return runs;
    std::vector<GraphPoint> run;
    for (const WindSample& w : wind.samples) {
        if (!graphTime(w.sec, s) || !std::isfinite(w.dir)) continue;
        const GraphPoint p{s.xForDirection(w.dir - magneticVariation), s.yForTime(w.sec)};
        // A wind veering past the panel's edge comes back in at the other one.
        if (!run.empty() && std::fabs(p.x - run.back().x) > kFullCircle / 2) {
            runs.push_back(std::move(run));
            run.clear();
        }
        run.push_back(p);
    }
    if (!run.empty()) runs.push_back(std::move(run));
    return runs;
}

bool sailingDownwind(double meanWindDir, double course) {
    return std::abs(reduceAngle180(meanWindDir - course)) > kQuarter;
}

}  // namespace brisko
