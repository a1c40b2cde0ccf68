// The race shown on the race screen, with everything that belongs to it: the race definition,
// tracks, wind, roundings, coastline, the replay clock and the frame derived from it. Built whole
// by open() and replaced whole on a race switch; windows read it through const accessors and
// change it only through the named operations below.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "analysis/coach.h"
#include "analysis/coachmarks.h"
#include "app/appsettings.h"
#include "app/messages.h"
#include "display/framelayout.h"
#include "display/framestate.h"
#include "display/playbackclock.h"
#include "display/windnow.h"
#include "interact/mapmouse.h"
#include "race/racedefinition.h"
#include "session/openrace.h"
#include "track/coastline.h"
#include "track/coastmaker.h"
#include "util/fileutil.h"
#include "util/programrun.h"

namespace brisko {

// Whether typed start and finish times are accepted: the start in [first fix, last fix), the
// finish in (first fix, last fix], in whole seconds, and the start before the finish.
bool acceptableRaceTimes(const std::string& start, const std::string& finish,
                         const RaceTime& firstFix, const RaceTime& lastFix);

// A typed race file name made ready to save: ".txt" appended unless it holds ".txt" already
// (in any letter case). Empty when the answer is empty or not a plain file name.
std::string raceFileNameFromAnswer(const std::string& answer);

// The wind store's samples as the current-wind search reads them (only the WindCount read).
WindSamples windSamplesOf(const WindStore& store);

// The finishing list's inputs: the last course entry that takes part in the roundings, the
// leader's time there and every boat's.
FinishInputs finishInputsOf(const RaceDefinition& race, const RoundingResults& roundings);

// What works out the coach's analyses of a race (analyseRace unless another is given).
using CoachAnalyser = std::function<CoachAnalysis(const RaceDefinition&, const TrackStore&,
                                                  const RoundingResults&, const WindStore&)>;

// What to open: the race file named by seed.RaceFileName, or without one the single track file
// (a single-track race keeps the rest of the seed when it shows the same track again).
struct RaceRequest {
    RaceDefinition seed;
    std::string singleTrackFile;
    LoadProgress progress;
    CoachAnalyser analyser;  // empty: analyseRace
};

enum class SessionOpenStatus {
    Ok,
    RaceFileFailed,  // the race file could not be read (the reader told the user)
    GpsFileMissing,  // a GPS file vanished while loading (the loader told the user)
    NoTracks,        // no boat has a track file that could be read
    NoFixesInRace,   // the boats' logs hold no fix between the race's start and finish
};

// What making the coastline tiles of the race area did.
struct CoastTilesAdded {
    CoastMakeResult made;
    // The race file written with the area's MAP records (ok also when it was not written).
    WriteResult raceFile;
    // Why the race file was not given the MAP records though the tiles were made, in the user's
    // language: a single track has no race file; a race file read in part (or without some of
    // its boats) is not written again, and the lines to add by hand are listed instead.
    std::string raceFileNote;
};

// What the window acts on once the replay has moved the frame and the session laid it out.
struct FrameShown {
    bool laidOut = false;      // a new frame is laid out (false: the replay is stopped)
    FrameEvents events;        // over every frame crossed: a gun to sound, a longer list
    bool windChanged = false;  // the wind in force moved (the indicator follows)
    // The wind moved at a whole five seconds: lay lines drawn for another wind follow it.
    bool layLinesDue = false;
    bool viewFitted = false;  // auto trace moved the view onto the boats: a new background
};

class RaceSession {
public:
    struct Opened {
        std::unique_ptr<RaceSession> session;  // null unless status is Ok
        SessionOpenStatus status = SessionOpenStatus::Ok;
        std::string error;            // the reader's or loader's message (already shown)
        WriteResult coastTilesSaved;  // editor mode: the coastline tiles stored with the race
    };

    // Opens a race: race file, tracks, wind, kinematics, roundings and the coastline; the clock
    // at the start of the pre-start replay and the frame derived from it.
    static Opened open(const AppSettings& settings, const RaceRequest& request, MessageSink& sink);

