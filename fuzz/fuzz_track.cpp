// Fuzz target: the GPS track file reader on arbitrary bytes, with and without a race window
// around the fixes, so that both the window rules and the line forms are reached.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "track/gpstrack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace brisko;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (bool windowed : {false, true}) {
        RaceDefinition race;
        race.TimeDiff = 9;
        if (windowed) {
            race.RaceStart = "2005/08/11 10:00:00";
            race.RaceEnd = "2005/08/11 12:00:00";
            race.ViewStart = "2005/08/11 09:50:00";
            race.ViewEnd = "2005/08/11 12:10:00";
        }
        BoatTrack track;
        GpsTrackStats stats = parseGpsTrack(bytes, race, track);
        if (stats.kept != track.count()) std::abort();
        // Every kept fix is a position on the globe.
        for (int k = 1; k <= track.count(); ++k) {
            if (!std::isfinite(track.TrkLat[k]) || std::abs(track.TrkLat[k]) > 90 * 60)
                std::abort();
            if (!std::isfinite(track.TrkLon[k]) || std::abs(track.TrkLon[k]) > 180 * 60)
                std::abort();
        }
    }
    return 0;
}
