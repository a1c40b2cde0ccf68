// The GPS track file parser: one pass over the file's bytes, fields as views into the buffer.
#include "track/gpstrack.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "track/fixkeeper.h"
#include "track/gpxtrack.h"
#include "track/nmeatrack.h"
#include "util/fileutil.h"
#include "util/intmath.h"
#include "util/numbers.h"

namespace brisko {

namespace {

constexpr double kMinutesPerDegree = 60;
constexpr double kMaxLatMinutes = 90 * kMinutesPerDegree;
constexpr double kMaxLonMinutes = 180 * kMinutesPerDegree;
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kUsedTrackFields = 6;

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

// Powers of ten, all held exactly by a double (as they are up to 10^22).
constexpr double kExactPow10[] = {1,    1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,
                                  1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
// Digits a number may have for the quick reading: 10^19 still fits in 64 bits.
constexpr int kQuickDigits = 19;

// Reads the run of decimal digits at q, eight at a time while eight bytes lie before `limit`,
// and returns how many there were. They are added to `value` only while the digits counted so
// far stay within `room`; beyond it `value` is left as it was, so it never overflows.
inline int scanDigits(const char*& q, const char* end, const char* limit, std::uint64_t& value,
                      int room) {
    int count = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (limit - q >= 8) {
            std::uint64_t v;
            std::memcpy(&v, q, 8);
            constexpr std::uint64_t kHighNibbles = 0xF0F0F0F0F0F0F0F0ULL;
            constexpr std::uint64_t kZeros = 0x3030303030303030ULL;
            // A byte is a digit when its high nibble is 3, also after adding 6 to it.
            const std::uint64_t notDigit = ((v & kHighNibbles) ^ kZeros) |
                                           (((v + 0x0606060606060606ULL) & kHighNibbles) ^ kZeros);
            int n = notDigit ? __builtin_ctzll(notDigit) >> 3 : 8;
            n = static_cast<int>(std::min<std::ptrdiff_t>(n, end - q));
            if (n == 0) return count;
            if (count + n <= room) {
                // The n digits, most significant first in memory, moved to the top as "0..0ddd".
                std::uint64_t d = (v & 0x0F0F0F0F0F0F0F0FULL) << (8 * (8 - n));
                d = d * 10 + (d >> 8);
                d = (((d & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
                     (((d >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
                    32;
                static constexpr std::uint64_t kScale[] = {
                    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
                value = value * kScale[n] + d;
            }
            q += n;
            count += n;
            if (n < 8) return count;
        }
    }
    for (; q < end && isDigit(*q); ++q, ++count)
        if (count < room) value = value * 10 + static_cast<std::uint64_t>(*q - '0');
    return count;
}

// Reads a plain unsigned decimal ("3530.12345", "0035.5", ".5", "7.") from q on, stopping at
// the first character that is neither a digit nor the first point, as the double nearest to
// it: the same value strtod gives. False when there are no digits (or the number is beyond the
// doubles). Bytes up to `limit` may be looked at beyond `end`.
bool scanPlainNumber(const char*& q, const char* end, const char* limit, double& v) {
    const char* const start = q;
    std::uint64_t mantissa = 0;
    int digits = scanDigits(q, end, limit, mantissa, kQuickDigits);
    int fracDigits = 0;
    if (q < end && *q == '.') {
        ++q;
        fracDigits = scanDigits(q, end, limit, mantissa, kQuickDigits - digits);
        digits += fracDigits;
    }
    if (digits == 0) return false;
    // A whole number up to 2^53 and a power of ten up to 10^19 are both exact doubles, so their
    // quotient is rounded once, correctly. Longer numbers go to the library's exact reading.
    if (digits <= kQuickDigits && mantissa <= (std::uint64_t{1} << 53)) {
        v = static_cast<double>(mantissa) / kExactPow10[fracDigits];
        return true;
    }
    const auto r = std::from_chars(start, q, v, std::chars_format::fixed);
    return r.ec == std::errc() && r.ptr == q;
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

// How much of a file tells its kind, and the pieces a GPX file is read in.
constexpr std::size_t kKindSniffBytes = 64 * 1024;
constexpr std::size_t kGpxPieceBytes = 4 * 1024 * 1024;

// A plain file open for reading; pieces of it go into a buffer that keeps its room.
class OpenFile {
public:
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool open(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) return false;
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
        size_ = static_cast<std::size_t>(st.st_size);
        return true;
    }
    // Up to `most` bytes in place of the buffer's contents (fewer only at the end).
    void read(std::string& buffer, std::size_t most) {
        buffer.resize(most);
        std::size_t got = 0;
        while (got < most) {
            const ssize_t r = ::read(fd_, buffer.data() + got, most - got);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += static_cast<std::size_t>(r);
        }
        buffer.resize(got);
    }
    // The rest of the file appended to the buffer.
    void readRest(std::string& buffer) {
        std::size_t have = buffer.size();
        // The size the file had when it was opened; one that grew meanwhile is read to its end.
        std::size_t want = std::max(size_, have) + 1;
        for (;;) {
            buffer.resize(want);
            while (have < want) {
                const ssize_t r = ::read(fd_, buffer.data() + have, want - have);
                if (r < 0 && errno == EINTR) continue;
                if (r <= 0) {
                    buffer.resize(have);
                    return;
                }
                have += static_cast<std::size_t>(r);
            }
            want = want * 2;
        }
    }

private:
    int fd_ = -1;
    std::size_t size_ = 0;
};

// The usual "hh:mm:ss" read at once from eight characters. False for any other text, or an
// impossible time, which the general reading then refuses too.
inline bool readClockTime(const char* s, int& secondsOfDay) {
    if (s[2] != ':' || s[5] != ':' || !isDigit(s[0]) || !isDigit(s[1]) || !isDigit(s[3]) ||
        !isDigit(s[4]) || !isDigit(s[6]) || !isDigit(s[7]))
        return false;
    const int h = (s[0] - '0') * 10 + (s[1] - '0');
    const int m = (s[3] - '0') * 10 + (s[4] - '0');
    const int sec = (s[6] - '0') * 10 + (s[7] - '0');
    if (h > 23 || m > 59 || sec > 59) return false;
    secondsOfDay = h * 3600 + m * 60 + sec;
    return true;
}

// A coordinate field of the usual shape read in place: its mark in front (N/S or E/W, "+" or
// "-") and a plain decimal up to the next separator. False for anything else.
inline bool readUsualCoordinate(const char*& q, const char* qEnd, const char* limit, bool latitude,
                                CoordinateForm form, double& minutes) {
    double sign;
    const char c = *q;
    if (c == (latitude ? 'N' : 'E') || c == '+')
        sign = 1;
    else if (c == (latitude ? 'S' : 'W') || c == '-')
        sign = -1;
    else
        return false;
    ++q;
    double v;
    if (!scanPlainNumber(q, qEnd, limit, v)) return false;
    if (q < qEnd && !isSeparator(*q)) return false;
    minutes = sign * unpackMinutes(v, form);
    return true;
}

// What a track line gives: the two coordinates, the date field and the time of day.
struct LineFix {
    double lat = 0, lon = 0;
    std::string_view date;
    std::optional<int> secondsOfDay;
};

// Reads a track line of the usual shape in one pass: "T", the latitude and the longitude with
// their marks in front, the date, "hh:mm:ss" and at least one more field. False for any other
// shape, which the general reading then handles with the same results.
bool readUsualTrackLine(std::string_view line, const char* limit, CoordinateForm form,
                        LineFix& fix) {
    const char* q = line.data();
    const char* const qEnd = q + line.size();
    auto skipSeparators = [&] {
        while (q < qEnd && isSeparator(*q)) ++q;
        return q < qEnd;
    };
    q = nextSeparator(q, qEnd, limit);  // the "T" field
    if (!skipSeparators() || !readUsualCoordinate(q, qEnd, limit, true, form, fix.lat))
        return false;
    if (!skipSeparators() || !readUsualCoordinate(q, qEnd, limit, false, form, fix.lon))
        return false;
    if (!skipSeparators()) return false;
    const char* d = q;
    q = nextSeparator(q, qEnd, limit);
    fix.date = std::string_view(d, static_cast<size_t>(q - d));
    if (!skipSeparators() || qEnd - q < 9 || !isSeparator(q[8])) return false;
    int sec;
    if (!readClockTime(q, sec)) return false;
    fix.secondsOfDay = sec;
    q += 8;
    return skipSeparators();  // a sixth field
}

}  // namespace

double readCoordinate(std::string_view field, bool latitude, CoordinateForm form) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) field.remove_suffix(1);
    if (field.empty()) return std::numeric_limits<double>::quiet_NaN();
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
    // A plain decimal read quickly, anything else by the leading-number conversion.
    const char* q = number.data();
    const char* const qEnd = q + number.size();
    double v;
    if (!scanPlainNumber(q, qEnd, qEnd, v) || q != qEnd) {
        size_t used = 0;
        v = numericPrefix(number, used);
        // No digits is no position: reading it as 0 would put the boat at 0°, 0°.
        if (used == 0) return std::numeric_limits<double>::quiet_NaN();
    }
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
    if (f.size() == 8) {
        int sec;
        if (readClockTime(f.data(), sec)) return sec;
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
    if (ext == "TRK" || ext == "DTR" || ext == "trk" || ext == "dtr") return true;
    // The logs of today's devices, whose names come in either case.
    for (std::string_view log : {".gpx", ".nmea", ".nma", ".log"}) {
        if (path.size() < log.size()) continue;
        const std::string_view tail = path.substr(path.size() - log.size());
        bool same = true;
        for (std::size_t i = 0; i < log.size() && same; ++i) {
            char c = tail[i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
            same = c == log[i];
        }
        if (same) return true;
    }
    return false;
}

TrackFileKind detectTrackKind(std::string_view head) {
    // Byte order marks: UTF-8, and the two UTF-16 ones (XML only).
    if (head.substr(0, 3) == "\xEF\xBB\xBF") head.remove_prefix(3);
    if (head.size() >= 4 && ((head.substr(0, 4) == std::string_view("\xFF\xFE<\0", 4)) ||
                             (head.substr(0, 4) == std::string_view("\xFE\xFF\0<", 4))))
        return TrackFileKind::Gpx;
    std::size_t i = 0;
    while (i < head.size() && isSeparator(head[i])) ++i;
    if (i < head.size() && head[i] == '<') return TrackFileKind::Gpx;
    // The first line that is a track line or holds a fix sentence decides.
    while (i < head.size()) {
        std::size_t nl = head.find('\n', i);
        if (nl == std::string_view::npos) nl = head.size();
        const std::string_view line = head.substr(i, nl - i);
        if (!line.empty() && line[0] == 'T') return TrackFileKind::Track;
        for (std::size_t d = line.find('$'); d != std::string_view::npos;
             d = line.find('$', d + 1)) {
            const std::string_view s = line.substr(d + 1, 6);
            if (s.size() == 6 && s[5] == ',' &&
                (s.substr(2, 3) == "RMC" || s.substr(2, 3) == "GGA"))
                return TrackFileKind::Nmea;
        }
        i = nl + 1;
    }
    return TrackFileKind::Track;
}

GpsTrackStats parseGpsTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track) {
    GpsTrackStats stats;
    stats.accepted = true;
    stats.refusal = TrackFileRefusal::None;
    stats.bytes = bytes.size();

    FixKeeper keeper(race, track, stats);

    // Lines end in CR LF or LF; a file with carriage returns alone ends its lines with those.
    const char newline = (std::memchr(bytes.data(), '\n', bytes.size()) == nullptr &&
                          std::memchr(bytes.data(), '\r', bytes.size()) != nullptr)
                             ? '\r'
                             : '\n';
    // Room for every track line, so the sample vectors never move while the file is read. It
    // is taken at the first fix kept: a file of lines that give no fix takes none.
    size_t trackLineCount = 0;
    {
        const char* s = bytes.data();
        const char* e = s + bytes.size();
        if (s < e && *s == 'T') ++trackLineCount;
        while (s < e && (s = static_cast<const char*>(std::memchr(s, newline, e - s))))
            if (++s < e && *s == 'T') ++trackLineCount;
    }
    keeper.setRoom(trackLineCount);

    CoordinateForm form = CoordinateForm::DegreesMinutes;
    int dateForm = -1;  // undecided; 0 day first, 1 year first
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

        LineFix lf;
        if (!readUsualTrackLine(line, end, form, lf)) {
            // Fields split at runs of blanks. Only the first five are used and a sixth must
            // exist, so the splitting stops there (a line may hold up to 20, or more). Control
            // characters other than blanks separate too: one comparison a byte.
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
            if (nf < kUsedTrackFields) {
                ++stats.tooFewFields;
                continue;
            }
            lf.lat = readCoordinate(fields[1], true, form);
            lf.lon = readCoordinate(fields[2], false, form);
            lf.date = fields[3];
            lf.secondsOfDay = readTrackTime(fields[4]);
        }
        ++stats.trackLines;
        const double lat = lf.lat, lon = lf.lon;
        if (!std::isfinite(lat) || !std::isfinite(lon) || std::fabs(lat) > kMaxLatMinutes ||
            std::fabs(lon) > kMaxLonMinutes) {
            ++stats.unreadable;
            continue;
        }

        if (dateForm < 0) {
            std::string_view a, b, c;
            dateForm = (splitDate(lf.date, a, b, c) && (a.size() > 3 || c.size() > 3)) ? 1 : 0;
        }
        if (lf.date != cachedDateField || cachedDateField.empty()) {
            cachedDateField = lf.date;
            cachedDays = readTrackDate(lf.date, dateForm == 1);
        }
        const std::optional<int> secOfDay = lf.secondsOfDay;
        if (!cachedDays || !secOfDay) {
            ++stats.unreadable;
            continue;
        }
        // GPS time plus the race's time difference; the date moves with the hour.
        keeper.offer(lat, lon, *cachedDays * kSecondsPerDay + *secOfDay);
    }
    keeper.finish();
    return stats;
}

GpsTrackStats parseAnyTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track) {
    switch (detectTrackKind(bytes.substr(0, kKindSniffBytes))) {
        case TrackFileKind::Gpx:
            return parseGpxTrack(bytes, race, track);
        case TrackFileKind::Nmea:
            return parseNmeaTrack(bytes, race, track);
        default:
            return parseGpsTrack(bytes, race, track);
    }
}

GpsTrackStats readGpsTrackFile(const std::string& path, RaceTimes& race, BoatTrack& track,
                               std::string_view writtenName, std::string* buffer) {
    GpsTrackStats refused;
    if (!isReadableTrackName(writtenName.empty() ? std::string_view(path) : writtenName)) {
        refused.refusal = TrackFileRefusal::WrongExtension;
        return refused;
    }
    std::string own;
    std::string& bytes = buffer ? *buffer : own;
    OpenFile file;
    if (!file.open(path)) return refused;
    // The first piece tells the kind. A GPX file goes on being read in pieces: a log of a
    // million points is never held whole.
    file.read(bytes, kKindSniffBytes);
    const TrackFileKind kind = detectTrackKind(bytes);
    if (kind == TrackFileKind::Gpx) {
        GpsTrackStats stats;
        stats.accepted = true;
        stats.refusal = TrackFileRefusal::None;
        GpxTrackReader reader(race, track, stats);
        std::size_t total = bytes.size();
        bool more = bytes.size() == kKindSniffBytes;
        if (!reader.feed(bytes, !more)) more = false;
        while (more) {
            file.read(bytes, kGpxPieceBytes);
            total += bytes.size();
            more = bytes.size() == kGpxPieceBytes;
            if (!reader.feed(bytes, !more)) break;
        }
        reader.finish();
        stats.bytes = total;
        return stats;
    }
    file.readRest(bytes);
    if (kind == TrackFileKind::Nmea) return parseNmeaTrack(bytes, race, track);
    if (bytes.size() <= kMinTrackFileBytes) {
        refused.refusal = TrackFileRefusal::TooSmall;
        refused.bytes = bytes.size();
        return refused;
    }
    GpsTrackStats stats = parseGpsTrack(bytes, race, track);
    stats.bytes = bytes.size();
    return stats;
}

}  // namespace brisko
