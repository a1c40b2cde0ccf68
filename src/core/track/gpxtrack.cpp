// The GPX reader: expat's streaming parser with a small stack of the elements that matter.
#include "track/gpxtrack.h"

#include <expat.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "track/fixkeeper.h"
#include "track/gpxruns.h"
#include "util/fileutil.h"
#include "util/parallel.h"

namespace brisko {

namespace {

constexpr double kMinutesPerDegree = 60;
// Runs are read on this many threads at most.
constexpr int kRunWorkers = 2;
constexpr std::size_t kPointEndTagBytes = 8;  // "</trkpt>"
// Namespace URIs and local names come from expat joined by this byte.
constexpr char kNameSeparator = '\x01';
// The GPX namespaces: "http://www.topografix.com/GPX/1/1" and ".../1/0".
constexpr std::string_view kGpxNamespace = "http://www.topografix.com/GPX/";
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

// The elements of a GPX document that lead to a track point's time.
enum class Element : unsigned char { Other, Gpx, Trk, Seg, Point, Time };

}  // namespace

bool readGpxDegrees(std::string_view text, double limit, double& minutes) {
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
    State(RaceTimes& race, BoatTrack& track, GpsTrackStats& stats, std::size_t runBytes)
        : keeper(race, track, stats), stats(stats), runBytes(runBytes) {}

    FixKeeper keeper;
    GpsTrackStats& stats;
    XML_Parser parser = nullptr;
    bool broken = false;
    bool finalSent = false;
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

    // Runs of track points handed to pugixml (none when runBytes is 0). A run may start only
    // where expat has just read a track point's end tag inside a segment, and only in a
    // UTF-8 document without a document type, where no prefix names the GPX namespace.
    std::size_t runBytes;
    bool runsAllowed = true;
    std::uint64_t fedToExpat = 0;                  // bytes expat has been given
    std::uint64_t pointEndAt = ~std::uint64_t{0};  // where expat saw the last point end
    // The namespace declarations in scope: whether each is the default one and names GPX.
    struct Declaration {
        bool isDefault, namesGpx;
    };
    std::vector<Declaration> declarations;
    std::string pending;  // bytes not yet read by either reader start at pendingAt
    std::size_t pendingAt = 0;
    std::uint64_t pendingBase = 0;   // where pending starts in the document
    std::uint64_t noRunsBefore = 0;  // where runs may start again after a refused one
    // Whether the bytes read last end with a point end tag written "</trkpt>": only there may
    // a run start, so that where runs start depends on the document alone, never on where the
    // pieces it comes in happen to end.
    bool afterEndTag = false;
    struct Run {
        std::size_t begin = 0, end = 0, brokeAt = 0;
        bool ok = false;
        std::vector<GpxPointFix> fixes;
        TextSpan span;
    };
    std::vector<Run> runs;  // the first runCount are this batch's; the rest keep their room
    std::size_t runCount = 0;
    std::vector<std::unique_ptr<GpxRunReader>> runReaders;
    std::uint64_t pointsInRuns = 0;
    // The runs' line ends, which expat has not counted, and on expat's line where the last run
    // was taken, how many columns the document is ahead of expat.
    std::uint64_t skippedLineEnds = 0;
    XML_Size shiftedLine = 0;
    std::int64_t columnShift = 0;

    void makeParser(const char* encoding) {
        if (parser) XML_ParserFree(parser);
        parser = XML_ParserCreateNS(encoding, kNameSeparator);
        XML_SetUserData(parser, this);
        XML_SetElementHandler(parser, &State::onStart, &State::onEnd);
        XML_SetXmlDeclHandler(parser, &State::onXmlDeclaration);
        XML_SetStartDoctypeDeclHandler(parser, &State::onDocumentType);
        XML_SetNamespaceDeclHandler(parser, &State::onNamespaceStart, &State::onNamespaceEnd);
        open.clear();
        declarations.clear();
        fedToExpat = 0;
        pointEndAt = ~std::uint64_t{0};
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
                    haveLat = readGpxDegrees(a[1], 90, s->lat);
                else if (std::strcmp(a[0], "lon") == 0)
                    haveLon = readGpxDegrees(a[1], 180, s->lon);
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
        if (s->timeText.size() + static_cast<std::size_t>(len) <= kGpxMostTimeText)
            s->timeText.append(text, static_cast<std::size_t>(len));
        else
            s->timeText.assign(kGpxMostTimeText + 1, 'x');  // too long to be a time
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
            s->pointEndAt = static_cast<std::uint64_t>(XML_GetCurrentByteIndex(s->parser)) +
                            static_cast<std::uint64_t>(XML_GetCurrentByteCount(s->parser));
            s->takePoint(s->pointPlaced && s->time, s->lat, s->lon, s->time.value_or(0));
        }
    }

    void takePoint(bool readable, double pointLat, double pointLon, CivilSeconds at) {
        ++stats.trackLines;
        if (readable)
            keeper.offer(pointLat, pointLon, at);
        else
            ++stats.unreadable;  // no time, or no position on the globe
    }

