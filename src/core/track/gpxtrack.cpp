// The GPX reader: expat's streaming parser with a small stack of the elements that matter.
#include "track/gpxtrack.h"

#include <expat.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "track/fixkeeper.h"

namespace brisko {

namespace {

constexpr double kMinutesPerDegree = 60;
// Namespace URIs and local names come from expat joined by this byte.
constexpr char kNameSeparator = '\x01';
// The GPX namespaces: "http://www.topografix.com/GPX/1/1" and ".../1/0".
constexpr std::string_view kGpxNamespace = "http://www.topografix.com/GPX/";
// A time element longer than this is no time.
constexpr std::size_t kMaxTimeText = 64;
// The most of a document's start kept for reading it again in another encoding.
constexpr std::size_t kMostHeldBytes = 256 * 1024;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// `n` digits at s[i..]; -1 when they are not all digits.
int digits(std::string_view s, std::size_t i, std::size_t n) {
    if (i + n > s.size()) return -1;
    int v = 0;
    for (std::size_t k = i; k < i + n; ++k) {
        if (!isDigit(s[k])) return -1;
        v = v * 10 + (s[k] - '0');
    }
    return v;
}

// A coordinate attribute in degrees; false when it is not a number within `limit` degrees.
bool readDegrees(const char* text, double limit, double& minutes) {
    std::string_view s = trimmed(text);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v) ||
        std::fabs(v) > limit)
        return false;
    minutes = kMinutesPerDegree * v;
    return true;
}

// The elements of a GPX document that lead to a track point's time.
enum class Element : unsigned char { Other, Gpx, Trk, Seg, Point, Time };

}  // namespace

std::optional<CivilSeconds> readIsoTime(std::string_view text) {
    const std::string_view s = trimmed(text);
    // yyyy-mm-ddThh:mm:ss
    const int y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    const int h = digits(s, 11, 2), mi = digits(s, 14, 2), sec = digits(s, 17, 2);
    if (y < 0 || mo < 0 || d < 0 || h < 0 || mi < 0 || sec < 0) return std::nullopt;
    if (s[4] != '-' || s[7] != '-' || (s[10] != 'T' && s[10] != 't' && s[10] != ' ') ||
        s[13] != ':' || s[16] != ':')
        return std::nullopt;
    if (y < 1000 || !isValidDate(y, mo, d) || h > 23 || mi > 59 || sec > 60) return std::nullopt;
    std::size_t i = 19;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        ++i;
        const std::size_t from = i;
        while (i < s.size() && isDigit(s[i])) ++i;
        if (i == from) return std::nullopt;
    }
    std::int64_t offset = 0;  // seconds the written time is ahead of UTC
    if (i < s.size()) {
        const char z = s[i];
        if (z == 'Z' || z == 'z') {
            ++i;
        } else if (z == '+' || z == '-') {
            const int oh = digits(s, i + 1, 2);
            if (oh < 0 || oh > 23) return std::nullopt;
            i += 3;
            int om = 0;
            if (i < s.size()) {
                if (s[i] == ':') ++i;
                om = digits(s, i, 2);
                if (om < 0 || om > 59) return std::nullopt;
                i += 2;
            }
            offset = (z == '+' ? 1 : -1) * (oh * 3600 + om * 60);
        } else {
            return std::nullopt;
        }
    }
    if (i != s.size()) return std::nullopt;
    return civilFromDate(y, mo, d) + h * 3600 + mi * 60 + sec - offset;
}

struct GpxTrackReader::State {
    State(RaceDefinition& race, BoatTrack& track, GpsTrackStats& stats)
        : keeper(race, track, stats), stats(stats) {}

    FixKeeper keeper;
    GpsTrackStats& stats;
    XML_Parser parser = nullptr;
    bool broken = false;
    // The bytes before the root element, kept for a second reading in another encoding.
    bool holding = true;
    bool retried = false;
    std::string held;
    std::vector<Element> open;  // the elements from the root to the current one
    // The track point being read.
    bool pointPlaced = false;
    double lat = 0, lon = 0;
    bool timeSeen = false;
    std::optional<CivilSeconds> time;
    std::string timeText;

