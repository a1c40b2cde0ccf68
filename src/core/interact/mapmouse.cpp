// The map mouse's arithmetic; see mapmouse.h.
#include "interact/mapmouse.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "util/angles.h"
#include "util/numbers.h"

namespace brisko {

namespace {

constexpr int kTitleGap = 20;
constexpr int kBoxGap = 10;

// A whole number as the read-outs write it: a leading blank for a value not negative.
std::string signBlank(long long v) { return (v >= 0 ? " " : "") + std::to_string(v); }

std::string coordinateText(double minutes, const char* positive, const char* negative) {
    const double a = std::fabs(minutes);
    const double degrees = std::floor(a / 60);
    const double rest = std::floor(1000 * (a - 60 * degrees)) / 1000;
    return std::string(minutes > 0 ? positive : negative) +
           std::to_string(static_cast<long long>(degrees)) + ":" + shortestDecimal(rest) + "'";
}

// A ZoomHome that moved: into the snap window it becomes exactly 1 on the race area.
bool snapsHome(MapView& view) {
    if (view.ZoomHome > kZoomSnapLow && view.ZoomHome <= kZoomSnapHigh) {
        view.ZoomHome = 1;
        view.CenterLat = view.HomeLat;
        view.CenterLon = view.HomeLon;
        return true;
    }
    return false;
}

// The next ZoomHome of one step, with the floor; NaN when it stays.
double steppedZoom(const MapView& view, bool zoomIn) {
    double z = zoomIn ? view.ZoomHome * kZoomStep : view.ZoomHome / kZoomStep;
    if (z < kSmallestMouseZoom) z = kSmallestMouseZoom;
    if (z == view.ZoomHome || !std::isfinite(z)) return std::numeric_limits<double>::quiet_NaN();
    return z;
}

}  // namespace

bool zoomStep(MapView& view, bool zoomIn, GeoPoint centre) {
    const double z = steppedZoom(view, zoomIn);
    if (std::isnan(z)) return false;
    view.ZoomHome = z;
    if (!snapsHome(view)) {
        view.CenterLat = centre.lat;
        view.CenterLon = centre.lon;
    }
    view.Zoom = view.ZoomHome;
    return true;
}

bool zoomAround(MapView& view, bool zoomIn, GeoPoint underCursor) {
    const double z = steppedZoom(view, zoomIn);
    if (std::isnan(z)) return false;
    // The drawing shows what it shows at Zoom (0.5 on the race area below 0.6): the place under
    // the cursor is kept relative to that.
    MapView shown = view;
    shown.applyZoomFloor();
    const double ratio = shown.Zoom / z;
    view.ZoomHome = z;
    if (!snapsHome(view)) {
        view.CenterLat = underCursor.lat + (shown.CenterLat - underCursor.lat) * ratio;
        view.CenterLon = underCursor.lon + (shown.CenterLon - underCursor.lon) * ratio;
    }
    view.Zoom = view.ZoomHome;
    return true;
}

void moveCentreTo(MapView& view, GeoPoint p) {
    view.CenterLat = p.lat;
    view.CenterLon = p.lon;
    view.Zoom = view.ZoomHome;
}

void zoomTo(MapView& view, double zoomHome, GeoPoint centre) {
    view.ZoomHome = zoomHome;
    moveCentreTo(view, centre);
}

void showWholeArea(MapView& view) {
    view.ZoomHome = 1;
    view.CenterLat = view.HomeLat;
    view.CenterLon = view.HomeLon;
    view.Zoom = view.ZoomHome;
}

void panBy(MapView& view, double dx, double dy) {
    const GeoPoint c = view.toLatLon(view.ScreenCx - dx, view.ScreenCy - dy);
    moveCentreTo(view, c);
}

std::string latitudeText(double latMinutes) { return coordinateText(latMinutes, "N ", "S "); }
std::string longitudeText(double lonMinutes) { return coordinateText(lonMinutes, "E ", "W "); }

std::string positionTitle(const std::string& title, GeoPoint p) {
    return title + std::string(kTitleGap, ' ') + latitudeText(p.lat) + "/" + longitudeText(p.lon);
}

double magneticCorrection(double magneticVariation) {
    if (magneticVariation != 0 && std::isfinite(magneticVariation)) return -magneticVariation;
    return kFixedMagneticCorrection;
}

RangeBearing rangeAndBearing(GeoPoint origin, GeoPoint p, double lonFactor, double mPerMinLat,
                             double magneticVariation) {
    RangeBearing rb;
    const double dLat = p.lat - origin.lat;
    const double dX = lonFactor * (p.lon - origin.lon);
    rb.metres = static_cast<int>(std::floor(mPerMinLat * std::hypot(dLat, dX) + 0.5));
    double b;
    if (dLat == 0) {
        b = dX >= 0 ? 90 : 270;
    } else {
        b = std::atan(dX / dLat) / kDegToRad;
        if (dLat < 0) b += 180;  // a bearing below 0 is brought round with the whole degrees
        b = std::floor(b + 0.5);
    }
    int t = static_cast<int>(b);
    while (t < 0) t += 360;
    while (t >= 360) t -= 360;
    rb.trueBearing = t;
    int m = static_cast<int>(std::floor(t + magneticCorrection(magneticVariation) + 0.5));
    while (m < 0) m += 360;
    while (m >= 360) m -= 360;
    rb.magneticBearing = m;
    rb.text = signBlank(rb.trueBearing) + "度／" + std::to_string(rb.magneticBearing) + "mag  " +
              signBlank(rb.metres) + "m";
    return rb;
}

MapPick pickAt(const RaceDefinition& race, GeoPoint p, double lonFactor, double zoom) {
    MapPick best;
    if (!(zoom > 0)) return best;
    double bestD = kPickRadiusAtZoom1 / zoom;  // a candidate counts only when nearer than this
    auto consider = [&](double lat, double lon, MapPick::Kind kind, int n) {
        const double d = std::hypot(lat - p.lat, lonFactor * (lon - p.lon));
        if (d < bestD) {
            bestD = d;
            best = {kind, n};
        }
    };
    for (int m = 1; m <= std::min(race.MarkCount, kMaxMarks); ++m) {
        const MarkEntry& e = race.Marks[m];
        if (e.PositionKnown) consider(e.MarkLat, e.MarkLon, MapPick::Kind::Mark, m);
    }
    for (int n = 1; n <= std::min(race.LineCount, kMaxLines); ++n) {
        const LineEntry& e = race.Lines[n];
        if (!e.PositionKnown) continue;
        consider(e.LineLat1, e.LineLon1, MapPick::Kind::Line, n);
        consider(e.LineLat2, e.LineLon2, MapPick::Kind::Line, n);
    }
    return best;
}

std::string courseEntryFor(const MapPick& pick) {
    switch (pick.kind) {
        case MapPick::Kind::Mark:
            return "MK" + std::to_string(pick.number);
        case MapPick::Kind::Line:
            return "L" + std::to_string(pick.number);
        default:
            return {};
    }
}

std::string pickLabel(const MapPick& pick) {
    if (pick.kind == MapPick::Kind::Line) return "LINE" + std::to_string(pick.number);
    return courseEntryFor(pick);
}

double overviewScreenBearing(double dx, double dn) { return bearingDegrees(dn, dx); }

int windDirectionFromOverview(double viewRotation, double screenBearing) {
    int w = static_cast<int>(std::floor(viewRotation + screenBearing));
    if (w > 360) w -= 360;
    return w;
}

int coursePanelH(int courseCount) {
    const int h = 12 * courseCount;
    return h < 10 ? 15 : h;  // an empty course still leaves room for the button
}

std::string courseListLine(int i, const std::string& entry) { return signBlank(i) + "  " + entry; }

int boxLeftBesideCursor(int mapLeft, int x, int boxWidth) {
    const int left = mapLeft + x - boxWidth - kBoxGap;
    return left < mapLeft ? mapLeft + x + kBoxGap : left;
}

}  // namespace brisko
