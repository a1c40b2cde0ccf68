// The race control file ("\raceadmin\*.txt"): reader, writer and the check of the files a race
// refers to. Used by the race screen's set-up, the map's course set-up, the editor and tools.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/appsettings.h"
#include "app/messages.h"
#include "race/racedefinition.h"
#include "util/fileutil.h"
#include "util/textcodec.h"

namespace brisko {

// Why a boat was left out of the race before its track was read.
enum class DropReason {
    Missing,      // no such file in the GPS data folder
    Folder,       // the name is that of a folder
    RefusedName,  // the name is no plain file name (folder parts, "..", control characters)
};

// A boat left out of the race because its GPS file cannot be read from the GPS data folder.
struct DroppedBoat {
    std::string name;     // BoatName
    std::string gpsFile;  // GpsFile as the race file writes it
    DropReason reason = DropReason::Missing;
    int number = 0;  // the boat's place among the race file's BN records, from 1
};

// "missing", "folder" or "refused name".
const char* dropReasonKey(DropReason reason);

struct RaceFileReadResult {
    bool ok = true;
    std::string error;                 // in the user's language when ok is false
    bool analysisViewEnabled = false;  // the leg-analysis view needs two or more course entries
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<DroppedBoat> droppedBoats;  // in boat order; one message named the first
    // What the reader left out or could not use (records beyond a list's capacity, positions
    // that are no positions, a file cut short...), one sentence each in the user's language.
    std::vector<std::string> warnings;
};

// Reads AppPath + "\raceadmin\" + def.RaceFileName (found whatever its letter case) into the
// race definition, then drops a missing wind file and boats whose GPS file is missing (one
// message names the first missing file). A file without a single boat is no race and fails.
// On failure the definition is left as it was.
RaceFileReadResult readRaceControlFile(const AppSettings& settings, RaceDefinition& def,
                                       MessageSink& sink);

// Parses the bytes of a race control file (CP932 or UTF-8, with or without BOM) into the race
// definition and computes the derived fields. Checks no files. The definition is always
// filled; the result fails when the bytes give no boat (empty, binary, UTF-16 or no BN line)
// and lists in `warnings` what was left out, in the language of `settings`.
RaceFileReadResult parseRaceControlText(std::string_view bytes, RaceDefinition& def,
                                        const AppSettings& settings = {});

// The one check of every file name a race file gives (GPS files, wind file, coastline tiles,
// attachments) before a path is made of it: names that are not plain are refused with one
// message, their boats dropped, the wind file cleared, the tiles and attachments removed.
// Then the wind file check (a missing file clears WindFileName silently, a folder is said) and
// the GPS file check (boats whose file is missing are removed; one message names the first of
// them; a folder is said). Returns the boats removed, in their order.
// The race as its file holds it: `shown` with the boats left out of it put back at their
// places, so that writing the race again never loses a boat whose log is only missing for now.
RaceDefinition withDroppedBoats(const RaceDefinition& shown,
                                const std::vector<DroppedBoat>& dropped);

std::vector<DroppedBoat> checkRaceFiles(const AppSettings& settings, RaceDefinition& def,
                                        MessageSink& sink);

// The file's text in UTF-8 with CR LF line ends. Also sets ViewRotation from NorthUp and
// MeanWindDir, as every write of the race does.
std::string formatRaceControlFile(RaceDefinition& def);

// Encodes the text (CP932 when every character fits, else UTF-8 with BOM) and replaces
// AppPath + "\raceadmin\" + def.RaceFileName atomically. An empty RaceFileName writes nothing
// and succeeds. On failure the old file stays whole and the result says why.
WriteResult writeRaceControlFile(const AppSettings& settings, RaceDefinition& def);

}  // namespace brisko
