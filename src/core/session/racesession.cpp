// The race shown on the race screen; see racesession.h.
#include "session/racesession.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "race/racecontrolfile.h"
#include "track/rounding.h"
#include "track/windfile.h"
#include "util/angles.h"
#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {

// A change refused before anything was written.
WriteResult refused(std::string why) {
    WriteResult r;
    r.ok = false;
    r.error = std::move(why);
    return r;
}

constexpr double kPreStartReplaySeconds = 20;  // the replay starts this long before the pre-start
constexpr const char* kTxt = ".txt";

bool containsTxt(const std::string& s) { return toLowerAscii(s).find(kTxt) != std::string::npos; }
}  // namespace

bool acceptableRaceTimes(const std::string& start, const std::string& finish, const RaceTime& first,
                         const RaceTime& last) {
    const auto s = parseDateTime(trimBlanks(start));
    const auto f = parseDateTime(trimBlanks(finish));
    if (!s || !f || !first || !last) return false;
    // A finish before the start would give a race of negative length.
    return *first <= *s && *s < *last && *first < *f && *f <= *last && *s < *f;
}

std::string raceFileNameFromAnswer(const std::string& answer) {
    std::string name(trimBlanks(answer));
    if (name.empty()) return {};
    if (!containsTxt(name)) name += kTxt;
    if (!isPlainFileName(name)) return {};
    return name;
}

WindSamples windSamplesOf(const WindStore& store) {
    auto part = [&](const std::vector<double>& v) {
        const size_t n = std::min(v.size(), static_cast<size_t>(std::max(0, store.WindCount)) + 1);
        return std::span<const double>(v.data(), n);
    };
    return {part(store.WindSec), part(store.WindSpeed), part(store.WindDir)};
}

RaceSession::Opened RaceSession::open(const AppSettings& settings, const RaceRequest& request,
                                      MessageSink& sink) {
    Opened out;
    std::unique_ptr<RaceSession> s(new RaceSession(settings));
    s->race_ = request.seed;
    s->shownFile_ =
        request.seed.RaceFileName.empty() ? request.singleTrackFile : request.seed.RaceFileName;
    OpenRaceOptions opts;
    opts.singleTrackFile = request.singleTrackFile;
    opts.progress = request.progress;
    const OpenRaceResult r = openRace(settings, s->race_, s->data_, sink, opts);
    if (!r.ok) {
        out.status = r.status == OpenRaceStatus::GpsFileMissing ? SessionOpenStatus::GpsFileMissing
                                                                : SessionOpenStatus::RaceFileFailed;
        out.error = r.error;
        return out;
    }
    if (s->data_.tracks.boatCount() == 0) {
        out.status = SessionOpenStatus::NoTracks;
        return out;
    }
    // Boats whose logs miss the race altogether have no segment to show: a race where that is
    // every boat (start and finish outside the logs) has nothing to replay.
    bool anySegment = false;
    for (int b = 1; b <= s->data_.tracks.boatCount() && !anySegment; ++b)
        anySegment = s->data_.tracks.TrkCount(b) >= 2;
    if (!anySegment) {
        out.status = SessionOpenStatus::NoFixesInRace;
        return out;
    }

    // Boats left out of the race are written back with it: they do not make the file partial.
    s->raceFileWhole_ = r.raceFileWarnings == 0;
    s->droppedBoats_ = r.droppedBoats;
    // The coastline is read here, with the race, never while the chart is drawn.
    out.coastTilesSaved = s->loadCoast();

    PlaybackClock& c = s->clock_;
    c.setUpRace(s->race_.PreStartSeconds, s->race_.RaceSeconds);
    c.RaceTime = -(s->race_.PreStartSeconds + kPreStartReplaySeconds);
    s->windNow_.reset(s->race_.MeanWindDir);
    s->frame_.resetForRace(s->data_.tracks, s->boatCount(), c);
    // The tracks, roundings and wind are all in: the coach's analyses follow from them.
    s->analyser_ = request.analyser;
    s->analyse();
    out.session = std::move(s);
    return out;
}

WriteResult RaceSession::loadCoast() {
    const TrackStore& t = data_.tracks;
    RaceDefinition withTiles = race_;
    const int tiles =
        chooseCoastTiles(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor, withTiles);
    WriteResult saved;
    // The editor keeps the tile list with the race; the browser never writes, and neither does
    // the opening of a file read in part, which would lose the rest with no copy kept.
    if (settings_.EditionMode > 1 && tiles > 0 && raceFileWhole_)
        saved = writeThrough(withTiles, false);  // not the user's change: no ".bak"
    else
        race_.CoastTiles = withTiles.CoastTiles, race_.CoastTileCount = withTiles.CoastTileCount;
    // Drawn even when the tile list could not be stored.
    readCoastPoints(withTiles);
    return saved;
}

