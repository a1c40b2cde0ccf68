// Reading and writing race control files: one "KEY, values" record per line, CR LF, CP932 or
// UTF-8. Used by the race screen, the editor, the course set-up and brisko-analyse.
#include "race/racecontrolfile.h"

#include <algorithm>
#include <cmath>
#include <optional>

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
    def.RaceStart.reset();
    def.RaceEnd.reset();
    def.TimeDiff = 0;
    def.NorthUp = 0;
    def.MagneticVariation = 0;
    def.MeanWindDir = 0;
    def.BoatLength = 0;
    def.UpwindLayAngle = kDefaultUpwindLayAngle;
    def.DownwindLayAngle = kDefaultDownwindLayAngle;
    def.PreStartSeconds = kDefaultPreStartMinutes * kSecondsPerMinute;
    def.PreStartMinutes = kDefaultPreStartMinutes;
    def.ViewStart.reset();
    def.ViewEnd.reset();
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
    if (def.RaceStart && def.RaceEnd && *def.RaceEnd <= *def.RaceStart) def.RaceEnd.reset();
    def.ViewRotation = viewRotationOf(def);
    def.WindDirNow = def.MeanWindDir;
    // A length of 0 means none was given; a negative or absurd one cannot be drawn either.
    def.BoatLength = boatLengthOrDefault(def.BoatLength);
    def.ViewStart.reset();
    if (def.RaceStart)
        def.ViewStart =
            addSeconds(*def.RaceStart, -(def.PreStartSeconds + kViewStartMarginSeconds));
    def.ViewEnd = def.RaceEnd;
    def.RaceSeconds = 0;
    def.RaceSecondsPlus = 0;
    if (def.RaceStart && def.RaceEnd) {
        def.RaceSeconds = secondsBetween(def.RaceStart, def.RaceEnd);
        def.RaceSecondsPlus = def.RaceSeconds + kRaceSecondsMargin;
    }
}

constexpr double kMaxLatMinutes = 90 * 60;
constexpr double kMaxLonMinutes = 180 * 60;
// Hours of time difference beyond which no clock on Earth lies: the tracks would fall outside.
constexpr int kMaxSensibleTimeDiff = 24;

// What the reader notices while it reads, for the warnings of the result.
struct ReadNotes {
    explicit ReadNotes(const AppSettings& settings) : s(settings) {}
    const AppSettings& s;
    int line = 0;     // the line being read, from 1
    int bnLines = 0;  // lines whose key is BN
    bool sawCourse = false, sawLL = false, sawBT = false;
    // Records beyond a list's capacity.
    int overBoats = 0, overMarks = 0, overLines = 0, overCourse = 0, overTiles = 0;
    int overAttachments = 0;
    std::vector<std::string> warnings;

    void say(const std::string& japanese, const std::string& english) {
        warnings.push_back(s.english() ? english : japanese);
    }
    std::string lineText() const { return std::to_string(line); }
};

// A position value of a mark or a line end: a number with digits, finite, on the globe.
bool readPosition(std::string_view text, double limit, double& out) {
    size_t used = 0;
    const double v = numericPrefix(text, used);
    if (used == 0 || !std::isfinite(v) || std::fabs(v) > limit) return false;
    out = v;
    return true;
}

