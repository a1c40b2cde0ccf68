// The race screen's set-up sequence; see racesetup.h.
#include "ui/race/racesetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "race/racecontrolfile.h"
#include "ui/display/boatpanel.h"
#include "ui/display/mappicture.h"
#include "ui/display/timebar.h"
#include "ui/race/playback.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racedisp.h"
#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kZoomSliderStart = 100;
constexpr double kPreStartReplaySeconds = 20;  // the replay starts this long before the pre-start
constexpr int kMarksAndLinesForCourse = 2;
constexpr int kCourseEntriesForTable = 2;
constexpr const char* kModeFileName = "ver.txt";

bool containsTxt(const std::string& s) { return toLowerAscii(s).find(".txt") != std::string::npos; }
}  // namespace

bool acceptableRaceTimes(const std::string& start, const std::string& finish,
                         const std::string& firstFix, const std::string& lastFix) {
    const auto s = parseDateTime(trimBlanks(start));
    const auto f = parseDateTime(trimBlanks(finish));
    const auto first = parseDateTime(firstFix);
    const auto last = parseDateTime(lastFix);
    if (!s || !f || !first || !last) return false;
    // A finish before the start would give a race of negative length.
    return *first <= *s && *s < *last && *first < *f && *f <= *last && *s < *f;
}

std::string raceFileNameFromAnswer(const std::string& answer) {
    std::string name(trimBlanks(answer));
    if (name.empty()) return {};
    if (!containsTxt(name)) name += ".txt";
    if (!isPlainFileName(name)) return {};
    return name;
}

bool RaceSetup::run() {
    RaceDisp& w = w_;
    // 1. No replay while the race is rebuilt.
    w.playback->stopAll();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);

    prepareControls();
    const bool opened = openTheRace();
    if (opened)
        afterOpen();
    else
        showEmptyRace();
    QGuiApplication::restoreOverrideCursor();
    return opened;
}

void RaceSetup::prepareControls() {
    RaceDisp& w = w_;
    // 2. Sea colours: the lightest swatch with the ink that goes with it (black: white labels
    // and coastline would be unreadable on it).
    w.options.SeaColour = kSeaSwatches[0].sea;
    w.options.InkColour = kSeaSwatches[0].ink;
    // 4.
    w.WindTextArmed = false;
    // 5. Layout and the help button (full mode, when the help pages exist).
    w.relayout();
    const char* help = w.settings.english() ? "\\ehelp\\index.html" : "\\help\\index.html";
    w.btnHATENA->setVisible(!w.browserMode() && findPath(w.settings.AppPath, help).has_value());
    // 7.
    w.HScroll2->setValue(kZoomSliderStart);
    w.view.TraceZoom = 1;
    w.options.ViewMode = ViewModeKind::Map;
    w.view.FitFactor = MapView::kFitFactor;
    w.PicTimeBar->hide();
    // 8.
    modeControls();
    // 9.
    w.Text7->hide();
    w.Text8->hide();
    w.Option9->setChecked(true);
    w.hideLoadingProgress();
}

void RaceSetup::modeControls() {
    RaceDisp& w = w_;
    const bool browser = w.browserMode();
    for (QPushButton* b : {w.Command2, w.Command3, w.Command4, w.Command5}) b->setVisible(!browser);
    w.Text9->setEnabled(!browser);
    w.Text10->setEnabled(!browser);
    w.Combo1->setVisible(browser);
    w.Command9->setVisible(browser);
    w.Label6->setVisible(browser);
    if (browser) fillRaceList();
}

void RaceSetup::fillRaceList() {
    RaceDisp& w = w_;
    const QSignalBlocker block(w.Combo1);
    w.Combo1->clear();
    const auto folder = findPath(w.settings.AppPath, "\\raceadmin");
    if (folder)
        for (const std::string& name : listFiles(*folder, "*.txt"))
            // The mode file lives in the same folder but is no race.
            if (toLowerAscii(name) != kModeFileName)
                w.Combo1->addItem(QString::fromStdString(name));
    const QString current = QString::fromStdString(w.race.RaceFileName);
    const int at = w.Combo1->findText(current, Qt::MatchFixedString);
    if (at >= 0)
        w.Combo1->setCurrentIndex(at);
    else if (!current.isEmpty()) {
        w.Combo1->addItem(current);
        w.Combo1->setCurrentIndex(w.Combo1->count() - 1);
    }
}

bool RaceSetup::openTheRace() {
    RaceDisp& w = w_;
    OpenRaceOptions opts;
    opts.singleTrackFile = w.SingleTrackFile;
    opts.progress = [&w](int boat, int count, const std::string& l1, const std::string& l2) {
        w.showLoadingProgress(boat, count, QString::fromStdString(l1), QString::fromStdString(l2));
    };
    const OpenRaceResult result = openRace(w.settings, w.race, w.data, w.sink, opts);
    w.hideLoadingProgress();
    // The reader and the loader have told the user what failed. A file that reads without a
    // single boat (not a race control file, or every boat line unusable) would otherwise leave
    // an empty map without a word.
    if (result.ok && w.data.tracks.boatCount() == 0) {
        const std::string& name =
            w.race.RaceFileName.empty() ? w.SingleTrackFile : w.race.RaceFileName;
        w.sink.show({noTracksMessage(w.settings, QString::fromStdString(name)).toStdString(),
                     {},
                     MessageButtons::Ok});
    }
    return result.ok && w.data.tracks.boatCount() > 0;
}