void RaceSession::readCoastPoints(const RaceDefinition& withTiles) {
    const TrackStore& t = data_.tracks;
    coast_.clear();
    loadCoastTiles(settings_.AppPath,
                   coastDrawingWindow(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor),
                   withTiles, coast_);
    missingCoastTiles_.clear();
    for (int i = 1; i <= std::min(withTiles.CoastTileCount, kMaxCoastTiles); ++i) {
        const std::string& name = withTiles.CoastTiles[i];
        if (!isPlainFileName(name) || shorelessTiles_.count(toLowerAscii(name))) continue;
        const auto path = findPath(settings_.AppPath, "\\coastline\\" + name + ".cst");
        if (!path || !fileExists(*path)) missingCoastTiles_.push_back(name);
    }
}

CoastTilesAdded RaceSession::makeCoastTiles(const ProgramRunner& runner) {
    CoastTilesAdded out;
    const TrackStore& t = data_.tracks;
    CoastMakeOptions options;
    options.runner = runner;
    out.made = brisko::makeCoastTiles(settings_, planCoastTiles(t), options);
    for (const std::string& name : out.made.named(CoastTileOutcome::NoShore))
        shorelessTiles_.insert(toLowerAscii(name));
    RaceDefinition withTiles = race_;
    chooseCoastTiles(t.CenterLat, t.CenterLon, t.TrackSpan, t.LonFactor, withTiles);
    if (out.made.ok()) {
        if (race_.RaceFileName.empty()) {
            out.raceFileNote = settings_.tr(
                "単独の航跡の表示なので、タイル名を書き込むレースファイルがありません。"
                "この海域のレースでは作ったタイルが読み込まれます。",
                "A single track has no race file to name the tiles in; they are read for every "
                "race sailed in this area.");
        } else if (!raceFileWhole_) {
            out.raceFileNote =
                settings_.english()
                    ? "The race file " + race_.RaceFileName +
                          " is left as it is (it was read in part, and writing it again would "
                          "lose the rest); add these lines to it:"
                    : "レースファイル " + race_.RaceFileName +
                          " は一部しか読めなかったため書き換えません（書き換えると読めなかった"
                          "部分が失われます）。次の行を書き加えてください:";
            for (int i = 1; i <= withTiles.CoastTileCount; ++i)
                out.raceFileNote += "\nMAP, " + withTiles.CoastTiles[i];
        } else {
            out.raceFile = writeThrough(withTiles);
        }
    }
    // The tiles made are drawn whether or not the race file names them.
    if (!out.made.tiles.empty()) readCoastPoints(withTiles);
    return out;
}

int RaceSession::boatCount() const { return std::min(race_.BoatCount, data_.tracks.boatCount()); }

double RaceSession::windDirNow() const {
    return data_.WindShown ? windNow_.WindDirNow : race_.WindDirNow;
}

FinishInputs finishInputsOf(const RaceDefinition& race, const RoundingResults& roundings) {
    FinishInputs in;
    // Only the first entries of a long course take part in the roundings: the last of those
    // is the finish the list waits for.
    in.courseCount = std::clamp(race.CourseCount, 0, kMaxRoundingEntries);
    if (in.courseCount == 0) return in;
    in.leadFinish = roundings.LeadTime(in.courseCount);
    for (int k = 1; k <= std::min(race.BoatCount, kMaxBoats); ++k)
        in.finishTime[k] = roundings.RoundTime(in.courseCount, k);
    return in;
}

FinishInputs RaceSession::finishInputs() const { return finishInputsOf(race_, data_.roundings); }

void RaceSession::firstShow() {
    clock_.firstShow(race_.PreStartSeconds);
    frame_.resetHints(true, data_.tracks);
}

