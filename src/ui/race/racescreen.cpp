// The race screen window; see racescreen.h.
#include "ui/race/racescreen.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <cmath>

#include "session/racesession.h"
#include "ui/analysis/analysisviews.h"
#include "ui/analysis/speedgraphpainter.h"
#include "ui/app/splashscreen.h"
#include "ui/display/boatpanel.h"
#include "ui/display/mapflags.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/interact/racehints.h"
#include "ui/race/displaycontrols.h"
#include "ui/race/loadingprogress.h"
#include "ui/race/playback.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racesetup.h"
#include "ui/race/replaycontrols.h"
#include "ui/race/sidepanel.h"
#include "ui/race/windcontrols.h"
#include "ui/widgets/colour.h"
#include "ui/widgets/named.h"
#include "ui/widgets/picturewidget.h"
#include "util/fileutil.h"

namespace brisko {

namespace {
constexpr double kBasePointSize = 9;
constexpr int kOverviewSize = 150;
constexpr int kMapProgressBarOffset = 50;
constexpr int kShiftKeyCode = 16;
constexpr int kProgressTopAboveCentre = 16;
constexpr int kHintOffset = 12;
constexpr int kRelayoutDelayMs = 60;

QLabel* makeHintBox(QWidget* parent, const char* name) {
    auto* l = named<QLabel>(parent, name);
    l->setWindowFlags(Qt::ToolTip);
    l->setAutoFillBackground(true);
    l->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; padding: 2px; }"));
    l->hide();
    return l;
}

// The map centre's longitude of the last race shown, kept while the program runs: the next
// race screen guesses its time zone from it.
std::optional<double> g_lastMapCentreLon;

}  // namespace

RaceScreen::RaceScreen(const AppSettings& s, std::string raceFileName, MessageSink& m,
                       PlatformServices* p, QWidget* parent)
    : QWidget(parent),
      settings_(s),
      sink_(m),
      platform_(p),
      firstRaceFile_(std::move(raceFileName)) {
    setObjectName(QStringLiteral("RaceScreen"));
    setAttribute(Qt::WA_QuitOnClose, true);
    buildControls();
    PlaybackHooks hooks;
    hooks.session = [this] { return session_.get(); };
    hooks.replayTick = [this] { replayTick(); };
    hooks.fitView = [this] { fitViewToBoats(); };
    hooks.rateMeasured = [this] { updateSizeLabel(); };
    hooks.roundingTimerMoved = [this] {
        // The timer text is drawn above the mark in auto trace; a running replay redraws the
        // marks on its next tick anyway.
        if (options_.AutoTrace && session_ && session_->clock().stopped()) redrawBackground();
    };
    hooks.autoTraceDue = [this] {
        if (!session_) return;
        display_->setChecked(DisplayCheck::AutoTrace, true);
        setAutoTrace(true);
    };
    playback_ = new Playback(this, std::move(hooks));
    connectControls();
    connectMapMouse();
    qApp->installEventFilter(this);

    applyUiFont(this, settings_);
    setWindowTitle(QString::fromStdString(settings_.ProductTitle));
    setMinimumSize(RaceLayout::minimumInner(settings_.FontScale, sidePanel->minimumSizeHint()));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.width() * 9 / 10, avail.height() * 9 / 10);
    }
    buildOverlays();
    relayout();
}

