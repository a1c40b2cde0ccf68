// The GPS track file parser: one pass over the file's bytes, fields as views into the buffer.
#include "track/gpstrack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {

constexpr double kMinutesPerDegree = 60;
constexpr double kMaxLatMinutes = 90 * kMinutesPerDegree;
constexpr double kMaxLonMinutes = 180 * kMinutesPerDegree;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kUsedTrackFields = 6;
constexpr std::int64_t kSecondsPerHour = 3600;
// A race that has no start time starts this long after the first fix.
constexpr std::int64_t kStartAfterFirstFix = 240;

bool isSeparator(char c) { return static_cast<unsigned char>(c) <= ' '; }

// The first separator at or after q, looking eight bytes at a time while they lie before
// `limit` (the end of the buffer: the line's own end is a separator, so the search never runs
// past it when the line ends in a line break).
inline const char* nextSeparator(const char* q, const char* lineEnd, const char* limit) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
        while (limit - q >= 8 && q < lineEnd) {
            std::uint64_t x;
            std::memcpy(&x, q, 8);
            // Bytes below 0x21 (bytes of 0x80 and above never count).
            const std::uint64_t m = (x - kOnes * 0x21) & ~x & kHigh;
            if (m) return std::min(lineEnd, q + (__builtin_ctzll(m) >> 3));
            q += 8;
        }
    }
    while (q < lineEnd && !isSeparator(*q)) ++q;
    return q;
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

std::int64_t wholeMinute(CivilSeconds t) { return floorDiv(t, 60); }

