// Date arithmetic on race date-times: adding seconds across days, months, leap days and the
// years' limits, and the difference of two date-times, also before 1970.
#include <gtest/gtest.h>

#include <cmath>

#include "race/racetimes.h"
#include "util/datetime.h"

using namespace brisko;

namespace {
// Calendar arithmetic on written date-times, as the race file holds them.
std::string dateTimeAdd(const std::string& text, double seconds) {
    const auto t = parseDateTime(text);
    const auto r = t ? addSeconds(*t, seconds) : std::nullopt;
    return r ? formatDateTime(*r) : std::string();
}
double dateTimeDiffSeconds(const std::string& from, const std::string& to) {
    return secondsBetween(parseDateTime(from), parseDateTime(to));
}
}  // namespace

TEST(DateTimeArithmetic, AddCrossesDaysAndLeapDays) {
    EXPECT_EQ(dateTimeAdd("2000/02/28 23:59:59", 1), "2000/02/29 00:00:00");
    EXPECT_EQ(dateTimeAdd("1900/02/28 23:59:59", 1), "1900/03/01 00:00:00");
    EXPECT_EQ(dateTimeAdd("2005/08/11 10:00:00", -(180 + 30)), "2005/08/11 09:56:30");
    EXPECT_EQ(dateTimeAdd("1970/01/01 00:00:00", -1), "1969/12/31 23:59:59");
    EXPECT_EQ(dateTimeAdd("2005/08/11 10:00:00", 0.4), "2005/08/11 10:00:00");  // whole seconds
    EXPECT_EQ(dateTimeAdd("2005/08/11 10:00:00", 1.5), "2005/08/11 10:00:02");
    EXPECT_EQ(dateTimeAdd("9999/12/31 23:59:58", 1), "9999/12/31 23:59:59");
    EXPECT_TRUE(dateTimeAdd("9999/12/31 23:59:59", 1).empty());
    EXPECT_TRUE(dateTimeAdd("2005/08/11 10:00:00", NAN).empty());
    EXPECT_TRUE(dateTimeAdd("", 1).empty());
    EXPECT_EQ(dateTimeAdd("2024/02/28 23:59:30", 60), "2024/02/29 00:00:30");
    EXPECT_TRUE(dateTimeAdd("0001/01/01 00:00:10", -60).empty());
}

TEST(DateTimeArithmetic, DifferenceInWholeSeconds) {
    EXPECT_EQ(dateTimeDiffSeconds("2000/02/28 12:00:00", "2000/03/01 12:00:00"), 2 * 86400);
    EXPECT_EQ(dateTimeDiffSeconds("1969/12/31 23:00:00", "1970/01/01 01:00:00"), 7200);
    EXPECT_EQ(dateTimeDiffSeconds("2005/08/11 11:00:00", "2005/08/11 10:00:00"), -3600);
    EXPECT_EQ(dateTimeDiffSeconds("2005/08/11 10:00:00", "not a date"), 0);
    // Every second of a day before 1970 comes back as the same text.
    const CivilSeconds day = civilFromDate(1969, 7, 20);
    for (CivilSeconds s = 0; s < 86400; s += 7) {
        const std::string text = formatDateTime(day + s);
        ASSERT_EQ(dateTimeDiffSeconds("1969/07/20 00:00:00", text), s) << text;
    }
}
