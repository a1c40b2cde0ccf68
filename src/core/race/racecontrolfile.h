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

// A boat left out of the race because its GPS file is not in the GPS data folder.
struct DroppedBoat {
    std::string name;     // BoatName
    std::string gpsFile;  // GpsFile as the race file writes it
};

struct RaceFileReadResult {
    bool ok = true;
    std::string error;                 // in the user's language when ok is false
    bool analysisViewEnabled = false;  // the leg-analysis view needs two or more course entries
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<DroppedBoat> droppedBoats;  // in boat order; one message named the first
};

// Reads AppPath + "\raceadmin\" + def.RaceFileName (found whatever its letter case) into the
// race definition, then drops a missing wind file and boats whose GPS file is missing (one
// message names the first missing file). On failure the definition is left as it was.
RaceFileReadResult readRaceControlFile(const AppSettings& settings, RaceDefinition& def,
                                       MessageSink& sink);

// Parses the bytes of a race control file (CP932 or UTF-8, with or without BOM) into the race
// definition and computes the derived fields. Checks no files; never fails on bad content.
RaceFileReadResult parseRaceControlText(std::string_view bytes, RaceDefinition& def);

// The wind file check (a missing file clears WindFileName silently) and the GPS file check
// (boats whose file is missing are removed; one message names the first of them). Returns the
// boats removed, in their order.
std::vector<DroppedBoat> checkRaceFiles(const AppSettings& settings, RaceDefinition& def,
                                        MessageSink& sink);

// The file's text in UTF-8 with CR LF line ends. Also sets ViewRotation from NorthUp and
// MeanWindDir, as every write of the race does.
std::string formatRaceControlFile(RaceDefinition& def);

// Encodes the text (CP932 when every character fits, else UTF-8 with BOM) and replaces
// AppPath + "\raceadmin\" + def.RaceFileName atomically. An empty RaceFileName writes nothing
// and succeeds. On failure the old file stays whole and the result says why.
WriteResult writeRaceControlFile(const AppSettings& settings, RaceDefinition& def);

// Whether a race file name names a plain file inside \raceadmin\ (no folder parts, not "..").
bool isPlainFileName(std::string_view name);

}  // namespace brisko
