// Pieces of coastline tile text for the tile reader's tests: a point slot and the line that
// opens a polyline.
#pragma once

#include <cstdio>
#include <string>

namespace brisko::test {

// One point: x and y in five columns each.
inline std::string slot(int x, int y) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%5d%5d", x, y);
    return buf;
}

// The line that opens a polyline of `count` points, without its line end.
inline std::string polylineHeader(int count) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%6d", count);
    return "L" + std::string(48, ' ') + buf;
}

}  // namespace brisko::test
