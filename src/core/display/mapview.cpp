// The chart's view state and transform (see mapview.h).
#include "display/mapview.h"

#include <algorithm>
#include <cmath>

#include "track/trackstore.h"
#include "util/angles.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr double kScaleBarPixels = 400;  // the step is chosen for what 400 pixels cover
constexpr double kMetresPerKm = 1000;
}  // namespace

ScaleStep scaleStepFor(double pxPerMetre) {
    ScaleStep s;
    if (!(pxPerMetre > 0) || !std::isfinite(pxPerMetre)) {
        s.metres = 1;
        s.label = "1m";
        return s;
    }
    const double m = kScaleBarPixels / pxPerMetre;
    const double lg = std::log10(m);
    // The exponent is taken downwards so that the mantissa lies in [1, 10) also below 1 m.
    const int e = static_cast<int>(std::floor(lg));
    const double r = std::pow(10.0, lg - e);
    s.digit = r > 5 ? 5 : r > 2 ? 2 : 1;
    // 10^e written out exactly for whole powers, so 200 is 200 and not 199.99999.
    const double pow10 = e >= 0 ? std::pow(10.0, e) : 1.0 / std::pow(10.0, -e);
    s.metres = s.digit * pow10;
    s.pixels = pxPerMetre * s.metres;
    if (s.metres < kMetresPerKm)
        s.label = shortestDecimal(s.metres) + "m";
    else
        s.label = shortestDecimal(s.metres / kMetresPerKm) + "Km";
    return s;
}

void MapView::setupForRace(const TrackStore& tracks, double mapSize, double northUp,
                           double meanWindDir) {
    MapSize = mapSize > 0 ? mapSize : 0;
    HomeLat = tracks.HomeLat;
    HomeLon = tracks.HomeLon;
    CenterLat = HomeLat;
    CenterLon = HomeLon;
    TrackSpan = std::max(tracks.TrackSpan, 0.1);
    if (!std::isfinite(TrackSpan)) TrackSpan = 0.1;
    FitFactor = kFitFactor;
    Zoom = 1;
    ZoomHome = 1;
    if (tracks.MPerMinLat > 0) MPerMinLat = tracks.MPerMinLat;
    if (tracks.MPerMinLon > 0) MPerMinLon = tracks.MPerMinLon;
    LonFactor = tracks.LonFactor > 0 ? tracks.LonFactor : 1;
    GridAnchorLat = CenterLat;
    GridAnchorLon = CenterLon;
    if (northUp > 0)
        setNorthUp();
    else
        setWindUp(meanWindDir);
    recompute();
}

void MapView::fitHome(double south, double north, double west, double east) {
    constexpr double kMinSpan = 0.1;
    const double span = std::max({north - south, (east - west) * LonFactor, kMinSpan});
    const double lat = (south + north) / 2, lon = (west + east) / 2;
    if (!std::isfinite(span) || !std::isfinite(lat) || !std::isfinite(lon)) return;
    CenterLat = lat;
    CenterLon = lon;
    GridAnchorLat = lat;
    GridAnchorLon = lon;
    ZoomHome = std::max(1.0, TrackSpan / span);
    Zoom = ZoomHome;
    recompute();
}

void MapView::recompute() {
    RotRad = ViewRotation * kDegToRad;
    RotCos = std::cos(RotRad);
    RotSin = std::sin(RotRad);
    const double span = TrackSpan > 0 ? TrackSpan : 0.1;
    PxPerMinLat = Zoom * FitFactor * MapSize / span;
    PxPerMinLon = LonFactor * PxPerMinLat;
    PxPerMetre = MPerMinLat > 0 ? PxPerMinLat / MPerMinLat : 0;
    ScreenCx = MapSize / 2;
    ScreenCy = MapSize / 2;
}

bool MapView::applyZoomFloor() {
    if (Zoom < kZoomFloorLimit || !std::isfinite(Zoom)) {
        Zoom = kZoomFloor;
        CenterLat = HomeLat;
        CenterLon = HomeLon;
        return true;
    }
    return false;
}

void MapView::setNorthUp() {
    ViewRotation = 0;
    NorthUp = 1;
}

void MapView::setWindUp(double meanWindDir) {
    ViewRotation = std::isfinite(meanWindDir) ? meanWindDir : 0;
    NorthUp = 0;
}

ScreenPoint MapView::toScreen(double lat, double lon) const {
    const double X = PxPerMinLon * (lon - CenterLon);
    const double Y = PxPerMinLat * (CenterLat - lat);
    return {ScreenCx + X * RotCos + Y * RotSin, ScreenCy + Y * RotCos - X * RotSin};
}

GeoPoint MapView::toLatLon(double x, double y) const {
    const double dx = x - ScreenCx, dy = y - ScreenCy;
    // Rotating back by -RotRad: cos stays, sin changes sign.
    const double ux = dx * RotCos - dy * RotSin;
    const double uy = dy * RotCos + dx * RotSin;
    // A view without scale (no map box yet) maps every pixel to the centre.
    GeoPoint g{CenterLat, CenterLon};
    if (PxPerMinLon != 0) g.lon = CenterLon + ux / PxPerMinLon;
    if (PxPerMinLat != 0) g.lat = CenterLat - uy / PxPerMinLat;
    return g;
}

ScreenPoint MapView::alongScreenAngle(ScreenPoint from, double angle, double len) {
    const double a = angle * kDegToRad;
    return {from.x + len * std::sin(a), from.y - len * std::cos(a)};
}

ScreenPoint MapView::alongBearing(ScreenPoint from, double bearing, double len) const {
    return alongScreenAngle(from, screenAngle(bearing), len);
}

bool MapView::fitToBoats(const std::vector<GeoPoint>& positions) {
    double latMin = 100000, latMax = -100000, lonMin = 1000000, lonMax = -1000000;
    int used = 0;
    for (const GeoPoint& g : positions) {
        if (!std::isfinite(g.lat) || !std::isfinite(g.lon)) continue;
        latMin = std::min(latMin, g.lat);
        latMax = std::max(latMax, g.lat);
        lonMin = std::min(lonMin, g.lon);
        lonMax = std::max(lonMax, g.lon);
        ++used;
    }
    if (used == 0) return false;
    CenterLat = (latMin + latMax) / 2;
    CenterLon = (lonMin + lonMax) / 2;
    double span = std::max(latMax - latMin, LonFactor * (lonMax - lonMin));
    if (span < kMinTraceSpan) span = kMinTraceSpan;
    const double traceZoom = TraceZoom > 0 ? TraceZoom : 1;
    span /= traceZoom;
    Zoom = kTraceFill * TrackSpan / span;
    recompute();
    return true;
}

}  // namespace brisko
