// Reading and writing race control files: one "KEY, values" record per line, CR LF, CP932 or
// UTF-8. Used by the race screen, the editor, the course set-up and brisko-analyse.
#include "race/racecontrolfile.h"

#include <algorithm>
#include <cmath>

#include "util/datetime.h"
#include "util/numbers.h"
#include "util/units.h"

namespace brisko {

namespace {

constexpr double kDefaultUpwindLayAngle = 45;
constexpr double kDefaultDownwindLayAngle = 160;
constexpr double kDefaultPreStartMinutes = 3;
constexpr double kViewStartMarginSeconds = 30;  // the replay opens this long before the pre-start
constexpr double kRaceSecondsMargin = 240;
constexpr int kMinTimeDiff = -32768;  // the time difference is a 16-bit count of hours
constexpr int kMaxTimeDiff = 32767;
// A race control file is a few kilobytes; anything far larger is not one and is not loaded.
constexpr size_t kMaxRaceFileBytes = 64u * 1024u * 1024u;

// Cuts the next comma-separated piece off `rest`, trimmed; `rest` keeps what follows the comma.
// Without a comma the whole of `rest` is the piece and `rest` becomes empty.
std::string_view nextPiece(std::string_view& rest) {
    size_t c = rest.find(',');
    std::string_view piece = rest.substr(0, c);
    rest = c == std::string_view::npos ? std::string_view() : rest.substr(c + 1);
    return trimBlanks(piece);
}

void resetDefinition(RaceDefinition& def) {
    def.BoatCount = 0;
    def.MarkCount = 0;
    def.LineCount = 0;
    def.CourseCount = 0;
    def.AttachmentCount = 0;
    def.CoastTileCount = 0;
    def.Title1.clear();
    def.Title2.clear();
    def.Title3.clear();
    def.WindFileName.clear();
    def.RaceStart.clear();
    def.RaceEnd.clear();
    def.TimeDiff = 0;
    def.NorthUp = 0;
    def.MagneticVariation = 0;
    def.MeanWindDir = 0;
    def.BoatLength = 0;
    def.UpwindLayAngle = kDefaultUpwindLayAngle;
    def.DownwindLayAngle = kDefaultDownwindLayAngle;
    def.PreStartSeconds = kDefaultPreStartMinutes * kSecondsPerMinute;
    def.PreStartMinutes = kDefaultPreStartMinutes;
    def.ViewStart.clear();
    def.ViewEnd.clear();
    def.RaceSeconds = 0;
    def.RaceSecondsPlus = 0;
}

double viewRotationOf(const RaceDefinition& def) { return def.NorthUp > 0 ? 0.0 : def.MeanWindDir; }

void computeDerived(RaceDefinition& def) {
    // A pre-start count below zero would open the replay after the gun and, when large enough,
    // after the finish, so that every fix falls outside the window: it counts as no pre-start.
    if (!(def.PreStartMinutes >= 0)) {
        def.PreStartMinutes = 0;
        def.PreStartSeconds = 0;
    }
    // Likewise a finish that is not after the start: it is taken as not given, so the finish
    // is settled from the tracks as for a race file without one.
    if (auto start = parseDateTime(def.RaceStart), end = parseDateTime(def.RaceEnd);
        start && end && *end <= *start)
        def.RaceEnd.clear();
    def.ViewRotation = viewRotationOf(def);
    def.WindDirNow = def.MeanWindDir;
    // A length of 0 means none was given; a negative or absurd one cannot be drawn either.
    def.BoatLength = boatLengthOrDefault(def.BoatLength);
    def.ViewStart.clear();
    if (!def.RaceStart.empty())
        def.ViewStart =
            dateTimeAdd(def.RaceStart, -(def.PreStartSeconds + kViewStartMarginSeconds));
    def.ViewEnd = def.RaceEnd;
    def.RaceSeconds = 0;
    def.RaceSecondsPlus = 0;
    if (!def.RaceStart.empty() && !def.RaceEnd.empty()) {
        def.RaceSeconds = dateTimeDiffSeconds(def.RaceStart, def.RaceEnd);
        def.RaceSecondsPlus = def.RaceSeconds + kRaceSecondsMargin;
    }
}

void parseRecord(std::string_view key, std::string_view value, RaceDefinition& def) {
    std::string_view rest = value;
    if (key == "WF") {
        def.WindFileName = trimBlanks(value);
    } else if (key == "T1") {
        def.Title1 = trimBlanks(value);
    } else if (key == "T2") {
        def.Title2 = trimBlanks(value);
    } else if (key == "T3") {
        def.Title3 = trimBlanks(value);
    } else if (key == "ST") {
        def.RaceStart = trimBlanks(value);
    } else if (key == "FT") {
        def.RaceEnd = trimBlanks(value);
    } else if (key == "MG") {
        def.MagneticVariation = numericPrefix(value);
    } else if (key == "LG") {
        def.BoatLength = numericPrefix(value);
    } else if (key == "WD") {
        def.MeanWindDir = numericPrefix(value);
    } else if (key == "NU") {
        def.NorthUp = numericPrefix(value);
    } else if (key == "TD") {
        // Whole hours; "9.5" rounds to 10, text that is no number counts as 0.
        int td = roundToInt(numericPrefix(trimBlanks(value)));
        def.TimeDiff = td < kMinTimeDiff ? kMinTimeDiff : (td > kMaxTimeDiff ? kMaxTimeDiff : td);
    } else if (key == "BN") {
        if (def.BoatCount >= kMaxBoats) return;
        BoatEntry& b = def.Boats[++def.BoatCount];
        b.GpsFile = nextPiece(rest);
        b.BoatName = trimBlanks(rest);
    } else if (key == "MK") {
        if (def.MarkCount >= kMaxMarks) return;
        MarkEntry& m = def.Marks[++def.MarkCount];
        m.MarkLat = numericPrefix(nextPiece(rest));
        m.MarkLon = numericPrefix(trimBlanks(rest));
    } else if (key == "LN") {
        if (def.LineCount >= kMaxLines) return;
        LineEntry& l = def.Lines[++def.LineCount];
        l.LineLat1 = numericPrefix(nextPiece(rest));
        l.LineLon1 = numericPrefix(nextPiece(rest));
        l.LineLat2 = numericPrefix(nextPiece(rest));
        l.LineLon2 = numericPrefix(trimBlanks(rest));
    } else if (key == "CRS") {
        // Entries are appended, so a course may span several CRS lines. An empty piece
        // (",," or a trailing comma) names nothing and is left out.
        for (;;) {
            std::string_view piece = nextPiece(rest);
            if (!piece.empty() && def.CourseCount < kMaxCourse)
                def.Course[++def.CourseCount] = piece;
            if (rest.empty()) break;
        }
    } else if (key == "MAP") {
        // Kept so that a later write of the race does not lose the coastline tiles.
        std::string_view tile = trimBlanks(value);
        if (!tile.empty() && def.CoastTileCount < kMaxCoastTiles)
            def.CoastTiles[++def.CoastTileCount] = tile;
    } else if (key == "LL") {
        double up = numericPrefix(nextPiece(rest));
        double down = numericPrefix(trimBlanks(rest));
        if (up != 0) def.UpwindLayAngle = up;
        if (down != 0) def.DownwindLayAngle = down;
    } else if (key == "BT") {
        def.PreStartMinutes = numericPrefix(value);
        def.PreStartSeconds = kSecondsPerMinute * def.PreStartMinutes;
    } else if (key == "AT") {
        if (def.AttachmentCount >= kMaxAttachments) return;
        def.Attachments[++def.AttachmentCount] = trimBlanks(value);
    }
    // Any other key is not ours and is skipped.
}

std::string messageText(const AppSettings& s, const char* japanese, const char* english) {
    return s.tr(japanese, english);
}

// Text copied into the file must stay on its one line: a line break inside a title or name
// would split the record and lose the rest of it.
std::string oneLine(const std::string& text) {
    std::string s = text;
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

// Numbers the writer formats itself: a leading blank for values that are not negative.
std::string signedNumber(double v) {
    std::string s = shortestDecimal(v);
    return (s.empty() || s[0] != '-') ? " " + s : s;
}

std::string raceFilePath(const AppSettings& settings, const std::string& name) {
    return resolvePath(settings.AppPath, "\\raceadmin\\" + name);
}

}  // namespace

bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of("/\\") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

RaceFileReadResult parseRaceControlText(std::string_view bytes, RaceDefinition& def) {
    RaceFileReadResult res;
    DecodedText decoded = decodeText(bytes);
    res.encoding = decoded.encoding;
    resetDefinition(def);
    for (std::string_view line : splitLines(decoded.text)) {
        size_t comma = line.find(',');
        if (comma == std::string_view::npos) continue;
        parseRecord(trimBlanks(line.substr(0, comma)), line.substr(comma + 1), def);
    }
    computeDerived(def);
    res.analysisViewEnabled = def.CourseCount >= 2;
    return res;
}

std::vector<DroppedBoat> checkRaceFiles(const AppSettings& settings, RaceDefinition& def,
                                        MessageSink& sink) {
    if (!def.WindFileName.empty()) {
        auto p = findPath(settings.AppPath, "\\winddat\\" + def.WindFileName);
        if (!p || !fileExists(*p)) def.WindFileName.clear();
    }

    auto gpsPresent = [&](const std::string& name) {
        if (trimBlanks(name).empty()) return false;
        auto p = findPath(settings.AppPath, "\\gpsdat\\" + name);
        return p && fileExists(*p);
    };
    std::vector<DroppedBoat> dropped;
    int kept = 0;
    for (int i = 1; i <= def.BoatCount && i <= kMaxBoats; ++i) {
        if (!gpsPresent(def.Boats[i].GpsFile)) {
            if (dropped.empty()) {
                const std::string& f = def.Boats[i].GpsFile;
                Message m;
                m.text =
                    settings.english()
                        ? "GPSfile -- " + f + " -- could not be found\r\nThis boat will be ignored"
                        : "GPSfile -- " + f +
                              " -- はありませんでした。\r\nこの艇を無視して表示します。";
                m.title = settings.ProductTitle;
                m.buttons = MessageButtons::Ok;
                sink.show(m);
            }
            dropped.push_back({def.Boats[i].BoatName, def.Boats[i].GpsFile});
            continue;
        }
        if (++kept != i) def.Boats[kept] = def.Boats[i];
    }
    for (int i = kept + 1; i <= def.BoatCount && i <= kMaxBoats; ++i) def.Boats[i] = BoatEntry{};
    def.BoatCount = kept;
    return dropped;
}

RaceFileReadResult readRaceControlFile(const AppSettings& settings, RaceDefinition& def,
                                       MessageSink& sink) {
    RaceFileReadResult res;
    const std::string& name = def.RaceFileName;
    auto fail = [&](std::string text) {
        res.ok = false;
        res.error = std::move(text);
        res.analysisViewEnabled = def.CourseCount >= 2;
        return res;
    };
    if (!isPlainFileName(name))
        return fail(messageText(settings, "レースファイル名が正しくありません: ",
                                "Invalid race file name: ") +
                    name);
    auto path = findPath(settings.AppPath, "\\raceadmin\\" + name);
    if (!path || !fileExists(*path))
        return fail(messageText(settings, "レースファイルがありません: ",
                                "The race file could not be found: ") +
                    name);
    auto bytes = readFileBytes(*path);
    if (!bytes)
        return fail(messageText(settings, "レースファイルを読めません: ",
                                "The race file could not be read: ") +
                    name);
    if (bytes->size() > kMaxRaceFileBytes)
        return fail(messageText(settings, "レースファイルではありません（大きすぎます）: ",
                                "Not a race file (far too large): ") +
                    name);
    res = parseRaceControlText(*bytes, def);
    res.droppedBoats = checkRaceFiles(settings, def, sink);
    return res;
}

std::string formatRaceControlFile(RaceDefinition& def) {
    std::string out;
    auto line = [&out](const std::string& text) {
        out += text;
        out += "\r\n";
    };
    auto textRecord = [&](const char* key, const std::string& value) {
        if (!value.empty()) line(std::string(key) + ", " + oneLine(value));
    };
    textRecord("WF", def.WindFileName);
    textRecord("T1", def.Title1);
    textRecord("T2", def.Title2);
    textRecord("T3", def.Title3);
    if (def.MagneticVariation != 0) line("MG, " + signedNumber(def.MagneticVariation));
    if (def.BoatLength > 0) line("LG, " + signedNumber(def.BoatLength));
    textRecord("ST", def.RaceStart);
    textRecord("FT", def.RaceEnd);
    if (def.TimeDiff != 0) line("TD, " + signedNumber(def.TimeDiff));
    if (def.MeanWindDir != 0) line("WD, " + signedNumber(def.MeanWindDir));
    if (def.NorthUp > 0) line("NU, 1");

    const int boats = std::min(def.BoatCount, kMaxBoats);
    for (int i = 1; i <= boats; ++i)
        line("BN, " + oneLine(def.Boats[i].GpsFile) + ", " + oneLine(def.Boats[i].BoatName));
    const int marks = std::min(def.MarkCount, kMaxMarks);
    for (int i = 1; i <= marks; ++i)
        line("MK, " + shortestDecimal(def.Marks[i].MarkLat) + ", " +
             shortestDecimal(def.Marks[i].MarkLon));
    const int lines = std::min(def.LineCount, kMaxLines);
    for (int i = 1; i <= lines; ++i) {
        const LineEntry& l = def.Lines[i];
        line("LN, " + shortestDecimal(l.LineLat1) + ", " + shortestDecimal(l.LineLon1) + ", " +
             shortestDecimal(l.LineLat2) + ", " + shortestDecimal(l.LineLon2));
    }
    def.ViewRotation = viewRotationOf(def);
    const int course = std::min(def.CourseCount, kMaxCourse);
    if (course >= 1) {
        std::string crs = "CRS";
        for (int i = 1; i <= course; ++i) crs += ", " + oneLine(def.Course[i]);
        line(crs);
    }
    const int tiles = std::min(def.CoastTileCount, kMaxCoastTiles);
    for (int i = 1; i <= tiles; ++i) line("MAP, " + oneLine(def.CoastTiles[i]));
    line("LL, " + shortestDecimal(def.UpwindLayAngle) + "," +
         shortestDecimal(def.DownwindLayAngle));
    // Whole minutes, rounded half up.
    double bt = std::floor(def.PreStartMinutes + 0.5);
    line("BT," + signedNumber(std::isfinite(bt) ? static_cast<double>(roundToInt(bt)) : 0.0));
    const int attachments = std::min(def.AttachmentCount, kMaxAttachments);
    for (int i = 1; i <= attachments; ++i) textRecord("AT", def.Attachments[i]);
    return out;
}

WriteResult writeRaceControlFile(const AppSettings& settings, RaceDefinition& def) {
    WriteResult res;
    if (def.RaceFileName.empty()) return res;
    if (!isPlainFileName(def.RaceFileName)) {
        res.ok = false;
        res.error =
            messageText(settings,
                        "レースファイル名が正しくありません: ", "Invalid race file name: ") +
            def.RaceFileName;
        return res;
    }
    std::string bytes = encodeForWindows(formatRaceControlFile(def));
    res = writeFileAtomically(raceFilePath(settings, def.RaceFileName), bytes);
    if (!res.ok)
        res.error = messageText(settings, "レースファイルを保存できませんでした: ",
                                "The race file could not be saved: ") +
                    writeFailureText(res, settings.english());
    return res;
}

}  // namespace brisko
