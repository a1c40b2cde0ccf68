// The wind data file ("\winddat\<race>_WIND.CSV"): the wind store the race screen keeps, its
// reader and its writer. Used by the race set-up, the wind graph and its data entry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/appsettings.h"
#include "race/racedefinition.h"
#include "util/fileutil.h"
#include "util/textcodec.h"

namespace brisko {

constexpr int kWindCapacityStart = 100;
constexpr int kWindCapacityStep = 20;
constexpr int kWindCapacityMargin = 10;
// A line holds at most this many fields; only the first three are used.
constexpr int kMaxWindFields = 51;
constexpr const char* kWindFileHeader = "TIME,WIND SPEED,WIND DIRECTION (Mag)";

// Wind samples in file order, numbered from 1 (element 0 unused).
struct WindStore {
    std::vector<double> WindSec{0};    // seconds from RaceStart
    std::vector<double> WindSpeed{0};  // true wind speed
    std::vector<double> WindDir{0};    // degrees magnetic, where the wind comes from
    int WindCount = 0;
    // The room the store reports: 100 at the start, +20 whenever the count passes capacity - 10.
    int capacity = kWindCapacityStart;

    void clear();
    void append(double sec, double speed, double dir);
};

struct WindReadResult {
    bool ok = true;        // false only when the file could not be read at all
    std::string error;     // why, when ok is false
    int linesSkipped = 0;  // sample lines without a readable date-time
    TextEncoding encoding = TextEncoding::Utf8;
};

// The wind file name for a race file: its name up to the first "." and "_WIND.CSV".
std::string windFileNameFor(const std::string& raceFileName);

// Reads the text of a wind file into `store` (emptied first). Samples outside ViewStart..ViewEnd
// (whole minutes) are dropped when RaceEnd is set; times are seconds from RaceStart. Lines whose
// date-time cannot be read are skipped; unreadable numbers read as 0.
WindReadResult parseWindText(std::string_view bytes, const RaceDefinition& race, WindStore& store);
WindReadResult readWindFile(const std::string& path, const RaceDefinition& race, WindStore& store);

// The file's text: the header and one CR LF line per sample, "yyyy/mm/dd hh:mm:ss,speed,dir".
std::string formatWindText(const RaceDefinition& race, const WindStore& store);

// Replaces the file at `path` atomically; the old file stays whole on failure. Fails without
// writing when RaceStart is not a date-time (the samples' times could not be written).
WriteResult writeWindFile(const std::string& path, const RaceDefinition& race,
                          const WindStore& store);

// The race's wind file: AppPath + "\winddat\" + WindFileName (folder created when missing).
std::string windFilePath(const AppSettings& settings, const RaceDefinition& race);
// Writes it like writeWindFile; a failure's message is in the user's language.
WriteResult writeRaceWindFile(const AppSettings& settings, const RaceDefinition& race,
                              const WindStore& store);

}  // namespace brisko
