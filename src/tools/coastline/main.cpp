// brisko-coastline: makes the coastline tiles that cover a race's tracks from the
// full-resolution GSHHG shorelines (read through GMT's "gmt coast"), writes them in WGS 84 into
// the application folder's coastline folder and names them in the race file's MAP records.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "race/openrace.h"
#include "track/coastline.h"
#include "track/coasttilewriter.h"
#include "util/fileutil.h"

extern char** environ;

using namespace brisko;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
// Beyond the tiles' edges, so that a shore leaving a tile is cut on its border, not before it.
constexpr double kRegionMarginDegrees = 0.02;

const char* const kUsage =
    "usage: brisko-coastline --app-dir DIR --race FILE.txt [--replace]\n"
    "Makes the coastline tiles (coastline/*.cst, WGS 84) that cover the race's tracks from the\n"
    "full-resolution GSHHG shorelines through gmt, and adds their MAP records to the race file.\n"
    "Tiles already in the folder are kept unless --replace is given.\n"
    "Needs the Debian packages gmt and gmt-gshhg-full.\n";

const char* const kPackages =
    "install the Debian packages gmt gmt-gshhg-full "
    "(apt-get install gmt gmt-gshhg-full)";

struct Arguments {
    std::string appDir, raceFile;
    bool replace = false;
};

bool parseArguments(int argc, char** argv, Arguments& a, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string opt = argv[i];
        auto next = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = opt + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        if (opt == "--app-dir") {
            if (!next(a.appDir)) return false;
        } else if (opt == "--race") {
            if (!next(a.raceFile)) return false;
        } else if (opt == "--replace") {
            a.replace = true;
        } else {
            error = "unknown argument " + opt;
            return false;
        }
    }
    if (a.appDir.empty() || a.raceFile.empty()) {
        error = "--app-dir and --race are both needed";
        return false;
    }
    return true;
}

struct RunResult {
    int spawnError = 0;  // errno of a program that could not be started
    int status = -1;     // exit status when it ended normally, else -1
    std::string out, err;
};

// Runs a program found on PATH with no shell in between, collecting its standard output and
// standard error.
RunResult runProgram(const std::vector<std::string>& args) {
    RunResult r;
    int outPipe[2], errPipe[2];
    if (::pipe(outPipe) != 0) {
        r.spawnError = errno;
        return r;
    }
    if (::pipe(errPipe) != 0) {
        r.spawnError = errno;
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return r;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    for (int fd : {outPipe[0], outPipe[1], errPipe[0], errPipe[1]})
        posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<char*> argv;
    for (const std::string& s : args) argv.push_back(const_cast<char*>(s.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (rc != 0) {
        r.spawnError = rc;
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return r;
    }
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* into[2] = {&r.out, &r.err};
    int open = 2;
    char buf[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                into[i]->append(buf, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& f : fds)
        if (f.fd >= 0) ::close(f.fd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
    return r;
}

std::string degrees(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", d);
    return buf;
}

// The shorelines of the region around the tiles, as "gmt coast" prints them; false (and said)
// when gmt or its full-resolution data are missing.
bool readShorelines(const std::vector<CoastBand>& bands, std::string& text) {
    int south = bands.front().latBand, north = south;
    int west = bands.front().lonBand, east = west;
    for (const CoastBand& b : bands) {
        south = std::min(south, b.latBand);
        north = std::max(north, b.latBand);
        west = std::min(west, b.lonBand);
        east = std::max(east, b.lonBand);
    }
    const double s = std::max(-90.0, south * kBandLatMinutes / 60 - kRegionMarginDegrees);
    const double n = std::min(90.0, (north + 1) * kBandLatMinutes / 60 + kRegionMarginDegrees);
    const double w = kBandLonOriginDegrees + west - kRegionMarginDegrees;
    const double e = kBandLonOriginDegrees + east + 1 + kRegionMarginDegrees;
    const std::string region =
        "-R" + degrees(w) + "/" + degrees(e) + "/" + degrees(s) + "/" + degrees(n);
    const RunResult r =
        runProgram({"gmt", "coast", region, "-Df", "-M", "-W", "--GMT_HISTORY=false"});
    if (r.spawnError == ENOENT) {
        std::cerr << "brisko-coastline: the program gmt was not found; " << kPackages << '\n';
        return false;
    }
    if (r.spawnError != 0) {
        std::cerr << "brisko-coastline: gmt could not be started: " << std::strerror(r.spawnError)
                  << '\n';
        return false;
    }
    if (r.status != 0) {
        if (!r.err.empty()) std::cerr << r.err << (r.err.back() == '\n' ? "" : "\n");
        std::cerr << "brisko-coastline: gmt could not read the full-resolution GSHHG shorelines "
                     "(exit status "
                  << r.status << "); " << kPackages << '\n';
        return false;
    }
    text = r.out;
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
    const std::vector<CoastBand> bands =
        coastTileBands(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor);
    if (bands.empty()) {
        std::cerr << "brisko-coastline: the race's tracks give no area to cover\n";
        return kExitFailure;
    }

    std::string gmtText;
    if (!readShorelines(bands, gmtText)) return kExitFailure;
    int badLines = 0;
    const std::vector<CoastPolyline> shore = readGmtSegments(gmtText, {1}, &badLines);
    if (badLines > 0)
        std::cerr << "brisko-coastline: " << badLines << " lines of gmt's output were no points\n";

    std::string folder = resolvePath(settings.AppPath, "\\coastline");
    if (!folderExists(folder) && ::mkdir(folder.c_str(), 0755) != 0) {
        std::cerr << "brisko-coastline: the folder " << folder
                  << " could not be made: " << std::strerror(errno) << '\n';
        return kExitFailure;
    }
    bool failed = false;
    for (const CoastBand& b : bands) {
        const std::string name = coastTileName(b.latBand, b.lonBand);
        const std::string path = resolvePath(settings.AppPath, "\\coastline\\" + name + ".cst");
        if (fileExists(path) && !args.replace) {
            std::cout << "coastline/" << name
                      << ".cst: kept (already there; --replace makes it anew)\n";
            continue;
        }
        const std::string tile = makeCoastTile(shore, b.latBand, b.lonBand);
        if (tile.empty()) {
            std::cout << "coastline/" << name << ".cst: no shoreline in this square, not written\n";
            continue;
        }
        const WriteResult w = writeFileAtomically(path, tile);
        if (!w.ok) {
            std::cerr << "brisko-coastline: " << writeFailureText(w, true) << '\n';
            failed = true;
            continue;
        }
        std::cout << "coastline/" << name << ".cst: written\n";
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