void parseRecord(std::string_view key, std::string_view value, RaceDefinition& def,
                 ReadNotes& notes) {
    std::string_view rest = value;
    if (key == "WF") {
        def.WindFileName = trimBlanks(value);
    } else if (key == "T1") {
        def.Title1 = trimBlanks(value);
    } else if (key == "T2") {
        def.Title2 = trimBlanks(value);
    } else if (key == "T3") {
        def.Title3 = trimBlanks(value);
    } else if (key == "ST" || key == "FT") {
        const std::string text(trimBlanks(value));
        const RaceTime time = text.empty() ? RaceTime() : parseDateTime(text);
        // A time that is no date-time would be ignored by every reader of it: the tracks then
        // settle it, and the user is told.
        if (!text.empty() && !time) {
            const bool start = key == "ST";
            notes.say("レースファイル " + notes.lineText() +
                          " 行目: " + (start ? "スタート時刻 (ST) " : "フィニッシュ時刻 (FT) ") +
                          "\"" + shownName(text) + "\" は日時ではありません。航跡から決めます。",
                      "Race file line " + notes.lineText() + ": the " +
                          (start ? "start time (ST) \"" : "finish time (FT) \"") + shownName(text) +
                          "\" is not a date and time; the tracks settle it.");
        }
        (key == "ST" ? def.RaceStart : def.RaceEnd) = time;
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
        if (def.TimeDiff > kMaxSensibleTimeDiff || def.TimeDiff < -kMaxSensibleTimeDiff)
            notes.say("レースファイル " + notes.lineText() + " 行目: 時差 (TD) " +
                          std::to_string(def.TimeDiff) +
                          " 時間は一日を超えています。航跡がレースの時間から外れます。",
                      "Race file line " + notes.lineText() + ": the time difference (TD) of " +
                          std::to_string(def.TimeDiff) +
                          " hours is more than a day; the tracks will fall outside the race.");
    } else if (key == "BN") {
        ++notes.bnLines;
        if (def.BoatCount >= kMaxBoats) {
            ++notes.overBoats;
            return;
        }
        std::string_view file = nextPiece(rest);
        if (file.empty()) {
            notes.say("レースファイル " + notes.lineText() +
                          " 行目: BN の行に GPS ファイル名がありません。この艇は読みません。",
                      "Race file line " + notes.lineText() +
                          ": a BN line without a GPS file name; no boat is made of it.");
            return;
        }
        BoatEntry& b = def.Boats[++def.BoatCount];
        b.GpsFile = file;
        b.BoatName = trimBlanks(rest);
    } else if (key == "MK") {
        if (def.MarkCount >= kMaxMarks) {
            ++notes.overMarks;
            return;
        }
        MarkEntry& m = def.Marks[++def.MarkCount];
        m = MarkEntry{};
        // Latitude first: taking its piece shortens the rest to the longitude.
        bool known = readPosition(nextPiece(rest), kMaxLatMinutes, m.MarkLat);
        known &= readPosition(trimBlanks(rest), kMaxLonMinutes, m.MarkLon);
        if (!known) {
            m = MarkEntry{0, 0, false};
            const std::string n = std::to_string(def.MarkCount);
            notes.say("レースファイル " + notes.lineText() + " 行目: マーク " + n +
                          " の位置が読めません。位置不明として回航を求めません。",
                      "Race file line " + notes.lineText() + ": mark " + n +
                          " has no position that can be read; it is left unknown and not "
                          "rounded.");
        }
    } else if (key == "LN") {
        if (def.LineCount >= kMaxLines) {
            ++notes.overLines;
            return;
        }
        LineEntry& l = def.Lines[++def.LineCount];
        l = LineEntry{};
        bool known = readPosition(nextPiece(rest), kMaxLatMinutes, l.LineLat1);
        known &= readPosition(nextPiece(rest), kMaxLonMinutes, l.LineLon1);
        known &= readPosition(nextPiece(rest), kMaxLatMinutes, l.LineLat2);
        known &= readPosition(trimBlanks(rest), kMaxLonMinutes, l.LineLon2);
        if (!known) {
            l = LineEntry{0, 0, 0, 0, false};
            const std::string n = std::to_string(def.LineCount);
            notes.say("レースファイル " + notes.lineText() + " 行目: ライン " + n +
                          " の端の位置が読めません。位置不明として通過を求めません。",
                      "Race file line " + notes.lineText() + ": line " + n +
                          " has an end that is no position; it is left unknown and not "
                          "crossed.");
        }
    } else if (key == "CRS") {
        notes.sawCourse = true;
        // Entries are appended, so a course may span several CRS lines. An empty piece
        // (",," or a trailing comma) names nothing and is left out.
        for (;;) {
            std::string_view piece = nextPiece(rest);
            if (!piece.empty()) {
                if (def.CourseCount < kMaxCourse)
                    def.Course[++def.CourseCount] = piece;
                else
                    ++notes.overCourse;
            }
            if (rest.empty()) break;
        }
    } else if (key == "MAP") {
        // Kept so that a later write of the race does not lose the coastline tiles.
        std::string_view tile = trimBlanks(value);
        if (!tile.empty()) {
            if (def.CoastTileCount < kMaxCoastTiles)
                def.CoastTiles[++def.CoastTileCount] = tile;
            else
                ++notes.overTiles;
        }
    } else if (key == "LL") {
        notes.sawLL = true;
        double up = numericPrefix(nextPiece(rest));
        double down = numericPrefix(trimBlanks(rest));
        if (up != 0) def.UpwindLayAngle = up;
        if (down != 0) def.DownwindLayAngle = down;
    } else if (key == "BT") {
        notes.sawBT = true;
        def.PreStartMinutes = numericPrefix(value);
        def.PreStartSeconds = kSecondsPerMinute * def.PreStartMinutes;
    } else if (key == "AT") {
        if (def.AttachmentCount >= kMaxAttachments) {
            ++notes.overAttachments;
            return;
        }
        def.Attachments[++def.AttachmentCount] = trimBlanks(value);
    }
    // Any other key is not ours and is skipped.
}

