// The race screen window; see racedisp.h.
#include "ui/race/racedisp.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <cmath>

#include "race/racecontrolfile.h"
#include "ui/app/splite.h"
#include "ui/display/boatpanel.h"
#include "ui/display/mappicture.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/race/loadingprogress.h"
#include "ui/race/picturebox.h"
#include "ui/race/playback.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racesetup.h"
#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kShiftKeyCode = 16;
constexpr double kMinutesPerHour = 60;
constexpr double kDegreesPerHour = 15;  // of longitude, for a time zone estimated from it
constexpr int kProgressTopAboveCentre = 16;
constexpr int kHintOffset = 12;
constexpr int kRelayoutDelayMs = 60;
constexpr int kPreviewDotHalf = 2;

// The map centre's longitude of the last race shown, kept while the program runs: the next
// race screen guesses its time zone from it.
std::optional<double> g_lastMapCentreLon;

QColor qcolour(Rgb c) { return QColor(c.r, c.g, c.b); }
}  // namespace

RaceDisp::RaceDisp(AppSettings& s, RaceDefinition& r, MessageSink& m, PlatformServices* p,
                   QWidget* parent)
    : QWidget(parent), settings(s), race(r), sink(m), platform(p) {
    setObjectName(QStringLiteral("RaceDisp"));
    setAttribute(Qt::WA_QuitOnClose, true);
    playback = std::make_unique<Playback>(*this);
    setup = std::make_unique<RaceSetup>(*this);
    build(this, settings);
    connectControls();
    qApp->installEventFilter(this);
    Form_Load();
}

RaceDisp::~RaceDisp() {
    qApp->removeEventFilter(this);
    playback->stopAll();
}

void RaceDisp::Form_Load() {
    // 1. English: the UI font, then the English captions (applied by the controls' build).
    applyUiFont(this, settings);
    // 2, 3.
    SetupDone = 0;
    HScroll1->setRange(kSpeedSliderMin, kSpeedSliderMax);
    HScroll1->setValue(kSpeedSliderStart);
    HintsOn = true;
    BoatRowsBuilt = false;
    WindTextArmed = true;
    // 4.
    race.MeanWindDir = 0;
    race.WindDirNow = 0;
    // 5. A time zone guessed from where the last map was (0 when none was shown yet).
    if (g_lastMapCentreLon)
        race.TimeDiff = static_cast<int>(
            std::floor(*g_lastMapCentreLon / kDegreesPerHour / kMinutesPerHour + 0.5));
    setWindowTitle(QString::fromStdString(settings.ProductTitle));
    setMinimumSize(RaceLayout::minimumInner(settings.FontScale));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.width() * 9 / 10, avail.height() * 9 / 10);
    }
    Picture1->setOverlay([this](QPainter& p) {
        if (raceLoaded) renderer.drawMovingLayer(p, scene);
    });
    Picture6->setOverlay([this](QPainter& p) {
        if (!raceLoaded) return;
        if (std::isnan(previewTime)) {
            overview.drawDots(p, scene);
            return;
        }
        // Preview: each boat at the sample that starts its segment at the previewed time.
        const TrackStore& t = data.tracks;
        for (int k = 1; k <= std::min(race.BoatCount, t.boatCount()); ++k) {
            const int n = t.TrkCount(k);
            int i = 0;
            for (int j = 1; j < n; ++j)
                if (t.TrkSec(k, j) <= previewTime && previewTime < t.TrkSec(k, j + 1)) {
                    i = j;
                    break;
                }
            if (i == 0) continue;
            const QPointF c = overview.dotPosition({t.TrkLat(k, i), t.TrkLon(k, i)});
            const QRectF dot(c.x() - kPreviewDotHalf, c.y() - kPreviewDotHalf,
                             2 * kPreviewDotHalf + 1, 2 * kPreviewDotHalf + 1);
            p.fillRect(dot, qcolour(options.BoatColour[k]));
            p.setPen(Qt::white);
            p.drawRect(dot);
        }
    });
    updateSpeedText();
    relayout();
}

