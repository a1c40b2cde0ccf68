// The map mouse's state machine; see mapmousemachine.h.
#include "interact/mapmousemachine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace brisko {

namespace {

// More wheel notches than this in one turn take any zoom to the floor or past every finite
// value: the notches beyond change nothing.
constexpr long long kMostWheelNotches = 4096;

bool clicksAct(const MapMouseScene& sc) { return sc.race && sc.mapShown && !sc.autoTrace; }

GeoPoint placeAt(const MapView& view, ScreenPoint at) { return view.toLatLon(at.x, at.y); }

mapmouse::ZoomTo zoomOf(const MapView& v) { return {v.ZoomHome, {v.CenterLat, v.CenterLon}}; }

MapPick pickUnder(const MapMouseScene& sc, GeoPoint p) {
    return pickAt(*sc.race, p, sc.view.LonFactor, sc.view.Zoom);
}

mapmouse::ShowBox boxAt(MapBox box, ScreenPoint at) {
    mapmouse::ShowBox b;
    b.box = box;
    b.x = static_cast<int>(at.x);
    b.y = static_cast<int>(at.y);
    return b;
}

}  // namespace

void MapMouse::modesChanged(MapActions& out) const {
    out.push_back(mapmouse::ModesChanged{});
    if (!s_.anySetupMode()) out.push_back(mapmouse::HideBox{});
}

void MapMouse::hideRubberLine(MapActions& out) {
    if (!s_.RubberLineShown) return;
    s_.RubberLineShown = false;
    out.push_back(mapmouse::HideRubberLine{});
}

MapActions MapMouse::press(MouseButton button, KeyModifiers mods, ScreenPoint at,
                           const MapMouseScene& sc) {
    MapActions out;
    if (!sc.race) return out;
    MapMouseState& m = s_;
    const bool left = button == MouseButton::Left;
    if (m.RangeBearingOn) {
        if (left) {
            m.RBOrigin = placeAt(sc.view, at);
            m.RBOriginAt = at;
            return out;
        }
        // Any other button ends the measuring.
        out.push_back(mapmouse::EndMeasuring{});
        const MapActions ended = setMeasuring(false);
        out.insert(out.end(), ended.begin(), ended.end());
        return out;
    }
    if (!clicksAct(sc)) return out;
    const GeoPoint p = placeAt(sc.view, at);
    if (m.CourseMode) {
        const MapPick pick = pickUnder(sc, p);
        if (pick.any()) out.push_back(mapmouse::AddCourseEntry{pick});
        return out;
    }
    if (!left && (m.MarkMode || m.LineMode != LineStage::Off)) {
        // Setting marks or lines, the other buttons delete the one clicked; the mode stays.
        const MapPick pick = pickUnder(sc, p);
        if (pick.kind == MapPick::Kind::Mark)
            out.push_back(mapmouse::DeleteMark{pick.number});
        else if (pick.kind == MapPick::Kind::Line)
            out.push_back(mapmouse::DeleteLine{pick.number});
        return out;
    }
    if (mods.shift) {
        MapView v = sc.view;
        if (left)
            moveCentreTo(v, p);
        else
            showWholeArea(v);
        out.push_back(zoomOf(v));
        return out;
    }
    if (m.MarkMode) {
        m.MarkMode = false;  // one mark a press of the button
        modesChanged(out);
        out.push_back(mapmouse::AddMark{p});
        return out;
    }
    if (m.LineMode == LineStage::FirstEnd) {
        m.LineStart = p;
        m.LineStartAt = at;
        m.LineMode = LineStage::SecondEnd;
        m.RubberLineShown = true;
        m.RubberFrom = m.RubberTo = at;
        out.push_back(mapmouse::ShowRubberLine{at, at});
        return out;
    }
    if (m.LineMode == LineStage::SecondEnd) {
        m.LineMode = LineStage::Off;
        m.LineStartAt = {};
        hideRubberLine(out);
        modesChanged(out);
        out.push_back(mapmouse::AddLine{m.LineStart, p});
        return out;
    }
    if (left) {
        m.pressPending = true;
        m.dragging = false;
        m.pressAt = m.lastAt = at;
        return out;
    }
    MapView v = sc.view;
    if (zoomStep(v, false, p)) out.push_back(zoomOf(v));
    return out;
}

