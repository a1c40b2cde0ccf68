// GPX 1.1 (and 1.0) track logs: every track point of every segment of every track, in document
// order, into one boat's samples through the same rules as the track files. Read with expat,
// and the long runs of track points with pugixml.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "race/racetimes.h"
#include "track/gpstrack.h"
#include "track/trackstore.h"
#include "util/datetime.h"

namespace brisko {

// Reads an ISO 8601 date and time ("2025-06-21T11:18:34Z", "2025-06-21T13:18:34.250+02:00",
// "...+0200", "...-05"; without a zone it is UTC) as whole UTC seconds, a fraction dropped.
// nullopt when it is not a date and time.
std::optional<CivilSeconds> readIsoTime(std::string_view text);

// A coordinate attribute's text in degrees, as minutes of arc; false when it is not a number
// within `limit` degrees.
bool readGpxDegrees(std::string_view text, double limit, double& minutes);

// A time element whose text is longer than this is no time.
constexpr std::size_t kGpxMostTimeText = 64;

// The bytes of track points read at once by pugixml, once expat has vouched for where they
// start (0: expat reads everything).
constexpr std::size_t kGpxRunBytes = 256 * 1024;

// Streams one GPX document into a boat's track: feed its bytes in pieces of any size, then
// finish. Waypoints, routes, elevations and extensions in other namespaces are passed over; a
// track point without a readable time or position is counted as unreadable. When the XML breaks
// (a cut-off file, a stray byte) the points read before the break stay and `damage` says where.
class GpxTrackReader {
public:
    GpxTrackReader(RaceTimes& race, BoatTrack& track, GpsTrackStats& stats,
                   std::size_t runBytes = kGpxRunBytes);
    ~GpxTrackReader();
    GpxTrackReader(const GpxTrackReader&) = delete;
    GpxTrackReader& operator=(const GpxTrackReader&) = delete;

    // False once the document can no longer be read (later pieces are then ignored).
    bool feed(std::string_view piece, bool last);
    // Settles the finish and the last fix (call once, after the last piece).
    void finish();
    // How many track points were read in runs (the quick way) rather than by expat.
    std::uint64_t pointsReadInRuns() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

// A whole GPX document at once.
GpsTrackStats parseGpxTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track,
                            std::size_t runBytes = kGpxRunBytes);

}  // namespace brisko
