// Opening a race: everything the race screen's set-up does before it draws, in one core
// function that the race screen and brisko-analyse both call.
#pragma once

#include <string>
#include <vector>

#include "app/appsettings.h"
#include "app/messages.h"
#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "track/coastline.h"
#include "track/kinematics.h"
#include "track/rounding.h"
#include "track/trackloader.h"
#include "track/trackstore.h"
#include "track/windfile.h"
#include "util/textcodec.h"

namespace brisko {

// What the race screen keeps of an opened race besides the race definition.
struct RaceData {
    TrackStore tracks;
    WindStore wind;
    double RefSpeed = kFallbackRefSpeed;  // knots; always positive
    double SpeedBarScale = kSpeedBarPixels / (kSpeedBarRefFactor * kFallbackRefSpeed);  // px/kn
    double LastDataTime = 0;           // largest last-sample TrkSec over all boats, from 0
    bool WindShown = false;            // a wind data file was read
    bool analysisViewEnabled = false;  // the race file has two or more course entries
    TextEncoding raceFileEncoding = TextEncoding::Cp932;
    // Mark roundings and leg distances; filled after the kinematics when the race has a course.
    RoundingResults roundings;
};

struct OpenRaceOptions {
    // The track shown without a race file (used when RaceFileName is empty).
    std::string singleTrackFile;
    LoadProgress progress;  // once per boat while the tracks load
};

enum class OpenRaceStatus {
    Ok,
    RaceFileFailed,  // the race control file could not be read (its reader told the user)
    GpsFileMissing,  // a GPS file vanished before loading (told the user; the caller may end)
    NoStartTime,     // neither the race file nor any track gives a start time (told the user)
};

struct OpenRaceResult {
    bool ok = true;
    OpenRaceStatus status = OpenRaceStatus::Ok;
    std::string error;  // in the user's language
    // Boats the race file names whose GPS file is missing: left out of the race, which opens
    // without them (the user was told once, naming the first).
    std::vector<DroppedBoat> droppedBoats;
    // What was read in part only: records beyond a capacity, unusable names, positions and
    // track lines, boats without a fix in the race window, course entries beyond the roundings.
    // One sentence each in the user's language; shown to the user as one message.
    std::vector<std::string> warnings;
    // How many of the first `warnings` are the race file's own: the file was read in part, and
    // writing it again from what was read would lose the rest.
    int raceFileWarnings = 0;
    // Each boat's track file counts, numbered like the boats of the race as opened (from 1).
    std::vector<GpsTrackStats> trackStats;
};

// The sentences of the warnings about one boat's track file (none when all went well).
std::vector<std::string> trackFileWarnings(const AppSettings& settings, const BoatEntry& boat,
                                           const GpsTrackStats& stats);

// Reads the race control file named by race.RaceFileName, or, when that is empty, makes the
// single-track race of options.singleTrackFile; a TimeDiff of 0 becomes 9; loads the tracks;
// settles RaceSeconds and the view times when the race has no file or its file gives no start
// or no finish; RaceSecondsPlus; the wind data file; kinematics and the
// reference speed; LastDataTime; the mark roundings. `data` is rebuilt from scratch.
// Boats whose GPS file is missing are left out of the race and listed in the result. Every
// failure is told through `sink` and returned; what was read in part only is told as one
// message and listed in `warnings`.
OpenRaceResult openRace(const AppSettings& settings, RaceDefinition& race, RaceData& data,
                        MessageSink& sink, const OpenRaceOptions& options = {});

// The race screen's coastline load: chooses the tiles from the track store's centre and span,
// stores the tile list with the race in editor mode (EditionMode > 1), then loads. The result
// tells whether that write failed; the coastline is loaded either way.
WriteResult loadCoastlineForRace(const AppSettings& settings, const TrackStore& tracks,
                                 RaceDefinition& def, CoastLine& out);

}  // namespace brisko