void RaceSession::continueReplayOf(const RaceSession& previous) {
    const PlaybackClock& p = previous.clock_;
    clock_.TimeStep = p.TimeStep;
    clock_.State = p.State;
    clock_.StepSign = p.StepSign;
    clock_.SpeedFactor = p.SpeedFactor;
    clock_.TicksLastSecond = p.TicksLastSecond;
    clock_.AutoTraceArmed = p.AutoTraceArmed;
    clock_.IdleSeconds = p.IdleSeconds;
    // The size label reads the last frame's symbol size until the new race's first measure.
    layout_.realSize = previous.layout_.realSize;
    backedUp_.insert(previous.backedUp_.begin(), previous.backedUp_.end());
    windBackedUp_.insert(previous.windBackedUp_.begin(), previous.windBackedUp_.end());
    shorelessTiles_.insert(previous.shorelessTiles_.begin(), previous.shorelessTiles_.end());
    std::erase_if(missingCoastTiles_, [this](const std::string& name) {
        return shorelessTiles_.count(toLowerAscii(name)) > 0;
    });
    frame_.resetHints(clock_.TimeStep > 0, data_.tracks);
}

void RaceSession::stepForward() {
    clock_.stepPlus();
    frame_.resetHints(true, data_.tracks);
}

void RaceSession::stepBackward() {
    clock_.stepMinus();
    frame_.resetHints(false, data_.tracks);
}

void RaceSession::jumpTo(double raceTime) {
    clock_.RaceTime = raceTime;
    frame_.resetHints(clock_.TimeStep > 0, data_.tracks);
}

void RaceSession::setPeriod(double t1, double t2) {
    clock_.setPeriod(t1, t2);
    frame_.resetHints(clock_.TimeStep > 0, data_.tracks);
}

void RaceSession::cancelPeriod() { clock_.cancelPeriod(race_.PreStartSeconds, race_.RaceSeconds); }

void RaceSession::updateRoundingTimer() {
    const RoundingResults& r = data_.roundings;
    std::vector<double> lead(static_cast<size_t>(std::max(0, r.entryCount)) + 1, 0.0);
    for (int j = 1; j <= r.entryCount; ++j) lead[j] = r.LeadTime(j);
    clock_.updateRoundingTimer(lead, r.entryCount);
}

RaceSession::FrameAdvance RaceSession::advanceFrame(double mapSize) {
    FrameAdvance a;
    a.events = frame_.advance(data_.tracks, finishInputs(), clock_, windDirNow(), mapSize);
    if (frame_.takeWholeSecondChange(clock_.RaceTime) && data_.WindShown) {
        const double before = windNow_.WindDirNow;
        const double speedBefore = windNow_.WindSpeedNow;
        windNow_.update(windSamplesOf(data_.wind), clock_.RaceTime, clock_.TimeStep,
                        race_.MagneticVariation);
        a.windChanged = windNow_.WindDirNow != before || windNow_.WindSpeedNow != speedBefore;
    }
    return a;
}

namespace {
constexpr int kLayLinesEvery = 5;  // seconds between lay-line updates following the wind

void merge(FrameShown& into, const FrameShown& f) {
    into.events.wrapped = into.events.wrapped || f.events.wrapped;
    into.events.playGun = into.events.playGun || f.events.playGun;
    into.events.finishListChanged = into.events.finishListChanged || f.events.finishListChanged;
    into.windChanged = into.windChanged || f.windChanged;
    into.layLinesDue = into.layLinesDue || f.layLinesDue;
    into.viewFitted = into.viewFitted || f.viewFitted;
}
}  // namespace

FrameShown RaceSession::deriveFrame(MapView& view, const DisplayOptions& options) {
    FrameShown f;
    const FrameAdvance a = advanceFrame(view.MapSize);
    f.events = a.events;
    f.windChanged = a.windChanged;
    f.layLinesDue = a.windChanged && FrameState::wholeSecond(clock_.RaceTime) % kLayLinesEvery == 0;
    // The view follows the boats at the time just reached, then the boats are laid out on it.
    if (options.AutoTrace) f.viewFitted = view.fitToBoats(frame_.positionsForFit(options));
    return f;
}

void RaceSession::layOutFrame(const MapView& view, const DisplayOptions& options) {
    layout_.layOut(frame_, data_.tracks, race_, clock_.RaceTime, data_.SpeedBarScale, view,
                   options);
    manoeuvreMarks_ = layOutManoeuvreMarks(coach_, race_, view, options, settings_.english());
}

void RaceSession::analyse() {
    coach_ = analyser_ ? analyser_(race_, data_.tracks, data_.roundings, data_.wind)
                       : analyseRace(race_, data_.tracks, data_.roundings, data_.wind);
}

