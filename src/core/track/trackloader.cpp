// The track loader: one GPS file per boat, in boat order, into the track store.
#include "track/trackloader.h"

#include <algorithm>
#include <vector>

#include "track/geodesy.h"
#include "track/gpstrack.h"
#include "util/fileutil.h"
#include "util/parallel.h"

namespace brisko {

namespace {
// InitScale is the span over this fraction of the map, twice over.
constexpr double kInitScalePerSpan = 2 / 0.02;
}  // namespace

std::string loadProgressLine1(const RaceDefinition& race, int boat) {
    return race.RaceFileName + "    ( " + std::to_string(boat) + " / " +
           std::to_string(race.BoatCount) + ")";
}

std::string loadProgressLine2(const AppSettings& settings, const std::string& gpsFile) {
    if (settings.english()) return "Loading GPS data     ( " + gpsFile + ")";
    return "GPSﾃﾞｰﾀ　（　" + gpsFile + "）　を読み込み中";
}

std::string missingGpsFileMessage(const AppSettings& settings, const std::string& path) {
    if (settings.english()) return "No GPS file  (" + path + ")　be sure！";
    return "GPSファイルがありません。(" + path + ")　ファイル名を正確に！！";
}

void growTrackCapacity(TrackStore& store, int count) {
    while (count > store.TrkCapacity - kTrackCapacityStep) store.TrkCapacity += kTrackCapacityStep;
}

void updateMapValues(TrackStore& s, int boat) {
    const int n = s.TrkCount(boat);
    if (n > 0) {
        const BoatTrack& t = s.boats[boat];
        for (int k = 1; k <= n; ++k) {
            const double lat = t.TrkLat[k], lon = t.TrkLon[k];
            if (lat == 0 || lon == 0) continue;  // an unreadable position is no part of the map
            s.LatMax = std::max(s.LatMax, lat);
            s.LatMin = std::min(s.LatMin, lat);
            s.LonMax = std::max(s.LonMax, lon);
            s.LonMin = std::min(s.LonMin, lon);
        }
    }
    s.CenterLat = (s.LatMax + s.LatMin) / 2;
    s.CenterLon = (s.LonMax + s.LonMin) / 2;
    s.HomeLat = s.CenterLat;
    s.HomeLon = s.CenterLon;
    const GeoFactors g = getCodeLength(s.CenterLat);
    s.DegRad = g.DegRad;
    s.MPerMinLat = g.MPerMinLat;
    s.MPerMinLon = g.MPerMinLon;
    s.LonFactor = g.MPerMinLat != 0 ? g.MPerMinLon / g.MPerMinLat : 1;
    s.TrackSpan = std::max(s.LatMax - s.LatMin, s.LonFactor * (s.LonMax - s.LonMin));
    if (!(s.TrackSpan >= kMinTrackSpan)) s.TrackSpan = kMinTrackSpan;
    s.InitScale = kInitScalePerSpan * s.TrackSpan;
}

namespace {

// Whether a file read now may still settle the race times: while the start or the finish is
// unknown the first file that holds fixes decides them, so files are read in boat order.
bool timesMaySettle(const RaceDefinition& race) {
    return !race.RaceStart || !race.RaceEnd || !race.FirstFix;
}

// Reads boats from..to on `workers` threads (the calling one among them), taking boats by
// turns. Each worker has its own copy of the race times (the files only read them once they are
// settled) and its own buffer; every boat's samples go to its own track, so nothing is shared
// but the turn counter. `before` runs on the calling thread just before it reads a boat (for
// the progress report).
void readBoatsInParallel(const RaceDefinition& race, TrackStore& store,
                         const std::vector<std::string>& paths, int from, int to, int workers,
                         std::vector<RaceTime>& lastFix, std::vector<GpsTrackStats>& stats,
                         const std::function<void(int)>& before) {
    std::vector<RaceTimes> times(static_cast<size_t>(workers), race);
    std::vector<std::string> buffers(static_cast<size_t>(workers));
    forEachInParallel(from, to + 1, workers, [&](int worker, int i) {
        if (worker == 0 && before) before(i);
        RaceTimes& own = times[static_cast<size_t>(worker)];
        own.LastFix.reset();
        stats[i] = readGpsTrackFile(paths[i], own, store.boats[i], race.Boats[i].GpsFile,
                                    &buffers[static_cast<size_t>(worker)]);
        lastFix[i] = own.LastFix;
    });
}

}  // namespace

TrackLoadResult loadTracks(const AppSettings& settings, RaceDefinition& race, TrackStore& store,
                           MessageSink& sink, const LoadProgress& progress, int workers) {
    TrackLoadResult result;
    const int boatCount = std::clamp(race.BoatCount, 0, kMaxBoats);
    store.reset(boatCount);
    // The first and last fixes belong to this load, not to a race shown before.
    race.FirstFix.reset();
    race.LastFix.reset();

    // Every file must be there before any is read: a missing one stops the loading.
    std::vector<std::string> paths(static_cast<size_t>(boatCount) + 1);
    for (int i = 1; i <= boatCount; ++i) {
        const std::string& gpsFile = race.Boats[i].GpsFile;
        const std::string relative = "\\GPSDAT\\" + gpsFile;
        // The name is checked before a path is made of it.
        const bool plain = isPlainFileName(gpsFile);
        auto path = plain ? findPath(settings.AppPath, relative) : std::nullopt;
        if (!path || !fileExists(*path)) {
            result.ok = false;
            result.missingBoat = i;
            result.missingPath = plain ? resolvePath(settings.AppPath, relative) : gpsFile;
            if (!plain)
                result.message =
                    settings.english()
                        ? "Not a GPS file name (it names a folder or holds characters a file "
                          "name cannot have): \"" +
                              shownName(gpsFile) + "\""
                        : "GPS "
                          "ファイル名ではありません（フォルダを指すか、使えない文字を含みます）: "
                          "\"" +
                              shownName(gpsFile) + "\"";
            else if (path && folderExists(*path))
                result.message = settings.english()
                                     ? "The GPS file is a folder, not a track file: " + *path
                                     : "GPS ファイルではなくフォルダです: " + *path;
            else
                result.message = missingGpsFileMessage(settings, result.missingPath);
            sink.show(Message{result.message, settings.ProductTitle, MessageButtons::Ok});
            return result;
        }
        paths[i] = std::move(*path);
    }
    auto report = [&](int i) {
        if (progress)
            progress(i, boatCount, loadProgressLine1(race, i),
                     loadProgressLine2(settings, race.Boats[i].GpsFile));
    };

    // Boats in order while their fixes may still settle the race times.
    result.stats.assign(static_cast<size_t>(boatCount) + 1, GpsTrackStats{});
    int i = 1;
    std::string buffer;  // one file's bytes at a time, its room reused
    for (; i <= boatCount && timesMaySettle(race); ++i) {
        report(i);
        result.stats[i] =
            readGpsTrackFile(paths[i], race, store.boats[i], race.Boats[i].GpsFile, &buffer);
        growTrackCapacity(store, store.TrkCount(i));
        updateMapValues(store, i);
    }
    const int firstParallel = i;
    // The rest are independent of each other: two threads read them.
    if (i <= boatCount) {
        if (workers <= 0) workers = workersFor(boatCount - i + 1, 2);
        std::vector<RaceTime> lastFix(static_cast<size_t>(boatCount) + 1);
        readBoatsInParallel(race, store, paths, i, boatCount, workers, lastFix, result.stats,
                            report);
        // The last fix is that of the last file read in boat order that had a fix line.
        for (int b = i; b <= boatCount; ++b)
            if (lastFix[b]) race.LastFix = lastFix[b];
    }
    // The box and the map values grow file by file, in boat order.
    for (int b = firstParallel; b <= boatCount; ++b) {
        growTrackCapacity(store, store.TrkCount(b));
        updateMapValues(store, b);
    }
    return result;
}

}  // namespace brisko
