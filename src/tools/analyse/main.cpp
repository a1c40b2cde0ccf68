// brisko-analyse: opens a race the way the race screen does, without windows, and prints what
// the opening computed as one JSON object. For checks, scripts and comparisons between races.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "analysis/coach.h"
#include "app/startup.h"
#include "coachoutput.h"
#include "jsonwriter.h"
#include "roundingoutput.h"
#include "session/openrace.h"
#include "track/coastline.h"
#include "util/fileutil.h"
#include "util/options.h"

using namespace brisko;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "usage: brisko-analyse [--app-dir DIR] (--race FILE.txt | --track FILE.trk) [--samples] "
    "[--coastline] [--strict]\n"
    "       (--track also takes a GPX file or an NMEA log: .gpx, .nmea, .nma, .log)\n"
    "       brisko-analyse [--app-dir DIR] --race FILE.txt "
    "--csv (time|dist|speed|factor|start|manoeuvres|legs) [--strict]\n"
    "A boat whose GPS file is missing is left out and listed under dropped_boats;\n"
    "with --strict it is an error instead.\n";

struct Arguments {
    std::string appDir, raceFile, trackFile, csvKind;
    bool samples = false, coastline = false, strict = false;
};

// Everything the opening left, for the key writers.
struct Analysis {
    Arguments args;
    AppSettings settings;
    RaceDefinition race;
    RaceData data;
    CoastLine coast;
    std::vector<DroppedBoat> dropped;  // boats left out for a missing GPS file
    OpenRaceResult opened;             // warnings and each boat's track file counts
    CoachAnalysis coach;               // the start, manoeuvres, legs and gaps
};

bool parseArguments(int argc, char** argv, Arguments& a, std::string& error) {
    for (OptionReader o(argc, argv); o.next();) {
        if (o.is("--app-dir")) {
            if (!o.value(a.appDir, error)) return false;
        } else if (o.is("--race")) {
            if (!o.value(a.raceFile, error)) return false;
        } else if (o.is("--track")) {
            if (!o.value(a.trackFile, error)) return false;
        } else if (o.is("--csv")) {
            if (!o.value(a.csvKind, error)) return false;
        } else if (o.is("--samples")) {
            a.samples = true;
        } else if (o.is("--coastline")) {
            a.coastline = true;
        } else if (o.is("--strict")) {
            a.strict = true;
        } else {
            error = "unknown argument: " + o.option();
            return false;
        }
    }
    if (a.raceFile.empty() == a.trackFile.empty()) {
        error = "give one of --race and --track";
        return false;
    }
    if (!a.csvKind.empty() && a.raceFile.empty()) {
        error = "--csv needs --race";
        return false;
    }
    TableKind table;
    CoachCsvKind coach;
    if (!a.csvKind.empty() && !csvTableKind(a.csvKind, table) && !coachCsvKind(a.csvKind, coach)) {
        error = "--csv takes time, dist, speed, factor, start, manoeuvres or legs";
        return false;
    }
    return true;
}