void RaceDisp::connectControls() {
    connect(Command9, &QPushButton::clicked, this, &RaceDisp::Command9_Click);
    connect(Command4, &QPushButton::clicked, this, &RaceDisp::Command4_Click);
    connect(Command1, &QPushButton::clicked, this, &RaceDisp::Command1_Click);
    connect(Option6, &QRadioButton::clicked, this, &RaceDisp::Option6_Click);
    connect(Option7, &QRadioButton::clicked, this, &RaceDisp::Option7_Click);
    connect(Option8, &QRadioButton::clicked, this, &RaceDisp::Option8_Click);
    connect(Command6, &QPushButton::clicked, this, &RaceDisp::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &RaceDisp::Command7_Click);
    connect(HScroll1, &QSlider::valueChanged, this, &RaceDisp::HScroll1_Change);
    connect(HScroll2, &QSlider::valueChanged, this, &RaceDisp::HScroll2_Change);
    connect(Check5, &QCheckBox::clicked, this, &RaceDisp::Check5_Click);
    connect(PicTimeBar, &TimeBar::timeClicked, this, &RaceDisp::PicTimeBar_Click);
    connect(PicTimeBar, &TimeBar::previewTime, this, &RaceDisp::PicTimeBar_Preview);
    connect(PicTimeBar, &TimeBar::previewEnded, this, &RaceDisp::PicTimeBar_PreviewEnd);
    connect(PicTimeBar, &TimeBar::periodChosen, this, &RaceDisp::PicTimeBar_Period);
    connect(PicTimeBar, &TimeBar::periodCancelled, this, &RaceDisp::PicTimeBar_CancelPeriod);
    connect(Picture6, &PictureBox::resized, this, &RaceDisp::redrawOverview);
    connect(Picture2, &PictureBox::resized, this, &RaceDisp::redrawWindPanel);
    connect(boatPanel, &BoatPanel::shownBoatsChanged, this, &RaceDisp::redrawBackground);
    connect(Option2, &QRadioButton::clicked, this, &RaceDisp::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &RaceDisp::Option3_Click);
    connect(Check1, &QCheckBox::clicked, this, &RaceDisp::Check1_Click);
    connect(Check3, &QCheckBox::clicked, this, [this](bool on) { HintsOn = options.HintsOn = on; });
    // Read by the frame renderer only: the next frame shows the change.
    connect(Check4, &QCheckBox::clicked, this, [this](bool on) {
        options.CompareLines = on;
        drawFrame();
    });
    connect(Check9, &QCheckBox::clicked, this, [this](bool on) {
        options.BoatNames = on;
        drawFrame();
    });
    connect(Check10, &QCheckBox::clicked, this, [this](bool on) {
        options.Enlarge = on;
        drawFrame();
        updateSizeLabel();
    });
    // These change the background: background, time marks, marks and lines again.
    connect(Check6, &QCheckBox::clicked, this, [this](bool on) {
        options.WakeOn = on;
        redrawBackground();
    });
    connect(Check7, &QCheckBox::clicked, this, [this](bool on) {
        options.MapOn = on;
        redrawBackground();
    });
    connect(Check8, &QCheckBox::clicked, this, [this](bool on) {
        options.LayLines = on;
        redrawBackground();
    });
    for (int i = 1; i < static_cast<int>(BCOL.size()); ++i)
        connect(BCOL[i], &QPushButton::clicked, this, [this, i] { BCOL_Click(i); });
    connect(boatPanel, &BoatPanel::boatHovered, this,
            [this](int boat) { options.FocusBoat = boat - 1; });
}

void RaceDisp::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (SetupDone == 0 && !activating_)
        QTimer::singleShot(0, this, [this] {
            if (SetupDone == 0) Form_Activate();
        });
}

void RaceDisp::Form_Activate() {
    if (SetupDone != 0 || activating_) return;
    activating_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // 1. The window stays hidden while the first race loads; the splash shows the progress.
    const bool wasShown = isVisible();
    if (splash_) {
        hide();
        splash_->show();
        splash_->repaint();
    }
    // 2, 3.
    playback->clock.firstShow(race.PreStartSeconds);
    SetUpRace();
    playback->clock.RaceTime = -(race.PreStartSeconds + 20);
    view.TraceZoom = 1;
    // 4, 5. The start gun once.
    playGun();
    // 6, 7.
    if (splash_ || !wasShown) show();
    SetupDone = 1;
    QGuiApplication::restoreOverrideCursor();
    if (splash_) {
        splash_->close();
        splash_ = nullptr;
    }
    activating_ = false;
}