FrameShown RaceSession::showFrame(MapView& view, const DisplayOptions& options) {
    FrameShown f = deriveFrame(view, options);
    layOutFrame(view, options);
    f.laidOut = true;
    return f;
}

FrameShown RaceSession::replayTick(MapView& view, const DisplayOptions& options) {
    FrameShown shown;
    clock_.advance();
    if (options.AutoTrace || !clock_.stopped()) {
        shown = deriveFrame(view, options);
        // Stretches with no boat in the map box are crossed faster: the positions are checked
        // against the map box after each step, and the frame is laid out once, where it ends.
        if (!options.AutoTrace && options.ViewMode == ViewModeKind::Map) {
            for (int i = 0; i < kCatchUpFrames && !clock_.stopped() &&
                            !FrameLayout::anyBoatInView(frame_, view, options);
                 ++i) {
                clock_.catchUpStep();
                merge(shown, deriveFrame(view, options));
            }
        }
        layOutFrame(view, options);
        shown.laidOut = true;
    }
    clock_.countTick();
    return shown;
}

void RaceSession::setOrientation(bool northUp) {
    race_.NorthUp = northUp ? 1 : 0;
    race_.ViewRotation = northUp ? 0 : race_.MeanWindDir;
}

bool RaceSession::setStartFinish(const std::string& start, const std::string& finish) {
    if (!acceptableRaceTimes(start, finish, race_.FirstFix, race_.LastFix)) return false;
    race_.RaceStart = parseDateTime(trimBlanks(start));
    race_.RaceEnd = parseDateTime(trimBlanks(finish));
    race_.ViewStart = race_.RaceStart;
    race_.ViewEnd = race_.RaceEnd;
    return true;
}

WriteResult RaceSession::saveAs(const std::string& fileName) {
    if (!isPlainFileName(fileName))
        return refused(settings_.tr("ファイル名として使えません: ", "not a file name: ") +
                       fileName);
    RaceDefinition changed = race_;
    changed.RaceFileName = fileName;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) shownFile_ = fileName;
    return w;
}

WriteResult RaceSession::setWindDirection(double degrees) {
    if (!std::isfinite(degrees))
        return refused(settings_.tr("風向として読めません", "not a direction"));
    RaceDefinition changed = race_;
    changed.MeanWindDir = normalizeAngle360(degrees);
    changed.WindDirNow = changed.MeanWindDir;
    // A race shown from a single track has no race file to write to.
    const WriteResult w = race_.RaceFileName.empty() ? (race_ = std::move(changed), WriteResult{})
                                                     : writeThrough(std::move(changed));
    if (w.ok && !data_.WindShown) windNow_.reset(race_.MeanWindDir);
    return w;
}

bool RaceSession::ensureLegData() {
    if (legDataValid_) return false;
    data_.roundings.clear();
    if (race_.CourseCount >= 1) {
        computeRoundings(race_, data_.tracks, data_.roundings);
        computeLegDistances(race_, data_.tracks, data_.roundings);
    }
    legDataValid_ = true;
    analyse();  // the starts, legs and gaps read the roundings
    return true;
}

void RaceSession::setWindSamples(const WindStore& samples) { data_.wind = samples; }

WriteResult RaceSession::saveWindSamples() {
    if (race_.RaceFileName.empty())
        return refused(settings_.tr("レースファイルがないので風データを保存できません",
                                    "The race has no race file to keep the wind data with"));
    RaceDefinition changed = race_;
    changed.WindFileName = windFileNameFor(race_.RaceFileName);
    // The wind file as it was is kept once, before anything replaces it.
    const std::string path = windFilePath(settings_, changed);
    if (!windBackedUp_.count(path) && fileExists(path)) {
        const auto old = readFileBytes(path);
        if (!old)
            return refused(
                settings_.tr("風データファイルを読めません: ", "The wind file cannot be read: ") +
                path);
        WriteResult kept = writeFileAtomically(path + ".bak", *old);
        if (!kept.ok) {
            kept.error = writeFailureText(kept, settings_.english());
            return kept;
        }
        windBackedUp_.insert(path);
    }
    const WriteResult w = writeRaceWindFile(settings_, changed, data_.wind);
    if (!w.ok) return w;
    data_.WindShown = true;
    analyse();  // the manoeuvres, starts and legs are judged against the wind saved
    if (changed.WindFileName == race_.WindFileName) return w;
    return writeThrough(std::move(changed));
}

