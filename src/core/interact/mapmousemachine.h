// The map mouse of the race screen as a state machine. The window hands it what the mouse does
// over the map box (presses, moves, releases, wheel turns), the overview's presses and the set-up
// buttons; it keeps the set-up mode, the line being set, the measuring origin, the rubber line
// and a drag in progress, and answers with the actions the window carries out: moving and
// zooming the chart, the rubber line, the box beside the cursor, and the marks, lines and course
// entries to write to the race.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "display/mapview.h"
#include "interact/mapmouse.h"
#include "race/racedefinition.h"

namespace brisko {

constexpr double kDragSlop = 4;   // pixels a left press may move and still be a click
constexpr int kWheelNotch = 120;  // wheel angle of one notch, in eighths of a degree

// The button of a press or release; any button besides left and right counts as the middle one.
enum class MouseButton { Left, Right, Middle };

// The buttons held during a move and the keys held at a press. Shift also counts when it is the
// key last pressed on the window and still down.
struct MouseButtons {
    bool left = false, right = false, middle = false;
};
struct KeyModifiers {
    bool shift = false, control = false, alt = false;
};

// The line set on the chart: none, waiting for its first end, waiting for its second end.
enum class LineStage { Off, FirstEnd, SecondEnd };

// What the map mouse keeps between events.
struct MapMouseState {
    // The set-up modes: at most one is on.
    bool MarkMode = false;
    LineStage LineMode = LineStage::Off;
    bool CourseMode = false;
    GeoPoint LineStart;       // first end of the line being set
    ScreenPoint LineStartAt;  // and where it was clicked

    bool RangeBearingOn = false;
    GeoPoint RBOrigin;
    ScreenPoint RBOriginAt;  // on the map box's left or top edge (or 0, 0): no origin yet
    bool hasOrigin() const { return RBOriginAt.x > 0 && RBOriginAt.y > 0; }

    // The rubber line: the measuring line or the line being set, from its start to the cursor.
    bool RubberLineShown = false;
    ScreenPoint RubberFrom, RubberTo;

    // A left press that may become a drag of the map: a click until it moves a few pixels.
    bool pressPending = false;
    bool dragging = false;
    ScreenPoint pressAt, lastAt;
    int wheelRest = 0;  // wheel angle not yet a whole notch

    bool anySetupMode() const { return MarkMode || LineMode != LineStage::Off || CourseMode; }
};

// What the mouse works on: the map's view, the race shown and the switches that decide whether
// clicks on the map do anything.
struct MapMouseScene {
    const MapView& view;
    const RaceDefinition* race = nullptr;  // null: no race shown, the mouse does nothing
    bool mapShown = true;                  // the map view mode, not the graph or the table
    bool autoTrace = false;                // the chart follows the boats by itself
    bool hintsOn = true;                   // the HINT box ticked
    bool browserMode = false;              // the race file is only read
};

// The boxes shown beside the cursor. The window words and sizes them; the prompts of the set-up
// modes exist in Japanese only.
enum class MapBox {
    PickLabel,        // course mode: the mark or line under the cursor ("MK3", "LINE1")
    RangeBearing,     // measuring: bearings and distance from the origin
    Boat,             // over a boat symbol: its name and speed
    Manoeuvre,        // over a tack, gybe or penalty symbol: its kind and loss
    MapHelp,          // what the buttons do on the map
    MarkPrompt,       // click to set the mark
    FirstEndPrompt,   // click the line's first end
    SecondEndPrompt,  // then its second end
};

// The actions the map mouse asks of the window, in the order they are to be carried out.
namespace mapmouse {
// The chart at zoom `zoom` (ZoomHome and Zoom), centred on `centre`, drawn afresh.
struct ZoomTo {
    double zoom = 1;
    GeoPoint centre;
};
// A drag moved the chart by (dx, dy) pixels: what was under the cursor follows it. Drawn afresh.
struct PanBy {
    double dx = 0, dy = 0;
};
// The window title shows the position under the cursor.
struct ShowPosition {
    GeoPoint at;
};
// The box `box` beside the cursor at (x, y) of the map box.
struct ShowBox {
    MapBox box = MapBox::MapHelp;
    int x = 0, y = 0;
    std::string text;            // PickLabel, RangeBearing, Manoeuvre
    int boat = 0;                // Boat
    bool wholeAreaLine = false;  // MapHelp: also how to show the whole area (zoomed in)
};
struct HideBox {};
// The rubber line from `from` to `to` (pixels), or none.
struct ShowRubberLine {
    ScreenPoint from, to;
};
struct HideRubberLine {};
// The set-up modes changed: the buttons and the course order panel follow them.
struct ModesChanged {};
// Measuring ended from the map: the range and bearing box is unticked.
struct EndMeasuring {};
// Changes to the race, written at once.
struct AddMark {
    GeoPoint at;
};
struct AddLine {
    GeoPoint end1, end2;
};
struct DeleteMark {
    int number = 0;
};
struct DeleteLine {
    int number = 0;
};
struct AddCourseEntry {
    MapPick pick;
};
// The overview's right click: the race's wind direction (degrees), shown up.
struct SetWindDirection {
    int degrees = 0;
};
}  // namespace mapmouse

using MapAction =
    std::variant<mapmouse::ZoomTo, mapmouse::PanBy, mapmouse::ShowPosition, mapmouse::ShowBox,
                 mapmouse::HideBox, mapmouse::ShowRubberLine, mapmouse::HideRubberLine,
                 mapmouse::ModesChanged, mapmouse::EndMeasuring, mapmouse::AddMark,
                 mapmouse::AddLine, mapmouse::DeleteMark, mapmouse::DeleteLine,
                 mapmouse::AddCourseEntry, mapmouse::SetWindDirection>;
using MapActions = std::vector<MapAction>;

class MapMouse {
public:
    const MapMouseState& state() const { return s_; }

    // On the map box, at pixel `at`. A left press is a zoom click only when it is let go where
    // it was; moved further it drags the chart. `boatUnder` is the shown boat whose symbol is
    // under the cursor, 0 for none; `manoeuvreUnder` the hint of the manoeuvre symbol under it,
    // empty for none (a boat's symbol lies over it).
    MapActions press(MouseButton button, KeyModifiers mods, ScreenPoint at,
                     const MapMouseScene& scene);
    MapActions move(MouseButtons held, ScreenPoint at, int boatUnder, const MapMouseScene& scene,
                    const std::string& manoeuvreUnder = {});
    MapActions release(MouseButton button, const MapMouseScene& scene);
    MapActions wheel(ScreenPoint at, int angle, const MapMouseScene& scene);

    // On the overview, at pixel `at` of the overview's view.
    MapActions overviewPress(MouseButton button, ScreenPoint at, const MapView& overview,
                             const MapMouseScene& scene);

    // The set-up buttons: each turns its mode on, and the others off, or turns it off again.
    MapActions toggleMarkMode();
    MapActions toggleLineMode();
    MapActions toggleCourseMode();
    // The range and bearing box ticked or unticked. Measuring turns the set-up modes off.
    MapActions setMeasuring(bool on);
    // A race shown afresh: no mode, no measuring, no drag.
    MapActions reset();

private:
    void modesChanged(MapActions& out) const;
    void hideRubberLine(MapActions& out);

    MapMouseState s_;
};

}  // namespace brisko