    void makeParser(const char* encoding) {
        if (parser) XML_ParserFree(parser);
        parser = XML_ParserCreateNS(encoding, kNameSeparator);
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &State::onStart, &State::onEnd);
        open.clear();
    }

    // The element's kind from its name ("uri\x01local" or "local") and its parent.
    static Element kindOf(const char* name, Element parent) {
        const char* local = std::strchr(name, kNameSeparator);
        if (local) {
            // Elements of other namespaces (Garmin, Suunto, Strava extensions) are not GPX.
            if (std::strncmp(name, kGpxNamespace.data(), kGpxNamespace.size()) != 0)
                return Element::Other;
            ++local;
        } else {
            local = name;
        }
        switch (parent) {
            case Element::Gpx:
                return std::strcmp(local, "trk") == 0 ? Element::Trk : Element::Other;
            case Element::Trk:
                return std::strcmp(local, "trkseg") == 0 ? Element::Seg : Element::Other;
            case Element::Seg:
                return std::strcmp(local, "trkpt") == 0 ? Element::Point : Element::Other;
            case Element::Point:
                return std::strcmp(local, "time") == 0 ? Element::Time : Element::Other;
            default:
                return Element::Other;
        }
    }

    static void XMLCALL onStart(void* user, const XML_Char* name, const XML_Char** attrs) {
        auto* s = static_cast<State*>(user);
        s->holding = false;
        Element kind;
        if (s->open.empty())
            kind = kindOf(name, Element::Gpx) == Element::Trk ? Element::Trk : Element::Gpx;
        else
            kind = kindOf(name, s->open.back());
        s->open.push_back(kind);
        if (kind == Element::Point) {
            bool haveLat = false, haveLon = false;
            for (const XML_Char** a = attrs; a[0]; a += 2) {
                if (std::strcmp(a[0], "lat") == 0)
                    haveLat = readDegrees(a[1], 90, s->lat);
                else if (std::strcmp(a[0], "lon") == 0)
                    haveLon = readDegrees(a[1], 180, s->lon);
            }
            s->pointPlaced = haveLat && haveLon;
            s->timeSeen = false;
            s->time.reset();
        } else if (kind == Element::Time) {
            // Text is only wanted inside a time: the handler is set for it alone, so the
            // blanks and values elsewhere cost no call.
            s->timeText.clear();
            XML_SetCharacterDataHandler(s->parser, &State::onText);
        }
    }

    static void XMLCALL onText(void* user, const XML_Char* text, int len) {
        auto* s = static_cast<State*>(user);
        if (s->open.empty() || s->open.back() != Element::Time || s->timeSeen) return;
        if (s->timeText.size() + static_cast<std::size_t>(len) <= kMaxTimeText)
            s->timeText.append(text, static_cast<std::size_t>(len));
        else
            s->timeText.assign(kMaxTimeText + 1, 'x');  // too long to be a time
    }

    static void XMLCALL onEnd(void* user, const XML_Char*) {
        auto* s = static_cast<State*>(user);
        if (s->open.empty()) return;
        const Element kind = s->open.back();
        s->open.pop_back();
        if (kind == Element::Time) XML_SetCharacterDataHandler(s->parser, nullptr);
        if (kind == Element::Time && !s->timeSeen) {
            s->timeSeen = true;  // the first time of a point counts
            s->time = readIsoTime(s->timeText);
        } else if (kind == Element::Point) {
            ++s->stats.trackLines;
            if (s->pointPlaced && s->time)
                s->keeper.offer(s->lat, s->lon, *s->time);
            else
                ++s->stats.unreadable;  // no time, or no position on the globe
        }
    }

    // Hands a piece to expat, which takes an int length: a large piece goes in slices.
    bool parse(std::string_view piece, bool last) {
        constexpr std::size_t kSlice = std::size_t{1} << 24;
        do {
            const std::size_t n = std::min(piece.size(), kSlice);
            const bool final = last && n == piece.size();
            if (XML_Parse(parser, piece.data(), static_cast<int>(n), final) == XML_STATUS_ERROR)
                return false;
            piece.remove_prefix(n);
        } while (!piece.empty());
        return true;
    }

    void noteDamage() {
        const XML_Error code = XML_GetErrorCode(parser);
        stats.damage = "line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ", column " +
                       std::to_string(XML_GetCurrentColumnNumber(parser)) + ": " +
                       XML_ErrorString(code);
        broken = true;
    }
};

GpxTrackReader::GpxTrackReader(RaceDefinition& race, BoatTrack& track, GpsTrackStats& stats)
    : state_(std::make_unique<State>(race, track, stats)) {
    stats.kind = TrackFileKind::Gpx;
    state_->makeParser(nullptr);
}

GpxTrackReader::~GpxTrackReader() {
    if (state_->parser) XML_ParserFree(state_->parser);
}

bool GpxTrackReader::feed(std::string_view piece, bool last) {
    State& s = *state_;
    if (s.broken) return false;
    // Until the root element opens, the bytes are kept: a declared encoding expat does not
    // know (windows-1252 and the like) is only found out in the prolog, and then the document
    // is read again from its start as Latin-1, the parts that matter being ASCII.
    if (s.holding) {
        s.held.append(piece);
        if (s.held.size() > kMostHeldBytes) s.holding = false;
    }
    if (s.parse(piece, last)) {
        if (!s.holding && s.held.capacity() > 0) std::string().swap(s.held);
        return true;
    }
    if (s.holding && !s.retried && XML_GetErrorCode(s.parser) == XML_ERROR_UNKNOWN_ENCODING) {
        s.retried = true;
        s.holding = false;
        const std::string again = std::move(s.held);
        s.held.clear();
        s.makeParser("ISO-8859-1");
        if (s.parse(again, last)) return true;
    }
    s.noteDamage();
    return false;
}

void GpxTrackReader::finish() { state_->keeper.finish(); }

GpsTrackStats parseGpxTrack(std::string_view bytes, RaceDefinition& race, BoatTrack& track) {
    GpsTrackStats stats;
    stats.accepted = true;
    stats.refusal = TrackFileRefusal::None;
    stats.bytes = bytes.size();
    GpxTrackReader reader(race, track, stats);
    reader.feed(bytes, true);
    reader.finish();
    return stats;
}

}  // namespace brisko
