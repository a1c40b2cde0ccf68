// The numeric-prefix rule, shortest decimals, and race date-time arithmetic.
#include <gtest/gtest.h>

#include "util/datetime.h"
#include "util/numbers.h"

using namespace brisko;

TEST(Numbers, NumericPrefixReadsWhatFormsANumber) {
    EXPECT_DOUBLE_EQ(numericPrefix("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(numericPrefix("-7"), -7);
    EXPECT_DOUBLE_EQ(numericPrefix("+3"), 3);
    EXPECT_DOUBLE_EQ(numericPrefix("x"), 0);
    EXPECT_DOUBLE_EQ(numericPrefix(""), 0);
    EXPECT_DOUBLE_EQ(numericPrefix("-"), 0);
    EXPECT_DOUBLE_EQ(numericPrefix(".5"), 0.5);
    EXPECT_DOUBLE_EQ(numericPrefix("1e3x"), 1000);
    EXPECT_DOUBLE_EQ(numericPrefix("2e"), 2);  // an exponent without digits is not read
    EXPECT_GT(numericPrefix(std::string(400, '9')), 1e300);  // huge, not a crash
    // Beyond the range of a double: too large is the largest number, too small is 0.
    EXPECT_EQ(numericPrefix("1e-400"), 0);
    EXPECT_EQ(numericPrefix("-0.0001e-320"), 0);
    EXPECT_LT(numericPrefix("-1e400"), -1e300);
    EXPECT_GT(numericPrefix("123e306"), 1e300);
    EXPECT_EQ(numericPrefix("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(numericPrefix(std::string(400, '9') + "e-99999999999999"), 0);
}

TEST(Numbers, ShortestDecimalRoundTrips) {
    for (double v : {3530.1234, -7.0, 45.0, 0.1, 1.0 / 3, 8366.72, -0.000123, 1e20}) {
        std::string s = shortestDecimal(v);
        EXPECT_EQ(numericPrefix(s), v) << s;
    }
    EXPECT_EQ(shortestDecimal(45), "45");
    EXPECT_EQ(shortestDecimal(3530.1234), "3530.1234");
    EXPECT_EQ(roundToInt(2.5), 3);
    EXPECT_EQ(roundToInt(-2.5), -3);
    EXPECT_EQ(roundToInt(1e300), std::numeric_limits<int>::max());
}

TEST(DateTime, ParsesFormatsAndCrossesDays) {
    auto t = parseDateTime("2005/08/11 10:00:00");
    ASSERT_TRUE(t);
    EXPECT_EQ(formatDateTime(*t - 210), "2005/08/11 09:56:30");
    EXPECT_EQ(formatDateTime(*t + 14 * 3600), "2005/08/12 00:00:00");
    EXPECT_EQ(formatDateTime(civilFromDate(2024, 2, 28, 23, 59, 59) + 1), "2024/02/29 00:00:00");
    EXPECT_EQ(formatDateTime(civilFromDate(1999, 12, 31, 23, 0, 0) + 3600), "2000/01/01 00:00:00");
    EXPECT_EQ(formatDateTime(civilFromDate(1960, 1, 1)), "1960/01/01 00:00:00");
    EXPECT_TRUE(parseDateTime("2005-8-1 9:05"));
    EXPECT_FALSE(parseDateTime("2005/02/30 10:00:00"));
    EXPECT_FALSE(parseDateTime("2005/08/11 24:00:00"));
    EXPECT_FALSE(parseDateTime("yesterday"));
    EXPECT_FALSE(parseDateTime("2005/08/11 10:00:00 extra"));
}
