// What each reader must survive on arbitrary bytes: one function per reader, called by the
// libFuzzer targets and, over the stored corpus, by the ordinary test suite. A broken promise
// (a fix off the globe, a round trip that changes the file) aborts, as a crash would.
#include "race/racedefinition.h"
#include "fuzztargets.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "race/racecontrolfile.h"
#include "track/coastline.h"
#include "track/gpstrack.h"
#include "track/gpxtrack.h"
#include "track/nmeatrack.h"
#include "track/windfile.h"

namespace brisko::fuzz {

// The race control file reader on arbitrary bytes, and the writer's round trip —
// a race that was read and written back reads again to the same text.
int fuzzRaceFile(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RaceDefinition first;
    parseRaceControlText(bytes, first);
    const std::string written = formatRaceControlFile(first);
    RaceDefinition second;
    parseRaceControlText(written, second);
    if (formatRaceControlFile(second) != written) std::abort();
    return 0;
}

namespace {

// Runs one track reader with and without a race window around the fixes, so that both the
// window rules and the line forms are reached, and checks what it kept.
template <typename Reader>
void checkTrackReader(std::string_view bytes, Reader read) {
    for (bool windowed : {false, true}) {
        RaceDefinition race;
        race.TimeDiff = 9;
        if (windowed) {
            race.RaceStart = parseDateTime("2005/08/11 10:00:00");
            race.RaceEnd = parseDateTime("2005/08/11 12:00:00");
            race.ViewStart = parseDateTime("2005/08/11 09:50:00");
            race.ViewEnd = parseDateTime("2005/08/11 12:10:00");
        }
        BoatTrack track;
        GpsTrackStats stats = read(bytes, race, track);
        if (stats.kept != track.count()) std::abort();
        if (stats.kept + stats.outsideWindow + stats.sameSecond > stats.trackLines) std::abort();
        // Every kept fix is a position on the globe.
        for (int k = 1; k <= track.count(); ++k) {
            if (!std::isfinite(track.TrkLat[k]) || std::abs(track.TrkLat[k]) > 90 * 60)
                std::abort();
            if (!std::isfinite(track.TrkLon[k]) || std::abs(track.TrkLon[k]) > 180 * 60)
                std::abort();
            if (!std::isfinite(track.TrkSec[k])) std::abort();
        }
    }
}

}  // namespace

// The GPS track file reader on arbitrary bytes.
int fuzzTrack(const uint8_t* data, size_t size) {
    checkTrackReader(std::string_view(reinterpret_cast<const char*>(data), size), parseGpsTrack);
    return 0;
}

// The GPX reader on arbitrary bytes. Fed whole or in small pieces it gives the same track; and
// where expat alone finds the document whole, reading runs of points with pugixml (here runs of
// a few points, so that many starts and refusals are tried) changes nothing.
int fuzzGpx(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkTrackReader(bytes, [](std::string_view b, RaceDefinition& race, BoatTrack& track) {
        return parseGpxTrack(b, race, track);
    });
    constexpr std::size_t kSmallRuns = 40;
    RaceDefinition expatRace, wholeRace, piecesRace;
    BoatTrack byExpat, whole, pieces;
    const GpsTrackStats expatStats = parseGpxTrack(bytes, expatRace, byExpat, 0);
    const GpsTrackStats wholeStats = parseGpxTrack(bytes, wholeRace, whole, kSmallRuns);
    GpsTrackStats pieceStats;
    GpxTrackReader reader(piecesRace, pieces, pieceStats, kSmallRuns);
    for (size_t at = 0; at < size; at += 7)
        if (!reader.feed(bytes.substr(at, 7), at + 7 >= size)) break;
    if (size == 0) reader.feed({}, true);
    reader.finish();
    auto same = [](const BoatTrack& a, const GpsTrackStats& as, const BoatTrack& b,
                   const GpsTrackStats& bs) {
        return a.TrkLat == b.TrkLat && a.TrkLon == b.TrkLon && a.TrkSec == b.TrkSec &&
               as.trackLines == bs.trackLines && as.unreadable == bs.unreadable &&
               as.damage.empty() == bs.damage.empty();
    };
    if (!same(whole, wholeStats, pieces, pieceStats)) std::abort();
    if (expatStats.damage.empty() && !same(byExpat, expatStats, whole, wholeStats)) std::abort();
    return 0;
}

// The NMEA reader on arbitrary bytes.
int fuzzNmea(const uint8_t* data, size_t size) {
    checkTrackReader(std::string_view(reinterpret_cast<const char*>(data), size), parseNmeaTrack);
    return 0;
}

// The wind data file reader on arbitrary bytes, and the writer's round trip — the
// samples written back read again to the same text.
int fuzzWind(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RaceDefinition race;
    race.RaceStart = parseDateTime("2005/08/11 10:00:00");
    race.RaceEnd = parseDateTime("2005/08/11 12:00:00");
    race.ViewStart = parseDateTime("2005/08/11 09:50:00");
    race.ViewEnd = parseDateTime("2005/08/11 12:10:00");
    WindStore first;
    parseWindText(bytes, race, first);
    const std::string written = formatWindText(race, first);
    WindStore second;
    parseWindText(written, race, second);
    if (formatWindText(race, second) != written) std::abort();
    return 0;
}

// The coastline tile reader on arbitrary bytes, over a drawing window that takes
// in the whole first-level square and its neighbours.
int fuzzCoastline(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CoastWindow window{2000, 2200, 8000, 8300};
    CoastLine line;
    readCoastlineText(text, window, line);
    if (line.CoastCount + 1 > static_cast<int>(line.CoastLat.size())) std::abort();
    for (int i = 1; i <= line.CoastCount; ++i)
        if (!std::isfinite(line.CoastLat[i]) || !std::isfinite(line.CoastLon[i])) std::abort();
    return 0;
}

}  // namespace brisko::fuzz