    const AppSettings& settings() const { return settings_; }
    const RaceDefinition& race() const { return race_; }
    const RaceData& data() const { return data_; }
    const TrackStore& tracks() const { return data_.tracks; }
    const CoastLine& coast() const { return coast_; }
    const PlaybackClock& clock() const { return clock_; }
    const FrameState& frame() const { return frame_; }
    const WindNow& windNow() const { return windNow_; }
    // The file the race was opened from: the race file, or the single track file.
    const std::string& shownFile() const { return shownFile_; }
    // Boats with a track row: the race's boats that the track store holds.
    int boatCount() const;
    // The wind in force: from the wind data while the race has a wind file, else the race's.
    double windDirNow() const;
    FinishInputs finishInputs() const;
    // The coach's analyses of the race: worked out once the race is open, and again when the
    // wind samples are saved or the roundings computed afresh.
    const CoachAnalysis& coach() const { return coach_; }

    // Replay clock. The frame follows on the next advanceFrame().
    void firstShow();  // the first showing of the race screen: forward at the first step
    // The next race plays on as the last did: direction, speed, step and the auto-trace start;
    // the race and wind files already kept as "<name>.bak" are not kept again.
    void continueReplayOf(const RaceSession& previous);
    void forward() { clock_.forward(); }
    void stop() { clock_.stop(); }
    void backward() { clock_.backward(); }
    void stepForward();   // "+": stop, one step (at least a second) on
    void stepBackward();  // "-": stop, one step back
    void setSpeedSlider(int value) { clock_.setSlider(value); }
    // A click on the time bar: the time, searched afresh from the right end of every track.
    void jumpTo(double raceTime);
    // A Shift-drag: the replay loops between the two times and restarts at the earlier one.
    void setPeriod(double t1, double t2);
    // Shift + right click: the period opens to four minutes either side of the race.
    void cancelPeriod();
    // The rate timer: true when the view should be fitted to the boats, after ten seconds
    // with no boat in the map box (see PlaybackClock).
    bool rateTick(double now) { return clock_.rateTick(now, layout_.anyInView); }
    // The leader's last rounding and the time since, for the rounding timer.
    void updateRoundingTimer();
    bool autoTraceTick() { return clock_.autoTraceTick(); }
    // The direction buttons put the start flags back at the top of the map box.
    void putFlagsBack() { frame_.putFlagsBack(); }

    // The frame at the clock's time: wrap within the period, flags, guns, finishing list, boat
    // positions, and once per whole second the wind in force.
    struct FrameAdvance {
        FrameEvents events;
        bool windChanged = false;  // the wind in force moved (indicator and lay lines follow)
    };
    FrameAdvance advanceFrame(double mapSize);

    // The replay timer's tick: the clock steps on, the frame follows and is laid out once on
    // the view. In auto trace the view first follows the boats; otherwise, while the chart
    // shows no boat in the map box, up to three catch-up steps of 5 s cross the stretch faster.
    // A stopped replay lays out nothing new, except in auto trace (a tick that fires while
    // stopped still moves the clock by its step, as the tick always has).
    FrameShown replayTick(MapView& view, const DisplayOptions& options);
    // The frame at the clock's time as it is now (a step, a jump, a new race), laid out.
    FrameShown showFrame(MapView& view, const DisplayOptions& options);
    // The frame laid out again as it is: the view or the display options changed.
    void layOutFrame(const MapView& view, const DisplayOptions& options);
    const FrameLayout& frameLayout() const { return layout_; }
    // The focused boats' manoeuvres on the map box, laid out with the frame.
    const std::vector<ManoeuvreMark>& manoeuvreMarks() const { return manoeuvreMarks_; }
    // The race shown afresh on the screen: no speed written to the boat panel yet.
    void resetFrameLayout() {
        layout_.resetForRace();
        manoeuvreMarks_.clear();
    }
    // The time bar's preview of a time on the overview, and its end.
    void previewAt(double raceTime) { layout_.previewAt(data_.tracks, boatCount(), raceTime); }
    void endPreview() { layout_.endPreview(); }

    // Race definition. The orientation is the viewer's and lives in memory only.
    void setOrientation(bool northUp);
    // New start and finish times, in memory; false (and nothing changed) when they are refused.
    bool setStartFinish(const std::string& start, const std::string& finish);
    // Changes written through to the race file; on failure nothing changes in memory.
    WriteResult saveAs(const std::string& fileName);
    WriteResult setWindDirection(double degrees);