// The folder of this program, when it can be found.
std::string programFolder() {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    std::string path(buf, static_cast<size_t>(n));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The application folder, chosen as the program chooses it: --app-dir, else BRISKO_APP_DIR,
// else the program's own folder when it holds a race folder, else the demo of the source tree.
std::string chooseAppDir(const Arguments& a) {
    std::vector<std::string> args;
    if (!a.appDir.empty()) args = {"brisko-analyse", "--app-dir", a.appDir};
    const char* env = std::getenv("BRISKO_APP_DIR");
#ifdef BRISKO_DEMO_DIR
    const std::string demo = BRISKO_DEMO_DIR;
#else
    const std::string demo = programFolder();
#endif
    return chooseAppFolder(args, env ? env : "", programFolder(), demo);
}

void writeOptionalTime(JsonWriter& w, const char* key, const RaceTime& t) {
    w.key(key);
    if (!t)
        w.null();
    else
        w.value(formatDateTime(*t));
}

// The race's own values, in the order of the output's description.
void writeRaceKeys(JsonWriter& w, const Analysis& a) {
    const RaceDefinition& r = a.race;
    const TrackStore& t = a.data.tracks;
    w.key("race_file");
    if (a.args.raceFile.empty())
        w.null();
    else
        w.value(a.args.raceFile);
    writeOptionalTime(w, "race_start", r.RaceStart);
    writeOptionalTime(w, "race_end", r.RaceEnd);
    writeOptionalTime(w, "view_start", r.ViewStart);
    writeOptionalTime(w, "view_end", r.ViewEnd);
    w.key("time_diff").value(r.TimeDiff);
    w.key("pre_start_seconds").value(r.PreStartSeconds);
    w.key("race_seconds").value(r.RaceSeconds);
    w.key("race_seconds_plus").value(r.RaceSecondsPlus);
    w.key("mean_wind_dir").value(r.MeanWindDir);
    w.key("magnetic_variation").value(r.MagneticVariation);
    w.key("center_lat").value(t.CenterLat);
    w.key("center_lon").value(t.CenterLon);
    w.key("track_span").value(t.TrackSpan);
    w.key("lon_factor").value(t.LonFactor);
    w.key("m_per_min_lat").value(t.MPerMinLat);
    w.key("m_per_min_lon").value(t.MPerMinLon);
    w.key("ref_speed").value(a.data.RefSpeed);
    w.key("last_data_time").value(a.data.LastDataTime);
    w.key("course");
    w.beginArray();
    for (int i = 1; i <= std::min(r.CourseCount, kMaxCourse); ++i) w.value(r.Course[i]);
    w.endArray();
}

// One [sec, lat, lon, dist, speed, course] per kept fix; no speed or course at the last.
void writeSamples(JsonWriter& w, const TrackStore& t, int b) {
    w.key("samples");
    w.beginArray();
    const int n = t.TrkCount(b);
    for (int k = 1; k <= n; ++k) {
        w.beginArray();
        w.value(t.TrkSec(b, k));
        w.value(t.TrkLat(b, k));
        w.value(t.TrkLon(b, k));
        w.value(t.TrkDist(b, k));
        w.valueOrNull(k < n, t.TrkSpeed(b, k));
        w.valueOrNull(k < n, t.TrkCourse(b, k));
        w.endArray();
    }
    w.endArray();
}

const char* trackFileKey(const GpsTrackStats& st) {
    if (st.accepted) return "read";
    switch (st.refusal) {
        case TrackFileRefusal::WrongExtension:
            return "wrong extension";
        case TrackFileRefusal::TooSmall:
            return "too small";
        default:
            return "not readable";
    }
}

// What the boat's track file gave besides its kept fixes: whether it was read at all, and the
// fixes left out by why.
void writeTrackFileKeys(JsonWriter& w, const Analysis& a, int b) {
    const auto& all = a.opened.trackStats;
    const GpsTrackStats st = b < static_cast<int>(all.size()) ? all[b] : GpsTrackStats{};
    w.key("track_file").value(trackFileKey(st));
    w.key("dropped_fixes");
    w.beginObject();
    w.key("unreadable").value(st.unreadable);
    w.key("too_few_fields").value(st.tooFewFields);
    w.key("outside_window").value(st.outsideWindow);
    w.key("same_second").value(st.sameSecond);
    w.endObject();
}

void writeBoat(JsonWriter& w, const Analysis& a, int b) {
    const BoatEntry& boat = a.race.Boats[b];
    w.beginObject();
    w.key("name").value(boat.BoatName);
    w.key("gps_file").value(boat.GpsFile);
    w.key("count").value(a.data.tracks.TrkCount(b));
    writeBoatRoundingKeys(w, a.data, b);
    writeTrackFileKeys(w, a, b);
    writeCoachBoatKeys(w, a.coach, b, a.data.roundings.entryCount);
    if (a.args.samples) writeSamples(w, a.data.tracks, b);
    w.endObject();
}

void writeCoastline(JsonWriter& w, const Analysis& a) {
    w.key("coast_tiles");
    w.beginArray();
    for (int i = 1; i <= std::min(a.race.CoastTileCount, kMaxCoastTiles); ++i)
        w.value(a.race.CoastTiles[i]);
    w.endArray();
    w.key("coast_points");
    w.beginArray();
    for (int i = 1; i <= a.coast.CoastCount; ++i) {
        w.beginArray();
        w.value(a.coast.CoastLat[i]);
        w.value(a.coast.CoastLon[i]);
        w.endArray();
    }
    w.endArray();
    // Where each polyline starts, as indexes into coast_points: south of the equator the
    // negated latitude of a start is positive, so its sign alone does not tell.
    w.key("coast_starts");
    w.beginArray();
    for (int i = 1; i <= a.coast.CoastCount; ++i)
        if (a.coast.CoastStart[static_cast<std::size_t>(i)]) w.value(i - 1);
    w.endArray();
}

std::string report(const Analysis& a) {
    JsonWriter w;
    w.beginObject();
    writeRaceKeys(w, a);
    writeLegResultKeys(w, a.race, a.data);
    w.key("wind_count").value(a.data.wind.WindCount);
    writeCoachRaceKeys(w, a.coach);
    w.key("boats");
    w.beginArray();
    for (int b = 1; b <= a.data.tracks.boatCount(); ++b) writeBoat(w, a, b);
    w.endArray();
    w.key("dropped_boats");
    w.beginArray();
    for (const DroppedBoat& d : a.dropped) {
        w.beginObject();
        w.key("name").value(d.name);
        w.key("gps_file").value(d.gpsFile);
        w.key("reason").value(dropReasonKey(d.reason));
        w.endObject();
    }
    w.endArray();
    w.key("warnings");
    w.beginArray();
    for (const std::string& text : a.opened.warnings) w.value(text);
    w.endArray();
    writeLegTablesKey(w, a.data);
    if (a.args.coastline) writeCoastline(w, a);
    w.endObject();
    return w.text();
}

// Writes the whole output and closes standard output, so that a full disk, a closed output or
// a reader that went away is found. False with a message on standard error when it fails.
bool writeOutput(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    int err = errno;
    if (written && std::fflush(stdout) != 0) err = errno;
    const bool flushed = written && !std::ferror(stdout);
    if (std::fclose(stdout) != 0 && flushed) err = errno;
    if (flushed && err == 0) return true;
    std::cerr << "brisko-analyse: the output could not be written: "
              << (err != 0 ? std::strerror(err) : "write error") << '\n';
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (a pipe closed early) is a write error to report, not a signal
    // that ends the program half way through the output.
    std::signal(SIGPIPE, SIG_IGN);
    Analysis a;
    std::string error;
    if (!parseArguments(argc, argv, a.args, error)) {
        std::cerr << "brisko-analyse: " << error << '\n' << kUsage;
        return kExitUsage;
    }
    a.settings.AppPath = chooseAppDir(a.args);
    while (a.settings.AppPath.size() > 1 && a.settings.AppPath.back() == '/')
        a.settings.AppPath.pop_back();
    a.settings.Lang = 1;
    a.settings.ProductTitle = "Brisko";
    a.settings.EditionMode = 1;  // a browser never writes the race file back
    // Without a standard output the first file opened would take its place.
    if (::fcntl(STDOUT_FILENO, F_GETFD) == -1) {
        std::cerr << "brisko-analyse: standard output is closed; nothing can be written\n";
        return kExitFailure;
    }
    if (!folderExists(a.settings.AppPath)) {
        std::cerr << "brisko-analyse: no application folder " << a.settings.AppPath << '\n';
        return kExitFailure;
    }

    StderrMessageSink sink;
    a.race.RaceFileName = a.args.raceFile;
    OpenRaceOptions options;
    options.singleTrackFile = a.args.trackFile;
    a.opened = openRace(a.settings, a.race, a.data, sink, options);
    const OpenRaceResult& opened = a.opened;
    if (!opened.ok) {
        // The opening tells every failure through the sink; a silent one is still said.
        if (sink.shown == 0) std::cerr << opened.error << '\n';
        return kExitFailure;
    }
    // A boat whose GPS file is missing is left out, as the race screen leaves it out. The core's
    // message names only the first; every boat left out is said here, and listed in the output
    // so that the analysis never passes for the whole race.
    a.dropped = opened.droppedBoats;
    for (const DroppedBoat& d : a.dropped)
        std::cerr << "brisko-analyse: boat \"" << shownName(d.name) << "\" left out: GPS file \""
                  << shownName(d.gpsFile) << "\" "
                  << (d.reason == DropReason::Folder        ? "is a folder"
                      : d.reason == DropReason::RefusedName ? "is no plain file name"
                                                            : "is missing")
                  << '\n';
    if (a.args.strict && !a.dropped.empty()) {
        std::cerr << "brisko-analyse: --strict: " << a.dropped.size()
                  << (a.dropped.size() == 1 ? " boat" : " boats")
                  << " left out for a missing GPS file; nothing printed\n";
        return kExitFailure;
    }

    if (TableKind kind; csvTableKind(a.args.csvKind, kind)) {
        const std::string csv = legTableCsv(kind, a.race, a.data.roundings);
        return writeOutput(csv) ? 0 : kExitFailure;
    }

    a.coach = analyseRace(a.race, a.data.tracks, a.data.roundings, a.data.wind);
    if (CoachCsvKind kind; coachCsvKind(a.args.csvKind, kind))
        return writeOutput(coachCsv(kind, a.race, a.data.roundings, a.coach)) ? 0 : kExitFailure;

    if (a.args.coastline) {
        const TrackStore& t = a.data.tracks;
        loadCoastline(a.settings.AppPath, t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor,
                      a.race, a.coast);
    }
    return writeOutput(report(a) + '\n') ? 0 : kExitFailure;
}
