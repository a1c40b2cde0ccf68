// The chart the map mouse tests start from: zoom 1 on a race area 10 minutes high, 60 pixels a
// minute, the home position (2100', 8300') in the middle of the 800 pixel map box.
#pragma once

#include "display/mapview.h"

inline brisko::MapView homeView() {
    brisko::MapView v;
    v.HomeLat = v.CenterLat = 2100;
    v.HomeLon = v.CenterLon = 8300;
    v.TrackSpan = 10;
    v.recompute();
    return v;
}
