// The race opening sequence shared by the race screen and brisko-analyse.
#include "session/openrace.h"

#include <algorithm>

#include "race/racecontrolfile.h"
#include "track/kinematics.h"
#include "util/datetime.h"
#include "util/fileutil.h"

namespace brisko {

namespace {

// GPS times are local time this many hours ahead when the race gives no difference.
constexpr int kDefaultTimeDiff = 9;
// The time bar reaches this long past the finish.
constexpr double kReplayAfterFinish = 60;

// The race of one track file without a race control file. Set up again for the same track (new
// start and finish times confirmed for it), the definition stays as it is. For another track
// nothing of the race shown before is kept but the time difference: its start and finish would
// cut the new track, its marks and course would be drawn on it.
void makeSingleTrackRace(RaceDefinition& race, const std::string& trackFile) {
    const bool sameTrack = race.BoatCount == 1 && race.Boats[1].GpsFile == trackFile;
    if (!sameTrack) {
        RaceDefinition fresh;
        fresh.TimeDiff = race.TimeDiff;
        fresh.BoatLength = kDefaultBoatLength;
        race = std::move(fresh);
    }
    race.BoatCount = 1;
    race.Boats[1].GpsFile = trackFile;
    race.Boats[1].BoatName = trackFile.substr(0, trackFile.find('.'));
}

// One message with every warning, each on its own line.
void tellWarnings(const AppSettings& settings, const std::vector<std::string>& warnings,
                  MessageSink& sink) {
    if (warnings.empty()) return;
    std::string text;
    for (const std::string& w : warnings) text += (text.empty() ? "" : "\r\n") + w;
    sink.show(Message{text, settings.ProductTitle, MessageButtons::Ok});
}

std::string quoted(const std::string& s) { return "\"" + shownName(s) + "\""; }

}  // namespace

std::vector<std::string> trackFileWarnings(const AppSettings& settings, const BoatEntry& boat,
                                           const GpsTrackStats& st) {
    std::vector<std::string> out;
    const bool en = settings.english();
    const std::string who = (en ? "Boat " : "艇 ") + quoted(boat.BoatName) +
                            (en ? ", GPS file " : " の GPS ファイル ") + quoted(boat.GpsFile);
    if (!st.accepted) {
        switch (st.refusal) {
            case TrackFileRefusal::WrongExtension:
                out.push_back(who + (en ? ": not read, its name does not end in .trk or .dtr "
                                          "(all upper or all lower case), .gpx, .nmea, .nma "
                                          "or .log."
                                        : ": 拡張子が .trk / .dtr / .gpx / .nmea / .nma / .log "
                                          "ではないため読みません。"));
                break;
            case TrackFileRefusal::TooSmall:
                out.push_back(who + (en ? ": not read, it has " + std::to_string(st.bytes) +
                                              " bytes and a track file has more than 500."
                                        : ": " + std::to_string(st.bytes) +
                                              " バイトしかないため読みません（500 "
                                              "バイトを超える必要があります）。"));
                break;
            default:
                out.push_back(who + (en ? ": could not be read." : ": 読めませんでした。"));
        }
        return out;
    }
    // What the file calls one fix: a track line, a GPX track point, an NMEA sentence.
    const std::string n = std::to_string(st.trackLines);
    const char* const noun = st.kind == TrackFileKind::Gpx    ? " track points"
                             : st.kind == TrackFileKind::Nmea ? " RMC / GGA sentences"
                                                              : " track lines";
    const std::string nounJa = st.kind == TrackFileKind::Gpx    ? "航跡点 "
                               : st.kind == TrackFileKind::Nmea ? "RMC / GGA 文 "
                                                                : "航跡の行 ";
    const char* const unitJa = st.kind == TrackFileKind::Gpx ? " 点" : " 行";
    if (st.unreadable > 0)
        out.push_back(who +
                      (en ? ": " + std::to_string(st.unreadable) + " of " + n + noun +
                                " have a position, date or time that cannot be read; "
                                "they are left out."
                          : ": " + nounJa + n + unitJa + "のうち " + std::to_string(st.unreadable) +
                                unitJa + "は位置か日時が読めないため除きました。"));
    if (st.badChecksum > 0)
        out.push_back(who +
                      (en ? ": " + std::to_string(st.badChecksum) + " of " + n + noun +
                                " have a missing or wrong checksum; they are left out."
                          : ": " + nounJa + n + " 行のうち " + std::to_string(st.badChecksum) +
                                " 行はチェックサムが無いか誤っているため除きました。"));
    if (st.noFix > 0)
        out.push_back(who + (en ? ": " + std::to_string(st.noFix) + " of " + n + noun +
                                      " are marked by the receiver as having no fix; they are "
                                      "left out."
                                : ": " + nounJa + n + " 行のうち " + std::to_string(st.noFix) +
                                      " 行は受信機が測位なしとしているため除きました。"));
    if (st.undated > 0)
        out.push_back(who + (en ? ": " + std::to_string(st.undated) +
                                      " GGA fixes have no date (no RMC sentence gives one); they "
                                      "are left out."
                                : ": 日付のない GGA " + std::to_string(st.undated) +
                                      " 行（日付を与える RMC 文がありません）を除きました。"));
    if (!st.damage.empty())
        out.push_back(who + (en ? ": the XML cannot be read past " + st.damage +
                                      "; the track points before it are kept."
                                : ": XML がここから読めません（" + st.damage +
                                      "）。それより前の航跡点を使います。"));
    if (st.kept == 0) {
        if (st.outsideWindow > 0)
            out.push_back(
                who + (en ? ": no fix lies within the race's time window; all " +
                                std::to_string(st.outsideWindow) + " readable fixes are outside it."
                          : ": レースの時間内の位置がありません（読めた " +
                                std::to_string(st.outsideWindow) + " 点はすべて時間外です）。"));
        else
            out.push_back(
                who + (en ? ": no fix can be read from it." : ": 読める位置が一つもありません。"));
    }
    return out;
}

OpenRaceResult openRace(const AppSettings& settings, RaceDefinition& race, RaceData& data,
                        MessageSink& sink, const OpenRaceOptions& options) {
    OpenRaceResult result;
    data = RaceData{};

    const bool hasRaceFile = !race.RaceFileName.empty();
    if (hasRaceFile) {
        RaceFileReadResult read = readRaceControlFile(settings, race, sink);
        result.warnings = std::move(read.warnings);
        result.raceFileWarnings = static_cast<int>(result.warnings.size());
        if (!read.ok) {
            result.ok = false;
            result.status = OpenRaceStatus::RaceFileFailed;
            result.error = read.error;
            tellWarnings(settings, result.warnings, sink);
            sink.show(Message{result.error, settings.ProductTitle, MessageButtons::Ok});
            return result;
        }
        data.analysisViewEnabled = read.analysisViewEnabled;
        data.raceFileEncoding = read.encoding;
        result.droppedBoats = std::move(read.droppedBoats);
    } else {
        makeSingleTrackRace(race, options.singleTrackFile);
    }
    const bool startGiven = race.RaceStart.has_value();
    const bool endGiven = race.RaceEnd.has_value();

    if (race.TimeDiff == 0) race.TimeDiff = kDefaultTimeDiff;

    TrackLoadResult load = loadTracks(settings, race, data.tracks, sink, options.progress);
    if (!load.ok) {
        result.ok = false;
        result.status = OpenRaceStatus::GpsFileMissing;
        result.error = load.message;
        tellWarnings(settings, result.warnings, sink);
        return result;
    }
    result.trackStats = std::move(load.stats);
    for (int b = 1; b < static_cast<int>(result.trackStats.size()); ++b)
        for (std::string& w : trackFileWarnings(settings, race.Boats[b], result.trackStats[b]))
            result.warnings.push_back(std::move(w));
    // Without a start time nothing can be timed: neither the file nor a track gave one. (A
    // race left without boats, every GPS file missing, was told so and opens empty.)
    if (data.tracks.boatCount() > 0 && !race.RaceStart) {
        result.ok = false;
        result.status = OpenRaceStatus::NoStartTime;
        result.error =
            settings.english()
                ? "The race has no start time: the race file gives none (ST) and no track has a "
                  "fix that can be read (" +
                      (hasRaceFile ? race.RaceFileName : options.singleTrackFile) + ")"
                : "スタート時刻がありません。レースファイルに ST がなく、読める位置のある航跡も"
                  "ありません (" +
                      (hasRaceFile ? race.RaceFileName : options.singleTrackFile) + ")";
        tellWarnings(settings, result.warnings, sink);
        sink.show(Message{result.error, settings.ProductTitle, MessageButtons::Ok});
        return result;
    }

    // The loader settled the start and finish from the fixes: take the race length from them.
    // A race file without a start or a finish needs this as much as a single track does, or the
    // replay would last zero seconds. A start given by the file keeps its pre-start view.
    if (!hasRaceFile || !startGiven || !endGiven) {
        race.RaceSeconds = std::max(0.0, secondsBetween(race.RaceStart, race.RaceEnd));
        if (!hasRaceFile || !startGiven) race.ViewStart = race.RaceStart;
        race.ViewEnd = race.RaceEnd;
    }
    race.RaceSecondsPlus = race.RaceSeconds + race.PreStartSeconds + kReplayAfterFinish;

    if (!race.WindFileName.empty()) {
        auto path = findPath(settings.AppPath, "\\winddat\\" + race.WindFileName);
        if (path && fileExists(*path)) {
            const WindReadResult wind = readWindFile(*path, race, data.wind);
            data.WindShown = wind.ok;
            const std::string name = quoted(race.WindFileName);
            if (!wind.ok)
                result.warnings.push_back((settings.english()
                                               ? "Wind file " + name + " could not be read: "
                                               : "風データファイル " + name + " を読めません: ") +
                                          wind.error);
            else if (wind.linesSkipped > 0)
                result.warnings.push_back(
                    settings.english()
                        ? "Wind file " + name + ": " + std::to_string(wind.linesSkipped) +
                              " lines without a date and time that can be read are left out."
                        : "風データファイル " + name + ": 日時の読めない " +
                              std::to_string(wind.linesSkipped) + " 行を除きました。");
        } else {
            race.WindFileName.clear();
        }
    }

    deriveKinematics(data.tracks);
    data.RefSpeed = referenceSpeed(data.tracks, race.RaceSeconds);
    data.SpeedBarScale = speedBarScale(data.RefSpeed);

    data.LastDataTime = 0;
    for (int b = 1; b <= data.tracks.boatCount(); ++b) {
        const int n = data.tracks.TrkCount(b);
        if (n > 0) data.LastDataTime = std::max(data.LastDataTime, data.tracks.TrkSec(b, n));
    }

    // Mark roundings and leg distances, after the kinematics (they read TrkDist) and only when
    // the race has a course.
    data.roundings.clear();
    if (race.CourseCount > 0) {
        computeRoundings(race, data.tracks, data.roundings);
        computeLegDistances(race, data.tracks, data.roundings);
    }
    if (race.CourseCount > kMaxRoundingEntries) {
        const std::string first = std::to_string(kMaxRoundingEntries);
        const std::string from = std::to_string(kMaxRoundingEntries + 1);
        const std::string to = std::to_string(std::min(race.CourseCount, kMaxCourse));
        result.warnings.push_back(
            settings.english()
                ? "Only the first " + first +
                      " course entries take part in the mark roundings and the leg tables; "
                      "entries " +
                      from + " to " + to + " are left out."
                : "マーク回航と区間表に使うコース順は最初の " + first + " 個までです。" + from +
                      " 番目から " + to + " 番目は使いません。");
    }

    tellWarnings(settings, result.warnings, sink);
    return result;
}

WriteResult loadCoastlineForRace(const AppSettings& settings, const TrackStore& tracks,
                                 RaceDefinition& def, CoastLine& out) {
    out.clear();
    WriteResult written;
    const int tiles = chooseCoastTiles(tracks.CenterLat, tracks.CenterLon, tracks.TrackSpan,
                                       tracks.LonFactor, def);
    if (settings.EditionMode > 1 && tiles > 0) written = writeRaceControlFile(settings, def);
    loadCoastTiles(
        settings.AppPath,
        coastDrawingWindow(tracks.CenterLat, tracks.CenterLon, tracks.TrackSpan, tracks.LonFactor),
        def, out);
    return written;
}

}  // namespace brisko
