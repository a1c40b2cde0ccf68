// The race opening sequence shared by the race screen and brisko-analyse.
#include "race/openrace.h"

#include <algorithm>

#include "race/racecontrolfile.h"
#include "track/kinematics.h"
#include "util/datetime.h"
#include "util/fileutil.h"

namespace brisko {

namespace {

// GPS times are local time this many hours ahead when the race gives no difference.
constexpr int kDefaultTimeDiff = 9;
// The time bar reaches this long past the finish.
constexpr double kReplayAfterFinish = 60;

// The race of one track file without a race control file. Set up again for the same track (new
// start and finish times confirmed for it), the definition stays as it is. For another track
// nothing of the race shown before is kept but the time difference: its start and finish would
// cut the new track, its marks and course would be drawn on it.
void makeSingleTrackRace(RaceDefinition& race, const std::string& trackFile) {
    const bool sameTrack = race.BoatCount == 1 && race.Boats[1].GpsFile == trackFile;
    if (!sameTrack) {
        RaceDefinition fresh;
        fresh.TimeDiff = race.TimeDiff;
        fresh.BoatLength = kDefaultBoatLength;
        race = std::move(fresh);
    }
    race.BoatCount = 1;
    race.Boats[1].GpsFile = trackFile;
    race.Boats[1].BoatName = trackFile.substr(0, trackFile.find('.'));
}

}  // namespace

OpenRaceResult openRace(const AppSettings& settings, RaceDefinition& race, RaceData& data,
                        MessageSink& sink, const OpenRaceOptions& options) {
    OpenRaceResult result;
    data = RaceData{};

    const bool hasRaceFile = !race.RaceFileName.empty();
    if (hasRaceFile) {
        RaceFileReadResult read = readRaceControlFile(settings, race, sink);
        if (!read.ok) {
            result.ok = false;
            result.status = OpenRaceStatus::RaceFileFailed;
            result.error = read.error;
            return result;
        }
        data.analysisViewEnabled = read.analysisViewEnabled;
        data.raceFileEncoding = read.encoding;
        result.droppedBoats = std::move(read.droppedBoats);
    } else {
        makeSingleTrackRace(race, options.singleTrackFile);
    }
    const bool startGiven = !race.RaceStart.empty();
    const bool endGiven = !race.RaceEnd.empty();

    if (race.TimeDiff == 0) race.TimeDiff = kDefaultTimeDiff;

    TrackLoadResult load = loadTracks(settings, race, data.tracks, sink, options.progress);
    if (!load.ok) {
        result.ok = false;
        result.status = OpenRaceStatus::GpsFileMissing;
        result.error = load.message;
        return result;
    }

    // The loader settled the start and finish from the fixes: take the race length from them.
    // A race file without a start or a finish needs this as much as a single track does, or the
    // replay would last zero seconds. A start given by the file keeps its pre-start view.
    if (!hasRaceFile || !startGiven || !endGiven) {
        race.RaceSeconds = std::max(0.0, dateTimeDiffSeconds(race.RaceStart, race.RaceEnd));
        if (!hasRaceFile || !startGiven) race.ViewStart = race.RaceStart;
        race.ViewEnd = race.RaceEnd;
    }
    race.RaceSecondsPlus = race.RaceSeconds + race.PreStartSeconds + kReplayAfterFinish;

    if (!race.WindFileName.empty()) {
        auto path = findPath(settings.AppPath, "\\winddat\\" + race.WindFileName);
        if (path && fileExists(*path))
            data.WindShown = readWindFile(*path, race, data.wind).ok;
        else
            race.WindFileName.clear();
    }

    deriveKinematics(data.tracks);
    data.RefSpeed = referenceSpeed(data.tracks, race.RaceSeconds);
    data.SpeedBarScale = speedBarScale(data.RefSpeed);

    data.LastDataTime = 0;
    for (int b = 1; b <= data.tracks.boatCount(); ++b) {
        const int n = data.tracks.TrkCount(b);
        if (n > 0) data.LastDataTime = std::max(data.LastDataTime, data.tracks.TrkSec(b, n));
    }

    // Mark roundings and leg distances, after the kinematics (they read TrkDist) and only when
    // the race has a course.
    data.roundings.clear();
    if (race.CourseCount > 0) {
        computeRoundings(race, data.tracks, data.roundings);
        computeLegDistances(race, data.tracks, data.roundings);
    }

    return result;
}

}  // namespace brisko