void RaceScreen::buildControls() {
    mapPicture = named<PictureWidget>(this, "mapPicture");
    mapPicture->clear(toQColor(options_.SeaColour));
    flags_ = new MapFlags(mapPicture);
    timeBar = new TimeBar(this);
    sidePanel = named<QWidget>(this, "sidePanel");
    timePanel = new TimePanel(this);
    mapProgress = new LoadingProgress(kMapProgressBarOffset, mapPicture);
    mapProgress->hide();
    hintBox = makeHintBox(this, "hintBox");
    boatHintBox = makeHintBox(this, "boatHintBox");
    // The side panel's pieces make their controls under it; it is arranged once all have.
    replay_ = new ReplayControls(sidePanel, settings_);
    display_ = new DisplayControls(sidePanel, settings_);
    overviewPicture = named<PictureWidget>(sidePanel, "overviewPicture");
    overviewPicture->setFixedSize(kOverviewSize, kOverviewSize);
    wind_ = new WindControls(sidePanel, settings_);
    boatPanel = BoatPanel::inScrollArea(sidePanel);
    setup_ = new RaceSetup(sidePanel, settings_, sink_, platform_);
    buildAnalysis();
    arrangeSidePanel(sidePanel);
    QFont f = font();
    f.setPointSizeF(scaledPointSize(kBasePointSize, settings_));
    setFont(f);
    timePanel->setFontScale(settings_.FontScale);
}

void RaceScreen::setNamePrompt(RaceSetup::NamePrompt prompt) {
    setup_->setNamePrompt(std::move(prompt));
}

RaceScreen::~RaceScreen() {
    qApp->removeEventFilter(this);
    qApp->removeEventFilter(hints_);
    playback_->stopAll();
}

void RaceScreen::connectControls() {
    connect(setup_, &RaceSetup::raceChosen, this, &RaceScreen::showChosenRace);
    // The new times are the race's: it is set up again with them.
    connect(setup_, &RaceSetup::timesSet, this, [this] { setUpRace(session_->race()); });
    connect(setup_, &RaceSetup::leaving, this, &RaceScreen::close);
    connect(setup_, &RaceSetup::makeCoastlineClicked, this, &RaceScreen::makeCoastline);
    // The direction buttons run or stop the replay timer and put the start flags back at the
    // top; stopped on the chart, it can be measured.
    connect(replay_, &ReplayControls::directionChosen, this, [this](bool running) {
        playback_->setReplayRunning(running);
        if (!running) {
            const bool map = options_.ViewMode == ViewModeKind::Map;
            if (!map) display_->setChecked(DisplayCheck::RangeBearing, false);
            display_->setAvailable(DisplayCheck::RangeBearing, map && !options_.AutoTrace);
        }
        putFlagsBack();
    });
    connect(replay_, &ReplayControls::stepped, this, [this] {
        playback_->setReplayRunning(false);
        showFrame();
    });
    connect(display_, &DisplayControls::traceZoomChosen, this, &RaceScreen::setTraceZoom);
    connect(display_, &DisplayControls::checkClicked, this, &RaceScreen::applyDisplayCheck);
    connect(display_, &DisplayControls::northUpChosen, this, &RaceScreen::turnNorthUp);
    connect(display_, &DisplayControls::windUpChosen, this, &RaceScreen::turnWindUp);
    connect(display_, &DisplayControls::seaSwatchChosen, this, &RaceScreen::chooseSeaColour);
    connect(timeBar, &TimeBar::timeClicked, this, &RaceScreen::jumpToTime);
    connect(timeBar, &TimeBar::previewTime, this, &RaceScreen::showTimePreview);
    connect(timeBar, &TimeBar::previewEnded, this, &RaceScreen::endTimePreview);
    connect(timeBar, &TimeBar::periodChosen, this, &RaceScreen::limitReplayPeriod);
    connect(timeBar, &TimeBar::periodCancelled, this, &RaceScreen::cancelReplayPeriod);
    connect(overviewPicture, &PictureWidget::resized, this, &RaceScreen::redrawOverview);
    connect(wind_->dial(), &PictureWidget::resized, this, &RaceScreen::redrawWindPanel);
    connect(wind_, &WindControls::meanWindTyped, this, &RaceScreen::setTypedWind);
    // The boat list keeps which boats are shown and marked: the options follow it first.
    connect(boatPanel, &BoatPanel::shownBoatsChanged, this, &RaceScreen::readBoatChecks);
    connect(boatPanel, &BoatPanel::markedBoatsChanged, this, &RaceScreen::readBoatChecks);
    connect(boatPanel, &BoatPanel::shownBoatsChanged, this, &RaceScreen::redrawBackground);
    connect(boatPanel, &BoatPanel::shownBoatsChanged, this,
            [this] { analysis_->boatsChanged(options_); });
    connect(boatPanel, &BoatPanel::markedBoatsChanged, this, [this] { paintFrame(); });
    connect(boatPanel, &BoatPanel::boatHovered, this,
            [this](int boat) { options_.FocusBoat = boat - 1; });
    connectAnalysis();
}