    static void XMLCALL onXmlDeclaration(void* user, const XML_Char*, const XML_Char* encoding,
                                         int) {
        auto* s = static_cast<State*>(user);
        if (encoding && toLowerAscii(encoding) != "utf-8" && toLowerAscii(encoding) != "us-ascii")
            s->runsAllowed = false;
    }

    // A document type may give attributes defaults and name entities: expat alone reads it.
    static void XMLCALL onDocumentType(void* user, const XML_Char*, const XML_Char*,
                                       const XML_Char*, int) {
        static_cast<State*>(user)->runsAllowed = false;
    }

    static void XMLCALL onNamespaceStart(void* user, const XML_Char* prefix, const XML_Char* uri) {
        const bool gpx = uri && std::strncmp(uri, kGpxNamespace.data(), kGpxNamespace.size()) == 0;
        static_cast<State*>(user)->declarations.push_back({prefix == nullptr, gpx});
    }

    static void XMLCALL onNamespaceEnd(void* user, const XML_Char*) {
        auto* s = static_cast<State*>(user);
        if (!s->declarations.empty()) s->declarations.pop_back();
    }

    // Whether expat stands right after a track point's end tag inside a segment, with every
    // byte it was given read, where the points that follow may be read as a run.
    bool atPointBoundary() const {
        if (!runsAllowed || holding || retried || open.empty() || open.back() != Element::Seg ||
            pointEndAt != fedToExpat)
            return false;
        bool defaultSeen = false;
        for (auto d = declarations.rbegin(); d != declarations.rend(); ++d) {
            if (d->isDefault) {
                // The innermost default namespace is the one unprefixed points are in.
                if (!defaultSeen && !d->namesGpx) return false;
                defaultSeen = true;
            } else if (d->namesGpx) {
                return false;  // a prefixed point or time could be GPX
            }
        }
        return true;
    }

    // Hands a piece to expat, which takes an int length: a large piece goes in slices.
    bool parse(std::string_view piece, bool last) {
        constexpr std::size_t kSlice = std::size_t{1} << 24;
        do {
            const std::size_t n = std::min(piece.size(), kSlice);
            const bool final = last && n == piece.size();
            if (XML_Parse(parser, piece.data(), static_cast<int>(n), final) == XML_STATUS_ERROR)
                return false;
            fedToExpat += n;
            piece.remove_prefix(n);
        } while (!piece.empty());
        return true;
    }

    // Expat reads `piece`. Until the root element opens, the bytes are kept: a declared
    // encoding expat does not know (windows-1252 and the like) is only found out in the
    // prolog, and then the document is read again from its start as Latin-1, the parts that
    // matter being ASCII.
    bool toExpat(std::string_view piece, bool last) {
        if (last) finalSent = true;
        if (holding) {
            held.append(piece);
            if (held.size() > kMostHeldBytes) holding = false;
        }
        if (parse(piece, last)) {
            if (!holding && held.capacity() > 0) std::string().swap(held);
            return true;
        }
        if (holding && !retried && XML_GetErrorCode(parser) == XML_ERROR_UNKNOWN_ENCODING) {
            retried = true;
            holding = false;
            const std::string again = std::move(held);
            held.clear();
            makeParser("ISO-8859-1");
            if (parse(again, last)) return true;
        }
        noteDamage();
        return false;
    }

    enum class RunsRead { All, Wait, Stopped };

    // Reads the runs of track points that whole windows of `pending` hold, from pendingAt,
    // where expat stands at a point boundary. Stopped when a window holds no point end or a
    // run was refused: expat then reads on, and runs wait until it is past the refused bytes.
    RunsRead readRuns(bool last) {
        runCount = 0;
        std::size_t p = pendingAt;
        while (true) {
            const std::size_t windowEnd = p + runBytes;
            if (windowEnd > pending.size() && !last) break;  // a window is judged only whole
            const std::size_t e = lastPointEndTag(pending, p, windowEnd);
            if (e == std::string_view::npos) break;
            if (runCount == runs.size()) runs.emplace_back();
            Run& r = runs[runCount++];
            r.begin = p;
            r.end = p = e;
        }
        if (runCount == 0)
            return !last && pendingAt + runBytes > pending.size() ? RunsRead::Wait
                                                                  : RunsRead::Stopped;
        const int n = static_cast<int>(runCount);
        const int workers = workersFor(n, kRunWorkers);
        while (static_cast<int>(runReaders.size()) < workers)
            runReaders.push_back(std::make_unique<GpxRunReader>());
        const std::string_view bytes(pending);
        forEachInParallel(0, n, workers, [&](int worker, int i) {
            Run& r = runs[static_cast<std::size_t>(i)];
            const std::string_view text = bytes.substr(r.begin, r.end - r.begin);
            r.ok = runReaders[static_cast<std::size_t>(worker)]->read(text, r.fixes, r.brokeAt);
            if (r.ok) r.span = spanOf(text);
        });
        for (std::size_t i = 0; i < runCount; ++i) {
            Run& r = runs[i];
            if (r.ok) {
                takeRun(r);
                continue;
            }
            noRunsBefore = pendingBase + r.end;
            if (r.brokeAt != std::string_view::npos) {
                // A segment or track ends inside the run: the points before the break still
                // go as a shorter run, and expat reads across the break.
                const std::size_t broke = r.begin + r.brokeAt;
                const std::size_t e = lastPointEndTag(pending, r.begin, broke);
                if (e != std::string_view::npos &&
                    runReaders[0]->read(bytes.substr(r.begin, e - r.begin), r.fixes, r.brokeAt)) {
                    r.end = e;
                    r.span = spanOf(bytes.substr(r.begin, r.end - r.begin));
                    takeRun(r);
                    noRunsBefore = pendingBase + broke;
                }
            }
            return RunsRead::Stopped;
        }
        return RunsRead::All;
    }