bool RaceDisp::SetUpRace() {
    const bool ok = setup->run();
    if (ok) g_lastMapCentreLon = view.CenterLon;
    return ok;
}

void RaceDisp::ClearBoatRows() {
    boatPanel->clearRows();
    BoatRowsBuilt = false;
}

void RaceDisp::Command9_Click() {
    const std::string chosen = Combo1->currentText().toStdString();
    if (chosen == race.RaceFileName) {
        sink.show({alreadyShownMessage(settings).toStdString(), {}, MessageButtons::Ok});
        return;
    }
    ClearBoatRows();
    race.RaceFileName = chosen;
    SingleTrackFile.clear();
    coast.clear();
    scene.coast = {};
    background.hasCoastCentre = false;
    SetUpRace();
    Picture12->setVisible(Check5->isChecked());
    redrawWindPanel();
    playback->clock.RaceTime = -(race.PreStartSeconds + 20);
}

void RaceDisp::Command4_Click() {
    const std::string start = Text9->text().toStdString();
    const std::string finish = Text10->text().toStdString();
    if (!raceLoaded || !acceptableRaceTimes(start, finish, race.FirstFix, race.LastFix)) {
        sink.show({badTimesMessage(settings).toStdString(), {}, MessageButtons::Ok});
        return;
    }
    race.RaceStart = formatDateTime(*parseDateTime(trimBlanks(start)));
    race.RaceEnd = formatDateTime(*parseDateTime(trimBlanks(finish)));
    race.ViewStart = race.RaceStart;
    race.ViewEnd = race.RaceEnd;
    if (race.BoatCount > 1 && !browserMode()) offerSave(false);
    SetUpRace();
}

void RaceDisp::Command1_Click() {
    if (!race.RaceFileName.empty() && !browserMode() && raceLoaded) offerSave(true);
    close();
}

void RaceDisp::offerSave(bool leaving) {
    const QString question = leaving ? leaveSaveQuestion(settings) : saveQuestion(settings);
    if (sink.show({question.toStdString(), {}, MessageButtons::YesNo}) != MessageAnswer::Yes)
        return;
    const auto answer = askName(fileNamePrompt(settings, leaving), fileNameTitle(settings, leaving),
                                QString::fromStdString(race.RaceFileName));
    if (!answer || answer->trimmed().isEmpty()) return;
    const std::string name = raceFileNameFromAnswer(answer->toStdString());
    if (name.empty()) {
        sink.show({badFileNameMessage(settings).toStdString(), {}, MessageButtons::Ok});
        return;
    }
    const std::string previous = race.RaceFileName;
    race.RaceFileName = name;
    const WriteResult written = writeRaceControlFile(settings, race);
    if (!written.ok) {
        race.RaceFileName = previous;
        sink.show({saveFailedMessage(settings, QString::fromStdString(written.error)).toStdString(),
                   {},
                   MessageButtons::Ok});
    }
}

