// Whole-number helpers: division that rounds towards minus infinity, as calendar and minute
// arithmetic on times before 1970 (negative seconds) needs.
#pragma once

#include <cstdint>

namespace brisko {

// a / b rounded down (towards minus infinity); b must not be 0.
constexpr std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// The remainder that goes with floorDiv: a - floorDiv(a, b) * b, of the sign of b.
constexpr std::int64_t floorMod(std::int64_t a, std::int64_t b) { return a - floorDiv(a, b) * b; }

}  // namespace brisko
