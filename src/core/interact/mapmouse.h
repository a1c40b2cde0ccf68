// The arithmetic of the map mouse: zoom steps with their snap and floor, moving the view, the
// position read-out, range and bearing, the pick rule for marks and line ends, the overview's
// wind click and the course order panel's sizes. The map mouse (mapmousemachine.h) and the
// windows call these; tests reach them directly.
#pragma once

#include <string>

#include "display/mapview.h"
#include "race/racedefinition.h"

namespace brisko {

constexpr double kZoomStep = 1.4;  // per click or wheel notch
constexpr double kSmallestMouseZoom = 0.27;
constexpr double kZoomSnapLow = 0.9;  // a new ZoomHome in (0.9, 1.1] becomes exactly 1
constexpr double kZoomSnapHigh = 1.1;
constexpr double kFixedMagneticCorrection = 7;  // degrees added when the race gives no variation
constexpr double kPickRadiusAtZoom1 = 0.1;      // minutes of latitude, divided by the zoom

// One mouse zoom step on the view: ZoomHome times or divided by 1.4, never below 0.27. When it
// changed: inside the snap window it becomes 1 centred on the race area, otherwise the view is
// centred on `centre`. Zoom follows ZoomHome. False when nothing changed (at the floor).
bool zoomStep(MapView& view, bool zoomIn, GeoPoint centre);

// The same step around a cursor: the place under the cursor stays under it (the snap still
// centres the whole race area). False when nothing changed.
bool zoomAround(MapView& view, bool zoomIn, GeoPoint underCursor);

// Shift + left: the clicked place becomes the centre, at the chosen zoom.
void moveCentreTo(MapView& view, GeoPoint p);
// The chart at ZoomHome `zoomHome`, centred on `centre`; Zoom follows ZoomHome.
void zoomTo(MapView& view, double zoomHome, GeoPoint centre);
// Shift + right: the whole race area at zoom 1.
void showWholeArea(MapView& view);
// A drag of the map by (dx, dy) pixels: what was under the press is under the cursor again.
void panBy(MapView& view, double dx, double dy);

// "N 35:12.345'" / "S 35:30'": hemisphere, whole degrees, ":", minutes cut to 0.001, "'".
std::string latitudeText(double latMinutes);
std::string longitudeText(double lonMinutes);
// The window title with the position: title, 20 blanks, latitude, "/", longitude.
std::string positionTitle(const std::string& title, GeoPoint p);

// Degrees added to a true bearing to give the magnetic one: minus the race's variation (west
// negative) when the race gives one, else the fixed +7.
double magneticCorrection(double magneticVariation);

struct RangeBearing {
    int metres = 0;
    int trueBearing = 0;      // 0..359
    int magneticBearing = 0;  // 0..359
    std::string text;         // " 45度／52mag   1234m"
};
RangeBearing rangeAndBearing(GeoPoint origin, GeoPoint p, double lonFactor, double mPerMinLat,
                             double magneticVariation);

// What a click picks: the nearest mark or line end within 0.1 / Zoom minutes.
struct MapPick {
    enum class Kind { None, Mark, Line } kind = Kind::None;
    int number = 0;
    bool any() const { return kind != Kind::None; }
};
// Marks 1..MarkCount first, then lines end 1 before end 2; a later one wins only when strictly
// nearer, so a mark wins a tie with a line end.
MapPick pickAt(const RaceDefinition& race, GeoPoint p, double lonFactor, double zoom);
// "MK3" or "L1": the course entry of a pick; empty for none.
std::string courseEntryFor(const MapPick& pick);
// "MK3" or "LINE1": the label shown over the cursor in course mode.
std::string pickLabel(const MapPick& pick);

// The overview's right click: the screen bearing (0..359.99) of a click dx right of and dn
// above the overview's centre, and the wind direction that makes it point up.
double overviewScreenBearing(double dx, double dn);
int windDirectionFromOverview(double viewRotation, double screenBearing);

// The course order panel: h, the panel's height (h + 55), the list's height and a list line.
int coursePanelH(int courseCount);
inline int coursePanelHeight(int courseCount) { return coursePanelH(courseCount) + 55; }
inline int courseListHeight(int courseCount) { return 12 * courseCount + 10; }
std::string courseListLine(int i, const std::string& entry);  // " 1  MK1"

// The left edge of a hint or prompt box beside the cursor at x in the map box: ending 10 pixels
// left of it, or starting 10 pixels right of it when that would leave the map box.
int boxLeftBesideCursor(int mapLeft, int x, int boxWidth);

}  // namespace brisko