void RaceScreen::connectAnalysis() {
    // The graph and the tables take the map's place; the clock panel lies over the map only.
    connect(analysis_, &AnalysisViews::viewShown, this, [this](ViewModeKind mode) {
        options_.ViewMode = mode;
        mapPicture->setVisible(mode == ViewModeKind::Map);
        timePanel->setVisible(mode == ViewModeKind::Map);
    });
    // Range and bearing is a chart tool.
    connect(analysis_, &AnalysisViews::viewChosen, this, [this](ViewModeKind mode) {
        const bool map = mode == ViewModeKind::Map;
        if (!map) display_->setChecked(DisplayCheck::RangeBearing, false);
        display_->setAvailable(DisplayCheck::RangeBearing,
                               map && replay_->stopped() && !options_.AutoTrace);
    });
    // A row of the start or manoeuvre table: the replay at that moment, that boat marked.
    connect(analysis_, &AnalysisViews::momentChosen, this, &RaceScreen::showMoment);
    // A view may pause the replay; it runs again only if the user did not stop it.
    connect(analysis_, &AnalysisViews::replayWanted, this, [this](bool run) {
        if (session_ && !(run && replay_->stopped())) playback_->setReplayRunning(run);
    });
    connect(analysis_, &AnalysisViews::screenPictureWanted, this, [this] {
        ScreenPictureParts shown;
        if (options_.ViewMode == ViewModeKind::Map) shown.main = mapPicture->grab().toImage();
        shown.overview = overviewPicture->grab().toImage();
        shown.font = overviewPicture->font();
        shown.dateTime = timePanel->timeOfDayLabel->text();
        analysis_->saveScreenPicture(std::move(shown));
    });
}

void RaceScreen::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!setupDone_ && !activating_)
        QTimer::singleShot(0, this, [this] {
            if (!setupDone_) openFirstRace();
        });
}

void RaceScreen::openFirstRace() {
    if (setupDone_ || activating_) return;
    activating_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // The window stays hidden while the first race loads; the splash shows the progress.
    const bool wasShown = isVisible();
    if (splash_) {
        hide();
        splash_->show();
        splash_->repaint();
    }
    RaceDefinition seed;
    seed.RaceFileName = firstRaceFile_;
    // A time zone guessed from where the last map was (0, and so 9 hours, when none was shown).
    if (g_lastMapCentreLon) seed.TimeDiff = nauticalTimeZone(*g_lastMapCentreLon);
    setUpRace(seed);
    if (session_) {
        session_->firstShow();
        showFrame();
    }
    view_.TraceZoom = 1;
    playGun();  // the start gun once, as the screen opens
    if (splash_ || !wasShown) show();
    setupDone_ = true;
    QGuiApplication::restoreOverrideCursor();
    if (splash_) {
        splash_->close();
        splash_ = nullptr;
    }
    activating_ = false;
}

