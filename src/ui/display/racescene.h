// What the race screen's drawing reads, gathered in one place: read-only pointers to the race
// session's data and to the window's view and display options. The renderers take it as const
// and draw onto a QPainter; nothing here is changed by drawing.
#pragma once

#include <algorithm>
#include <span>
#include <string>

#include "app/appsettings.h"
#include "display/displayoptions.h"
#include "display/framestate.h"
#include "display/mapview.h"
#include "display/playbackclock.h"
#include "display/windnow.h"
#include "race/racedefinition.h"
#include "track/coastline.h"
#include "track/rounding.h"
#include "track/trackstore.h"

namespace brisko {

class RaceSession;

// The coastline points (1-based, element 0 unused). A point flagged in `start` starts a
// polyline and has its latitude stored negated; without flags, a latitude not above 0 starts one.
struct CoastPoints {
    std::span<const double> lat;
    std::span<const double> lon;
    int count = 0;                  // CoastCount
    std::span<const char> start{};  // empty, or as long as lat
};

// The box (minutes) around the whole tracks of the boats still racing: those that finished when
// any did, else every boat. everyBoat: no boat was left out.
struct FleetBox {
    double south = 0, north = 0, west = 0, east = 0;
    bool valid = false;
    bool everyBoat = true;
};

struct RaceScene {
    // The race shown (owned by the race session).
    const RaceDefinition* race = nullptr;
    const AppSettings* settings = nullptr;
    const TrackStore* tracks = nullptr;
    const RoundingResults* roundings = nullptr;  // null: nothing rounded
    CoastPoints coast;
    bool windShown = false;  // the race has a wind data file
    const PlaybackClock* clock = nullptr;
    const FrameState* frame = nullptr;
    const WindNow* windNow = nullptr;
    // Speed bar scale: pixels per knot, 70 / (1.6 x reference speed).
    double SpeedBarScale = 10;

    // What the window shows and how (owned by the window).
    const MapView* view = nullptr;
    const DisplayOptions* options = nullptr;

    // Points the scene at a race session; the view and options are left to the caller.
    void attach(const RaceSession& session);
    static CoastPoints coastOf(const CoastLine& coastLine);

    bool ready() const { return race && tracks && view && options && frame && clock; }
    // The wind in force: from the wind samples while the race has a wind data file, else the
    // race definition's (the mean wind, or what was typed or entered by hand).
    double windDirNow() const {
        if (windShown && windNow) return windNow->WindDirNow;
        if (race) return race->WindDirNow;
        return windNow ? windNow->WindDirNow : 0;
    }
    double periodFrom() const { return clock ? clock->PeriodFrom : 0; }
    double periodTo() const { return clock ? clock->PeriodTo : 0; }
    double raceTime() const { return clock ? clock->RaceTime : 0; }
    // The finish inputs of the frame state from the rounding results.
    FinishInputs finishInputs() const;
    // Where the boats still racing sailed; a boat that retired and sailed far away is left out.
    FleetBox racingFleetBox() const;
};

}  // namespace brisko
