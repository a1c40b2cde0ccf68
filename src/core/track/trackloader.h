// Loading every boat's GPS track file into the track store, with a progress report per boat,
// and the bounding box and map values recomputed after each file. Used by openRace.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/appsettings.h"
#include "app/messages.h"
#include "race/racedefinition.h"
#include "track/gpstrack.h"
#include "track/trackstore.h"

namespace brisko {

// Called once per boat before its file is read, with the two lines of the progress message in
// the user's language. The progress bar is boat / boatCount of its full length.
using LoadProgress = std::function<void(int boat, int boatCount, const std::string& line1,
                                        const std::string& line2)>;

// The sample capacity the store reports starts here and grows by a step whenever a sample k
// with k > capacity - step is stored.
constexpr int kTrackCapacityStart = 100;
constexpr int kTrackCapacityStep = 5;
// The smallest span of the tracks, in minutes of latitude, the map view starts from.
constexpr double kMinTrackSpan = 0.1;

struct TrackLoadResult {
    bool ok = true;
    int missingBoat = 0;      // the boat whose GPS file was missing (ok false)
    std::string missingPath;  // where that file was looked for
    std::string message;      // the message shown, in the user's language
    // What each boat's file gave: lines read, fixes kept and left out, or why it was not read.
    // Numbered by boat from 1 (element 0 unused); filled when ok.
    std::vector<GpsTrackStats> stats;
};

// The progress texts for boat i of n.
std::string loadProgressLine1(const RaceDefinition& race, int boat);
std::string loadProgressLine2(const AppSettings& settings, const std::string& gpsFile);

// The message for a GPS file that is missing at load time.
std::string missingGpsFileMessage(const AppSettings& settings, const std::string& path);

// Loads boats 1..BoatCount from AppPath + "\GPSDAT\" + GpsFile into `store` (emptied first) and
// sets FirstFix, LastFix and the race times the files settle. A missing file, a folder or a
// name that is no plain file name stops the loading with its message through `sink` and a
// failed result: no partial race is shown. The result keeps every file's counts. The files read
// once the race times are settled are read on `workers` threads (0: two when the machine has
// two processors); the store and the race times come out the same whatever the count.
TrackLoadResult loadTracks(const AppSettings& settings, RaceDefinition& race, TrackStore& store,
                           MessageSink& sink, const LoadProgress& progress = {}, int workers = 0);

// Raises TrkCapacity by its step rule for a boat that now holds `count` samples.
void growTrackCapacity(TrackStore& store, int count);

// After one boat's file: widens the bounding box by that boat's samples (those with both
// coordinates non-zero) and recomputes the centre, the home position, the geodetic factors,
// LonFactor, TrackSpan and InitScale.
void updateMapValues(TrackStore& store, int boat);

}  // namespace brisko