MapActions MapMouse::release(MouseButton button, const MapMouseScene& sc) {
    MapActions out;
    MapMouseState& m = s_;
    if (button != MouseButton::Left || !m.pressPending) return out;
    m.pressPending = false;
    if (!m.dragging && clicksAct(sc)) {
        // Let go where it was pressed: a zoom click on the place pressed.
        MapView v = sc.view;
        if (zoomStep(v, true, placeAt(sc.view, m.pressAt))) out.push_back(zoomOf(v));
    }
    m.dragging = false;
    return out;
}

MapActions MapMouse::wheel(ScreenPoint at, int angle, const MapMouseScene& sc) {
    MapActions out;
    MapMouseState& m = s_;
    if (!clicksAct(sc) || m.RangeBearingOn || m.anySetupMode()) return out;
    // Whole notches zoom, one step each; what is left of a notch waits for the next turn.
    const long long total = static_cast<long long>(m.wheelRest) + angle;
    m.wheelRest = static_cast<int>(total % kWheelNotch);
    const long long notches = std::min(std::llabs(total / kWheelNotch), kMostWheelNotches);
    const GeoPoint under = placeAt(sc.view, at);
    MapView v = sc.view;
    bool changed = false;
    for (long long i = 0; i < notches; ++i) changed |= zoomAround(v, total > 0, under);
    if (changed) out.push_back(zoomOf(v));
    return out;
}

MapActions MapMouse::move(MouseButtons held, ScreenPoint at, int boatUnder, const MapMouseScene& sc,
                          const std::string& manoeuvreUnder) {
    MapActions out;
    if (!sc.race) return out;
    MapMouseState& m = s_;
    if (m.pressPending && held.left) {
        if (!m.dragging && std::hypot(at.x - m.pressAt.x, at.y - m.pressAt.y) > kDragSlop)
            m.dragging = true;
        if (m.dragging) {
            if (clicksAct(sc)) out.push_back(mapmouse::PanBy{at.x - m.lastAt.x, at.y - m.lastAt.y});
            m.lastAt = at;
            return out;
        }
    }
    const GeoPoint p = placeAt(sc.view, at);
    if (!sc.autoTrace) out.push_back(mapmouse::ShowPosition{p});
    if (!m.MarkMode && m.LineMode == LineStage::Off) {
        if (m.CourseMode) {
            const MapPick pick = pickUnder(sc, p);
            if (!pick.any()) {
                out.push_back(mapmouse::HideBox{});
                return out;
            }
            mapmouse::ShowBox b = boxAt(MapBox::PickLabel, at);
            b.text = pickLabel(pick);
            out.push_back(b);
        } else if (m.RangeBearingOn && m.hasOrigin()) {
            m.RubberLineShown = true;
            m.RubberFrom = m.RBOriginAt;
            m.RubberTo = at;
            mapmouse::ShowBox b = boxAt(MapBox::RangeBearing, at);
            b.text = rangeAndBearing(m.RBOrigin, p, sc.view.LonFactor, sc.view.MPerMinLat,
                                     sc.race->MagneticVariation)
                         .text;
            out.push_back(b);
            out.push_back(mapmouse::ShowRubberLine{m.RubberFrom, m.RubberTo});
        } else if (boatUnder > 0) {
            // Over a boat symbol: its name and speed, whatever the HINT box says.
            mapmouse::ShowBox b = boxAt(MapBox::Boat, at);
            b.boat = boatUnder;
            out.push_back(b);
        } else if (!manoeuvreUnder.empty()) {
            // Over a manoeuvre's symbol: what it was and what it cost, whatever the HINT box.
            mapmouse::ShowBox b = boxAt(MapBox::Manoeuvre, at);
            b.text = manoeuvreUnder;
            out.push_back(b);
        } else if (!sc.autoTrace && sc.hintsOn && !m.RangeBearingOn) {
            mapmouse::ShowBox b = boxAt(MapBox::MapHelp, at);
            // Zoomed in, Shift + right shows the whole area again.
            b.wholeAreaLine = sc.view.Zoom > MapView::kZoomFloorLimit;
            out.push_back(b);
        } else {
            out.push_back(mapmouse::HideBox{});
        }
        return out;
    }
    if (m.LineMode == LineStage::SecondEnd) {
        m.RubberLineShown = true;
        m.RubberFrom = m.LineStartAt;
        m.RubberTo = at;
        out.push_back(mapmouse::ShowRubberLine{m.RubberFrom, m.RubberTo});
    } else {
        hideRubberLine(out);
    }
    if (!sc.hintsOn) {
        out.push_back(mapmouse::HideBox{});
        return out;
    }
    const MapBox prompt = m.MarkMode                          ? MapBox::MarkPrompt
                          : m.LineMode == LineStage::FirstEnd ? MapBox::FirstEndPrompt
                                                              : MapBox::SecondEndPrompt;
    out.push_back(boxAt(prompt, at));
    return out;
}