// The keys of the records the reader knows.
bool isKnownKey(std::string_view key) {
    static constexpr std::string_view kKeys[] = {"WF",  "T1",  "T2", "T3", "MG", "LG", "ST",
                                                 "FT",  "TD",  "WD", "NU", "BN", "MK", "LN",
                                                 "CRS", "MAP", "LL", "BT", "AT"};
    return std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
}

// Records beyond a list's capacity, said with the limit.
void sayOverCapacity(ReadNotes& notes) {
    struct Over {
        int count, limit;
        const char* ja;
        const char* en;
    };
    const Over overs[] = {
        {notes.overBoats, kMaxBoats, "艇 (BN)", "boats (BN)"},
        {notes.overMarks, kMaxMarks, "マーク (MK)", "marks (MK)"},
        {notes.overLines, kMaxLines, "ライン (LN)", "lines (LN)"},
        {notes.overCourse, kMaxCourse, "コース順 (CRS)", "course entries (CRS)"},
        {notes.overTiles, kMaxCoastTiles, "海岸線ファイル (MAP)", "coastline tiles (MAP)"},
        {notes.overAttachments, kMaxAttachments, "添付ファイル (AT)", "attachments (AT)"},
    };
    for (const Over& o : overs) {
        if (o.count == 0) continue;
        const std::string limit = std::to_string(o.limit), count = std::to_string(o.count);
        notes.say(std::string("レースに入る") + o.ja + "は " + limit + " までです。残りの " +
                      count + " 件は読みません。",
                  std::string("A race holds at most ") + limit + " " + o.en + ": the " + count +
                      " after the " + limit + "th are left out.");
    }
}

