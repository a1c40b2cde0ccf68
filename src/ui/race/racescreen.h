// The race screen `RaceScreen`: the map box, the time bar, the clock panel and the side panel,
// whose pieces (replay, display options, wind, boats, race set-up, analysis views) make and keep
// their own controls. A thin window over the race session it shows: it connects the pieces'
// signals to the session's named operations, tells the pieces what the race holds, and draws.
#pragma once

#include <QWidget>
#include <limits>
#include <memory>
#include <string>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "display/displayoptions.h"
#include "display/mapview.h"
#include "interact/mapmousemachine.h"
#include "session/racesession.h"
#include "ui/display/framerenderer.h"
#include "ui/display/overviewmap.h"
#include "ui/display/racescene.h"
#include "ui/display/windindicator.h"
#include "ui/race/displaycontrols.h"
#include "ui/race/racelayout.h"
#include "ui/race/racesetup.h"
#include "util/fileutil.h"
#include "util/programrun.h"

class QLabel;
class QPainter;

namespace brisko {

class AnalysisViews;
class BoatPanel;
class CoursePanel;
class LoadingProgress;
class MapFlags;
class PictureWidget;
class Playback;
class RaceHints;
class RaceSession;
class ReplayControls;
class SplashScreen;
struct FrameShown;
class TimeBar;
class TimePanel;
class WindControls;

class RaceScreen : public QWidget {
    Q_OBJECT
public:
    // `raceFileName` is the race to open first (empty: the single track file, if any).
    RaceScreen(const AppSettings& settings, std::string raceFileName, MessageSink& sink,
               PlatformServices* platform, QWidget* parent = nullptr);
    ~RaceScreen() override;

    void setNamePrompt(RaceSetup::NamePrompt prompt);
    // The splash that shows the loading of the first race; closed when set-up is done.
    void setSplash(SplashScreen* splash) { splash_ = splash; }
    // The track shown when no race file is given (chosen in the launcher).
    void setSingleTrackFile(std::string file) { singleTrackFile_ = std::move(file); }
    // What runs gmt when coastline tiles are made (empty: the installed gmt). Tests put a
    // stand-in in its place.
    void setCoastRunner(ProgramRunner runner) { coastRunner_ = std::move(runner); }
    // What works out the coach's analyses of the races opened from now on (empty: the real
    // one). Tests put a stand-in in its place.
    void setCoachAnalyser(CoachAnalyser analyser) { coachAnalyser_ = std::move(analyser); }

    // Opens the first race: called at start-up, or by the first showing when nobody did.
    void openFirstRace();

    // What the window shows, for the windows and tests that read it.
    const RaceSession* session() const { return session_.get(); }
    const MapView& view() const { return view_; }
    const DisplayOptions& options() const { return options_; }
    const RaceScene& scene() const { return scene_; }
    const RaceLayout& layout() const { return layout_; }
    bool setupDone() const { return setupDone_; }
    const MapMouseState& mapMouse() const { return mouse_.state(); }
    const AnalysisViews& analysis() const { return *analysis_; }
    int lastKeyCode() const { return lastKeyCode_; }

signals:
    void closed();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // The window sees key presses before its controls: LastKeyCode follows them.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    bool browserMode() const { return settings_.EditionMode < 2; }
    void buildControls();
    void connectControls();
    void buildOverlays();
    void buildAnalysis();
    void connectAnalysis();

    // Opening races. openRace replaces the session whole when the race can be shown; the first
    // race that cannot leaves an empty screen named after it, a later one leaves the race shown.
    bool setUpRace(RaceDefinition seed);
    void showSession();
    void showEmptyScreen(const std::string& fileName);

    // What the side panel's pieces and the time bar ask for.
    void showChosenRace(const QString& fileName);  // in place of the race shown
    void setTraceZoom(int sliderValue);
    void jumpToTime(double t);
    void showMoment(double t, int boat);  // a table row clicked: that time, that boat marked
    void showTimePreview(double t, QPoint globalPos);  // the boats on the overview at t
    void endTimePreview();
    void limitReplayPeriod(double from, double to);
    void cancelReplayPeriod();
    void applyDisplayCheck(DisplayCheck box, bool on);  // a display check box clicked
    void turnNorthUp();
    void turnWindUp();
    void redrawTurned();  // the map, the overview and the wind dial after the view turned
    void applyTimeMarksCheck();
    void chooseSeaColour(int swatch);   // 1-based, as kSeaSwatches counts from the first
    void setTypedWind(double degrees);  // the mean wind direction typed in its box
    void readDisplayChecks();
    void readBoatChecks();  // the boats shown and marked in the boat list

