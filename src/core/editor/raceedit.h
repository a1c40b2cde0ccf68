// What the race file editor does to a race definition, without a window: the boat list, the
// default times from the first boat's log, reading a race for editing, and saving with a
// backup of the file it replaces.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "app/appsettings.h"
#include "race/racecontrolfile.h"
#include "race/racedefinition.h"
#include "util/fileutil.h"

namespace brisko {

// The first and last fix of a GPS log in GPS time, and the first fix's longitude.
struct GpsScan {
    CivilSeconds firstFix = 0;  // GPS (UTC) time
    CivilSeconds lastFix = 0;
    double firstLon = 0;  // minutes of arc, east positive
};

// Reads the log; nullopt when the file cannot be read or holds no readable fix.
std::optional<GpsScan> scanGpsFile(const std::string& path);

// The defaults a new race takes from its first boat's log: the time difference from the
// longitude (whole hours of 15 degrees) when none is set, the start four minutes after the
// first fix and the finish at the last fix, both in local race time, when they are empty.
void applyScanDefaults(RaceDefinition& race, const GpsScan& scan);

// Adds a boat at the end; false when the list is full (the race is unchanged).
bool addBoat(RaceDefinition& race, const std::string& gpsFile, const std::string& name);
// Removes boat `number` (1-based); the later boats move up one place.
bool deleteBoat(RaceDefinition& race, int number);

// The line of the editor's boat list: the name, eight blanks and the GPS file.
std::string boatListLine(const BoatEntry& boat);

// Reads AppPath + "\raceadmin\" + race.RaceFileName for editing: the reader's defaults, the
// boats as written (their files are not checked), then the view period from the times.
RaceFileReadResult readRaceForEditing(const AppSettings& settings, RaceDefinition& race);

// The files whose old contents this run has kept already.
class RaceFileBackups {
public:
    // Before the first overwrite of a race file in this run, its old contents are copied to
    // "<name>.bak" beside it. A file that does not exist yet needs no backup.
    WriteResult backUpOnce(const AppSettings& settings, const std::string& raceFileName);

private:
    std::set<std::string> done_;
};

// Writes the race file after the backup; the result says what failed, in the user's language.
WriteResult saveRaceForEditing(const AppSettings& settings, RaceDefinition& race,
                               RaceFileBackups& backups);

}  // namespace brisko
