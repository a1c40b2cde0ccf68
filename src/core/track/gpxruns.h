// Long runs of track points, the bulk of every GPX log, read quickly with pugixml: the
// streaming reader (expat) vouches that a run starts inside a track segment, right after a
// track point, and hands the bytes up to a later track point's end to this reader, which
// parses them as an XML fragment. Anything whose meaning would need the document's context
// (references, comments, CDATA, namespace declarations on a point) makes the run refused, and
// expat reads it instead; so both ways give the same fixes for every well-formed document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "util/datetime.h"

namespace brisko {

// One track point of a run: its position in minutes of arc and its time, when readable.
struct GpxPointFix {
    double lat = 0, lon = 0;
    CivilSeconds time = 0;
    bool readable = false;
};

// How far a run moves the reading's place in the document: the line ends it holds (as XML
// counts them: "\r\n", a lone "\r" and "\n" each end one line) and the characters after its
// last line end. Said in a damaged document's message, which expat alone could not place.
struct TextSpan {
    std::uint64_t lineEnds = 0;
    std::uint64_t tailChars = 0;
};
TextSpan spanOf(std::string_view text);

// The end of the last track point end tag ("</trkpt>") within bytes[from, to), or npos.
std::size_t lastPointEndTag(std::string_view bytes, std::size_t from, std::size_t to);
// The end of the first track point end tag at or after `from`, or npos.
std::size_t firstPointEndTag(std::string_view bytes, std::size_t from);

// Reads runs; one per thread, as it keeps its document and scratch copy between runs.
class GpxRunReader {
public:
    GpxRunReader();
    ~GpxRunReader();
    GpxRunReader(const GpxRunReader&) = delete;
    GpxRunReader& operator=(const GpxRunReader&) = delete;

    // Reads the track points of `run` (elements and text as found inside a track segment)
    // into `fixes`, in order. False when the run is refused; `brokeAt` is then where pugixml
    // found the run unreadable (npos when it was refused for what it holds).
    bool read(std::string_view run, std::vector<GpxPointFix>& fixes, std::size_t& brokeAt);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace brisko
