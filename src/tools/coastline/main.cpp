// brisko-coastline: makes the coastline tiles that cover a race's tracks from the
// full-resolution GSHHG shorelines (read through GMT's "gmt coast"), writes them in WGS 84 into
// the application folder's coastline folder and names them in the race file's MAP records.
#include <iostream>
#include <string>
#include <vector>

#include "session/openrace.h"
#include "track/coastline.h"
#include "track/coastmaker.h"
#include "util/fileutil.h"
#include "util/options.h"

using namespace brisko;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
const char* const kUsage =
    "usage: brisko-coastline --app-dir DIR --race FILE.txt [--replace]\n"
    "Makes the coastline tiles (coastline/*.cst, WGS 84) that cover the race's tracks from the\n"
    "full-resolution GSHHG shorelines through gmt, and adds their MAP records to the race file.\n"
    "Tiles already in the folder are kept unless --replace is given.\n"
    "Needs the Debian packages gmt and gmt-gshhg-full.\n";

struct Arguments {
    std::string appDir, raceFile;
    bool replace = false;
};

bool parseArguments(int argc, char** argv, Arguments& a, std::string& error) {
    for (OptionReader o(argc, argv); o.next();) {
        if (o.is("--app-dir")) {
            if (!o.value(a.appDir, error)) return false;
        } else if (o.is("--race")) {
            if (!o.value(a.raceFile, error)) return false;
        } else if (o.is("--replace")) {
            a.replace = true;
        } else {
            error = "unknown argument " + o.option();
            return false;
        }
    }
    if (a.appDir.empty() || a.raceFile.empty()) {
        error = "--app-dir and --race are both needed";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, args, error)) {
        std::cerr << "brisko-coastline: " << error << '\n' << kUsage;
        return kExitUsage;
    }
    AppSettings settings;
    settings.AppPath = args.appDir;
    while (settings.AppPath.size() > 1 && settings.AppPath.back() == '/')
        settings.AppPath.pop_back();
    settings.Lang = 1;
    settings.ProductTitle = "Brisko";
    settings.EditionMode = 1;  // the opening writes nothing; the MAP records are written below
    if (!folderExists(settings.AppPath)) {
        std::cerr << "brisko-coastline: no application folder " << settings.AppPath << '\n';
        return kExitFailure;
    }
    if (!isPlainFileName(args.raceFile)) {
        std::cerr << "brisko-coastline: the race file is named without folder: "
                  << shownName(args.raceFile) << '\n';
        return kExitUsage;
    }

    // The tracks' box, from the race opened as the race screen opens it.
    StderrMessageSink sink("brisko-coastline: ");
    RaceDefinition opened;
    opened.RaceFileName = args.raceFile;
    RaceData data;
    const OpenRaceResult result = openRace(settings, opened, data, sink);
    if (!result.ok) {
        if (sink.shown == 0) std::cerr << "brisko-coastline: " << result.error << '\n';
        return kExitFailure;
    }
    for (const DroppedBoat& d : result.droppedBoats)
        std::cerr << "brisko-coastline: boat \"" << shownName(d.name)
                  << "\" left out of the area: its GPS file is missing\n";
    const TrackStore& t = data.tracks;
    const std::vector<CoastBand> bands = planCoastTiles(t);
    if (bands.empty()) {
        std::cerr << "brisko-coastline: the race's tracks give no area to cover\n";
        return kExitFailure;
    }

    CoastMakeOptions makeOptions;
    makeOptions.replace = args.replace;
    const CoastMakeResult made = makeCoastTiles(settings, bands, makeOptions);
    if (!made.gmtError.empty())
        std::cerr << made.gmtError << (made.gmtError.back() == '\n' ? "" : "\n");
    if (made.badLines > 0)
        std::cerr << "brisko-coastline: " << made.badLines
                  << " lines of gmt's output were no points\n";
    // Without gmt's shorelines or the folder no tile was tried, and the race file stays as it is.
    if (made.tiles.empty()) {
        std::cerr << "brisko-coastline: " << made.message << '\n';
        return kExitFailure;
    }
    bool failed = false;
    for (const CoastTileMade& t : made.tiles) {
        switch (t.outcome) {
            case CoastTileOutcome::Kept:
                std::cout << "coastline/" << t.name
                          << ".cst: kept (already there; --replace makes it anew)\n";
                break;
            case CoastTileOutcome::NoShore:
                std::cout << "coastline/" << t.name
                          << ".cst: no shoreline in this square, not written\n";
                break;
            case CoastTileOutcome::Failed:
                std::cerr << "brisko-coastline: " << writeFailureText(t.write, true) << '\n';
                failed = true;
                break;
            case CoastTileOutcome::Written:
                std::cout << "coastline/" << t.name << ".cst: written\n";
                break;
        }
    }

    // The race file, read as it stands (every boat kept, also one whose file is missing), with
    // the tile list that the race screen chooses for these tracks.
    const std::string racePath = resolvePath(settings.AppPath, "\\raceadmin\\" + args.raceFile);
    const auto bytes = readFileBytes(racePath);
    RaceDefinition def;
    RaceFileReadResult parsed;
    if (bytes)
        parsed = parseRaceControlText(*bytes, def, settings);
    else
        parsed.ok = false;
    if (!bytes || !parsed.ok || !parsed.warnings.empty()) {
        for (const std::string& w : parsed.warnings) std::cerr << "brisko-coastline: " << w << '\n';
        std::cerr << "brisko-coastline: the race file " << racePath
                  << " is left as it is (writing it again would lose part of it); add these "
                     "lines to it:\n";
        for (const CoastBand& b : bands)
            std::cerr << "MAP, " << coastTileName(b.latBand, b.lonBand) << '\n';
        return kExitFailure;
    }
    def.RaceFileName = args.raceFile;
    chooseCoastTiles(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor, def);
    const WriteResult w = writeRaceControlFile(settings, def);
    if (!w.ok) {
        std::cerr << "brisko-coastline: " << writeFailureText(w, true) << '\n';
        return kExitFailure;
    }
    std::cout << "raceadmin/" << args.raceFile << ": " << def.CoastTileCount
              << (def.CoastTileCount == 1 ? " MAP record" : " MAP records") << '\n';
    return failed ? kExitFailure : 0;
}