// Unsigned whole number made of all of `s`; -1 when `s` is empty, too long or not all digits.
int wholeNumber(std::string_view s) {
    if (s.empty() || s.size() > 9) return -1;
    int v = 0;
    for (char c : s) {
        if (!isDigit(c)) return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

// A month given by number or by English name ("AUG", "aug", "August").
int readMonth(std::string_view s) {
    int n = wholeNumber(s);
    if (n >= 0) return n;
    static const char* const kNames[] = {"january",   "february", "march",    "april",
                                         "may",       "june",     "july",     "august",
                                         "september", "october",  "november", "december"};
    if (s.size() < 3 || s.size() > 9) return -1;
    for (int m = 0; m < 12; ++m) {
        std::string_view name = kNames[m];
        if (s.size() > name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < s.size() && same; ++i) {
            char c = s[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            same = c == name[i];
        }
        if (same) return m + 1;
    }
    return -1;
}

int fullYear(std::string_view s) {
    int y = wholeNumber(s);
    if (y < 0) return -1;
    if (s.size() <= 2) return y < 80 ? 2000 + y : 1900 + y;
    return y;
}

// The three parts of a date field split at its separator ("-" when present, else "/").
bool splitDate(std::string_view f, std::string_view& a, std::string_view& b, std::string_view& c) {
    char sep = f.find('-') != std::string_view::npos ? '-' : '/';
    size_t i = f.find(sep);
    if (i == std::string_view::npos) return false;
    size_t j = f.find(sep, i + 1);
    if (j == std::string_view::npos) return false;
    a = f.substr(0, i);
    b = f.substr(i + 1, j - i - 1);
    c = f.substr(j + 1);
    return true;
}

// The common case read fast: plain digits with at most one point and no more than 18 digits
// ("3530.12345"). The whole part is split into degrees, minutes and seconds as integers, so only
// the fraction goes through floating point. False when the text is anything else.
bool unpackPlainNumber(std::string_view s, CoordinateForm form, double& minutes) {
    static constexpr double kPow10[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                        1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    std::int64_t whole = 0, frac = 0;
    size_t i = 0, n = s.size();
    while (i < n && isDigit(s[i])) whole = whole * 10 + (s[i++] - '0');
    const size_t wholeDigits = i;
    size_t fracDigits = 0;
    if (i < n && s[i] == '.') {
        ++i;
        const size_t f = i;
        while (i < n && isDigit(s[i])) frac = frac * 10 + (s[i++] - '0');
        fracDigits = i - f;
    }
    if (i != n || wholeDigits + fracDigits == 0 || wholeDigits + fracDigits > 18) return false;
    const double fraction = static_cast<double>(frac) / kPow10[fracDigits];
    switch (form) {
        case CoordinateForm::DecimalDegrees:
            minutes = kMinutesPerDegree * (static_cast<double>(whole) + fraction);
            break;
        case CoordinateForm::DegreesMinutesSeconds:
            minutes = kMinutesPerDegree * static_cast<double>(whole / 10000) +
                      static_cast<double>(whole % 10000 / 100) +
                      (static_cast<double>(whole % 100) + fraction) / 60;
            break;
        case CoordinateForm::DegreesMinutes:
        default:
            minutes = kMinutesPerDegree * static_cast<double>(whole / 100) +
                      (static_cast<double>(whole % 100) + fraction);
            break;
    }
    return true;
}

// Splits the number of a coordinate into degrees and the rest by value, so "N30.00000" is
// 30 minutes and "N00.00006" is 0.00006 minutes whatever the number of digits.
double unpackMinutes(double v, CoordinateForm form) {
    switch (form) {
        case CoordinateForm::DecimalDegrees:
            return kMinutesPerDegree * v;
        case CoordinateForm::DegreesMinutesSeconds: {
            double deg = std::floor(v / 10000);
            double r = v - 10000 * deg;
            double mm = std::floor(r / 100);
            double ss = r - 100 * mm;
            return kMinutesPerDegree * deg + mm + ss / 60;
        }
        case CoordinateForm::DegreesMinutes:
        default: {
            double deg = std::floor(v / 100);
            return kMinutesPerDegree * deg + (v - 100 * deg);
        }
    }
}

// BoatTrack::append, kept inline on the parser's hot path (room was reserved beforehand).
inline void appendFix(BoatTrack& t, double lat, double lon, double sec) {
    if (t.TrkLat.empty())
        for (auto* v : {&t.TrkLat, &t.TrkLon, &t.TrkSec, &t.TrkDist, &t.TrkSpeed, &t.TrkCourse})
            v->push_back(0.0);
    t.TrkLat.push_back(lat);
    t.TrkLon.push_back(lon);
    t.TrkSec.push_back(sec);
    t.TrkDist.push_back(0.0);
    t.TrkSpeed.push_back(0.0);
    t.TrkCourse.push_back(0.0);
}

// Reads a whole file into `buffer`, reusing its room from the file before.
bool readInto(const std::string& path, std::string& buffer) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    buffer.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < buffer.size()) {
        const ssize_t r = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    ::close(fd);
    buffer.resize(got);  // a file that shrank while it was read
    return true;
}

// Race times as the parser works with them; an empty or unreadable text is "not set".
struct RaceTimes {
    std::optional<CivilSeconds> raceStart, raceEnd, viewStart, viewEnd, firstFix;
};

std::optional<CivilSeconds> readTime(const std::string& text) {
    if (text.empty()) return std::nullopt;
    return parseDateTime(text);
}

}  // namespace

double readCoordinate(std::string_view field, bool latitude, CoordinateForm form) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    if (field.empty()) return 0;
    const char plus = latitude ? 'N' : 'E';
    const char minus = latitude ? 'S' : 'W';
    double sign = 1;
    std::string_view number = field;
    char first = field.front();
    char last = field.back();
    if (first == plus || first == '+') {
        number.remove_prefix(1);
    } else if (first == minus || first == '-') {
        sign = -1;
        number.remove_prefix(1);
    } else if (last == plus) {  // the mark written after the number ("3535.1234N")
        number.remove_suffix(1);
    } else if (last == minus) {
        sign = -1;
        number.remove_suffix(1);
    }
    double minutes;
    if (unpackPlainNumber(number, form, minutes)) return sign * minutes;
    double v = numericPrefix(number);
    if (v < 0) v = -v;  // a sign after the mark ("S-35") still means the one hemisphere
    return sign * unpackMinutes(v, form);
}

std::optional<std::int64_t> readTrackDate(std::string_view field, bool yearFirst) {
    std::string_view a, b, c;
    if (!splitDate(trimBlanks(field), a, b, c)) return std::nullopt;
    int y, m, d;
    if (a.size() == 4 || (yearFirst && c.size() != 4)) {
        y = fullYear(a), m = readMonth(b), d = wholeNumber(c);
    } else {
        d = wholeNumber(a), m = readMonth(b), y = fullYear(c);
    }
    // A year the civil calendar can still move a day past.
    if (y < 1000 || y > 9998 || !isValidDate(y, m, d)) return std::nullopt;
    return civilFromDate(y, m, d) / kSecondsPerDay;
}

std::optional<int> readTrackTime(std::string_view f) {
    // The usual "hh:mm:ss" read at once.
    if (f.size() == 8 && f[2] == ':' && f[5] == ':') {
        const char* s = f.data();
        if (isDigit(s[0]) && isDigit(s[1]) && isDigit(s[3]) && isDigit(s[4]) && isDigit(s[6]) &&
            isDigit(s[7])) {
            const int h = (s[0] - '0') * 10 + (s[1] - '0');
            const int m = (s[3] - '0') * 10 + (s[4] - '0');
            const int sec = (s[6] - '0') * 10 + (s[7] - '0');
            if (h > 23 || m > 59 || sec > 59) return std::nullopt;
            return h * 3600 + m * 60 + sec;
        }
    }
    f = trimBlanks(f);
    int parts[3] = {0, 0, 0};
    size_t i = 0;
    int n = 0;
    while (n < 3) {
        size_t start = i;
        int v = 0;
        while (i < f.size() && isDigit(f[i]) && i - start < 2) v = v * 10 + (f[i++] - '0');
        if (i == start) return std::nullopt;
        parts[n++] = v;
        if (i < f.size() && f[i] == ':' && n < 3) {
            ++i;
            continue;
        }
        break;
    }
    if (n < 2) return std::nullopt;
    // What may follow the seconds: a fraction, or a "Z" for UTC.
    if (i < f.size() && f[i] == '.') {
        ++i;
        while (i < f.size() && isDigit(f[i])) ++i;
    }
    if (i < f.size() && (f[i] == 'Z' || f[i] == 'z')) ++i;
    if (i != f.size()) return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
    return parts[0] * 3600 + parts[1] * 60 + parts[2];
}

bool isReadableTrackName(std::string_view path) {
    if (path.size() < 3) return false;
    std::string_view ext = path.substr(path.size() - 3);
    return ext == "TRK" || ext == "DTR" || ext == "trk" || ext == "dtr";
}

GpsTrackStats parseGpsTrack(std::string_view bytes, RaceDefinition& race, BoatTrack& track) {
    GpsTrackStats stats;
    stats.accepted = true;

    RaceTimes t;
    t.raceStart = readTime(race.RaceStart);
    t.raceEnd = readTime(race.RaceEnd);
    t.viewStart = readTime(race.ViewStart);
    t.viewEnd = readTime(race.ViewEnd);
    t.firstFix = readTime(race.FirstFix);
    const std::int64_t shift = static_cast<std::int64_t>(race.TimeDiff) * kSecondsPerHour;

    // Lines end in CR LF or LF; a file with carriage returns alone ends its lines with those.
    const char newline = (std::memchr(bytes.data(), '\n', bytes.size()) == nullptr &&
                          std::memchr(bytes.data(), '\r', bytes.size()) != nullptr)
                             ? '\r'
                             : '\n';
    // Room for every line, so the sample vectors never move while the file is read.
    {
        size_t lines = 1;
        const char* s = bytes.data();
        const char* e = s + bytes.size();
        while (s < e && (s = static_cast<const char*>(std::memchr(s, newline, e - s))))
            ++lines, ++s;
        track.reserve(track.count() + static_cast<int>(lines));
    }

    CoordinateForm form = CoordinateForm::DegreesMinutes;
    int dateForm = -1;  // undecided; 0 day first, 1 year first
    std::optional<CivilSeconds> prevKept, lastLine;
    std::string_view cachedDateField;
    std::optional<std::int64_t> cachedDays;
    std::array<std::string_view, kUsedTrackFields> fields;

    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, newline, end - p));
        const char* lineEnd = nl ? nl : end;
        std::string_view line(p, static_cast<size_t>(lineEnd - p));
        p = nl ? nl + 1 : end;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (line[0] != 'T') {
            if (line[0] == 'U') {
                if (line.find("DEG") != std::string_view::npos)
                    form = CoordinateForm::DecimalDegrees;
                else if (line.find("DMS") != std::string_view::npos)
                    form = CoordinateForm::DegreesMinutesSeconds;
                else
                    form = CoordinateForm::DegreesMinutes;
            }
            continue;
        }

        // Fields split at runs of blanks. Only the first five are used and a sixth must exist,
        // so the splitting stops there (a line may hold up to 20, or more).
        // Control characters other than blanks separate too: that costs one comparison a byte.
        int nf = 0;
        const char* q = line.data();
        const char* const qEnd = q + line.size();
        while (nf < kUsedTrackFields) {
            while (q < qEnd && isSeparator(*q)) ++q;
            if (q >= qEnd) break;
            const char* s = q;
            q = nextSeparator(q, qEnd, end);
            fields[nf++] = std::string_view(s, static_cast<size_t>(q - s));
        }
        if (nf < kUsedTrackFields) continue;
        ++stats.trackLines;

        const double lat = readCoordinate(fields[1], true, form);
        const double lon = readCoordinate(fields[2], false, form);
        if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > kMaxLatMinutes ||
            std::fabs(lon) > kMaxLonMinutes) {
            ++stats.unreadable;
            continue;
        }

        if (dateForm < 0) {
            std::string_view a, b, c;
            dateForm = (splitDate(fields[3], a, b, c) && (a.size() > 3 || c.size() > 3)) ? 1 : 0;
        }
        if (fields[3] != cachedDateField || cachedDateField.empty()) {
            cachedDateField = fields[3];
            cachedDays = readTrackDate(fields[3], dateForm == 1);
        }
        const std::optional<int> secOfDay = readTrackTime(fields[4]);
        if (!cachedDays || !secOfDay) {
            ++stats.unreadable;
            continue;
        }
        // GPS time plus the race's time difference; the date moves with the hour.
        const CivilSeconds fix = *cachedDays * kSecondsPerDay + *secOfDay + shift;

        if (!t.firstFix) {
            t.firstFix = fix;
            race.FirstFix = formatDateTime(fix);
        }
        if (!t.raceStart) {
            t.raceStart = *t.firstFix + kStartAfterFirstFix;
            t.viewStart = *t.firstFix;
            t.raceEnd.reset();
            race.RaceStart = formatDateTime(*t.raceStart);
            race.ViewStart = formatDateTime(*t.viewStart);
            race.RaceEnd.clear();
        }
        // The window is compared in whole minutes: a fix in the minute of ViewStart or of
        // ViewEnd is inside. A bound that is not set does not limit.
        bool inWindow =
            !t.raceEnd || ((!t.viewStart || wholeMinute(fix) >= wholeMinute(*t.viewStart)) &&
                           (!t.viewEnd || wholeMinute(*t.viewEnd) >= wholeMinute(fix)));
        if (inWindow && fix != prevKept) {
            appendFix(track, lat, lon, static_cast<double>(fix - *t.raceStart));
            ++stats.kept;
            prevKept = fix;
        }
        lastLine = fix;
    }

    if (!t.raceEnd && prevKept) race.RaceEnd = formatDateTime(*prevKept);
    if (lastLine) race.LastFix = formatDateTime(*lastLine);
    if (race.RaceEnd.empty() && !race.LastFix.empty()) {
        race.RaceEnd = race.LastFix;
        race.ViewEnd = race.LastFix;
    }
    return stats;
}

GpsTrackStats readGpsTrackFile(const std::string& path, RaceDefinition& race, BoatTrack& track,
                               std::string_view writtenName, std::string* buffer) {
    if (!isReadableTrackName(writtenName.empty() ? std::string_view(path) : writtenName)) return {};
    std::string own;
    std::string& bytes = buffer ? *buffer : own;
    if (!readInto(path, bytes) || bytes.size() <= kMinTrackFileBytes) return {};
    return parseGpsTrack(bytes, race, track);
}

}  // namespace brisko