void RaceSetup::afterOpen() {
    RaceDisp& w = w_;
    RaceDefinition& race = w.race;
    RaceData& data = w.data;
    w.raceLoaded = true;

    // 6. Window title.
    w.WindowTitle = raceWindowTitle(
        w.settings, QString::fromStdString(race.Title1), QString::fromStdString(race.Title2),
        QString::fromStdString(race.Title3),
        QString::fromStdString(race.RaceFileName.empty() ? w.SingleTrackFile : race.RaceFileName));
    w.setWindowTitle(w.WindowTitle);

    // 10, 12, 22. The view: centred on the race area, zoom 1, rotation from the orientation.
    w.view.setupForRace(data.tracks, w.layout.mapSize, race.NorthUp, race.MeanWindDir);
    race.ViewRotation = w.view.ViewRotation;

    // 11. Set-up buttons by what the race has.
    w.Command5->setEnabled(race.MarkCount + race.LineCount >= kMarksAndLinesForCourse);
    w.Option11->setEnabled(race.CourseCount >= kCourseEntriesForTable);
    w.Command13->setEnabled(race.AttachmentCount >= 1);
    w.options.WakeOn = true;
    w.Check6->setChecked(true);

    // 16, 18. Replay period and the time boxes.
    PlaybackClock& clock = w.playback->clock;
    clock.setUpRace(race.PreStartSeconds, race.RaceSeconds);
    clock.PeriodFrom = data.PeriodFrom;
    clock.PeriodTo = data.PeriodTo;
    clock.RaceTime = -(race.PreStartSeconds + kPreStartReplaySeconds);
    w.Text9->setText(QString::fromStdString(race.RaceStart));
    w.Text10->setText(QString::fromStdString(race.RaceEnd));

    // 20, 21. Speed bars, colours and the boat rows.
    const int boats = std::min(race.BoatCount, data.tracks.boatCount());
    w.options.resetForRace(boats);
    w.options.FontScale = w.settings.FontScale;
    w.readDisplayChecks();
    if (!w.BoatRowsBuilt) {
        w.boatPanel->buildRows(race, w.options, w.settings);
        w.BoatRowsBuilt = true;
    }

    // The scene the renderers draw from: race data, coastline and rounding results (the wind
    // samples limited to the wind store's WindCount), then the window's view and replay state.
    RaceScene& s = w.scene;
    s.attach(race, w.settings, data, w.coast);
    s.view = &w.view;
    s.options = &w.options;
    s.frame = &w.frame;
    s.windNow = &w.windNow;
    s.loadCoastline = [&w] {
        const WriteResult saved = loadCoastlineForRace(w.settings, w.data.tracks, w.race, w.coast);
        w.scene.attachCoast(w.coast);
        if (!saved.ok)
            w.sink.show(
                {saveFailedMessage(w.settings, QString::fromStdString(saved.error)).toStdString(),
                 {},
                 MessageButtons::Ok});
    };
    // The coastline of the new race may be loaded again.
    w.background.resetForRace();
    s.LastRoundedIndex = 0;
    s.LastRoundedText.clear();
    w.windNow.reset(race.MeanWindDir);

    // 30. Frame state afresh: hints, guns, finishing list.
    w.frame.resetForRace(data.tracks, boats, clock.PeriodFrom, clock.PeriodTo, clock.RaceTime);
    w.frame.TimeStep = clock.TimeStep;
    w.Picture1->followFrame(w.frame, &s);  // flags back at the top, `Position` hidden

    // 23. Background, marks and lines, overview, wind panel; the time bar.
    w.PicTimeBar->setRace(race.RaceSeconds, race.RaceSecondsPlus);
    w.redrawBackground();
    w.redrawOverview();
    w.PicTimeBar->show();

    // 24. Wind direction box and orientation.
    w.Text3->setText(QString::fromStdString(shortestDecimal(race.MeanWindDir)));
    const bool northUp = race.NorthUp > 0;
    w.Option2->setChecked(northUp);
    w.Option3->setChecked(!northUp);
    w.Check4->setEnabled(!northUp);

    // The zoom panel shares the map's sea.
    QPalette zoomPal = w.Picture12->palette();
    zoomPal.setColor(QPalette::Window, toQColor(w.options.SeaColour));
    zoomPal.setColor(QPalette::WindowText, toQColor(w.options.InkColour));
    w.Picture12->setPalette(zoomPal);

    // 28, 29. Wind indicator and the wind boxes.
    w.sWind->setVisible(data.WindShown);
    w.Text13->setVisible(data.WindShown);
    w.Text14->setVisible(data.WindShown);
    w.redrawWindPanel();

    // 26. Timers; the first frame shows the boats at once.
    w.updateSpeedText();
    w.updateSizeLabel();
    w.drawFrame();
    w.playback->start();
}

void RaceSetup::showEmptyRace() {
    RaceDisp& w = w_;
    w.raceLoaded = false;
    w.scene.tracks = nullptr;
    w.WindowTitle =
        raceWindowTitle(w.settings, {}, {}, {},
                        QString::fromStdString(w.race.RaceFileName.empty() ? w.SingleTrackFile
                                                                           : w.race.RaceFileName));
    w.setWindowTitle(w.WindowTitle);
    w.Picture1->clear(QColor(w.options.SeaColour.r, w.options.SeaColour.g, w.options.SeaColour.b));
    w.Picture1->followFrame(w.frame, nullptr);
    w.PicTimeBar->hide();
    if (w.BoatRowsBuilt) w.ClearBoatRows();
}

}  // namespace brisko
