// Civil calendar arithmetic for race times.
#include "util/datetime.h"

#include <cmath>
#include <cstdio>

#include "util/intmath.h"
#include "util/numbers.h"
#include "util/units.h"

namespace brisko {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// Reads an unsigned whole number of 1..maxDigits digits at s[i]; -1 when there is none.
int readNumber(std::string_view s, size_t& i, size_t maxDigits) {
    size_t start = i;
    int v = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - start < maxDigits) {
        v = v * 10 + (s[i] - '0');
        ++i;
    }
    return i == start ? -1 : v;
}

}  // namespace

bool isValidDate(int year, int month, int day) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    int dim = kDays[month - 1];
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && leap) dim = 29;
    return day <= dim;
}

CivilSeconds civilFromDate(int year, int month, int day, int hour, int minute, int second) {
    return daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) *
               kSecondsPerDay +
           hour * kSecondsPerHour + minute * kSecondsPerMinute + second;
}

void dateFromCivil(CivilSeconds t, int& year, int& month, int& day, int& hour, int& minute,
                   int& second) {
    const std::int64_t days = floorDiv(t, kSecondsPerDay);
    const std::int64_t rest = floorMod(t, kSecondsPerDay);
    civilFromDays(days, year, month, day);
    hour = static_cast<int>(rest / kSecondsPerHour);
    minute = static_cast<int>((rest % kSecondsPerHour) / kSecondsPerMinute);
    second = static_cast<int>(rest % kSecondsPerMinute);
}

std::optional<CivilSeconds> parseDateTime(std::string_view text) {
    std::string_view s = trimBlanks(text);
    size_t i = 0;
    int y = readNumber(s, i, 4);
    if (y < 0 || i >= s.size() || (s[i] != '/' && s[i] != '-')) return std::nullopt;
    ++i;
    int mo = readNumber(s, i, 2);
    if (mo < 0 || i >= s.size() || (s[i] != '/' && s[i] != '-')) return std::nullopt;
    ++i;
    int d = readNumber(s, i, 2);
    if (d < 0 || !isValidDate(y, mo, d)) return std::nullopt;
    int h = 0, mi = 0, se = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size()) {
        h = readNumber(s, i, 2);
        if (h < 0 || h > 23 || i >= s.size() || s[i] != ':') return std::nullopt;
        ++i;
        mi = readNumber(s, i, 2);
        if (mi < 0 || mi > 59) return std::nullopt;
        if (i < s.size() && s[i] == ':') {
            ++i;
            se = readNumber(s, i, 2);
            if (se < 0 || se > 59) return std::nullopt;
        }
        if (i != s.size()) return std::nullopt;
    }
    return civilFromDate(y, mo, d, h, mi, se);
}

std::string formatDateTime(CivilSeconds t) {
    int y, mo, d, h, mi, se;
    dateFromCivil(t, y, mo, d, h, mi, se);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", y, mo, d, h, mi, se);
    return buf;
}

std::optional<CivilSeconds> addSeconds(CivilSeconds t, double seconds) {
    static const CivilSeconds kFirst = civilFromDate(1, 1, 1);
    static const CivilSeconds kLast = civilFromDate(9999, 12, 31, 23, 59, 59);
    if (!std::isfinite(seconds)) return std::nullopt;
    const double r = static_cast<double>(t) + std::round(seconds);
    if (r < static_cast<double>(kFirst) || r > static_cast<double>(kLast)) return std::nullopt;
    return static_cast<CivilSeconds>(r);
}

}  // namespace brisko