MapActions MapMouse::overviewPress(MouseButton button, ScreenPoint at, const MapView& overview,
                                   const MapMouseScene& sc) {
    MapActions out;
    if (!sc.race) return out;
    if (button == MouseButton::Left) {
        // At the whole-area zoom the map shows all of it already.
        if (sc.autoTrace || !(sc.view.Zoom > MapView::kZoomFloorLimit)) return out;
        MapView v = sc.view;
        moveCentreTo(v, placeAt(overview, at));
        out.push_back(zoomOf(v));
        return out;
    }
    // Wind up, the other buttons set the wind to the direction clicked, which then points up.
    if (!sc.view.windUp() || sc.browserMode) return out;
    const double b = overviewScreenBearing(at.x - overview.ScreenCx, overview.ScreenCy - at.y);
    out.push_back(mapmouse::SetWindDirection{windDirectionFromOverview(sc.view.ViewRotation, b)});
    return out;
}

MapActions MapMouse::toggleMarkMode() {
    MapActions out;
    MapMouseState& m = s_;
    m.MarkMode = !m.MarkMode;
    if (m.MarkMode) {
        m.LineMode = LineStage::Off;
        m.CourseMode = false;
        hideRubberLine(out);
    }
    modesChanged(out);
    return out;
}

MapActions MapMouse::toggleLineMode() {
    MapActions out;
    MapMouseState& m = s_;
    m.LineMode = m.LineMode == LineStage::Off ? LineStage::FirstEnd : LineStage::Off;
    if (m.LineMode != LineStage::Off)
        m.MarkMode = m.CourseMode = false;
    else
        m.LineStartAt = {};
    hideRubberLine(out);
    modesChanged(out);
    return out;
}

MapActions MapMouse::toggleCourseMode() {
    MapActions out;
    MapMouseState& m = s_;
    m.CourseMode = !m.CourseMode;
    if (m.CourseMode) {
        m.MarkMode = false;
        m.LineMode = LineStage::Off;
        hideRubberLine(out);
    }
    modesChanged(out);
    return out;
}

MapActions MapMouse::setMeasuring(bool on) {
    MapActions out;
    MapMouseState& m = s_;
    m.RBOriginAt = {};
    m.RangeBearingOn = on;
    if (on && m.anySetupMode()) {
        m.MarkMode = m.CourseMode = false;
        m.LineMode = LineStage::Off;
        m.LineStartAt = {};
        modesChanged(out);
    }
    hideRubberLine(out);
    out.push_back(mapmouse::HideBox{});
    return out;
}

MapActions MapMouse::reset() {
    MapActions out;
    const bool rubberShown = s_.RubberLineShown;
    s_ = MapMouseState{};
    if (rubberShown) out.push_back(mapmouse::HideRubberLine{});
    out.push_back(mapmouse::ModesChanged{});
    out.push_back(mapmouse::HideBox{});
    return out;
}

}  // namespace brisko