// What a file that looks cut short lacks of what the program always writes.
void sayCutShort(ReadNotes& notes, const RaceDefinition& def, bool noLineEnd) {
    // The writer ends every line and writes LL and BT last but the attachments; a file whose
    // last line has no end, or that has LL and no BT, was cut.
    if (!noLineEnd && !(notes.sawLL && !notes.sawBT)) return;
    std::vector<std::pair<const char*, const char*>> lacks;
    if (!notes.sawCourse && def.MarkCount + def.LineCount > 0)
        lacks.push_back({"コース順 (CRS)", "no course (CRS)"});
    if (!notes.sawLL) lacks.push_back({"レイライン (LL)", "no LL line"});
    if (!notes.sawBT) lacks.push_back({"スタート前の分数 (BT)", "no BT line"});
    std::string ja =
        "レースファイルは途中で切れているようです（" +
        std::string(noLineEnd ? "最後の行に行末がありません" : "LL の後に BT がありません") +
        "）。";
    std::string en = "The race file seems cut short (" +
                     std::string(noLineEnd ? "its last line has no line end" : "LL without BT") +
                     ")";
    for (size_t i = 0; i < lacks.size(); ++i) {
        ja += std::string(i ? "、" : "ない物: ") + lacks[i].first;
        en += std::string(i ? ", " : ": it has ") + lacks[i].second;
    }
    notes.say(ja, en + ".");
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

const char* dropReasonKey(DropReason reason) {
    switch (reason) {
        case DropReason::Folder:
            return "folder";
        case DropReason::RefusedName:
            return "refused name";
        case DropReason::Missing:
        default:
            return "missing";
    }
}

RaceFileReadResult parseRaceControlText(std::string_view bytes, RaceDefinition& def,
                                        const AppSettings& settings) {
    RaceFileReadResult res;
    DecodedText decoded = decodeText(bytes);
    res.encoding = decoded.encoding;
    resetDefinition(def);
    ReadNotes notes(settings);
    // Lines end in CR LF, LF or a lone CR; read in place, one at a time.
    std::string_view text = decoded.text;
    size_t i = 0;
    while (i < text.size()) {
        size_t j = text.find_first_of("\r\n", i);
        if (j == std::string_view::npos) j = text.size();
        const std::string_view line = text.substr(i, j - i);
        i = (j < text.size() && text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n')
                ? j + 2
                : j + 1;
        ++notes.line;
        size_t comma = line.find(',');
        if (comma == std::string_view::npos) {
            // A record key without its values: a line cut, or a boat line that made no boat.
            const std::string_view key = trimBlanks(line);
            if (key == "BN") ++notes.bnLines;
            if (isKnownKey(key))
                notes.say("レースファイル " + notes.lineText() + " 行目: " + std::string(key) +
                              " の行に値がありません。",
                          "Race file line " + notes.lineText() + ": a " + std::string(key) +
                              " line without values is left out.");
            continue;
        }
        parseRecord(trimBlanks(line.substr(0, comma)), line.substr(comma + 1), def, notes);
    }
    computeDerived(def);
    res.analysisViewEnabled = def.CourseCount >= 2;

    if (def.BoatCount == 0) {
        res.warnings = std::move(notes.warnings);
        res.ok = false;
        const bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                                 (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
        if (bytes.empty())
            res.error = settings.tr("レースファイルが空です", "The race file is empty");
        else if (utf16)
            res.error = settings.tr(
                "レースファイルは UTF-16 で保存されていて読めません。Shift-JIS か UTF-8 "
                "で保存し直してください",
                "The race file is UTF-16 text, which is not read; save it as Shift-JIS (ANSI) "
                "or UTF-8");
        else if (bytes.find('\0') != std::string_view::npos)
            res.error = settings.tr(
                "レースファイルではありません（バイナリデータで、艇の行 BN "
                "がありません）",
                "Not a race file: binary data without a boat (BN) line");
        else if (notes.bnLines > 0)
            res.error = settings.tr("レースファイルの艇の行 (BN) から艇が一つも読めません",
                                    "No boat can be read from the race file's boat (BN) lines");
        else
            res.error = settings.tr("レースファイルではありません（艇の行 BN がありません）",
                                    "Not a race file: it has no boat (BN) line");
        return res;
    }
    sayOverCapacity(notes);
    const bool noLineEnd = !text.empty() && text.back() != '\n' && text.back() != '\r';
    sayCutShort(notes, def, noLineEnd);
    res.warnings = std::move(notes.warnings);
    return res;
}

namespace {

// Refuses every name of the race that is not a plain file name, before any path is made of
// it: boats are dropped (listed in `dropped`), the wind file cleared, tiles and attachments
// removed. One message says them all.
void refuseUnplainNames(const AppSettings& settings, RaceDefinition& def,
                        std::vector<DroppedBoat>& dropped, MessageSink& sink) {
    std::vector<std::string> refused;  // "kind: name" for the message
    const bool en = settings.english();
    auto refuse = [&](const char* ja, const char* english, const std::string& name) {
        refused.push_back(std::string(en ? english : ja) + " \"" + shownName(name) + "\"");
    };
    int kept = 0;
    const int boats = std::min(def.BoatCount, kMaxBoats);
    for (int i = 1; i <= boats; ++i) {
        const BoatEntry& b = def.Boats[i];
        if (!isPlainFileName(b.GpsFile)) {
            refuse("GPS ファイル", "GPS file", b.GpsFile);
            dropped.push_back({b.BoatName, b.GpsFile, DropReason::RefusedName});
            continue;
        }
        if (++kept != i) def.Boats[kept] = def.Boats[i];
    }
    for (int i = kept + 1; i <= boats; ++i) def.Boats[i] = BoatEntry{};
    def.BoatCount = kept;
    if (!def.WindFileName.empty() && !isPlainFileName(def.WindFileName)) {
        refuse("風データファイル", "wind file", def.WindFileName);
        def.WindFileName.clear();
    }
    auto compact = [&](auto& list, int& count, const char* ja, const char* english) {
        int k = 0;
        const int n = std::min(count, static_cast<int>(list.size()) - 1);
        for (int i = 1; i <= n; ++i) {
            if (!isPlainFileName(list[i])) {
                refuse(ja, english, list[i]);
                continue;
            }
            if (++k != i) list[k] = list[i];
        }
        for (int i = k + 1; i <= n; ++i) list[i].clear();
        count = k;
    };
    compact(def.CoastTiles, def.CoastTileCount, "海岸線ファイル", "coastline tile");
    compact(def.Attachments, def.AttachmentCount, "添付ファイル", "attachment");
    if (refused.empty()) return;
    std::string text = en ? "These file names in the race file name folders or hold characters "
                            "a file name cannot have; they are not opened (a boat whose GPS "
                            "file it is is left out):"
                          : "レースファイルの次のファイル名はフォルダを指すか、ファイル名に使えない"
                            "文字を含むため開きません（その艇は除きます）:";
    for (const std::string& r : refused) text += "\r\n" + r;
    sink.show(Message{text, settings.ProductTitle, MessageButtons::Ok});
}

}  // namespace

RaceDefinition withDroppedBoats(const RaceDefinition& shown,
                                const std::vector<DroppedBoat>& dropped) {
    RaceDefinition all = shown;
    if (dropped.empty()) return all;
    std::vector<BoatEntry> boats;
    std::size_t d = 0;
    int k = 1;
    const int kept = std::min(shown.BoatCount, kMaxBoats);
    while (k <= kept || d < dropped.size()) {
        const bool droppedNext =
            d < dropped.size() &&
            (k > kept || dropped[d].number <= static_cast<int>(boats.size()) + 1);
        if (droppedNext) {
            boats.push_back({dropped[d].gpsFile, dropped[d].name});
            ++d;
        } else {
            boats.push_back(shown.Boats[static_cast<std::size_t>(k++)]);
        }
    }
    const int n = std::min(static_cast<int>(boats.size()), kMaxBoats);
    for (int i = 1; i <= n; ++i) all.Boats[static_cast<std::size_t>(i)] = boats[i - 1];
    all.BoatCount = n;
    return all;
}

std::vector<DroppedBoat> checkRaceFiles(const AppSettings& settings, RaceDefinition& def,
                                        MessageSink& sink) {
    std::vector<DroppedBoat> dropped;
    // The boats as the file lists them, to give each boat left out its place there.
    const int listed = std::min(def.BoatCount, kMaxBoats);
    std::vector<BoatEntry> original(def.Boats.begin() + 1, def.Boats.begin() + 1 + listed);
    refuseUnplainNames(settings, def, dropped, sink);

    if (!def.WindFileName.empty()) {
        auto p = findPath(settings.AppPath, "\\winddat\\" + def.WindFileName);
        if (p && folderExists(*p)) {
            sink.show(Message{settings.english()
                                  ? "Wind file -- " + def.WindFileName +
                                        " -- is a folder, not a file; the race has no wind data"
                                  : "風データファイル -- " + def.WindFileName +
                                        " -- はフォルダです。風データなしで表示します。",
                              settings.ProductTitle, MessageButtons::Ok});
            def.WindFileName.clear();
        } else if (!p || !fileExists(*p)) {
            def.WindFileName.clear();
        }
    }

    // Why the boat's file cannot be read; nothing when it is there.
    auto gpsProblem = [&](const std::string& name) -> std::optional<DropReason> {
        if (trimBlanks(name).empty()) return DropReason::Missing;
        auto p = findPath(settings.AppPath, "\\gpsdat\\" + name);
        if (!p) return DropReason::Missing;
        if (folderExists(*p)) return DropReason::Folder;
        if (!fileExists(*p)) return DropReason::Missing;
        return std::nullopt;
    };
    bool toldMissing = false;
    std::vector<std::string> folders;
    int kept = 0;
    for (int i = 1; i <= def.BoatCount && i <= kMaxBoats; ++i) {
        const std::optional<DropReason> problem = gpsProblem(def.Boats[i].GpsFile);
        if (problem) {
            const std::string& f = def.Boats[i].GpsFile;
            if (*problem == DropReason::Folder) {
                folders.push_back(f);
            } else if (!toldMissing) {
                toldMissing = true;
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
            dropped.push_back({def.Boats[i].BoatName, def.Boats[i].GpsFile, *problem});
            continue;
        }
        if (++kept != i) def.Boats[kept] = def.Boats[i];
    }
    for (int i = kept + 1; i <= def.BoatCount && i <= kMaxBoats; ++i) def.Boats[i] = BoatEntry{};
    def.BoatCount = kept;
    if (!folders.empty()) {
        std::string text = settings.english()
                               ? "These GPS file names are folders, not track files; their boats "
                                 "will be ignored:"
                               : "次の GPS ファイル名はフォルダです。その艇を無視して表示します:";
        for (const std::string& f : folders) text += "\r\n" + f;
        sink.show(Message{text, settings.ProductTitle, MessageButtons::Ok});
    }
    // Places in the file: the boats kept follow the file's order, so every other one is left out.
    std::vector<DroppedBoat> placed;
    int k = 1;
    for (int i = 1; i <= listed; ++i) {
        const BoatEntry& b = original[static_cast<std::size_t>(i - 1)];
        if (k <= def.BoatCount && def.Boats[static_cast<std::size_t>(k)].GpsFile == b.GpsFile &&
            def.Boats[static_cast<std::size_t>(k)].BoatName == b.BoatName) {
            ++k;
            continue;
        }
        for (DroppedBoat& d : dropped)
            if (d.number == 0 && d.gpsFile == b.GpsFile && d.name == b.BoatName) {
                d.number = i;
                placed.push_back(d);
                break;
            }
    }
    for (DroppedBoat& d : dropped)  // never expected: kept at the end rather than lost
        if (d.number == 0) d.number = listed + 1, placed.push_back(d);
    return placed;
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
    if (path && folderExists(*path))
        return fail(messageText(settings, "レースファイルではなくフォルダです: ",
                                "The race file is a folder, not a file: ") +
                    name);
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
    // Read into a copy: a file that is no race leaves the race shown before as it was.
    RaceDefinition read = def;
    RaceFileReadResult parsed = parseRaceControlText(*bytes, read, settings);
    if (!parsed.ok) {
        std::vector<std::string> warnings = std::move(parsed.warnings);
        res = fail(parsed.error + ": " + name);
        res.warnings = std::move(warnings);
        return res;
    }
    def = std::move(read);
    res = std::move(parsed);
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
    textRecord("ST", formatRaceTime(def.RaceStart));
    textRecord("FT", formatRaceTime(def.RaceEnd));
    if (def.TimeDiff != 0) line("TD, " + signedNumber(def.TimeDiff));
    if (def.MeanWindDir != 0) line("WD, " + signedNumber(def.MeanWindDir));
    if (def.NorthUp > 0) line("NU, 1");

    const int boats = std::min(def.BoatCount, kMaxBoats);
    for (int i = 1; i <= boats; ++i)
        line("BN, " + oneLine(def.Boats[i].GpsFile) + ", " + oneLine(def.Boats[i].BoatName));
    const int marks = std::min(def.MarkCount, kMaxMarks);
    // A mark or line without a position keeps its number with empty values, which read back
    // as unknown again: writing 0 would make it a position.
    for (int i = 1; i <= marks; ++i)
        line(def.Marks[i].PositionKnown ? "MK, " + shortestDecimal(def.Marks[i].MarkLat) + ", " +
                                              shortestDecimal(def.Marks[i].MarkLon)
                                        : std::string("MK, ,"));
    const int lines = std::min(def.LineCount, kMaxLines);
    for (int i = 1; i <= lines; ++i) {
        const LineEntry& l = def.Lines[i];
        line(l.PositionKnown
                 ? "LN, " + shortestDecimal(l.LineLat1) + ", " + shortestDecimal(l.LineLon1) +
                       ", " + shortestDecimal(l.LineLat2) + ", " + shortestDecimal(l.LineLon2)
                 : std::string("LN, , , ,"));
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
