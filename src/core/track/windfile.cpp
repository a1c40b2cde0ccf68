// Reading and writing the wind data file.
#include "track/windfile.h"

#include <cmath>
#include <filesystem>
#include <optional>

#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/intmath.h"
#include "util/numbers.h"

namespace brisko {

void WindStore::clear() {
    WindSec.assign(1, 0);
    WindSpeed.assign(1, 0);
    WindDir.assign(1, 0);
    WindCount = 0;
    capacity = kWindCapacityStart;
}

void WindStore::append(double sec, double speed, double dir) {
    ++WindCount;
    while (WindCount > capacity - kWindCapacityMargin) capacity += kWindCapacityStep;
    WindSec.push_back(sec);
    WindSpeed.push_back(speed);
    WindDir.push_back(dir);
}

std::string windFileNameFor(const std::string& raceFileName) {
    return raceFileName.substr(0, raceFileName.find('.')) + "_WIND.CSV";
}

WindReadResult parseWindText(std::string_view bytes, const RaceDefinition& race, WindStore& store) {
    WindReadResult result;
    store.clear();
    DecodedText decoded = decodeText(bytes);
    result.encoding = decoded.encoding;
    const auto raceStart = race.RaceStart;
    const auto raceEnd = race.RaceEnd;
    const auto viewStart = race.ViewStart;
    const auto viewEnd = race.ViewEnd;

    auto lines = splitLines(decoded.text);
    for (size_t n = 1; n < lines.size(); ++n) {  // line 1 is the header
        std::string_view line = lines[n];
        if (trimBlanks(line).empty()) continue;
        std::string_view f[3];
        size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            if (start > line.size()) break;
            size_t comma = line.find(',', start);
            if (comma == std::string_view::npos) comma = line.size();
            f[i] = line.substr(start, comma - start);
            start = comma + 1;
        }
        const auto t = parseDateTime(trimBlanks(f[0]));
        if (!t || !raceStart) {
            ++result.linesSkipped;
            continue;
        }
        if (raceEnd) {  // the window, in whole minutes; a bound not set does not limit
            const auto m = floorDiv(*t, 60);
            if (viewStart && m < floorDiv(*viewStart, 60)) continue;
            if (viewEnd && m > floorDiv(*viewEnd, 60)) continue;
        }
        store.append(static_cast<double>(*t - *raceStart), numericPrefix(f[1]),
                     numericPrefix(f[2]));
    }
    return result;
}

WindReadResult readWindFile(const std::string& path, const RaceDefinition& race, WindStore& store) {
    auto bytes = readFileBytes(path);
    if (!bytes) {
        store.clear();
        WindReadResult r;
        r.ok = false;
        r.error = "cannot read " + path;
        return r;
    }
    return parseWindText(*bytes, race, store);
}

std::string formatWindText(const RaceDefinition& race, const WindStore& store) {
    const auto raceStart = race.RaceStart;
    std::string out = kWindFileHeader;
    out += "\r\n";
    if (!raceStart) return out;
    const int n = std::min<int>(store.WindCount, static_cast<int>(store.WindSec.size()) - 1);
    for (int i = 1; i <= n; ++i) {
        const double sec = std::isfinite(store.WindSec[i]) ? std::round(store.WindSec[i]) : 0;
        out += formatDateTime(*raceStart + static_cast<CivilSeconds>(sec));
        out += ',';
        out += shortestDecimal(store.WindSpeed[i]);
        out += ',';
        out += shortestDecimal(store.WindDir[i]);
        out += "\r\n";
    }
    return out;
}

WriteResult writeWindFile(const std::string& path, const RaceDefinition& race,
                          const WindStore& store) {
    if (!race.RaceStart) {
        WriteResult r;
        r.ok = false;
        r.error = "the race has no start time";
        return r;
    }
    return writeFileAtomically(path, encodeForWindows(formatWindText(race, store)));
}

std::string windFilePath(const AppSettings& settings, const RaceDefinition& race) {
    return resolvePath(settings.AppPath, "\\winddat\\" + race.WindFileName);
}

WriteResult writeRaceWindFile(const AppSettings& settings, const RaceDefinition& race,
                              const WindStore& store) {
    WriteResult r;
    r.ok = false;
    const std::string saveFailed = settings.tr("風データファイルを保存できませんでした: ",
                                               "The wind file could not be saved: ");
    // The name comes from the race file: it must stay a plain name inside the wind folder.
    if (race.WindFileName.empty() || !isPlainFileName(race.WindFileName)) {
        r.error = saveFailed +
                  settings.tr("風データファイル名が正しくありません: ", "not a wind file name: ") +
                  race.WindFileName;
        return r;
    }
    // Without a start time the samples' times cannot be written: writing would lose them all.
    if (!race.RaceStart) {
        r.error =
            saveFailed + settings.tr("スタート時刻がありません。", "the race has no start time.");
        return r;
    }
    const std::string path = windFilePath(settings, race);
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    r = writeFileAtomically(path, encodeForWindows(formatWindText(race, store)));
    if (!r.ok) r.error = saveFailed + writeFailureText(r, settings.english());
    return r;
}

}  // namespace brisko
