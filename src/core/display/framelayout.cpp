// The frame as the window shows it (see framelayout.h).
#include "display/framelayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "track/trackstore.h"
#include "util/numbers.h"

namespace brisko {

namespace {

// A speed with two decimals, halves rounded away from zero ("5.125" shows 5.13), as the boat
// panel has always written it.
std::string twoDecimals(double v) {
    // A double ends in an exact half of the second decimal only as an odd number of eighths;
    // there the value times 100 is exact and rounds away from zero.
    const double eighths = v * 8;
    if (std::isfinite(v) && std::fabs(v) < 1e12 && eighths == std::floor(eighths) &&
        std::fmod(std::fabs(eighths), 2) == 1)
        v = std::round(v * 100) / 100;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

bool insideBox(const ScreenPoint& sp, double box) {
    return sp.x >= 0 && sp.x < box && sp.y >= 0 && sp.y <= box;
}

}  // namespace

std::string boatLabelText(const std::string& name, double speed) {
    return name + " (" + shortestDecimal(std::round(speed * 100) / 100) + ")";
}

double FrameLayout::symbolSize(double boatLength, double pxPerMetre, bool enlarge,
                               double minEnlarged, bool& realSize) {
    double s = boatLength * pxPerMetre;
    if (!std::isfinite(s)) s = 0;
    realSize = true;
    if (enlarge && s < minEnlarged) {
        s = minEnlarged;
        realSize = false;
    }
    return std::max(s, kMinSymbol);
}

bool FrameLayout::anyBoatInView(const FrameState& frame, const MapView& view,
                                const DisplayOptions& options) {
    const bool mapMode = options.ViewMode == ViewModeKind::Map;
    for (int k = 1; k <= std::min(frame.boatCount, kMaxBoats); ++k) {
        const BoatFrame& bf = frame.Boats[k];
        if (!bf.visible) continue;
        if (!mapMode || insideBox(view.toScreen(bf.lat, bf.lon), view.MapSize)) return true;
    }
    return false;
}

void FrameLayout::layOut(const FrameState& frame, const TrackStore& tracks,
                         const RaceDefinition& race, double t, double speedBarScale,
                         const MapView& view, const DisplayOptions& opt) {
    ++framesLaidOut;
    raceTime = t;
    clockText = FrameState::clockText(t);
    clockColour = FrameState::clockColour(t);
    countdownVisible = FrameState::countdownVisible(t);
    countdownText = std::to_string(FrameState::countdownValue(t));
    countdownColour = FrameState::countdownColour(t);

    mapMode = opt.ViewMode == ViewModeKind::Map;
    const double s = symbolSize(boatLengthOrDefault(race.BoatLength), view.PxPerMetre, opt.Enlarge,
                                opt.MinEnlargedSize, realSize);
    // Short wakes follow the boats when the whole tracks are not drawn, and always in auto
    // trace; the names only in auto trace (every boat's, or the marked boats').
    const bool wakes = opt.AutoTrace || !opt.WakeOn;
    const bool namesAllowed = mapMode && opt.AutoTrace;
    boatCount = std::min(frame.boatCount, kMaxBoats);
    boats.fill(BoatPlace{});
    bool inView = false;
    for (int k = 1; k <= boatCount; ++k) {
        const BoatFrame& bf = frame.Boats[k];
        if (!bf.visible) continue;
        if (!mapMode) {
            inView = true;
            continue;
        }
        BoatPlace& b = boats[k];
        const ScreenPoint sp = view.toScreen(bf.lat, bf.lon);
        b.drawn = true;
        b.x = sp.x;
        b.y = sp.y;
        b.size = s;
        b.heading = bf.heading;
        b.inView = insideBox(sp, view.MapSize);
        inView = inView || b.inView;
        if (wakes) {
            b.wake[0] = sp;
            b.wakePoints = 1;
            for (int j = bf.segment; j >= 1 && j > bf.segment - BoatPlace::kWakeSamples; --j) {
                b.wake[b.wakePoints++] = view.toScreen(tracks.TrkLat(k, j), tracks.TrkLon(k, j));
                if (std::fabs(t - tracks.TrkSec(k, j)) > FrameState::kWakeMaxAge) break;
            }
        }
        if (namesAllowed && (opt.BoatNames || opt.BoatMarked[k]))
            b.label = boatLabelText(race.Boats[k].BoatName, bf.speed);
    }
    anyInView = inView;

    // The boat panel and the time of day move on only while some boat is in view.
    if (!inView) return;
    timeOfDay = FrameState::timeOfDayText(race.RaceStart, t);
    for (int k = 1; k <= boatCount; ++k) {
        BoatPanelRow& row = panel[k];
        const BoatFrame& bf = frame.Boats[k];
        row.speedChanged = false;
        if (bf.visible && bf.speed != shownSpeed[k] && bf.speed > 0) {
            row.speedChanged = true;
            shownSpeed[k] = bf.speed;
            std::string text = twoDecimals(bf.speed);
            if (text.starts_with("0.")) text.erase(0, 1);  // "##.#0" has no leading zero
            row.speedText = text;
        }
        if (bf.visible) row.twaText = std::to_string(roundToInt(bf.twa));
        // The bar follows the speed last shown, and vanishes when the boat is unticked.
        row.barLength = opt.shown(k) ? speedBarScale * shownSpeed[k] : 0;
        if (!std::isfinite(row.barLength) || row.barLength < 0) row.barLength = 0;
    }
}

void FrameLayout::resetForRace() {
    shownSpeed.fill(0);
    panel.fill(BoatPanelRow{});
    boats.fill(BoatPlace{});
    anyInView = false;
    framesLaidOut = 0;
    endPreview();
}

int FrameLayout::boatAt(double x, double y) const {
    for (int k = kMaxBoats; k >= 1; --k) {
        const BoatPlace& b = boats[k];
        const double half = b.size / 2;
        if (b.size > 0 && std::fabs(x - b.x) <= half && std::fabs(y - b.y) <= half) return k;
    }
    return 0;
}

void FrameLayout::previewAt(const TrackStore& tracks, int boatsToShow, double t) {
    previewing = true;
    previewTime = t;
    preview.clear();
    for (int k = 1; k <= std::min(boatsToShow, tracks.boatCount()); ++k) {
        const int n = tracks.TrkCount(k);
        for (int j = 1; j < n; ++j)
            if (tracks.TrkSec(k, j) <= t && t < tracks.TrkSec(k, j + 1)) {
                preview.push_back({k, {tracks.TrkLat(k, j), tracks.TrkLon(k, j)}});
                break;
            }
    }
}

void FrameLayout::endPreview() {
    previewing = false;
    preview.clear();
}

}  // namespace brisko