bool RaceScreen::setUpRace(RaceDefinition seed) {
    // No replay while the race is rebuilt.
    playback_->stopAll();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    display_->resetTraceZoom();
    hideHints();
    setup_->prepare(browserMode());
    timeBar->hide();
    hideLoadingProgress();
    relayout();

    const std::string name = seed.RaceFileName.empty() ? singleTrackFile_ : seed.RaceFileName;
    RaceRequest request;
    request.seed = std::move(seed);
    request.singleTrackFile = singleTrackFile_;
    request.analyser = coachAnalyser_;
    request.progress = [this](int boat, int count, const std::string& l1, const std::string& l2) {
        showLoadingProgress(boat, count, QString::fromStdString(l1), QString::fromStdString(l2));
    };
    RaceSession::Opened opened = RaceSession::open(settings_, request, sink_);
    hideLoadingProgress();
    const bool shown = opened.session != nullptr;
    if (!shown) {
        // A race switch that fails leaves the race shown whole; a first race that fails leaves
        // an empty screen named after it.
        const bool keep = session_ != nullptr;
        setup_->tellWhyNotShown(opened.status, name, keep ? session_->shownFile() : std::string());
        if (keep) {
            if (browserMode()) setup_->fillRaceList(session_->shownFile());
            showSession();
        } else {
            if (browserMode()) setup_->fillRaceList(name);
            showEmptyScreen(name);
        }
    } else {
        if (session_) opened.session->continueReplayOf(*session_);
        session_ = std::move(opened.session);
        if (browserMode()) setup_->fillRaceList(session_->shownFile());
        showSession();
        g_lastMapCentreLon = view_.CenterLon;
        if (!opened.coastTilesSaved.ok)
            sink_.show(
                {saveFailedMessage(settings_, QString::fromStdString(opened.coastTilesSaved.error))
                     .toStdString(),
                 {},
                 MessageButtons::Ok});
    }
    QGuiApplication::restoreOverrideCursor();
    return shown;
}

void RaceScreen::showSession() {
    const RaceSession& s = *session_;
    const RaceDefinition& race = s.race();
    windowTitle_ = raceWindowTitle(
        settings_, QString::fromStdString(race.Title1), QString::fromStdString(race.Title2),
        QString::fromStdString(race.Title3), QString::fromStdString(s.shownFile()));
    setWindowTitle(windowTitle_);

    // The view: centred on the race area, zoom 1, rotation from the orientation.
    view_.setupForRace(s.tracks(), layout_.mapSize, race.NorthUp, race.MeanWindDir);
    view_.FitFactor = MapView::kFitFactor;
    view_.TraceZoom = display_->traceZoom() / 100.0;
    options_.ViewMode = ViewModeKind::Map;
    options_.SeaColour = kSeaSwatches[0].sea;
    options_.InkColour = kSeaSwatches[0].ink;
    setup_->raceShown(*session_);
    replay_->raceShown(*session_);
    display_->setChecked(DisplayCheck::Wake, true);
    display_->showOrientation(race.NorthUp > 0);
    wind_->raceShown(s);
    options_.resetForRace(s.boatCount());
    options_.FontScale = settings_.FontScale;
    readDisplayChecks();
    analysis_->raceShown(*session_, options_);
    boatPanel->clearRows();
    boatPanel->buildRows(race, options_, settings_);

    scene_ = RaceScene{};
    scene_.attach(s);
    scene_.view = &view_;
    scene_.options = &options_;
    // Home is where the boats still racing sailed: a boat that retired and sailed far away does
    // not shrink the fleet to a dot, and zooming out still reaches it.
    const FleetBox fleet = scene_.racingFleetBox();
    if (fleet.valid && !fleet.everyBoat)
        view_.fitHome(fleet.south, fleet.north, fleet.west, fleet.east);
    session_->resetFrameLayout();
    lastMarksWind_ = s.windDirNow();
    flags_->followFrame(s.frame(), &scene_, timePanelOnMap());

    timeBar->setRace(race.RaceSeconds, race.RaceSecondsPlus);
    timeBar->setPeriod(s.clock().PeriodFrom, s.clock().PeriodTo, false);
    // The bar's strip: boat 1's upwind and downwind legs against the mean wind, read from the
    // race shown whenever the bar repaints it.
    timeBar->setStripPainter([this](QPainter& p, const TimeBarScale& scale, QSize size) {
        if (session_) drawTimeBarStrip(p, session_->tracks(), session_->race(), scale, size);
    });
    display_->showTraceZoom(options_.AutoTrace);
    updateSetupButtons();
    resetMapMouse();
    redrawBackground();
    redrawOverview();
    timeBar->show();
    redrawWindPanel();
    updateSizeLabel();
    windWriteFailureShown_ = false;
    showFrame();
    playback_->start();
}