std::optional<QString> RaceDisp::askName(const QString& prompt, const QString& title,
                                         const QString& proposal) {
    if (namePrompt_) return namePrompt_(prompt, title, proposal);
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, title, prompt, QLineEdit::Normal, proposal, &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool RaceDisp::Form_QueryUnload() {
    playback->stopAll();
    if (raceLoaded) g_lastMapCentreLon = view.CenterLon;
    hideHints();
    return true;
}

void RaceDisp::closeEvent(QCloseEvent* e) {
    Form_QueryUnload();
    e->accept();
    // In browser mode closing the race screen ends the program (the start-up connects this).
    emit closed();
}

void RaceDisp::Option6_Click() {
    playback->clock.forward();
    playback->setReplayRunning(true);
    putFlagsBack();
}

void RaceDisp::Option7_Click() {
    playback->clock.stop();
    playback->setReplayRunning(false);
    const bool map = options.ViewMode == ViewModeKind::Map;
    if (!map) Check2->setChecked(false);
    Check2->setEnabled(map && !options.AutoTrace);
    putFlagsBack();
}

void RaceDisp::Option8_Click() {
    playback->clock.backward();
    playback->setReplayRunning(true);
    putFlagsBack();
}

void RaceDisp::Command6_Click() {
    Option7->setChecked(true);
    playback->setReplayRunning(false);
    playback->clock.stepPlus();
    if (options.AutoTrace) fitViewToBoats();
    drawFrame();
}

void RaceDisp::Command7_Click() {
    Option7->setChecked(true);
    playback->setReplayRunning(false);
    playback->clock.stepMinus();
    if (options.AutoTrace) fitViewToBoats();
    drawFrame();
}

void RaceDisp::HScroll1_Change(int value) {
    playback->clock.setSlider(value);
    updateSpeedText();
}

void RaceDisp::HScroll2_Change(int value) { view.TraceZoom = value / 100.0; }

void RaceDisp::Check5_Click() { setAutoTrace(Check5->isChecked()); }

void RaceDisp::readDisplayChecks() {
    options.TimeMarks = Check1->isChecked();
    options.HintsOn = HintsOn = Check3->isChecked();
    options.CompareLines = Check4->isChecked();
    options.WakeOn = Check6->isChecked();
    options.MapOn = Check7->isChecked();
    options.LayLines = Check8->isChecked();
    options.BoatNames = Check9->isChecked();
    options.Enlarge = Check10->isChecked();
}

void RaceDisp::Option2_Click() {
    view.setNorthUp();
    race.NorthUp = 1;
    race.ViewRotation = view.ViewRotation;
    Check4->setEnabled(false);
    redrawBackground();
    redrawOverview();
    redrawWindPanel();
    drawFrame();
}

void RaceDisp::Option3_Click() {
    view.setWindUp(race.MeanWindDir);
    race.NorthUp = 0;
    race.ViewRotation = view.ViewRotation;
    Check4->setEnabled(true);
    redrawBackground();
    redrawOverview();
    redrawWindPanel();
    drawFrame();
}

void RaceDisp::Check1_Click() {
    options.TimeMarks = Check1->isChecked();
    if (!raceLoaded || !scene.ready()) return;
    if (options.TimeMarks) {
        // Over the map as it is; the marks and lines stay on top.
        {
            QPainter p(&Picture1->picture());
            p.setRenderHint(QPainter::Antialiasing);
            playback->clockToFrame();
            background.drawTimeMarks(p, scene);
            background.drawMarksAndLines(p, scene);
        }
        Picture1->update();
    } else {
        view.Zoom = view.ZoomHome;
        redrawBackground();
    }
}

void RaceDisp::BCOL_Click(int swatch) {
    options.applySwatch(swatch);
    // The map's sea is shared by the wind panel, the zoom panel, the overview and the size label.
    QPalette zoomPal = Picture12->palette();
    zoomPal.setColor(QPalette::Window, qcolour(options.SeaColour));
    zoomPal.setColor(QPalette::WindowText, qcolour(options.InkColour));
    Picture12->setPalette(zoomPal);
    updateSizeLabel();
    redrawOverview();
    redrawWindPanel();
    if (!raceLoaded) Picture1->clear(qcolour(options.SeaColour));
    redrawBackground();
    drawFrame();
}

void RaceDisp::PicTimeBar_Click(double t) {
    if (!raceLoaded) return;
    PlaybackClock& clock = playback->clock;
    clock.RaceTime = t;
    const FinishInputs fin = scene.finishInputs();
    if (fin.courseCount > 0 && t < fin.leadFinish) frame.resetFinishList();
    frame.resetHints(clock.TimeStep > 0, data.tracks);
    drawFrame();
    putFlagsBack();
}

void RaceDisp::PicTimeBar_Preview(double t, QPoint globalPos) {
    if (!raceLoaded) return;
    previewTime = t;
    Picture6->update();
    Text7->setText(TimeBar::hoverText(t, race.RaceStart, settings));
    Text7->adjustSize();
    // Beside the bar, towards the map, so that it never leaves the screen on the right.
    Text7->move(globalPos.x() - Text7->width() - kHintOffset, globalPos.y() + kHintOffset);
    Text7->show();
}

void RaceDisp::PicTimeBar_PreviewEnd() {
    previewTime = std::numeric_limits<double>::quiet_NaN();
    Picture6->update();
    Text7->hide();
}

void RaceDisp::PicTimeBar_Period(double from, double to) {
    if (!raceLoaded) return;
    playback->clock.setPeriod(from, to);
    options.WakeOn = true;
    Check6->setChecked(true);
    frame.resetHints(playback->clock.TimeStep > 0, data.tracks);
    redrawBackground();
    drawFrame();
}

void RaceDisp::PicTimeBar_CancelPeriod() {
    if (!raceLoaded) return;
    playback->clock.cancelPeriod(race.PreStartSeconds, race.RaceSeconds);
    redrawBackground();
}

void RaceDisp::drawFrame() {
    if (!raceLoaded || !scene.ready()) return;
    playback->clockToFrame();
    const FrameResult r = renderer.drawFrame(scene, Picture1->picture(), &background);
    playback->frameToClock();
    if (r.events.playGun) playGun();
    if (r.windIndicatorDirty) redrawWindPanel();
    PicTime->setClock(renderer.clockText(), renderer.clockColour());
    PicTime->setCountdown(renderer.countdownVisible(), renderer.countdownText(),
                          renderer.countdownColour());
    PicTime->setTimeOfDay(renderer.timeOfDayText());
    const int boats = std::min(race.BoatCount, boatPanel->rowCount());
    for (int k = 1; k <= boats; ++k) {
        const BoatPanelValues& v = renderer.panel(k);
        if (v.speedChanged) boatPanel->setSpeed(k, v.speedText);
        boatPanel->setTwa(k, v.twaText);
        boatPanel->setBar(k, v.barLength);
    }
    PicTimeBar->setCursorTime(frame.RaceTime);
    Picture1->followFrame(frame, &scene);
    Picture1->update();
    Picture6->update();
}

void RaceDisp::redrawBackground() {
    if (!raceLoaded || !scene.ready()) return;
    view.MapSize = layout.mapSize;
    {
        QPainter p(&Picture1->picture());
        p.setRenderHint(QPainter::Antialiasing);
        playback->clockToFrame();
        // Background, time marks, then marks and lines over them. Auto trace redraws the map
        // as the boats move and shows no time marks (their box is disabled then).
        background.drawBackground(p, scene);
        if (options.TimeMarks && !options.AutoTrace) background.drawTimeMarks(p, scene);
        background.drawMarksAndLines(p, scene);
    }
    Picture1->update();
}

void RaceDisp::redrawOverview() {
    Picture6->clear(qcolour(options.SeaColour));
    if (!raceLoaded || !scene.ready()) return;
    QPainter p(&Picture6->picture());
    p.setRenderHint(QPainter::Antialiasing);
    overview.draw(p, scene, Picture6->width(), Picture6->height());
    Picture6->update();
}

void RaceDisp::redrawWindPanel() {
    Picture2->clear(qcolour(options.SeaColour));
    if (!raceLoaded || !scene.ready()) return;
    QPainter p(&Picture2->picture());
    p.setRenderHint(QPainter::Antialiasing);
    windIndicator.draw(p, scene, Picture2->width(), qcolour(options.SeaColour));
    Text13->setText(windIndicator.directionText());
    Text14->setText(windIndicator.speedText());
    Picture2->update();
}

void RaceDisp::fitViewToBoats() {
    if (!raceLoaded) return;
    std::vector<GeoPoint> positions;
    for (int k = 1; k <= frame.boatCount; ++k)
        if (options.shown(k) && frame.Boats[k].visible)
            positions.push_back({frame.Boats[k].lat, frame.Boats[k].lon});
    if (view.fitToBoats(positions)) redrawBackground();
}

void RaceDisp::updateSetupButtons() {
    const bool manual = !options.AutoTrace;
    Command2->setEnabled(manual);
    Command3->setEnabled(manual);
    Command5->setEnabled(manual && race.MarkCount + race.LineCount >= 2);
    for (QCheckBox* c : {Check1, Check2, Check6, Check7}) c->setEnabled(manual);
    Check9->setEnabled(!manual);
}

void RaceDisp::setAutoTrace(bool on) {
    options.AutoTrace = on;
    if (on) Check2->setChecked(false);
    updateSetupButtons();
    Picture12->setVisible(on);
    if (!raceLoaded) return;
    if (!on) {
        view.Zoom = view.ZoomHome;
        background.hasCoastCentre = false;
        setWindowTitle(WindowTitle);
    }
    redrawBackground();
    drawFrame();
}

void RaceDisp::updateSizeLabel() {
    const bool enlarged = !renderer.realSize();
    Text15->setText(sizeLabelText(enlarged, settings));
    QPalette pal = Text15->palette();
    pal.setColor(QPalette::Window, qcolour(options.SeaColour));
    pal.setColor(QPalette::WindowText, enlarged ? QColor(255, 0, 0) : qcolour(options.InkColour));
    Text15->setPalette(pal);
}

void RaceDisp::updateSpeedText() {
    Text2->setText(QString::fromStdString(
        speedText(speedFactorForSlider(HScroll1->value()), settings.english())));
}

void RaceDisp::putFlagsBack() {
    frame.putFlagsBack();
    if (raceLoaded) Picture1->followFrame(frame, &scene);
    Picture1->update();
}

void RaceDisp::relayout() {
    layout = RaceLayout::compute(size(), settings.FontScale, PicTime->sizeHint());
    const bool mapResized = Picture1->mapSize() != layout.mapSize;
    Picture1->move(layout.map.topLeft());
    Picture1->setMapSize(layout.mapSize);
    PicTimeBar->setGeometry(layout.timeBar);
    Picture5->setGeometry(layout.sidePanel);
    PicTime->resize(PicTime->sizeHint());
    if (!timePanelPlaced_) {
        PicTime->move(layout.timePanel.topLeft());
        timePanelPlaced_ = true;
    } else {
        PicTime->move(PicTime->x(),
                      TimePanel::draggedTop(PicTime->y(), 0, PicTime->height(), height()));
    }
    PicTime->raise();
    view.MapSize = layout.mapSize;
    if (mapResized && raceLoaded) {
        redrawBackground();
        drawFrame();
    }
    // The flags keep their distance from the map box's right edge.
    if (mapResized) Picture1->followFrame(frame, raceLoaded ? &scene : nullptr);
}

void RaceDisp::resizeEvent(QResizeEvent*) {
    if (layoutPending_) return;
    layoutPending_ = true;
    QTimer::singleShot(kRelayoutDelayMs, this, [this] {
        layoutPending_ = false;
        relayout();
    });
}

void RaceDisp::showLoadingProgress(int boat, int count, const QString& line1,
                                   const QString& line2) {
    if (splash_ && splash_->isVisible()) {
        splash_->progress()->show();
        splash_->progress()->setProgress(boat, count, line1, line2);
        return;
    }
    const int size = layout.mapSize;
    mapProgress->move((size - LoadingProgress::kBarWidth) / 2, size / 2 - kProgressTopAboveCentre);
    mapProgress->show();
    mapProgress->raise();
    mapProgress->setProgress(boat, count, line1, line2);
}

void RaceDisp::hideLoadingProgress() {
    if (splash_) splash_->progress()->hide();
    mapProgress->hide();
}

void RaceDisp::playGun() {
    const std::string path = appFile("\\gun.wav");
    if (platform && fileExists(path)) platform->playSound(path);
}

std::string RaceDisp::appFile(const std::string& relative) const {
    return resolvePath(settings.AppPath, relative);
}

void RaceDisp::hideHints() {
    Text7->hide();
    Text8->hide();
}

void RaceDisp::mouseMoveEvent(QMouseEvent*) {
    hideHints();
    if (!std::isnan(previewTime)) PicTimeBar_PreviewEnd();
}

bool RaceDisp::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            if (e->type() == QEvent::KeyRelease) {
                LastKeyCode = 0;
            } else {
                const int key = static_cast<QKeyEvent*>(e)->key();
                LastKeyCode = key == Qt::Key_Shift ? kShiftKeyCode : (key & 0xFFFF);
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace brisko
