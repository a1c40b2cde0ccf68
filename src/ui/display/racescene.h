// Everything the race screen's drawing needs, gathered in one place: the window fills it once per
// race (and refreshes the pointers on a race switch) and hands it to every renderer.
#pragma once

#include <algorithm>
#include <functional>
#include <span>
#include <string>

#include "app/appsettings.h"
#include "display/displayoptions.h"
#include "display/framestate.h"
#include "display/mapview.h"
#include "display/windnow.h"
#include "race/openrace.h"
#include "race/racedefinition.h"
#include "track/coastline.h"
#include "track/trackstore.h"

namespace brisko {

// The coastline points (1-based, element 0 unused); a latitude not above 0 starts a polyline.
struct CoastPoints {
    std::span<const double> lat;
    std::span<const double> lon;
    int count = 0;  // CoastCount
};

struct RaceScene {
    // Race data, owned by the window (read only here).
    const RaceDefinition* race = nullptr;
    const AppSettings* settings = nullptr;
    const TrackStore* tracks = nullptr;
    CoastPoints coast;
    WindSamples wind;
    bool windShown = false;  // the race has a wind data file

    // Rounding results: RoundTime(course entry, boat) and LeadTime(course entry), seconds from
    // the start; 0 when not rounded. Empty functions read as "never rounded".
    std::function<double(int, int)> roundTime;
    std::function<double(int)> leadTime;
    // Called when the background finds the coastline empty (loads it and refreshes `coast`).
    std::function<void()> loadCoastline;

    // View and replay state, owned by the window, changed by the renderers where stated.
    MapView* view = nullptr;
    DisplayOptions* options = nullptr;
    FrameState* frame = nullptr;
    WindNow* windNow = nullptr;

    // Rounding timer from the playback clock: entry rounded last by the leader and its text.
    int LastRoundedIndex = 0;
    std::string LastRoundedText;

    // Speed bar scale: pixels per knot, 70 / (1.6 x reference speed).
    double SpeedBarScale = 10;

    // Points the scene at an opened race (race data, coastline, rounding results). The view,
    // options, frame and wind state pointers are left to the caller.
    void attach(const RaceDefinition& def, const AppSettings& app, const RaceData& data,
                const CoastLine& coastLine);
    // Refreshes the coastline view after the coastline was (re)loaded.
    void attachCoast(const CoastLine& coastLine);
    static WindSamples windSamplesOf(const WindStore& store);

    bool ready() const { return race && tracks && view && options && frame; }
    // The wind in force: from the wind samples while the race has a wind data file, else the
    // race definition's (the mean wind, or what was typed or entered by hand).
    double windDirNow() const {
        if (windShown && windNow) return windNow->WindDirNow;
        if (race) return race->WindDirNow;
        return windNow ? windNow->WindDirNow : 0;
    }
    // The finish inputs of the frame state from the rounding results.
    FinishInputs finishInputs() const;
};

}  // namespace brisko
