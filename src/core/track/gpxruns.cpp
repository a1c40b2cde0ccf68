// Runs of GPX track points read with pugixml (see gpxruns.h for when a run may be read so).
#include "track/gpxruns.h"

#include <cstring>
#include <pugixml.hpp>
#include <string_view>

#include "track/gpxtrack.h"

namespace brisko {

namespace {

constexpr std::string_view kPointEndTag = "</trkpt>";

// Whether the C string `s` is `word`; names are short, so a call to strcmp costs more.
template <std::size_t N>
bool is(const char* s, const char (&word)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (s[i] != word[i]) return false;
    return true;
}

// An attribute that declares a namespace: "xmlns" or "xmlns:prefix".
bool declaresNamespace(const char* name) {
    return name[0] == 'x' && std::strncmp(name, "xmlns", 5) == 0 &&
           (name[5] == '\0' || name[5] == ':');
}

bool declaresAnyNamespace(const pugi::xml_node& n) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute())
        if (declaresNamespace(a.name())) return true;
    return false;
}

// Whether `name` is `local` ("trkpt", "time") with no prefix, with a prefix, or another name.
enum class NameIs { Plain, Prefixed, Other };
template <std::size_t N>
NameIs nameIs(const char* name, const char (&local)[N]) {
    if (is(name, local)) return NameIs::Plain;
    const char* colon = std::strchr(name, ':');
    return colon && is(colon + 1, local) ? NameIs::Prefixed : NameIs::Other;
}

// The length the text has once its line ends are single line feeds, as a streaming XML
// reader hands it over ("\r\n" and a lone "\r" become "\n").
std::size_t normalisedLength(std::string_view s) {
    std::size_t n = s.size();
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        if (s[i] == '\r' && s[i + 1] == '\n') --n;
    return n;
}

// Whether the run holds a reference ("&"), a comment, CDATA section or declaration ("<!"), or
// a NUL byte, where pugixml would stop reading as at the run's end.
bool holdsContextBound(std::string_view run) {
    if (std::memchr(run.data(), '&', run.size()) || std::memchr(run.data(), '\0', run.size()))
        return true;
    // "!" is rare in a track log and "<" everywhere: look for the former.
    for (const char* p = run.data();
         (p = static_cast<const char*>(std::memchr(p, '!', run.size() - (p - run.data())))); ++p)
        if (p > run.data() && p[-1] == '<') return true;
    return false;
}

enum class Outcome { Point, Passed, Refused };

// One element at the top of a run: a track point read into `fix`, another element passed
// over, or a refusal when its reading would depend on namespaces declared inside the run.
Outcome readTopElement(const pugi::xml_node& n, std::string& timeText, GpxPointFix& fix) {
    const NameIs point = nameIs(n.name(), "trkpt");
    if (point == NameIs::Other) return Outcome::Passed;
    bool haveLat = false, haveLon = false;
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        if (is(name, "lat"))
            haveLat = readGpxDegrees(a.value(), 90, fix.lat);
        else if (is(name, "lon"))
            haveLon = readGpxDegrees(a.value(), 180, fix.lon);
        else if (declaresNamespace(name))
            // A declaration here could put this point, or a prefixed time in it, into the GPX
            // namespace or out of it.
            return Outcome::Refused;
    }
    // A prefix in scope never names the GPX namespace where runs are read: not a point.
    if (point == NameIs::Prefixed) return Outcome::Passed;
    // The point's first time of the GPX namespace counts.
    bool timeFound = false;
    std::optional<CivilSeconds> time;
    for (pugi::xml_node c = n.first_child(); c && !timeFound; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        const NameIs timeName = nameIs(c.name(), "time");
        if (timeName == NameIs::Other) continue;
        if (declaresAnyNamespace(c)) return Outcome::Refused;
        if (timeName == NameIs::Prefixed) continue;
        timeFound = true;
        timeText.clear();
        for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling()) {
            // Blank text between child elements is dropped by this reading but not by the
            // streaming one: a time with elements inside is left to that one.
            if (t.type() != pugi::node_pcdata) return Outcome::Refused;
            timeText += t.value();
        }
        if (normalisedLength(timeText) <= kGpxMostTimeText) time = readIsoTime(timeText);
    }
    fix.readable = haveLat && haveLon && time.has_value();
    fix.time = time.value_or(0);
    return Outcome::Point;
}

}  // namespace

