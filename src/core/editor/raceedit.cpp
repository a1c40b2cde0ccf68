// The race file editor's operations on the race definition.
#include "editor/raceedit.h"

#include <cmath>

#include "track/gpstrack.h"
#include "util/datetime.h"

namespace brisko {

namespace {
constexpr double kSecondsPerHour = 3600;
constexpr double kStartAfterFirstFix = 4 * 60;  // seconds
constexpr double kViewBeforeStart = 5 * 60;
constexpr const char* kBoatListGap = "        ";
}  // namespace

std::optional<GpsScan> scanGpsFile(const std::string& path) {
    RaceDefinition scratch;  // no times and no time difference: the fixes in GPS time
    BoatTrack track;
    GpsTrackStats stats = readGpsTrackFile(path, scratch, track);
    if (!stats.accepted || track.count() < 1 || !scratch.FirstFix) return std::nullopt;
    GpsScan scan;
    scan.firstFix = *scratch.FirstFix;
    scan.lastFix = scratch.LastFix.value_or(*scratch.FirstFix);
    scan.firstLon = track.TrkLon[1];
    return scan;
}

void applyScanDefaults(RaceDefinition& race, const GpsScan& scan) {
    if (race.TimeDiff == 0)
        race.TimeDiff = nauticalTimeZone(scan.firstLon);
    const double shift = race.TimeDiff * kSecondsPerHour;
    if (!race.RaceStart) race.RaceStart = addSeconds(scan.firstFix, shift + kStartAfterFirstFix);
    if (!race.RaceEnd) {
        race.RaceEnd = addSeconds(scan.lastFix, shift);
        race.ViewEnd = race.RaceEnd;
    }
}

bool addBoat(RaceDefinition& race, const std::string& gpsFile, const std::string& name) {
    if (race.BoatCount >= kMaxBoats) return false;
    ++race.BoatCount;
    race.Boats[race.BoatCount] = {gpsFile, name};
    return true;
}

bool deleteBoat(RaceDefinition& race, int number) {
    if (number < 1 || number > race.BoatCount) return false;
    for (int i = number; i < race.BoatCount; ++i) race.Boats[i] = race.Boats[i + 1];
    race.Boats[race.BoatCount] = {};
    --race.BoatCount;
    return true;
}

std::string boatListLine(const BoatEntry& boat) {
    return boat.BoatName + kBoatListGap + boat.GpsFile;
}

RaceFileReadResult readRaceForEditing(const AppSettings& settings, RaceDefinition& race) {
    RaceFileReadResult res;
    auto path = findPath(settings.AppPath, "\\raceadmin\\" + race.RaceFileName);
    std::optional<std::string> bytes;
    if (path && isPlainFileName(race.RaceFileName)) bytes = readFileBytes(*path);
    if (!bytes) {
        res.ok = false;
        res.error = std::string(settings.tr("レースファイルを読めません: ",
                                            "The race file cannot be read: ")) +
                    shownName(race.RaceFileName);
        return res;
    }
    RaceDefinition read;
    read.RaceFileName = race.RaceFileName;
    res = parseRaceControlText(*bytes, read, settings);
    if (!res.ok) return res;
    read.ViewStart = read.RaceStart ? addSeconds(*read.RaceStart, -kViewBeforeStart) : RaceTime();
    read.ViewEnd = read.RaceEnd;
    race = std::move(read);
    return res;
}

WriteResult RaceFileBackups::backUpOnce(const AppSettings& settings,
                                        const std::string& raceFileName) {
    WriteResult res;
    if (raceFileName.empty() || !isPlainFileName(raceFileName)) return res;
    const std::string target = resolvePath(settings.AppPath, "\\raceadmin\\" + raceFileName);
    if (done_.count(target)) return res;
    if (!fileExists(target)) return res;
    auto old = readFileBytes(target);
    if (!old) {
        res.ok = false;
        res.failure = WriteFailure::Other;
        res.path = target;
        res.error = std::string(settings.tr("元のファイルを読めないため保存しません: ",
                                            "The old file cannot be read, so it is not "
                                            "replaced: ")) +
                    target;
        return res;
    }
    res = writeFileAtomically(target + ".bak", *old);
    if (!res.ok) {
        res.error = std::string(settings.tr("控えのファイルを作れないため保存しません: ",
                                            "No backup copy could be made, so the file is not "
                                            "replaced: ")) +
                    writeFailureText(res, settings.english());
        return res;
    }
    done_.insert(target);
    return res;
}

WriteResult saveRaceForEditing(const AppSettings& settings, RaceDefinition& race,
                               RaceFileBackups& backups) {
    if (race.RaceFileName.empty()) return {};
    WriteResult backup = backups.backUpOnce(settings, race.RaceFileName);
    if (!backup.ok) return backup;
    return writeRaceControlFile(settings, race);
}

}  // namespace brisko
