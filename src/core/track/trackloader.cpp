// The track loader: one GPS file per boat, in boat order, into the track store.
#include "track/trackloader.h"

#include <algorithm>

#include "track/geodesy.h"
#include "track/gpstrack.h"
#include "util/fileutil.h"

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

TrackLoadResult loadTracks(const AppSettings& settings, RaceDefinition& race, TrackStore& store,
                           MessageSink& sink, const LoadProgress& progress) {
    TrackLoadResult result;
    const int boatCount = std::clamp(race.BoatCount, 0, kMaxBoats);
    store.reset(boatCount);
    // The first and last fixes belong to this load, not to a race shown before.
    race.FirstFix.clear();
    race.LastFix.clear();

    std::string buffer;  // one file's bytes at a time, its room reused
    for (int i = 1; i <= boatCount; ++i) {
        const std::string& gpsFile = race.Boats[i].GpsFile;
        const std::string relative = "\\GPSDAT\\" + gpsFile;
        auto path = gpsFile.empty() ? std::nullopt : findPath(settings.AppPath, relative);
        if (!path || !fileExists(*path)) {
            result.ok = false;
            result.missingBoat = i;
            result.missingPath = resolvePath(settings.AppPath, relative);
            result.message = missingGpsFileMessage(settings, result.missingPath);
            sink.show(Message{result.message, settings.ProductTitle, MessageButtons::Ok});
            return result;
        }
        if (progress)
            progress(i, boatCount, loadProgressLine1(race, i),
                     loadProgressLine2(settings, gpsFile));
        readGpsTrackFile(*path, race, store.boats[i], gpsFile, &buffer);
        growTrackCapacity(store, store.TrkCount(i));
        updateMapValues(store, i);
    }
    return result;
}

}  // namespace brisko
