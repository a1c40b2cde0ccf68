// Whole-number helpers: floor division and its remainder for every sign, against a plain
// floating-point floor on a grid of values, and at the ends of the 64-bit range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/intmath.h"

using namespace brisko;

TEST(IntMath, FloorDivisionForEverySign) {
    EXPECT_EQ(floorDiv(7, 2), 3);
    EXPECT_EQ(floorDiv(-7, 2), -4);
    EXPECT_EQ(floorDiv(7, -2), -4);
    EXPECT_EQ(floorDiv(-7, -2), 3);
    EXPECT_EQ(floorDiv(-60, 60), -1);  // exact: no step down
    EXPECT_EQ(floorDiv(-1, 86400), -1);
    EXPECT_EQ(floorMod(-1, 86400), 86399);
    EXPECT_EQ(floorMod(7, -2), -1);
    for (std::int64_t a = -200; a <= 200; ++a)
        for (std::int64_t b : {-7, -3, -1, 1, 2, 60}) {
            ASSERT_EQ(floorDiv(a, b), static_cast<std::int64_t>(std::floor(double(a) / double(b))))
                << a << " / " << b;
            ASSERT_EQ(floorDiv(a, b) * b + floorMod(a, b), a);
        }
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(floorDiv(kMin, 2), kMin / 2);
    EXPECT_EQ(floorDiv(kMin + 1, 2), kMin / 2);
    static_assert(floorDiv(-61, 60) == -2);
}