void RaceScreen::showEmptyScreen(const std::string& fileName) {
    // The pieces read the race shown: none from now on.
    session_.reset();
    wind_->raceGone();
    analysis_->raceGone();
    replay_->raceGone();
    setup_->raceGone();
    scene_ = RaceScene{};
    windowTitle_ = raceWindowTitle(settings_, {}, {}, {}, QString::fromStdString(fileName));
    setWindowTitle(windowTitle_);
    mapPicture->clear(toQColor(options_.SeaColour));
    flags_->followFrame(FrameState{}, nullptr);
    timeBar->hide();
    timeBar->setStripPainter({});
    boatPanel->clearRows();
    updateCoastButton();
    redrawOverview();
    redrawWindPanel();
    timePanel->setClock(QStringLiteral("00:00:00"), Qt::black);
    timePanel->setCountdown(false, {}, Qt::black);
}

void RaceScreen::showChosenRace(const QString& fileName) {
    // Nothing of the race shown is carried into the next one but the way the replay runs.
    RaceDefinition seed;
    seed.RaceFileName = fileName.toStdString();
    singleTrackFile_.clear();
    setUpRace(seed);
}

void RaceScreen::closeEvent(QCloseEvent* e) {
    playback_->stopAll();
    if (session_) g_lastMapCentreLon = view_.CenterLon;
    hideHints();
    e->accept();
    // In browser mode closing the race screen ends the program (the start-up connects this).
    emit closed();
}

void RaceScreen::setTraceZoom(int value) { view_.TraceZoom = value / 100.0; }

void RaceScreen::applyDisplayCheck(DisplayCheck box, bool on) {
    readDisplayChecks();
    switch (box) {
        case DisplayCheck::AutoTrace:
            setAutoTrace(on);
            break;
        case DisplayCheck::TimeMarks:
            applyTimeMarksCheck();
            break;
        // Read by the frame renderer only: the next frame shows the change.
        case DisplayCheck::CompareLines:
        case DisplayCheck::BoatNames:
        case DisplayCheck::Manoeuvres:
            paintFrame();
            break;
        case DisplayCheck::Enlarge:
            paintFrame();
            updateSizeLabel();
            break;
        // These change the background: background, time marks, marks and lines again.
        case DisplayCheck::Wake:
        case DisplayCheck::Coastline:
        case DisplayCheck::LayLines:
            redrawBackground();
            break;
        default:
            break;  // the hints are read as they are shown
    }
}

void RaceScreen::readDisplayChecks() {
    const auto on = [this](DisplayCheck box) { return display_->isChecked(box); };
    options_.TimeMarks = on(DisplayCheck::TimeMarks);
    options_.HintsOn = hintsOn_ = on(DisplayCheck::Hints);
    options_.CompareLines = on(DisplayCheck::CompareLines);
    options_.WakeOn = on(DisplayCheck::Wake);
    options_.MapOn = on(DisplayCheck::Coastline);
    options_.LayLines = on(DisplayCheck::LayLines);
    options_.BoatNames = on(DisplayCheck::BoatNames);
    options_.Enlarge = on(DisplayCheck::Enlarge);
    options_.AutoTrace = on(DisplayCheck::AutoTrace);
    options_.Manoeuvres = on(DisplayCheck::Manoeuvres);
}

void RaceScreen::readBoatChecks() {
    for (int k = 1; k <= boatPanel->rowCount(); ++k) {
        options_.BoatShown[k] = boatPanel->shown(k);
        options_.BoatMarked[k] = boatPanel->marked(k);
    }
}

void RaceScreen::turnNorthUp() {
    view_.setNorthUp();
    if (session_) session_->setOrientation(true);
    display_->showOrientation(true);
    redrawTurned();
}

void RaceScreen::turnWindUp() {
    if (session_) {
        view_.setWindUp(session_->race().MeanWindDir);
        session_->setOrientation(false);
    }
    display_->showOrientation(false);
    redrawTurned();
}

