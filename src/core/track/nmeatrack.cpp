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
    const auto r =
        std::from_chars(number.data(), number.data() + number.size(), v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != number.data() + number.size()) return kNaN;
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

GpsTrackStats parseNmeaTrack(std::string_view bytes, RaceDefinition& race, BoatTrack& track) {
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

    while (p < end) {
        const char* dollar = static_cast<const char*>(std::memchr(p, '$', end - p));
        if (!dollar) break;
        // The sentence runs to the line's end or to the next "$", whichever comes first.
        const char* q = dollar + 1;
        while (q < end && *q != '\n' && *q != '\r' && *q != '$') ++q;
        p = q;
        const std::string_view sentence(dollar + 1, static_cast<std::size_t>(q - dollar - 1));
        // "ttRMC," or "ttGGA,": a talker of two letters; other sentences are not fixes.
        if (sentence.size() < 6 || !isUpper(sentence[0]) || !isUpper(sentence[1]) ||
            sentence[5] != ',')
            continue;
        const std::string_view type = sentence.substr(2, 3);
        const bool rmc = type == "RMC";
        if (!rmc && type != "GGA") continue;
        ++stats.trackLines;

        // The checksum: two hex digits after "*", the exclusive or of the bytes before it.
        std::string_view body = sentence;
        while (!body.empty() && (body.back() == ' ' || body.back() == '\t')) body.remove_suffix(1);
        const std::size_t star = body.rfind('*');
        if (star == std::string_view::npos || body.size() != star + 3 ||
            hexValue(body[star + 1]) < 0 || hexValue(body[star + 2]) < 0) {
            ++stats.badChecksum;
            continue;
        }
        unsigned char sum = 0;
        for (std::size_t i = 0; i < star; ++i) sum ^= static_cast<unsigned char>(body[i]);
        if (sum != hexValue(body[star + 1]) * 16 + hexValue(body[star + 2])) {
            ++stats.badChecksum;
            continue;
        }
        body = body.substr(0, star);

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
            const auto day = readNmeaDate(f[9]);
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
