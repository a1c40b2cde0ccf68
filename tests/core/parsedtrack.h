// A log parsed by one of the track readers, with the race it fills in, for the readers' tests.
#pragma once

#include <string>

#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/trackstore.h"

namespace brisko::test {

struct Parsed {
    RaceDefinition race;
    BoatTrack track;
    GpsTrackStats stats;
};

// Parses `text` with `read` (parseGpxTrack, parseNmeaTrack...) under the given time difference.
template <class Reader>
Parsed parsedWith(Reader read, const std::string& text, int timeDiff) {
    Parsed p;
    p.race.TimeDiff = timeDiff;
    p.stats = read(text, p.race, p.track);
    return p;
}

}  // namespace brisko::test