    // Showing the race: the race session derives the frame from the clock and lays it out on
    // the view once, then the window paints it once; the layers in their fixed order.
    void replayTick();                        // the replay timer's step
    void showFrame();                         // the frame at the clock's time as it is
    void paintFrame();                        // the frame laid out again on the view as it is
    void takeFrame(const FrameShown& shown);  // what follows a frame that moved
    void paintLaidOutFrame();                 // the kept picture and the panels, once
    void redrawBackground();                  // background, time marks, then marks and lines
    void redrawOverview();
    void redrawWindPanel();
    void fitViewToBoats();
    void setAutoTrace(bool on);
    void updateSizeLabel();
    void putFlagsBack();
    void relayout();
    // The time panel's place over the map box, in map box pixels.
    QRect timePanelOnMap() const;
    void updateSetupButtons();
    void showLoadingProgress(int boat, int count, const QString& line1, const QString& line2);
    void hideLoadingProgress();
    void playGun();
    std::string appFile(const std::string& relative) const;
    void hideHints();

    // The map mouse, the set-up of marks, lines and course on the chart, the overview clicks
    // and the hints (racescreenmouse.cpp).
    void connectMapMouse();
    // The mouse's events go to the map mouse, whose actions the window carries out.
    void onMapPressed(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x, double y);
    void onMapMouseMoved(Qt::MouseButtons buttons, double x, double y);
    void onMapReleased(Qt::MouseButton button);
    void onMapWheel(double x, double y, int angle);
    void onOverviewPressed(Qt::MouseButton button, QPointF pos);
    void applyRangeBearingCheck();
    void toggleMarkMode();
    void toggleLineMode();
    void toggleCourseMode();
    void clearCourse();
    MapMouseScene mouseScene() const;
    void carryOut(const MapActions& actions);
    void showBox(const mapmouse::ShowBox& box);
    void setWindFromOverview(int degrees);
    void setupModeChanged();
    void courseDefinitionChanged(const WriteResult& written);  // after a set-up change
    void resetMapMouse();  // a race shown afresh: no mode, no measuring
    void showMapBox(const QString& text, int width, int height, int x, int y, bool beside);
    void paintMouseLayer(QPainter& p) const;
    void redrawView();

    // Coastline tiles for a race area that has none (racescreencoast.cpp).
    void makeCoastline();
    void updateCoastButton();

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices* platform_;
    std::string firstRaceFile_;
    std::string singleTrackFile_;
    std::unique_ptr<RaceSession> session_;

    // What the window owns of the showing: view, display options, the drawing pieces.
    MapView view_;
    DisplayOptions options_;
    RaceScene scene_;
    FrameRenderer renderer_;
    OverviewMap overview_;
    WindIndicator windIndicator_;
    RaceLayout layout_;
    Playback* playback_ = nullptr;

    // The window's own controls, named as their objects are; the side panel's pieces.
    PictureWidget* mapPicture = nullptr;
    MapFlags* flags_ = nullptr;  // the start flags and the finishing list over the map
    TimeBar* timeBar = nullptr;
    TimePanel* timePanel = nullptr;
    QWidget* sidePanel = nullptr;
    LoadingProgress* mapProgress = nullptr;    // loading progress over the map
    QLabel* hintBox = nullptr;                 // hints of the map side and the side panel
    QLabel* boatHintBox = nullptr;             // hints of the boat panel
    PictureWidget* overviewPicture = nullptr;  // the whole race area
    BoatPanel* boatPanel = nullptr;
    AnalysisViews* analysis_ = nullptr;   // graph, data view, wind entry, screen picture
    DisplayControls* display_ = nullptr;  // orientation, display boxes, sea, size, trace zoom
    ReplayControls* replay_ = nullptr;    // forward, stop, backward, the steps and the speed
    WindControls* wind_ = nullptr;        // mean wind, wind now, the wind dial and its strip
    RaceSetup* setup_ = nullptr;          // race list, times, set-up on the chart, help and exit

    ProgramRunner coastRunner_;
    CoachAnalyser coachAnalyser_;
    SplashScreen* splash_ = nullptr;
    QString windowTitle_;
    bool setupDone_ = false;
    bool hintsOn_ = true;
    bool windWriteFailureShown_ = false;  // a typed direction that could not be written, once
    int lastKeyCode_ = 0;                 // key held down on the window, 0 when none (16: Shift)
    double lastMarksWind_ = std::numeric_limits<double>::quiet_NaN();
    bool activating_ = false;
    bool layoutPending_ = false;
    bool timePanelPlaced_ = false;
    MapMouse mouse_;
    CoursePanel* coursePanel_ = nullptr;
    RaceHints* hints_ = nullptr;
};

}  // namespace brisko