    void takeRun(const Run& r) {
        for (const GpxPointFix& f : r.fixes) takePoint(f.readable, f.lat, f.lon, f.time);
        // Expat's place is still at the end tag it read last; the document's has moved on.
        const XML_Size line = XML_GetCurrentLineNumber(parser);
        const auto column =
            static_cast<std::int64_t>(XML_GetCurrentColumnNumber(parser) + kPointEndTagBytes);
        const std::int64_t columnBefore = column + (line == shiftedLine ? columnShift : 0);
        skippedLineEnds += r.span.lineEnds;
        const auto tail = static_cast<std::int64_t>(r.span.tailChars);
        const std::int64_t columnAfter = r.span.lineEnds > 0 ? tail : columnBefore + tail;
        shiftedLine = line;
        columnShift = columnAfter - column;
        pointsInRuns += r.fixes.size();
        pendingAt = r.end;
        afterEndTag = true;
    }

    // Reads what `pending` holds, by runs where it may and by expat elsewhere. Expat reads up
    // to each point's end tag so that a run may start there; bytes that could begin an end tag
    // cut by the piece's end wait for the next piece.
    bool advance(bool last) {
        while (!broken) {
            if (afterEndTag && pendingBase + pendingAt >= noRunsBefore && atPointBoundary()) {
                const RunsRead read = readRuns(last);
                if (read == RunsRead::All) continue;
                if (read == RunsRead::Wait) break;  // expat stays where it is
            }
            std::size_t to = firstPointEndTag(pending, pendingAt);
            afterEndTag = to != std::string_view::npos;
            if (!afterEndTag) {
                const std::size_t keep = last ? 0 : kPointEndTagBytes - 1;
                to = std::max(pendingAt, pending.size() > keep ? pending.size() - keep : 0);
            }
            const bool final = last && to == pending.size();
            if (to == pendingAt && !final) break;
            const std::string_view bytes(pending);
            if (!toExpat(bytes.substr(pendingAt, to - pendingAt), final)) return false;
            pendingAt = to;
            if (final) break;
        }
        if (last && !finalSent && !broken && !toExpat({}, true)) return false;
        pending.erase(0, pendingAt);
        pendingBase += pendingAt;
        pendingAt = 0;
        return !broken;
    }

    void noteDamage() {
        const XML_Error code = XML_GetErrorCode(parser);
        const XML_Size line = XML_GetCurrentLineNumber(parser);
        const std::int64_t column = static_cast<std::int64_t>(XML_GetCurrentColumnNumber(parser)) +
                                    (line == shiftedLine ? columnShift : 0);
        stats.damage = "line " + std::to_string(line + skippedLineEnds) + ", column " +
                       std::to_string(column) + ": " + XML_ErrorString(code);
        broken = true;
    }
};

GpxTrackReader::GpxTrackReader(RaceTimes& race, BoatTrack& track, GpsTrackStats& stats,
                               std::size_t runBytes)
    : state_(std::make_unique<State>(race, track, stats, runBytes)) {
    stats.kind = TrackFileKind::Gpx;
    state_->makeParser(nullptr);
}

GpxTrackReader::~GpxTrackReader() {
    if (state_->parser) XML_ParserFree(state_->parser);
}

bool GpxTrackReader::feed(std::string_view piece, bool last) {
    State& s = *state_;
    if (s.broken) return false;
    if (s.runBytes == 0) return s.toExpat(piece, last);
    s.pending.append(piece);
    return s.advance(last);
}

void GpxTrackReader::finish() { state_->keeper.finish(); }

std::uint64_t GpxTrackReader::pointsReadInRuns() const { return state_->pointsInRuns; }

GpsTrackStats parseGpxTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track,
                            std::size_t runBytes) {
    GpsTrackStats stats;
    stats.accepted = true;
    stats.refusal = TrackFileRefusal::None;
    stats.bytes = bytes.size();
    GpxTrackReader reader(race, track, stats, runBytes);
    reader.feed(bytes, true);
    reader.finish();
    return stats;
}

}  // namespace brisko
