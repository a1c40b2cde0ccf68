// What the map mouse keeps between events on the race screen: the set-up modes, the line being
// set, the measuring origin, the rubber line and a drag of the map in progress.
#pragma once

#include "display/mapview.h"

namespace brisko {

enum class LineStage { Off, FirstEnd, SecondEnd };  // LineMode 0, 1 and 1.1

struct MapMouseState {
    bool MarkMode = false;
    LineStage LineMode = LineStage::Off;
    bool CourseMode = false;
    GeoPoint LineStart;  // first end of the line being set
    double LineStartX = 0, LineStartY = 0;

    bool RangeBearingOn = false;
    GeoPoint RBOrigin;
    double RBOriginX = 0, RBOriginY = 0;  // both 0: no origin yet
    bool hasOrigin() const { return RBOriginX > 0 && RBOriginY > 0; }

    // The rubber line: measuring line or the line being set, from its start to the cursor.
    bool RubberLineShown = false;
    double RubberX1 = 0, RubberY1 = 0, RubberX2 = 0, RubberY2 = 0;

    // A left press that may become a drag of the map: a click until it moves a few pixels.
    bool pressPending = false;
    bool dragging = false;
    double pressX = 0, pressY = 0, lastX = 0, lastY = 0;
    int wheelRest = 0;  // wheel angle not yet a whole notch

    bool anySetupMode() const { return MarkMode || LineMode != LineStage::Off || CourseMode; }
};

}  // namespace brisko
