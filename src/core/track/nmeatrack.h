// NMEA 0183 logs of chartplotters and receivers: RMC and GGA fixes of any talker into one
// boat's samples through the same rules as the track files.
#pragma once

#include <string_view>

#include "race/racetimes.h"
#include "track/gpstrack.h"
#include "track/trackstore.h"

namespace brisko {

// Reads every "$" sentence of `bytes`, wherever it starts (garbage between sentences is passed
// over). RMC ("$GPRMC", "$GNRMC", "$GLRMC", "$GARMC", "$BDRMC", ...) gives a dated fix; GGA a fix
// dated by the latest RMC date, moved a day when its time of day lies more than twelve hours
// from that RMC's (the log crossed midnight UTC between them); GGA fixes before the first RMC
// take its date. A sentence with a missing or wrong checksum, or marked as no fix (RMC status
// "V", GGA quality 0), is skipped and counted. Times with fractions fall in their whole second,
// so the first fix of each second is kept.
GpsTrackStats parseNmeaTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track);

}  // namespace brisko
