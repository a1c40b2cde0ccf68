// The race screen on the demo race, offscreen: what set-up leaves, the time bar (click, Shift-drag
// period and its loop, cancel), confirming start and finish times on a copy of the demo, the
// race switch and leaving; and the splash's title overlay.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "app/messages.h"
#include "race/racecontrolfile.h"
#include "ui/app/splite.h"
#include "ui/display/boatpanel.h"
#include "ui/display/finishlist.h"
#include "ui/display/mappicture.h"
#include "ui/display/startflag.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/race/loadingprogress.h"
#include "ui/race/playback.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racedisp.h"
#include "ui/race/racelayout.h"
#include "ui/race/racesetup.h"
#include "util/datetime.h"

using namespace brisko;

namespace {

const QString kDemo = QStringLiteral(BRISKO_SOURCE_DIR "/demo");
const std::string kDemoRace = "enoshima_0607.txt";

bool copyFolder(const QString& from, const QString& to) {
    QDir src(from);
    if (!QDir().mkpath(to)) return false;
    for (const QFileInfo& fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + QLatin1Char('/') + fi.fileName();
        if (fi.isDir() ? !copyFolder(fi.filePath(), target) : !QFile::copy(fi.filePath(), target))
            return false;
    }
    return true;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One race screen on a race, opened as the first activation does it.
struct Screen {
    AppSettings settings;
    RaceDefinition race;
    CapturingMessageSink sink{MessageAnswer::No};
    std::unique_ptr<RaceDisp> w;

    Screen(const QString& appPath, int mode, int lang, const std::string& raceFile = kDemoRace) {
        settings.AppPath = appPath.toStdString();
        settings.EditionMode = mode;
        settings.Lang = lang;
        settings.ProductTitle = lang == 1 ? "Brisko" : "ブリスコ";
        race.RaceFileName = raceFile;
        w = std::make_unique<RaceDisp>(settings, race, sink, nullptr);
        w->resize(1200, 820);
        w->relayout();
        w->Form_Activate();
    }
    PlaybackClock& clock() { return w->playback->clock; }
    void stop() {
        w->Option7->setChecked(true);
        w->Option7_Click();
    }
};

}  // namespace

class TstRaceDisp : public QObject {
    Q_OBJECT
private slots:
    void setUpLeavesTheDemoRaceReady() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        QCOMPARE(w.SetupDone, 1);
        QVERIFY(w.raceLoaded);
        QVERIFY2(s.sink.messages.empty(),
                 s.sink.messages.empty() ? "" : s.sink.messages.front().text.c_str());
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("ブリスコ   ")));
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("   (enoshima_0607.txt)")));
        // Browser mode: race list shown, set-up buttons hidden, times read only.
        QVERIFY(!w.Combo1->isHidden());
        QVERIFY(!w.Command9->isHidden());
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("enoshima_0607.txt"));
        for (QPushButton* b : {w.Command2, w.Command3, w.Command4, w.Command5})
            QVERIFY(b->isHidden());
        QVERIFY(!w.Text9->isEnabled());
        QVERIFY(!w.Text10->isEnabled());
        QCOMPARE(w.Text9->text(), QStringLiteral("2026/06/07 11:00:00"));
        QCOMPARE(w.Text10->text(), QString::fromStdString(s.race.RaceEnd));
        QVERIFY(s.race.RaceSeconds > 0);
        // The replay period covers the pre-start and the race.
        QCOMPARE(s.clock().PeriodFrom, -(s.race.PreStartSeconds + 30));
        QCOMPARE(s.clock().PeriodTo, s.race.RaceSeconds);
        QVERIFY(w.playback->Timer1.isActive());
        QVERIFY(w.playback->Timer3.isActive());
        QCOMPARE(w.boatPanel->rowCount(), 10);
        QCOMPARE(w.boatPanel->Bnam(0)->text(), QString::fromStdString(s.race.Boats[1].BoatName));
        QVERIFY(w.boatPanel->Bnam(9)->isChecked());
        QCOMPARE(w.Text2->text(), QStringLiteral("5倍速"));
        // The map is the square beside the side panel.
        QCOMPARE(w.Picture1->width(), w.layout.mapSize);
        QCOMPARE(w.layout.mapSize, std::min(1200 - w.Picture5->width() - 45, 820 - 10));
        QVERIFY(w.PicTimeBar->isVisibleTo(&w));
        QVERIFY(w.Option3->isChecked());  // the demo race is wind-up
    }

    void englishCaptionsAndTitle() {
        Screen s(kDemo, 1, 1);
        RaceDisp& w = *s.w;
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("\"Brisko\" Race Browser   ")));
        QCOMPARE(w.Command9->text(), QStringLiteral("Show"));
        QCOMPARE(w.Command1->text(), QStringLiteral("EXIT"));
        QCOMPARE(w.Option9->text(), QStringLiteral("Track"));
        QCOMPARE(w.Text2->text(), QStringLiteral("5 x spd"));
        w.HScroll1->setValue(11);
        QCOMPARE(w.Text2->text(), QStringLiteral("20 x spd"));
        QCOMPARE(s.clock().SpeedFactor, 20);
    }

    void timeBarClickJumpsAndStepsMoveOneSecond() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        s.stop();
        const TimeBarScale& bar = w.PicTimeBar->scale();
        QVERIFY(bar.usable());
        QTest::mouseClick(w.PicTimeBar, Qt::LeftButton, Qt::NoModifier,
                          QPoint(15, qRound(bar.yForTime(600))));
        QVERIFY(std::abs(s.clock().RaceTime - 600) <= 1 / bar.pxPerSecond() + 1);
        QCOMPARE(w.frame.RaceTime, s.clock().RaceTime);
        const double t = s.clock().RaceTime;
        w.Command6_Click();
        QCOMPARE(s.clock().RaceTime, t + 1);
        w.Command7_Click();
        QCOMPARE(s.clock().RaceTime, t);
        QVERIFY(s.clock().stopped());
        QVERIFY(w.Option7->isChecked());
    }

    void shiftDragChoosesPeriodThatLoops() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        s.stop();
        const TimeBarScale& bar = w.PicTimeBar->scale();
        const QPoint from(15, qRound(bar.yForTime(2000)));
        const QPoint to(15, qRound(bar.yForTime(1000)));
        QTest::mousePress(w.PicTimeBar, Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(w.PicTimeBar, to);
        QVERIFY(w.PicTimeBar->dragging());
        QTest::mouseRelease(w.PicTimeBar, Qt::LeftButton, Qt::ShiftModifier, to);
        const double slack = 1 / bar.pxPerSecond() + 1;
        QVERIFY(std::abs(s.clock().PeriodFrom - 1000) <= slack);
        QVERIFY(std::abs(s.clock().PeriodTo - 2000) <= slack);
        QCOMPARE(s.clock().RaceTime, s.clock().PeriodFrom);  // the replay restarts at its start
        // Past the period's end the clock starts again at its beginning.
        s.clock().RaceTime = s.clock().PeriodTo + 0.5;
        w.drawFrame();
        QCOMPARE(s.clock().RaceTime, s.clock().PeriodFrom);
        // Before its start, playing backwards, it continues from the end.
        w.Option8_Click();
        s.stop();
        s.clock().RaceTime = s.clock().PeriodFrom - 1;
        w.drawFrame();
        QCOMPARE(s.clock().RaceTime, s.clock().PeriodTo);

        // Shift + right click opens the period to four minutes either side of the race.
        QTest::mousePress(w.PicTimeBar, Qt::RightButton, Qt::ShiftModifier, from);
        QTest::mouseRelease(w.PicTimeBar, Qt::RightButton, Qt::ShiftModifier, from);
        // (A pre-start longer than three minutes stays in the period as a whole.)
        const double opened = -std::max(240.0, s.race.PreStartSeconds + 60);
        QCOMPARE(s.clock().PeriodFrom, opened);
        QCOMPARE(s.clock().PeriodTo, s.race.RaceSeconds + 240);

        // A click without Shift never chooses a period.
        QTest::mouseClick(w.PicTimeBar, Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(s.clock().PeriodFrom, opened);
    }

    void confirmingTimesRefusesAndAccepts() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyFolder(kDemo, app));
        const QString original = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");

        Screen s(app, 2, 0);
        RaceDisp& w = *s.w;
        QVERIFY(w.raceLoaded);
        QVERIFY(!w.Command4->isHidden());
        QVERIFY(w.Combo1->isHidden());
        const std::string first = s.race.FirstFix, last = s.race.LastFix;
        QVERIFY(!first.empty() && !last.empty());

        // Refused: a start at the last fix, an unreadable date, a finish before the start.
        const std::string lastPlus = formatDateTime(*parseDateTime(last) + 60);
        const QList<QPair<std::string, std::string>> refused = {
            {last, last},
            {"2026/06/07 xx", last},
            {"2026/06/07 11:30:00", "2026/06/07 11:20:00"},
            {"2026/06/07 11:05:00", lastPlus}};
        for (const auto& [st, ft] : refused) {
            s.sink.messages.clear();
            w.Text9->setText(QString::fromStdString(st));
            w.Text10->setText(QString::fromStdString(ft));
            w.Command4_Click();
            QCOMPARE(s.sink.messages.size(), size_t(1));
            QCOMPARE(QString::fromStdString(s.sink.messages[0].text),
                     QStringLiteral(
                         "日時のﾃﾞｰﾀが正しくありません。必ず同じスタイルで入力してください。"));
            QCOMPARE(s.race.RaceStart, std::string("2026/06/07 11:00:00"));
        }

        // Accepted (a finish at the last fix is allowed), saved under a new name.
        s.sink.messages.clear();
        s.sink.setAnswer(MessageAnswer::Yes);
        QString asked;
        w.setNamePrompt([&](const QString& prompt, const QString&, const QString& proposal) {
            asked = prompt;
            Q_UNUSED(proposal);
            return std::optional<QString>(QStringLiteral("moved_start"));
        });
        w.Text9->setText(QStringLiteral("2026/06/07 11:05:00"));
        w.Text10->setText(QString::fromStdString(last));
        w.Command4_Click();
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(s.sink.messages[0].text),
                 QStringLiteral("管理ファイルを保存しますか？"));
        QVERIFY(asked.startsWith(QStringLiteral("レース管理ファイル名を入力してください")));
        QCOMPARE(s.race.RaceFileName, std::string("moved_start.txt"));
        const QByteArray saved = readAll(app + QStringLiteral("/RaceAdmin/moved_start.txt"));
        QVERIFY(saved.contains("ST, 2026/06/07 11:05:00"));
        // The race it came from keeps its start.
        QVERIFY(readAll(original).contains("ST, 2026/06/07 11:00:00"));
        // The set-up read the new file back: the race now starts five minutes later.
        QCOMPARE(w.Text9->text(), QStringLiteral("2026/06/07 11:05:00"));
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("(moved_start.txt)")));

        // A name that leaves the race folder is refused and nothing is written.
        s.sink.messages.clear();
        w.setNamePrompt([](const QString&, const QString&, const QString&) {
            return std::optional<QString>(QStringLiteral("../outside"));
        });
        w.Text9->setText(QStringLiteral("2026/06/07 11:06:00"));
        w.Command4_Click();
        QCOMPARE(s.sink.messages.size(), size_t(2));  // the question, then the refusal
        QVERIFY(!QFile::exists(app + QStringLiteral("/outside.txt")));
        QCOMPARE(s.race.RaceFileName, std::string("moved_start.txt"));
    }

    void raceSwitchAndItsMessage() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyFolder(kDemo, app));
        QVERIFY(QFile::copy(app + QStringLiteral("/RaceAdmin/enoshima_0607.txt"),
                            app + QStringLiteral("/RaceAdmin/second.txt")));
        Screen s(app, 1, 1);
        RaceDisp& w = *s.w;
        QCOMPARE(w.Combo1->count(), 2);  // the two races; the mode file is no race

        w.Command9_Click();  // the race already shown
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(s.sink.messages[0].text, std::string("Choose Other File"));

        s.sink.messages.clear();
        w.Combo1->setCurrentIndex(w.Combo1->findText(QStringLiteral("second.txt")));
        w.Command9_Click();
        QVERIFY(s.sink.messages.empty());
        QCOMPARE(s.race.RaceFileName, std::string("second.txt"));
        QVERIFY(w.raceLoaded);
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("(second.txt)")));
        QCOMPARE(w.boatPanel->rowCount(), 10);
        QCOMPARE(s.clock().RaceTime, -(s.race.PreStartSeconds + 20));
        QCOMPARE(w.Combo1->currentText(), QStringLiteral("second.txt"));
    }

    void switchingToAFileWithoutBoatsSaysSo() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyFolder(kDemo, app));
        QFile junk(app + QStringLiteral("/RaceAdmin/junk.txt"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a race\r\n\x81\x82,,,\r\n");
        junk.close();
        Screen s(app, 1, 1);
        RaceDisp& w = *s.w;
        const FinishInputs fin = w.scene.finishInputs();
        w.PicTimeBar_Click(fin.leadFinish + 1);
        QVERIFY(!w.Picture1->finishList()->isHidden());
        w.Combo1->setCurrentIndex(w.Combo1->findText(QStringLiteral("junk.txt")));
        w.Command9_Click();
        QVERIFY(!w.raceLoaded);
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(s.sink.messages.back().text),
                 QStringLiteral("No boat tracks to show. (junk.txt)"));
        // Nothing of the previous race stays on the map.
        QVERIFY(w.Picture1->finishList()->isHidden());
        QVERIFY(w.Picture1->blueP()->isHidden() && w.Picture1->seven()->isHidden());
        // The display controls on an empty screen neither crash nor draw a race.
        w.Option2->click();
        w.Check1->click();
        w.Check4->click();
        w.BCOL[4]->click();
        QCOMPARE(w.Picture1->picture().pixelColor(5, 5), toQColor(kSeaSwatches[3].sea));
        w.Option6_Click();
        w.playback->Timer1_Timer();
        // And back to the demo race.
        w.Combo1->setCurrentIndex(w.Combo1->findText(QString::fromStdString(kDemoRace)));
        w.Command9_Click();
        QVERIFY(w.raceLoaded);
        QCOMPARE(s.sink.messages.size(), size_t(1));
    }

    void unreadableRaceLeavesEmptyScreenAndNeverSavesOverIt() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyFolder(kDemo, app));
        Screen s(app, 2, 0, "missing.txt");
        RaceDisp& w = *s.w;
        QVERIFY(!w.raceLoaded);
        QCOMPARE(w.SetupDone, 1);
        w.drawFrame();  // nothing to draw, nothing to crash
        QTest::mouseClick(w.PicTimeBar, Qt::LeftButton, Qt::NoModifier, QPoint(15, 100));
        const size_t told = s.sink.messages.size();
        s.sink.setAnswer(MessageAnswer::Yes);
        bool closed = false;
        QObject::connect(&w, &RaceDisp::closed, [&] { closed = true; });
        w.Command1_Click();
        QVERIFY(closed);
        QCOMPARE(s.sink.messages.size(), told);  // no save question for a race not shown
        QVERIFY(!QFile::exists(app + QStringLiteral("/RaceAdmin/missing.txt")));
    }

    void replayButtonsSteerTheClock() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        s.clock().TimeStep = 0.3;
        w.Option8_Click();
        QVERIFY(w.playback->Timer1.isActive());
        QCOMPARE(s.clock().TimeStep, -0.3);
        s.stop();
        QVERIFY(!w.playback->Timer1.isActive());
        QVERIFY(w.Check2->isEnabled());  // measuring is possible on a stopped map
        w.Option6_Click();
        QCOMPARE(s.clock().TimeStep, 0.3);
        QVERIFY(w.playback->Timer1.isActive());
        // A tick while stopped moves the clock by one step but draws nothing new.
        s.stop();
        const double t = s.clock().RaceTime;
        w.playback->Timer1_Timer();
        QCOMPARE(s.clock().RaceTime, t + 0.3);
        QCOMPARE(s.clock().TickCount, 1);
    }

    void sceneIsAttachedToTheRaceData() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        QVERIFY(w.data.WindShown);
        QVERIFY(w.data.wind.WindCount > 0);
        // Only the samples read count: the store's vectors may hold more room than that.
        QCOMPARE(w.scene.wind.count(), w.data.wind.WindCount);
        QCOMPARE(static_cast<int>(w.scene.wind.sec.size()), w.data.wind.WindCount + 1);
        QCOMPARE(w.scene.coast.count, w.coast.CoastCount);
        // A second set-up of the same race loads the coastline again.
        QVERIFY(w.coast.CoastCount > 0);
        w.coast.clear();
        w.scene.coast = {};
        w.SetUpRace();
        QVERIFY(w.coast.CoastCount > 0);
        QCOMPARE(w.scene.coast.count, w.coast.CoastCount);
    }

    void startFlagsAndFinishListAreWidgetsFollowingTheFrame() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        auto* blue = w.Picture1->findChild<StartFlag*>(QStringLiteral("Blue_P"));
        auto* seven = w.Picture1->findChild<StartFlag*>(QStringLiteral("Seven"));
        auto* position = w.Picture1->findChild<FinishList*>(QStringLiteral("Position"));
        QVERIFY(blue && seven && position);
        const int left = w.layout.mapSize - StartFlag::kWidth - 10;
        auto at = [&](double t) {
            s.clock().RaceTime = t;
            w.drawFrame();
        };
        w.Option6_Click();  // forward
        w.playback->setReplayRunning(false);
        at(-120);
        QVERIFY(blue->isVisibleTo(w.Picture1));
        QVERIFY(!seven->isVisibleTo(w.Picture1));
        QCOMPARE(blue->pos(), QPoint(left, 10));
        // A minute before the start the blue peter comes down, frame by frame.
        at(-59);
        const int firstDrop = blue->y();
        QVERIFY(firstDrop > 10);
        at(-58);
        QVERIFY(blue->y() > firstDrop);
        QVERIFY(seven->isVisibleTo(w.Picture1));
        QCOMPARE(seven->pos(), QPoint(left, 10));
        // The time panel grows to hold the countdown beside the clock, and shrinks back.
        const int clockOnly = w.PicTime->width();
        at(-20);
        QVERIFY(!w.PicTime->Text4->isHidden());
        QVERIFY(w.PicTime->contentsRect().contains(w.PicTime->Text4->geometry()));
        QVERIFY(w.PicTime->contentsRect().contains(w.PicTime->Text11->geometry()));
        QVERIFY(w.PicTime->Text11->width() >= w.PicTime->Text11->sizeHint().width());
        at(-58);
        // The direction buttons put the flags back at the top.
        w.Option7_Click();
        QCOMPARE(blue->pos(), QPoint(left, 10));
        at(30);
        QCOMPARE(w.PicTime->width(), clockOnly);
        QVERIFY(!blue->isVisibleTo(w.Picture1));
        QVERIFY(!seven->isVisibleTo(w.Picture1));
        // A bigger map keeps the flags 10 pixels from its right edge.
        w.resize(1300, 900);
        w.relayout();
        QCOMPARE(seven->x(), w.layout.mapSize - StartFlag::kWidth - 10);

        // The finishing list once the first boat has finished: one row per finisher.
        const FinishInputs fin = w.scene.finishInputs();
        QVERIFY(fin.courseCount > 0 && fin.leadFinish > 0);
        QVERIFY(position->isHidden());
        w.PicTimeBar_Click(fin.leadFinish + 1);
        QVERIFY(position->isVisibleTo(w.Picture1));
        QVERIFY(w.frame.FinishCount >= 1);
        QCOMPARE(position->height(), 14 * w.frame.FinishCount + 5);
        at(s.race.RaceSeconds - 1);
        QCOMPARE(position->height(), 14 * w.frame.FinishCount + 5);
        // At the top right, clear of the time panel at the top left.
        QCOMPARE(position->geometry().right(), w.layout.mapSize - 11);
        QCOMPARE(position->y(), 10);
        // The screen picture shows it; the moving layer no longer paints it a second time.
        const QImage shown = w.Picture1->composed();
        const QPoint border = position->geometry().topLeft() + QPoint(0, 3);
        QCOMPARE(shown.pixelColor(border), QColor(Qt::black));
        QImage layer(w.Picture1->picture().size(), QImage::Format_RGB32);
        layer.fill(Qt::green);
        {
            QPainter p(&layer);
            w.renderer.drawMovingLayer(p, w.scene);
        }
        QCOMPARE(layer.pixelColor(border), QColor(Qt::green));
        // Back before the first finish the list is emptied and hidden.
        w.PicTimeBar_Click(0);
        QVERIFY(!position->isVisibleTo(w.Picture1));
        QCOMPARE(w.frame.FinishCount, 0);
    }

    void orientationAndDisplayChecksRedraw() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        s.stop();
        QVERIFY(w.view.windUp());
        w.Option2->click();
        QVERIFY(!w.view.windUp());
        QCOMPARE(w.view.ViewRotation, 0.0);
        QCOMPARE(s.race.NorthUp, 1);
        QVERIFY(!w.Check4->isEnabled());
        w.Option3->click();
        QVERIFY(w.view.windUp());
        QCOMPARE(w.view.ViewRotation, s.race.MeanWindDir);
        QVERIFY(w.Check4->isEnabled());

        // Time marks: ticking draws them over the map, unticking redraws it without them.
        const QImage before = w.Picture1->picture().copy();
        w.Check1->click();
        QVERIFY(w.options.TimeMarks);
        QVERIFY(w.Picture1->picture() != before);
        // A full redraw keeps them (background, time marks, marks and lines).
        w.redrawBackground();
        const QImage withMarks = w.Picture1->picture().copy();
        w.Check1->click();
        QVERIFY(!w.options.TimeMarks);
        const QImage withoutMarks = w.Picture1->picture().copy();
        QVERIFY(withoutMarks != withMarks);
        // Auto trace leaves them out even while their box stays ticked.
        w.Check1->click();
        w.Check5->click();
        QVERIFY(w.options.TimeMarks && w.options.AutoTrace);
        w.redrawBackground();
        const QImage traced = w.Picture1->picture().copy();
        w.options.TimeMarks = false;
        w.redrawBackground();
        QCOMPARE(w.Picture1->picture(), traced);
        w.Check5->click();
        w.Check1->click();
        QVERIFY(!w.options.TimeMarks && !w.options.AutoTrace);

        // The check boxes read only by the frame set their options.
        w.Check10->click();
        QVERIFY(!w.options.Enlarge);
        w.Check4->click();
        QVERIFY(w.options.CompareLines);
        w.Check6->click();
        QVERIFY(!w.options.WakeOn);
        // A sea colour swatch repaints the map in it.
        w.BCOL[5]->click();
        QCOMPARE(w.options.SeaColour, kSeaSwatches[4].sea);
        QCOMPARE(w.Picture1->picture().pixelColor(1, w.layout.mapSize - 2),
                 toQColor(kSeaSwatches[4].sea));
    }

    void raceScreenHasEveryNamedControl() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        const char* names[] = {
            "Picture1",  "Picture5", "PicTimeBar", "PicTime", "Picture6", "Picture2", "Picture8",
            "Picture12", "Text11",   "Text4",      "Text1",   "Blue_P",   "Seven",    "Position",
            "HScroll1",  "Text2",    "HScroll2",   "Option6", "Option7",  "Option8",  "Command6",
            "Command7",  "Combo1",   "Command9",   "Text9",   "Text10",   "Command4", "Command1",
            "Option9",   "Option10", "Option11"};
        for (const char* name : names)
            QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
        for (const char* timer : {"Timer1", "Timer2", "Timer3"})
            QVERIFY2(w.findChild<QTimer*>(QString::fromLatin1(timer)), timer);
        // One row per boat in the boat panel, numbered from 0.
        for (int i = 0; i < s.race.BoatCount; ++i)
            for (const char* row : {"Bnam_%1", "Maru_%1", "Text5_%1", "Text6_%1"}) {
                const QString name = QString::fromLatin1(row).arg(i);
                QVERIFY2(w.findChild<QWidget*>(name), qPrintable(name));
            }
    }

    void autoTraceComesOnAfterSevenSeconds() {
        Screen s(kDemo, 2, 0);
        RaceDisp& w = *s.w;
        for (int i = 0; i < 6; ++i) w.playback->Timer2_Timer();
        QVERIFY(!w.Check5->isChecked());
        w.playback->Timer2_Timer();
        QVERIFY(w.Check5->isChecked());
        QVERIFY(w.options.AutoTrace);
        QVERIFY(!w.Picture12->isHidden());
        QVERIFY(!w.Command2->isEnabled());
        QVERIFY(!w.Check6->isEnabled());
        QVERIFY(w.Check9->isEnabled());
        QVERIFY(!w.playback->Timer2.isActive());
        // Switching it off gives the controls back and the home zoom.
        w.Check5->setChecked(false);
        w.Check5_Click();
        QVERIFY(w.Command2->isEnabled());
        QVERIFY(!w.Check9->isEnabled());
        QVERIFY(w.Picture12->isHidden());
        QCOMPARE(w.view.Zoom, w.view.ZoomHome);
    }

    void boatListKeepsABoatAndTheMarkedBoatsShown() {
        Screen s(kDemo, 1, 0);
        BoatPanel& panel = *s.w->boatPanel;
        const int n = panel.rowCount();
        // Right button: only that boat, even when it was unticked.
        panel.Bnam(3)->setChecked(false);
        panel.nameReleased(4, Qt::RightButton);
        for (int k = 1; k <= n; ++k) QCOMPARE(s.w->options.BoatShown[k], k == 4);
        // Unticking the last shown boat leaves boat 1 shown.
        panel.Bnam(3)->setChecked(false);
        panel.nameReleased(4, Qt::LeftButton);
        QVERIFY(s.w->options.BoatShown[1]);
        QVERIFY(!s.w->options.BoatShown[4]);
        // A marked boat cannot be hidden.
        panel.Maru(6)->setChecked(true);
        panel.markToggled(7, true);
        QVERIFY(s.w->options.BoatShown[7]);
        panel.nameReleased(2, Qt::RightButton);
        QVERIFY(s.w->options.BoatShown[2]);
        QVERIFY(s.w->options.BoatShown[7]);
        QVERIFY(!s.w->options.BoatShown[1]);
        // A hidden boat has no speed bar.
        panel.setBar(1, 40);
        QCOMPARE(panel.barLength(1), 0.0);
        panel.showAll();
        QCOMPARE(panel.barLength(1), 40.0);
        panel.setBar(1, std::nan(""));
        QCOMPARE(panel.barLength(1), 0.0);
    }

    void resizingKeepsTheMapSquare() {
        Screen s(kDemo, 1, 0);
        RaceDisp& w = *s.w;
        w.resize(1000, 900);
        w.relayout();
        const int panel = RaceLayout::sidePanelWidth(1.0);
        QCOMPARE(w.layout.mapSize, 1000 - panel - 45);
        QCOMPARE(w.Picture1->picture().size(), QSize(w.layout.mapSize, w.layout.mapSize));
        QCOMPARE(w.view.MapSize, double(w.layout.mapSize));
        QCOMPARE(w.PicTimeBar->height(), w.layout.mapSize);
        QCOMPARE(w.PicTimeBar->x(), 5 + w.layout.mapSize + 5);
        w.resize(1600, 600);
        w.relayout();
        QCOMPARE(w.layout.mapSize, 590);
        // A window too small for any map keeps a usable square.
        QCOMPARE(RaceLayout::mapSquare(QSize(200, 50), panel), RaceLayout::kMinMapSize);
        QCOMPARE(RaceLayout::sidePanelWidth(2.0), 2 * RaceLayout::kSidePanelBase);
    }

    void timePanelDragStaysInsideTheWindow() {
        QCOMPARE(TimePanel::draggedTop(100, 50, 60, 800), 150);
        QCOMPARE(TimePanel::draggedTop(100, -200, 60, 800), 5);
        QCOMPARE(TimePanel::draggedTop(100, 900, 60, 800), 740);
        QCOMPARE(TimePanel::draggedTop(10, 5, 60, 40), 5);  // panel taller than the window
    }

    void loadingProgressBar() {
        LoadingProgress bar(50);
        QList<double> lengths;
        for (int i = 1; i <= 4; ++i) {
            bar.setProgress(i, 4, QStringLiteral("race.txt    ( %1 / 4)").arg(i),
                            QStringLiteral("x"));
            lengths << bar.barLength();
        }
        QCOMPARE(lengths, (QList<double>{83.25, 166.5, 249.75, 333}));
        QCOMPARE(LoadingProgress::barLengthFor(1, 0), 0.0);
        QCOMPARE(LoadingProgress::barLengthFor(7, 4), 333.0);
        QVERIFY(bar.message().startsWith(QStringLiteral("race.txt    ( 4 / 4)\n")));
    }

    void timeBarHoverText() {
        AppSettings en;
        en.Lang = 1;
        const QStringList lines =
            TimeBar::hoverText(125, "2026/06/07 11:00:00", en).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("11:02:05   (125 Sec)"));
        QCOMPARE(lines[1], QStringLiteral("Click to change the time."));
        QCOMPARE(lines[4], QStringLiteral("Shift+Right click to cancel play back period."));
        AppSettings ja;
        const QString jaText = TimeBar::hoverText(-30, "2026/06/07 11:00:00", ja);
        QVERIFY(jaText.startsWith(QStringLiteral("10:59:30   (-30 Sec)\n")));
        QVERIFY(jaText.contains(QStringLiteral("Shift+右クリックで時間帯を解除します")));
        // Without a start time only the seconds are shown.
        QVERIFY(TimeBar::hoverText(5, "", en).startsWith(QStringLiteral("   (5 Sec)")));
    }

    void captionsInBothLanguages() {
        int count = 0;
        const ControlCaption* table = raceDispCaptions(count);
        Screen ja(kDemo, 2, 0);
        Screen en(kDemo, 2, 1);
        int found = 0;
        for (int i = 0; i < count; ++i) {
            const QString name = QString::fromLatin1(table[i].control);
            auto* wj = ja.w->findChild<QAbstractButton*>(name);
            auto* we = en.w->findChild<QAbstractButton*>(name);
            if (!wj || !we) continue;
            ++found;
            QCOMPARE(wj->text(), QString::fromUtf8(table[i].japanese));
            QCOMPARE(we->text(), QString::fromUtf8(table[i].english));
        }
        QVERIFY(found >= 20);
        QCOMPARE(en.w->Frame1->title(), QStringLiteral("Direction"));
        QCOMPARE(ja.w->Label2->text(), QStringLiteral("ｽﾀｰﾄ日時"));
        // The English font is one that exists here, whatever the settings name.
        QVERIFY(QFontDatabase::families().contains(uiFontFamily(en.settings)));
        QCOMPARE(en.w->Command9->font().family(), uiFontFamily(en.settings));
        QCOMPARE(en.settings.UiFontName, std::string("MS Sans Serif"));
    }

    void leavingFullModeOffersToSave() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyFolder(kDemo, app));
        Screen s(app, 2, 1);
        RaceDisp& w = *s.w;
        s.sink.setAnswer(MessageAnswer::Yes);
        QString title;
        w.setNamePrompt([&](const QString&, const QString& t, const QString& proposal) {
            title = t;
            return std::optional<QString>(proposal.chopped(4) + QStringLiteral("_copy"));
        });
        bool closed = false;
        QObject::connect(&w, &RaceDisp::closed, [&] { closed = true; });
        w.Command1_Click();
        QVERIFY(closed);
        QCOMPARE(title, QStringLiteral("Race Control File name"));
        QCOMPARE(QString::fromStdString(s.sink.messages.back().text),
                 QStringLiteral("Save Race Control File？"));
        QVERIFY(QFile::exists(app + QStringLiteral("/RaceAdmin/enoshima_0607_copy.txt")));
        QVERIFY(!w.playback->Timer1.isActive());
    }

    void splashTitleOverlay() {
        AppSettings ja;
        Splite sj(ja);
        QVERIFY(!sj.Image2->isHidden());
        QCOMPARE(sj.Image2->pos() - sj.Image1->pos(), QPoint(8, 296));
        AppSettings en;
        en.Lang = 1;
        Splite se(en);
        QVERIFY(se.Image2->isHidden());
        QVERIFY(!se.Image1->isHidden());
    }

    void nameAnswerRules() {
        QCOMPARE(raceFileNameFromAnswer("race2"), std::string("race2.txt"));
        QCOMPARE(raceFileNameFromAnswer("race2.TXT"), std::string("race2.TXT"));
        QCOMPARE(raceFileNameFromAnswer("  "), std::string());
        QCOMPARE(raceFileNameFromAnswer("a/b"), std::string());
        QVERIFY(acceptableRaceTimes("2026/06/07 10:00:00", "2026/06/07 10:00:01",
                                    "2026/06/07 10:00:00", "2026/06/07 10:00:01"));
        QVERIFY(!acceptableRaceTimes("2026/06/07 10:00:01", "2026/06/07 10:00:01",
                                     "2026/06/07 10:00:00", "2026/06/07 10:00:01"));
        QVERIFY(!acceptableRaceTimes("", "", "", ""));
    }
};

QTEST_MAIN(TstRaceDisp)
#include "tst_racedisp.moc"