void RaceScreen::redrawTurned() {
    redrawBackground();
    redrawOverview();
    redrawWindPanel();
    paintFrame();
}

void RaceScreen::applyTimeMarksCheck() {
    options_.TimeMarks = display_->isChecked(DisplayCheck::TimeMarks);
    if (!session_) return;
    // With the time marks the map as it is, drawn afresh: the wind may have moved since the
    // lay lines were drawn, and lay lines drawn over the old ones would pile up. Without them
    // the home zoom.
    if (!options_.TimeMarks) view_.Zoom = view_.ZoomHome;
    redrawBackground();
}

void RaceScreen::setTypedWind(double degrees) {
    if (!session_) return;
    const WriteResult w = session_->setWindDirection(degrees);
    if (!w.ok && !windWriteFailureShown_) {
        windWriteFailureShown_ = true;
        sink_.show({w.error, {}, MessageButtons::Ok});
    }
    // The map side follows the typed direction: the home zoom, and wind-up turns to it.
    view_.Zoom = view_.ZoomHome;
    if (display_->windUp()) {
        view_.setWindUp(session_->race().MeanWindDir);
        session_->setOrientation(false);
    }
    redrawTurned();
    analysis_->windChanged();
    timeBar->repaintStrip();
}

void RaceScreen::chooseSeaColour(int swatch) {
    options_.applySwatch(swatch);
    // The map's sea is shared by the wind panel, the zoom panel, the overview and the size label.
    updateSizeLabel();
    redrawOverview();
    redrawWindPanel();
    if (!session_) mapPicture->clear(toQColor(options_.SeaColour));
    redrawBackground();
    paintFrame();
}

void RaceScreen::jumpToTime(double t) {
    if (!session_) return;
    session_->jumpTo(t);
    showFrame();
    putFlagsBack();
}

void RaceScreen::showMoment(double t, int boat) {
    if (!session_) return;
    // The replay holds the moment until the user runs it again; the boat is the one marked.
    replay_->stop();
    boatPanel->markOnly(boat);
    jumpToTime(t);
}

void RaceScreen::showTimePreview(double t, QPoint globalPos) {
    if (!session_) return;
    session_->previewAt(t);
    overviewPicture->update();
    hintBox->setText(TimeBar::hoverText(t, session_->race().RaceStart, settings_));
    hintBox->adjustSize();
    // Beside the bar, towards the map, so that it never leaves the screen on the right.
    hintBox->move(globalPos.x() - hintBox->width() - kHintOffset, globalPos.y() + kHintOffset);
    hintBox->show();
}

void RaceScreen::endTimePreview() {
    if (session_) session_->endPreview();
    overviewPicture->update();
    hintBox->hide();
}

void RaceScreen::limitReplayPeriod(double from, double to) {
    if (!session_) return;
    session_->setPeriod(from, to);
    options_.WakeOn = true;
    display_->setChecked(DisplayCheck::Wake, true);
    timeBar->setPeriod(session_->clock().PeriodFrom, session_->clock().PeriodTo, true);
    redrawBackground();
    analysis_->periodChanged(true);
    showFrame();
}

void RaceScreen::cancelReplayPeriod() {
    if (!session_) return;
    session_->cancelPeriod();
    timeBar->setPeriod(session_->clock().PeriodFrom, session_->clock().PeriodTo, false);
    redrawBackground();
    analysis_->periodChanged(false);
}

void RaceScreen::updateSetupButtons() {
    const bool manual = !options_.AutoTrace;
    setup_->enableSetup(manual,
                        session_ ? session_->race().MarkCount + session_->race().LineCount : 0);
    // Auto trace redraws the map as the boats move: the chart's own tools wait.
    for (DisplayCheck box : {DisplayCheck::TimeMarks, DisplayCheck::RangeBearing,
                             DisplayCheck::Wake, DisplayCheck::Coastline})
        display_->setAvailable(box, manual);
    display_->setAvailable(DisplayCheck::BoatNames, !manual);
    updateCoastButton();
}