    // The course on the chart, each change written through at once. A list at its capacity
    // (30 marks, 10 lines, 50 course entries) refuses the change with a short message. Deleting
    // a mark or a line renumbers the ones after it and clears the course, whose entries named
    // them by number. The roundings follow every change.
    WriteResult setMark(GeoPoint p);
    WriteResult setLine(GeoPoint end1, GeoPoint end2);
    WriteResult deleteMark(int mark);
    WriteResult deleteLine(int line);
    // Appends "MK" + mark or "L" + line; a pick of nothing changes nothing.
    WriteResult addCourseEntry(const MapPick& pick);
    WriteResult clearCourse();
    // The file kept as "<name>.bak" before the first change of the race file in this program
    // run (empty while none was kept).
    std::string backupOf(const std::string& raceFileName) const;
    // Leg data: the roundings are computed again when the course, a mark or a line changed
    // since they were last computed.
    bool legDataValid() const { return legDataValid_; }
    void invalidateLegData() { legDataValid_ = false; }
    // Runs the rounding and leg computation when the leg data is not valid; true when it ran.
    bool ensureLegData();

    // Wind entered by hand: the samples replace the wind store in memory at once (the graph
    // shows them); saveWindSamples writes them to the race's wind file and names that file in
    // the race file. An existing wind file is kept as "<name>.bak" before it is first replaced.
    void setWindSamples(const WindStore& samples);
    WriteResult saveWindSamples();

    // The tiles of the race area that the coastline folder lacks, looked for whenever the
    // coastline is read; tiles found to have no shore by an earlier making are not missing.
    const std::vector<std::string>& missingCoastTiles() const { return missingCoastTiles_; }
    // Makes the tiles of the race area through gmt (`runner` stands for it; empty: the real
    // one), names the area's tiles in the race file's MAP records and reads the coastline
    // again, so that the chart shows it. The race file is written only when every tile could
    // be made, and only when it was read whole.
    CoastTilesAdded makeCoastTiles(const ProgramRunner& runner = {});

private:
    RaceSession(const AppSettings& settings) : settings_(settings) {}
    // The one way a change reaches the race file: the changed definition is written atomically
    // and becomes the race shown only when the write succeeded.
    // Changes made by the user keep the file as it was, once, as "<name>.bak" beside it.
    WriteResult writeThrough(RaceDefinition changed, bool keepBackup = true);
    WriteResult loadCoast();
    // Reads the points of the tiles `withTiles` names into the coastline and notes the tiles
    // that are missing from the folder.
    void readCoastPoints(const RaceDefinition& withTiles);
    // The race's marks, lines or course changed: the roundings are computed afresh.
    void courseChanged();
    // The coach's analyses from the race, tracks, roundings and wind as they are now.
    void analyse();
    // The frame at the clock's time, and in auto trace the view fitted to it; nothing laid out.
    FrameShown deriveFrame(MapView& view, const DisplayOptions& options);

    const AppSettings& settings_;
    RaceDefinition race_;
    RaceData data_;
    CoastLine coast_;
    PlaybackClock clock_;
    FrameState frame_;
    FrameLayout layout_;
    WindNow windNow_;
    CoachAnalyser analyser_;
    CoachAnalysis coach_;
    std::vector<ManoeuvreMark> manoeuvreMarks_;
    std::string shownFile_;
    std::set<std::string> backedUp_;  // race files (lower case) kept as "<name>.bak"
    bool legDataValid_ = true;
    std::set<std::string> windBackedUp_;  // wind files (paths) kept as "<name>.bak"
    // The race file was read without warnings and kept every boat: it may be written again.
    bool raceFileWhole_ = true;
    // The boats the race file names but the race leaves out (their logs are missing): every
    // write puts them back in their places.
    std::vector<DroppedBoat> droppedBoats_;
    std::vector<std::string> missingCoastTiles_;
    std::set<std::string> shorelessTiles_;  // (lower case) no shore crosses them
};

}  // namespace brisko
