// The NMEA reader: one pass over the log's bytes, each sentence checked before it is split.
#include "track/nmeatrack.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "track/fixkeeper.h"
#include "util/datetime.h"

namespace brisko {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kHalfDay = 43200;
// GGA fixes held back until the first RMC gives them a date; beyond this they stay undated.
constexpr std::size_t kMostWaitingFixes = std::size_t{1} << 20;
// The fields an RMC sentence needs, its name included (the date is the tenth).
constexpr int kRmcFields = 10;
constexpr int kGgaFields = 7;
constexpr int kMaxFields = 24;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The exclusive or of the bytes [from, to), eight at a time.
unsigned char xorOf(const char* from, const char* to) {
    std::uint64_t wide = 0;
    for (; to - from >= 8; from += 8) {
        std::uint64_t w;
        std::memcpy(&w, from, 8);
        wide ^= w;
    }
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    auto sum = static_cast<unsigned char>(wide);
    for (; from < to; ++from) sum ^= static_cast<unsigned char>(*from);
    return sum;
}

// "hhmmss" with an optional fraction: seconds of the day, the fraction dropped; -1 otherwise.
int readNmeaTime(std::string_view f) {
    if (f.size() < 6) return -1;
    for (int i = 0; i < 6; ++i)
        if (!isDigit(f[i])) return -1;
    if (f.size() > 6) {
        if (f[6] != '.') return -1;
        for (std::size_t i = 7; i < f.size(); ++i)
            if (!isDigit(f[i])) return -1;
    }
    const int h = (f[0] - '0') * 10 + (f[1] - '0');
    const int m = (f[2] - '0') * 10 + (f[3] - '0');
    const int s = (f[4] - '0') * 10 + (f[5] - '0');
    if (h > 23 || m > 59 || s > 60) return -1;
    return h * 3600 + m * 60 + s;
}

// "ddmmyy": days since 1970-01-01; two-digit years 00-79 are 20yy, 80-99 are 19yy.
std::optional<std::int64_t> readNmeaDate(std::string_view f) {
    if (f.size() != 6) return std::nullopt;
    for (char c : f)
        if (!isDigit(c)) return std::nullopt;
    const int d = (f[0] - '0') * 10 + (f[1] - '0');
    const int m = (f[2] - '0') * 10 + (f[3] - '0');
    const int yy = (f[4] - '0') * 10 + (f[5] - '0');
    const int y = yy < 80 ? 2000 + yy : 1900 + yy;
    if (!isValidDate(y, m, d)) return std::nullopt;
    return civilFromDate(y, m, d) / kSecondsPerDay;
}

// An unsigned decimal made of all of `s` ("3924.4647"), as the double nearest to it.
bool readPlainDecimal(std::string_view s, double& v) {
    // Up to 19 digits the whole number and the power of ten are exact doubles when the number
    // is below 2^53, so their quotient is rounded once, correctly; longer ones go to the library.
    static constexpr double kPow10[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
    std::uint64_t mantissa = 0;
    int digitCount = 0, fraction = -1;
    for (char c : s) {
        if (isDigit(c)) {
            if (++digitCount > 19) break;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            if (fraction >= 0) ++fraction;
        } else if (c == '.' && fraction < 0) {
            fraction = 0;
        } else {
            return false;
        }
    }
    if (digitCount == 0) return false;
    if (digitCount <= 19 && mantissa <= (std::uint64_t{1} << 53)) {
        v = static_cast<double>(mantissa) / kPow10[fraction < 0 ? 0 : fraction];
        return true;
    }
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// "ddmm.mmmm" / "dddmm.mmmm" with its hemisphere letter: signed minutes of arc; NaN otherwise.
double readNmeaCoordinate(std::string_view number, std::string_view mark, bool latitude) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    if (number.empty() || mark.size() != 1 || !isDigit(number.front())) return kNaN;
    double sign;
    if (mark[0] == (latitude ? 'N' : 'E'))
        sign = 1;
    else if (mark[0] == (latitude ? 'S' : 'W'))
        sign = -1;
    else
        return kNaN;
    double v = 0;
    if (!readPlainDecimal(number, v)) return kNaN;
    const double deg = std::floor(v / 100);
    const double minutes = v - 100 * deg;
    const double value = 60 * deg + minutes;
    if (minutes >= 60 || value > (latitude ? 90 : 180) * 60) return kNaN;
    return sign * value;
}

// The whole-day move that puts a GGA time of day next to the RMC it is dated by.
int dayMove(int ggaSeconds, int rmcSeconds) {
    if (ggaSeconds - rmcSeconds < -kHalfDay) return 1;
    if (ggaSeconds - rmcSeconds > kHalfDay) return -1;
    return 0;
}

struct WaitingFix {
    double lat, lon;
    int secondsOfDay;
};

}  // namespace

GpsTrackStats parseNmeaTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track) {
    GpsTrackStats stats;
    stats.accepted = true;
    stats.refusal = TrackFileRefusal::None;
    stats.kind = TrackFileKind::Nmea;
    stats.bytes = bytes.size();
    FixKeeper keeper(race, track, stats);

    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    {
        std::size_t sentences = 0;
        for (const char* s = p; (s = static_cast<const char*>(std::memchr(s, '$', end - s))); ++s)
            ++sentences;
        keeper.setRoom(sentences);
    }

    std::optional<std::int64_t> rmcDay;  // the latest valid RMC's date and time of day
    int rmcSeconds = 0;
    std::vector<WaitingFix> waiting;
    std::array<std::string_view, kMaxFields> f;
    std::string_view cachedDateField = "-";  // the date field read last and what it gave
    std::optional<std::int64_t> cachedDay;

    while (p < end) {
        const char* dollar = static_cast<const char*>(std::memchr(p, '$', end - p));
        if (!dollar) break;
        // The sentence runs to the line's end or to the next "$", whichever comes first.
        const char* from = dollar + 1;
        const char* q = static_cast<const char*>(std::memchr(from, '\n', end - from));
        if (!q) q = end;
        if (const void* cr = std::memchr(from, '\r', q - from)) q = static_cast<const char*>(cr);
        if (const void* d = std::memchr(from, '$', q - from)) q = static_cast<const char*>(d);
        p = q;
        const char* star = static_cast<const char*>(std::memchr(from, '*', q - from));
        const unsigned char sum = star ? xorOf(from, star) : 0;
        const std::string_view sentence(dollar + 1, static_cast<std::size_t>(q - dollar - 1));
        // "ttRMC," or "ttGGA,": a talker of two letters; other sentences are not fixes.
        if (sentence.size() < 6 || !isUpper(sentence[0]) || !isUpper(sentence[1]) ||
            sentence[5] != ',')
            continue;
        const std::string_view type = sentence.substr(2, 3);
        const bool rmc = type == "RMC";
        if (!rmc && type != "GGA") continue;
        ++stats.trackLines;

        // The checksum: two hex digits after the first "*", then nothing but blanks.
        std::string_view body = sentence;
        while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
        const std::size_t starAt = star ? static_cast<std::size_t>(star - dollar - 1) : 0;
        if (!star || body.size() != starAt + 3 || hexValue(body[starAt + 1]) < 0 ||
            hexValue(body[starAt + 2]) < 0 ||
            sum != hexValue(body[starAt + 1]) * 16 + hexValue(body[starAt + 2])) {
            ++stats.badChecksum;
            continue;
        }
        body = body.substr(0, starAt);

        int nf = 0;
        for (std::size_t from = 0; nf < kMaxFields;) {
            const std::size_t comma = body.find(',', from);
            f[nf++] = body.substr(
                from, comma == std::string_view::npos ? body.size() - from : comma - from);
            if (comma == std::string_view::npos) break;
            from = comma + 1;
        }

        if (rmc) {
            if (nf < kRmcFields) {
                ++stats.unreadable;
                continue;
            }
            if (f[2] != "A") {
                ++stats.noFix;
                continue;
            }
            const int sec = readNmeaTime(f[1]);
            if (f[9] != cachedDateField) {
                cachedDateField = f[9];
                cachedDay = readNmeaDate(f[9]);
            }
            const auto day = cachedDay;
            const double lat = readNmeaCoordinate(f[3], f[4], true);
            const double lon = readNmeaCoordinate(f[5], f[6], false);
            if (sec < 0 || !day || !std::isfinite(lat) || !std::isfinite(lon)) {
                ++stats.unreadable;
                continue;
            }
            if (!rmcDay)  // the fixes before the first date take it
                for (const WaitingFix& w : waiting)
                    keeper.offer(
                        w.lat, w.lon,
                        (*day + dayMove(w.secondsOfDay, sec)) * kSecondsPerDay + w.secondsOfDay);
            waiting.clear();
            rmcDay = day;
            rmcSeconds = sec;
            keeper.offer(lat, lon, *day * kSecondsPerDay + sec);
        } else {
            if (nf < kGgaFields) {
                ++stats.unreadable;
                continue;
            }
            if (f[6].empty() || f[6] == "0" || f[2].empty()) {
                ++stats.noFix;
                continue;
            }
            const int sec = readNmeaTime(f[1]);
            const double lat = readNmeaCoordinate(f[2], f[3], true);
            const double lon = readNmeaCoordinate(f[4], f[5], false);
            if (sec < 0 || !std::isfinite(lat) || !std::isfinite(lon)) {
                ++stats.unreadable;
                continue;
            }
            if (rmcDay)
                keeper.offer(lat, lon, (*rmcDay + dayMove(sec, rmcSeconds)) * kSecondsPerDay + sec);
            else if (waiting.size() < kMostWaitingFixes)
                waiting.push_back({lat, lon, sec});
            else
                ++stats.undated;
        }
    }
    stats.undated += static_cast<int>(waiting.size());
    keeper.finish();
    return stats;
}

}  // namespace brisko
