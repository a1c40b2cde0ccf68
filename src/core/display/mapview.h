// The chart's view state and its transform between positions (minutes of arc) and pixels of the
// square map box. Used by the background, the frame renderer, the overview and the map mouse.
#pragma once

#include <string>
#include <vector>

namespace brisko {

struct TrackStore;

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

struct GeoPoint {
    double lat = 0;  // minutes of arc, north positive
    double lon = 0;  // minutes of arc, east positive
};

// The scale step shared by the auto-trace grid and the scale bar.
struct ScaleStep {
    double metres = 0;  // d x 10^e
    int digit = 1;      // d: 1, 2 or 5
    double pixels = 0;  // length of one step on screen
    std::string label;  // "200m", "2Km"
};

// Chooses the scale step for a scale of pxPerMetre: the 1-2-5 step closest below the distance
// that 400 pixels cover. A scale of 0 or below gives a 1 m step of 0 pixels.
ScaleStep scaleStepFor(double pxPerMetre);

class MapView {
public:
    static constexpr double kFitFactor = 0.75;
    static constexpr double kZoomFloorLimit = 0.6;  // below this a redraw shows the whole area
    static constexpr double kZoomFloor = 0.5;
    static constexpr double kMinTraceSpan = 0.02;  // minutes: auto trace never zooms closer
    static constexpr double kTraceFill = 0.85;     // share of the fit the boats' box fills

    // Primary values: callers change these and then ask for a redraw.
    double MapSize = 800;  // side of the square map box, pixels
    double CenterLat = 0, CenterLon = 0;
    double HomeLat = 0, HomeLon = 0;
    double TrackSpan = 0.1;  // minutes of latitude, never below 0.1
    double FitFactor = kFitFactor;
    double Zoom = 1;
    double ZoomHome = 1;
    double MPerMinLat = 1852, MPerMinLon = 1852;
    double LonFactor = 1;
    double ViewRotation = 0;  // degrees; 0 north-up, the mean wind in wind-up
    int NorthUp = 1;          // 1 north up, 0 wind up
    double TraceZoom = 1;     // auto-trace zoom slider value / 100 (0.1 .. 1)
    double GridAnchorLat = 0, GridAnchorLon = 0;

    // Derived values, refreshed by recompute().
    double RotRad = 0;
    double PxPerMinLat = 0, PxPerMinLon = 0, PxPerMetre = 0;
    double ScreenCx = 0, ScreenCy = 0;
    double RotCos = 1, RotSin = 0;  // of RotRad, for the transform's inner loops

    // Sets up the view for a freshly loaded race: centre on the race area, zoom 1, rotation from
    // the orientation flag (northUp > 0: north up, else the mean wind up).
    void setupForRace(const TrackStore& tracks, double mapSize, double northUp, double meanWindDir);

    // Moves the home view onto a part of the race area (the boats still racing, minutes): centred
    // on it and zoomed so that it fills what the whole area fills at zoom 1 (ZoomHome, never
    // below 1). The race area itself stays: zooming out below 0.6 still shows all of it.
    void fitHome(double south, double north, double west, double east);

    // Recomputes the derived values from the primary ones (start of every redraw and frame).
    void recompute();
    // The zoom floor: a zoom below 0.6 becomes 0.5, centred on the race area. True if applied.
    bool applyZoomFloor();

    void setNorthUp();
    void setWindUp(double meanWindDir);
    bool windUp() const { return NorthUp == 0; }

    ScreenPoint toScreen(double lat, double lon) const;
    ScreenPoint toScreen(GeoPoint p) const { return toScreen(p.lat, p.lon); }
    // The exact inverse of toScreen.
    GeoPoint toLatLon(double x, double y) const;

    // Screen angle (degrees clockwise from screen-up) of a bearing b: b - ViewRotation.
    double screenAngle(double bearing) const { return bearing - ViewRotation; }
    // The point len pixels from `from` in the screen direction of bearing (degrees true).
    ScreenPoint alongBearing(ScreenPoint from, double bearing, double len) const;
    // The point len pixels from `from` at a screen angle (degrees clockwise from screen-up).
    static ScreenPoint alongScreenAngle(ScreenPoint from, double angle, double len);

    bool insideStrict(ScreenPoint p) const {
        return p.x > 0 && p.x < MapSize && p.y > 0 && p.y < MapSize;
    }

    ScaleStep scaleStep() const { return scaleStepFor(PxPerMetre); }

    // Auto trace: centres and zooms the view on the given boat positions (the shown boats that
    // have a position at the current time), then recomputes. Positions not finite are skipped;
    // with no usable position the view is left alone and false is returned.
    bool fitToBoats(const std::vector<GeoPoint>& positions);
};

}  // namespace brisko
