// Making the coastline tiles that cover a race's tracks: the shorelines of the area read through
// GMT's "gmt coast" from the full-resolution GSHHG data (Debian: gmt, gmt-gshhg-full), cut into
// tiles in WGS 84 and written into the application folder's coastline folder. Used by
// brisko-coastline and the race screen's "Make coastline".
#pragma once

#include <string>
#include <vector>

#include "app/appsettings.h"
#include "track/coastline.h"
#include "track/trackstore.h"
#include "util/fileutil.h"
#include "util/programrun.h"

namespace brisko {

// The Debian packages that give gmt and its full-resolution shorelines.
constexpr const char* kCoastPackages = "gmt gmt-gshhg-full";

enum class CoastTileOutcome {
    Written,  // made and written
    Kept,     // already in the folder and not to be replaced
    NoShore,  // no shoreline crosses the square: nothing to write
    Failed,   // could not be written (see write)
};

struct CoastTileMade {
    std::string name;  // "5239", "59-101"
    CoastTileOutcome outcome = CoastTileOutcome::Written;
    WriteResult write;  // the failed write
};

enum class CoastMakeStatus {
    Ok,
    GmtMissing,  // gmt is not installed, or cannot read the full-resolution shorelines
    Failed,      // gmt could not be started, the folder not made, or a tile not written
};

struct CoastMakeResult {
    CoastMakeStatus status = CoastMakeStatus::Ok;
    // Why it went wrong, in the user's language, starting in lower case so that it can follow
    // a program's name; several sentences are separated by line breaks. Empty when ok.
    std::string message;
    std::string gmtError;  // what gmt wrote on standard error when it failed
    int badLines = 0;      // lines of gmt's output that were no points (skipped)
    // Every tile of the plan in its order, once the shorelines were read (empty before).
    std::vector<CoastTileMade> tiles;

    bool ok() const { return status == CoastMakeStatus::Ok; }
    // The names of the tiles with the given outcome.
    std::vector<std::string> named(CoastTileOutcome outcome) const;
};

struct CoastMakeOptions {
    bool replace = false;  // tiles already in the folder are made anew
    ProgramRunner runner;  // runs gmt; empty: runProgram
};

// The tiles that cover the tracks of a race: the first-level squares of the race area the race
// screen reads its coastline from, south to north and west to east.
std::vector<CoastBand> planCoastTiles(const TrackStore& tracks);

// The "gmt coast" command line that prints the shorelines around the tiles (a small margin
// beyond their edges, so that a shore leaving a tile is cut on its border).
std::vector<std::string> gmtCoastCommand(const std::vector<CoastBand>& bands);

// Reads the shorelines with gmt, then writes each tile of `bands` atomically into
// AppPath + "\coastline\" (made when missing). Nothing is written when gmt is missing or fails.
// Sea shores only: lakes are left out.
CoastMakeResult makeCoastTiles(const AppSettings& settings, const std::vector<CoastBand>& bands,
                               const CoastMakeOptions& options = {});

}  // namespace brisko
