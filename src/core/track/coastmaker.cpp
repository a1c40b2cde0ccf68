// Making the coastline tiles of a race area through gmt; see coastmaker.h.
#include "track/coastmaker.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "track/coasttilewriter.h"

namespace brisko {

namespace {

// Beyond the tiles' edges, so that a shore leaving a tile is cut on its border, not before it.
constexpr double kRegionMarginDegrees = 0.02;
constexpr int kSeaShoreLevel = 1;  // GSHHG level 1: the shore between land and sea

std::string degrees(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", d);
    return buf;
}

std::string installPackages(const AppSettings& s) {
    const std::string p = kCoastPackages;
    return s.english() ? "install the Debian packages " + p + " (apt-get install " + p + ")"
                       : "Debian パッケージ " + p +
                             " をインストールしてください (apt-get install " + p + ")";
}

CoastMakeResult failed(CoastMakeStatus status, std::string message) {
    CoastMakeResult r;
    r.status = status;
    r.message = std::move(message);
    return r;
}

}  // namespace

std::vector<std::string> CoastMakeResult::named(CoastTileOutcome outcome) const {
    std::vector<std::string> names;
    for (const CoastTileMade& t : tiles)
        if (t.outcome == outcome) names.push_back(t.name);
    return names;
}

std::vector<CoastBand> planCoastTiles(const TrackStore& t) {
    return coastTileBands(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor);
}

std::vector<std::string> gmtCoastCommand(const std::vector<CoastBand>& bands) {
    if (bands.empty()) return {};
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
    return {"gmt", "coast", region, "-Df", "-M", "-W", "--GMT_HISTORY=false"};
}

CoastMakeResult makeCoastTiles(const AppSettings& settings, const std::vector<CoastBand>& bands,
                               const CoastMakeOptions& options) {
    const bool en = settings.english();
    if (bands.empty())
        return failed(CoastMakeStatus::Failed, en ? "the race's tracks give no area to cover"
                                                  : "航跡から海岸線を作る範囲が決まりません");

    // The shorelines first: without them nothing is written, not even the folder.
    const ProgramRunner run = options.runner ? options.runner : ProgramRunner(runProgram);
    const ProgramRun r = run(gmtCoastCommand(bands));
    if (r.spawnError == ENOENT)
        return failed(CoastMakeStatus::GmtMissing,
                      (en ? "the program gmt was not found; " : "プログラム gmt がありません。") +
                          installPackages(settings));
    if (r.spawnError != 0)
        return failed(CoastMakeStatus::Failed,
                      (en ? "gmt could not be started: " : "gmt を起動できません: ") +
                          std::string(std::strerror(r.spawnError)));
    if (r.status != 0) {
        CoastMakeResult out =
            failed(CoastMakeStatus::GmtMissing,
                   (en ? "gmt could not read the full-resolution GSHHG shorelines (exit status " +
                             std::to_string(r.status) + "); "
                       : "gmt が高解像度の GSHHG 海岸線を読めませんでした (終了コード " +
                             std::to_string(r.status) + ")。") +
                       installPackages(settings));
        out.gmtError = r.err;
        return out;
    }
    CoastMakeResult out;
    const std::vector<CoastPolyline> shore =
        readGmtSegments(r.out, {kSeaShoreLevel}, &out.badLines);

    const std::string folder = resolvePath(settings.AppPath, "\\coastline");
    if (!folderExists(folder) && ::mkdir(folder.c_str(), 0755) != 0) {
        const int e = errno;
        out.status = CoastMakeStatus::Failed;
        out.message = (en ? "the folder " + folder + " could not be made: "
                          : "フォルダ " + folder + " を作れません: ") +
                      std::strerror(e);
        return out;
    }
    for (const CoastBand& b : bands) {
        CoastTileMade made;
        made.name = coastTileName(b.latBand, b.lonBand);
        const std::string path =
            resolvePath(settings.AppPath, "\\coastline\\" + made.name + ".cst");
        if (fileExists(path) && !options.replace) {
            made.outcome = CoastTileOutcome::Kept;
        } else if (const std::string tile = makeCoastTile(shore, b.latBand, b.lonBand);
                   tile.empty()) {
            made.outcome = CoastTileOutcome::NoShore;
        } else {
            made.write = writeFileAtomically(path, tile);
            if (!made.write.ok) {
                made.outcome = CoastTileOutcome::Failed;
                out.status = CoastMakeStatus::Failed;
                out.message += (out.message.empty() ? "" : "\n") + writeFailureText(made.write, en);
            }
        }
        out.tiles.push_back(std::move(made));
    }
    return out;
}

}  // namespace brisko