// How often byte `c` occurs in `s`, eight bytes at a time.
std::uint64_t countOf(std::string_view s, char c) {
    constexpr std::uint64_t kOnes = 0x0101010101010101, kLow7 = 0x7f7f7f7f7f7f7f7f;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    std::uint64_t n = 0;
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        w ^= pattern;  // bytes equal to c are now 0; mark each with its high bit
        const std::uint64_t marks = ~(((w & kLow7) + kLow7) | w | kLow7);
        // One per marked byte, summed into the top byte (a popcount call costs more here).
        n += ((marks >> 7) * kOnes) >> 56;
    }
    for (; i < s.size(); ++i) n += s[i] == c;
    return n;
}

TextSpan spanOf(std::string_view text) {
    TextSpan span;
    span.lineEnds = countOf(text, '\n');
    if (std::memchr(text.data(), '\r', text.size())) {
        // A "\r" ends a line of its own unless a "\n" follows it.
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++span.lineEnds;
    }
    std::size_t from = text.size();
    while (from > 0 && text[from - 1] != '\n' && text[from - 1] != '\r') --from;
    for (std::size_t i = from; i < text.size(); ++i)
        span.tailChars += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;  // UTF-8 starts
    return span;
}

std::size_t lastPointEndTag(std::string_view bytes, std::size_t from, std::size_t to) {
    to = std::min(to, bytes.size());
    if (from >= to) return std::string_view::npos;
    const std::size_t at = bytes.substr(from, to - from).rfind(kPointEndTag);
    return at == std::string_view::npos ? at : from + at + kPointEndTag.size();
}

std::size_t firstPointEndTag(std::string_view bytes, std::size_t from) {
    if (from >= bytes.size()) return std::string_view::npos;
    const std::size_t at = bytes.find(kPointEndTag, from);
    return at == std::string_view::npos ? at : at + kPointEndTag.size();
}

struct GpxRunReader::Impl {
    pugi::xml_document document;
    std::string scratch;  // pugixml parses in place
    std::string timeText;
};

GpxRunReader::GpxRunReader() : impl_(std::make_unique<Impl>()) {}
GpxRunReader::~GpxRunReader() = default;

bool GpxRunReader::read(std::string_view run, std::vector<GpxPointFix>& fixes,
                        std::size_t& brokeAt) {
    fixes.clear();
    brokeAt = std::string_view::npos;
    // References, comments, CDATA sections and declarations read differently without the
    // document around them.
    if (holdsContextBound(run)) return false;
    Impl& m = *impl_;
    m.scratch.assign(run);
    // A point takes well over a hundred bytes: room for the run's points at once.
    fixes.reserve(run.size() / 64);
    const pugi::xml_parse_result parsed = m.document.load_buffer_inplace(
        m.scratch.data(), m.scratch.size(), pugi::parse_minimal | pugi::parse_fragment,
        pugi::encoding_utf8);
    if (!parsed) {
        brokeAt = static_cast<std::size_t>(parsed.offset);
        return false;
    }
    for (pugi::xml_node n = m.document.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element) continue;  // text between the points
        GpxPointFix fix;
        switch (readTopElement(n, m.timeText, fix)) {
            case Outcome::Point:
                fixes.push_back(fix);
                break;
            case Outcome::Passed:
                break;
            case Outcome::Refused:
                fixes.clear();
                return false;
        }
    }
    return true;
}

}  // namespace brisko