void RaceScreen::setAutoTrace(bool on) {
    options_.AutoTrace = on;
    if (on) display_->setChecked(DisplayCheck::RangeBearing, false);
    updateSetupButtons();
    display_->showTraceZoom(on);
    if (!session_) return;
    if (!on) {
        view_.Zoom = view_.ZoomHome;
        setWindowTitle(windowTitle_);
    }
    if (on) fitViewToBoats();
    redrawBackground();
    paintFrame();
}

void RaceScreen::updateSizeLabel() {
    const bool enlarged = session_ && !session_->frameLayout().realSize;
    display_->showSea(options_.SeaColour, options_.InkColour, enlarged);
}

void RaceScreen::putFlagsBack() {
    if (!session_) return;
    session_->putFlagsBack();
    flags_->followFrame(session_->frame(), &scene_, timePanelOnMap());
}

QRect RaceScreen::timePanelOnMap() const {
    return timePanel->isHidden() ? QRect() : timePanel->geometry().translated(-mapPicture->pos());
}

void RaceScreen::relayout() {
    layout_ = RaceLayout::compute(size(), settings_.FontScale, timePanel->sizeHint());
    const bool mapResized = mapPicture->picture().height() != layout_.mapSize;
    mapPicture->move(layout_.map.topLeft());
    mapPicture->setPictureSize(QSize(layout_.mapSize, layout_.mapSize));
    timeBar->setGeometry(layout_.timeBar);
    sidePanel->setGeometry(layout_.sidePanel);
    timePanel->resize(timePanel->sizeHint());
    if (!timePanelPlaced_) {
        timePanel->move(layout_.timePanel.topLeft());
        timePanelPlaced_ = true;
    } else {
        timePanel->move(timePanel->x(),
                        TimePanel::draggedTop(timePanel->y(), 0, timePanel->height(), height()));
    }
    timePanel->raise();
    analysis_->place(layout_.map);
    view_.MapSize = layout_.mapSize;
    if (mapResized && session_) {
        redrawBackground();
        paintFrame();
    }
    // The flags keep their distance from the map box's right edge.
    if (mapResized && session_) flags_->followFrame(session_->frame(), &scene_, timePanelOnMap());
}

void RaceScreen::resizeEvent(QResizeEvent*) {
    if (layoutPending_) return;
    layoutPending_ = true;
    QTimer::singleShot(kRelayoutDelayMs, this, [this] {
        layoutPending_ = false;
        relayout();
    });
}

void RaceScreen::showLoadingProgress(int boat, int count, const QString& line1,
                                     const QString& line2) {
    if (splash_ && splash_->isVisible()) {
        splash_->progress()->show();
        splash_->progress()->setProgress(boat, count, line1, line2);
        return;
    }
    const int size = layout_.mapSize;
    mapProgress->move((size - LoadingProgress::kBarWidth) / 2, size / 2 - kProgressTopAboveCentre);
    mapProgress->show();
    mapProgress->raise();
    mapProgress->setProgress(boat, count, line1, line2);
}

void RaceScreen::hideLoadingProgress() {
    if (splash_) splash_->progress()->hide();
    mapProgress->hide();
}

void RaceScreen::playGun() {
    const std::string path = appFile("\\gun.wav");
    if (platform_ && fileExists(path)) platform_->playSound(path);
}

std::string RaceScreen::appFile(const std::string& relative) const {
    return resolvePath(settings_.AppPath, relative);
}

void RaceScreen::hideHints() {
    hintBox->hide();
    boatHintBox->hide();
}

void RaceScreen::mouseMoveEvent(QMouseEvent*) {
    hideHints();
    if (session_ && session_->frameLayout().previewing) endTimePreview();
}

bool RaceScreen::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            if (e->type() == QEvent::KeyRelease) {
                lastKeyCode_ = 0;
            } else {
                const int key = static_cast<QKeyEvent*>(e)->key();
                lastKeyCode_ = key == Qt::Key_Shift ? kShiftKeyCode : (key & 0xFFFF);
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace brisko