std::string RaceSession::backupOf(const std::string& raceFileName) const {
    if (!backedUp_.count(toLowerAscii(raceFileName))) return {};
    return resolvePath(settings_.AppPath, "\\raceadmin\\" + raceFileName) + ".bak";
}

WriteResult RaceSession::writeThrough(RaceDefinition changed, bool keepBackup) {
    const std::string key = toLowerAscii(changed.RaceFileName);
    if (keepBackup && !changed.RaceFileName.empty() && isPlainFileName(changed.RaceFileName) &&
        !backedUp_.count(key)) {
        // The file as it was before the first change, so that a slip can be undone by hand.
        const std::string path =
            resolvePath(settings_.AppPath, "\\raceadmin\\" + changed.RaceFileName);
        if (fileExists(path)) {
            const auto bytes = readFileBytes(path);
            WriteResult kept = bytes ? writeFileAtomically(path + ".bak", *bytes) : WriteResult{};
            if (!bytes) kept.ok = false;
            if (!kept.ok)
                return refused(settings_.tr("レースファイルの控えを作れませんでした: ",
                                            "The race file could not be kept as .bak: ") +
                               writeFailureText(kept, settings_.english()));
        }
        backedUp_.insert(key);
    }
    RaceDefinition onDisk = withDroppedBoats(changed, droppedBoats_);
    const WriteResult w = writeRaceControlFile(settings_, onDisk);
    if (w.ok) race_ = std::move(changed);
    return w;
}

void RaceSession::courseChanged() {
    legDataValid_ = false;
    ensureLegData();  // the finishing list reads the roundings on the next frame
}

namespace {
WriteResult full(const AppSettings& s, const char* ja, const char* en) {
    return refused(s.tr(ja, en));
}
}  // namespace

WriteResult RaceSession::setMark(GeoPoint p) {
    if (race_.MarkCount >= kMaxMarks)
        return full(settings_, "マークは30個までです", "No more than 30 marks");
    if (!std::isfinite(p.lat) || !std::isfinite(p.lon))
        return refused(settings_.tr("位置として読めません", "not a position"));
    RaceDefinition changed = race_;
    MarkEntry& m = changed.Marks[++changed.MarkCount];
    m = MarkEntry{};
    m.MarkLat = p.lat;
    m.MarkLon = p.lon;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

WriteResult RaceSession::setLine(GeoPoint end1, GeoPoint end2) {
    if (race_.LineCount >= kMaxLines)
        return full(settings_, "ラインは10本までです", "No more than 10 lines");
    for (double v : {end1.lat, end1.lon, end2.lat, end2.lon})
        if (!std::isfinite(v))
            return refused(settings_.tr("位置として読めません", "not a position"));
    RaceDefinition changed = race_;
    LineEntry& l = changed.Lines[++changed.LineCount];
    l = LineEntry{};
    l.LineLat1 = end1.lat, l.LineLon1 = end1.lon;
    l.LineLat2 = end2.lat, l.LineLon2 = end2.lon;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

WriteResult RaceSession::deleteMark(int mark) {
    if (mark < 1 || mark > race_.MarkCount) return refused("no such mark");
    RaceDefinition changed = race_;
    for (int i = mark; i < changed.MarkCount; ++i) changed.Marks[i] = changed.Marks[i + 1];
    changed.Marks[changed.MarkCount] = MarkEntry{};
    --changed.MarkCount;
    changed.CourseCount = 0;  // its entries named the marks by number
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

WriteResult RaceSession::deleteLine(int line) {
    if (line < 1 || line > race_.LineCount) return refused("no such line");
    RaceDefinition changed = race_;
    for (int i = line; i < changed.LineCount; ++i) changed.Lines[i] = changed.Lines[i + 1];
    changed.Lines[changed.LineCount] = LineEntry{};
    --changed.LineCount;
    changed.CourseCount = 0;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

WriteResult RaceSession::addCourseEntry(const MapPick& pick) {
    const std::string entry = courseEntryFor(pick);
    if (entry.empty()) return {};
    if (race_.CourseCount >= kMaxCourse)
        return full(settings_, "コースは50個までです", "No more than 50 course entries");
    RaceDefinition changed = race_;
    changed.Course[++changed.CourseCount] = entry;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

WriteResult RaceSession::clearCourse() {
    RaceDefinition changed = race_;
    changed.CourseCount = 0;
    const WriteResult w = writeThrough(std::move(changed));
    if (w.ok) courseChanged();
    return w;
}

}  // namespace brisko
