// The race screen on the demo race, offscreen, driven through its controls: what set-up leaves,
// the smallest window's layout against its golden files, the time bar (click, Shift-drag period,
// cancel), the replay buttons and the replay's speed in real time, confirming start and finish
// times on a copy of the demo, race switches that work and races that cannot be shown, leaving.
// The other faults a user met are in tst_racefaults.cpp.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <algorithm>

#include "app/messages.h"
#include "racescreen.h"
#include "session/racesession.h"
#include "ui/app/splashscreen.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/boatpanel.h"
#include "ui/display/finishlist.h"
#include "ui/display/startflag.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/race/loadingprogress.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racelayout.h"
#include "ui/race/racescreen.h"
#include "ui/race/racesetup.h"
#include "util/datetime.h"

using namespace brisko;
using namespace brisko::test;

namespace {

bool inside(const QWidget* w, const char* container) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (p->objectName() == QLatin1String(container)) return true;
    return false;
}

// The visible named controls of the race screen in the order the window holds them.
QList<const QWidget*> namedControls(const QWidget& window) {
    QList<const QWidget*> out;
    for (const QWidget* w : window.findChildren<QWidget*>())
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QStringLiteral("qt_")) &&
            !w->isWindow() && w->isVisible())
            out << w;
    return out;
}

// One line per visible named control: its name, its place and size in the window and what it
// says.
QString layoutDump(const QWidget& window) {
    QString out;
    for (const QWidget* w : namedControls(window)) {
        QString text;
        if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            text = b->text();
        else if (const auto* l = qobject_cast<const QLabel*>(w))
            text = l->text();
        else if (const auto* e = qobject_cast<const QLineEdit*>(w))
            text = e->text();
        else if (const auto* c = qobject_cast<const QComboBox*>(w))
            text = c->currentText();
        else if (const auto* g = qobject_cast<const QGroupBox*>(w))
            text = g->title();
        const QPoint at = w->mapTo(&window, QPoint(0, 0));
        out += QStringLiteral("%1 %2,%3 %4x%5 \"%6\"\n")
                   .arg(w->objectName())
                   .arg(at.x())
                   .arg(at.y())
                   .arg(w->width())
                   .arg(w->height())
                   .arg(text.replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    }
    return out;
}

// The pairs of controls that show something and cover each other where the window shows them
// (what a scrolled list hides is left out). The clock panel lies over the map and the wind strip
// over the wind boxes and the boat list on purpose.
QStringList overlappingControls(const QWidget& window) {
    const QList<const QWidget*> all = namedControls(window);
    QList<QPair<const QWidget*, QRect>> shown;
    for (const QWidget* w : all) {
        const bool holdsOthers = std::any_of(
            all.begin(), all.end(), [w](const QWidget* c) { return c != w && w->isAncestorOf(c); });
        if (holdsOthers || w->objectName() == QLatin1String("WindStrip") || inside(w, "timePanel"))
            continue;
        QRect r(w->mapTo(&window, QPoint(0, 0)), w->size());
        for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
            r &= QRect(p->mapTo(&window, QPoint(0, 0)), p->size());
        if (!r.isEmpty()) shown.append({w, r});
    }
    QStringList out;
    for (int i = 0; i < shown.size(); ++i)
        for (int j = i + 1; j < shown.size(); ++j)
            if (shown[i].second.intersects(shown[j].second))
                out << shown[i].first->objectName() + QStringLiteral(" / ") +
                           shown[j].first->objectName();
    return out;
}

}  // namespace

class TstRaceScreen : public QObject {
    Q_OBJECT
private slots:
    void setUpLeavesTheDemoRaceReady() {
        Screen s(kDemo, 1, 0);
        RaceScreen& w = *s.w;
        QVERIFY(w.setupDone());
        QVERIFY(w.session());
        QVERIFY2(s.sink.messages.empty(),
                 s.sink.messages.empty() ? "" : s.sink.messages.front().text.c_str());
        QVERIFY(w.windowTitle().startsWith(QStringLiteral("ブリスコ   ")));
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("   (enoshima_0607.txt)")));
        // Browser mode: race list shown, set-up buttons hidden, times read only.
        QVERIFY(!s.c("raceFileCombo")->isHidden());
        QCOMPARE(s.c<QComboBox>("raceFileCombo")->currentText(),
                 QStringLiteral("enoshima_0607.txt"));
        for (const char* b :
             {"setMarkButton", "setLineButton", "confirmTimesButton", "setCourseButton"})
            QVERIFY(s.c(b)->isHidden());
        QVERIFY(!s.c("startTimeEdit")->isEnabled());
        QCOMPARE(s.c<QLineEdit>("startTimeEdit")->text(), QStringLiteral("2026/06/07 11:00:00"));
        QCOMPARE(s.clock().PeriodFrom, -(s.race().PreStartSeconds + 30));
        QCOMPARE(s.clock().PeriodTo, s.race().RaceSeconds);
        QVERIFY(s.c<QTimer>("replayTimer")->isActive());
        QVERIFY(s.c<QTimer>("rateTimer")->isActive());
        QCOMPARE(s.c<BoatPanel>("BoatPanel")->rowCount(), 10);
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("5倍速"));
        QCOMPARE(s.map()->width(), w.layout().mapSize);
        QVERIFY(s.bar()->isVisibleTo(&w));
        QVERIFY(s.c<QRadioButton>("windUpRadio")->isChecked());  // the demo race is wind-up
        // The coastline came with the race, before anything was drawn.
        QVERIFY(s.session().coast().CoastCount > 0);
        QCOMPARE(w.scene().coast.count, s.session().coast().CoastCount);
    }

    void smallestWindowLaysOutAsItsGoldenFile_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("fontScale");
        QTest::addColumn<QString>("golden");
        const QString ja = QStringLiteral("racescreen_layout_ja.txt");
        const QString en = QStringLiteral("racescreen_layout_en.txt");
        QTest::newRow("Japanese, full mode") << 0 << 2 << 1.0 << ja;
        QTest::newRow("English, browser mode") << 1 << 1 << 1.0 << en;
        // No font scale (0 or below) is laid out as scale 1.
        QTest::newRow("Japanese, font scale 0") << 0 << 2 << 0.0 << ja;
        QTest::newRow("English, font scale -1") << 1 << 1 << -1.0 << en;
    }

    void smallestWindowLaysOutAsItsGoldenFile() {
        QFETCH(int, lang);
        QFETCH(int, mode);
        QFETCH(double, fontScale);
        QFETCH(QString, golden);
        AppSettings settings = Screen::settingsFor(kDemo, mode, lang);
        settings.FontScale = fontScale;
        Screen s(settings);
        s.stop();
        s.w->resize(s.w->minimumSize());
        QVERIFY(s.showOnScreen());
        QTRY_COMPARE(s.c("sidePanel")->height(), s.w->height() - 2 * RaceLayout::kMargin);
        s.jump(600);
        QCOMPARE(overlappingControls(*s.w), QStringList());
        // The wind strip as a click on the dial opens it.
        QVERIFY(s.session().data().WindShown);
        QTest::mouseClick(s.c("windPicture"), Qt::LeftButton);
        QVERIFY(s.c("WindStrip")->isVisible());

        const QString now = layoutDump(*s.w);
        const QString path = QStringLiteral(BRISKO_TEST_DATA "/golden/") + golden;
        if (qEnvironmentVariableIntValue("BRISKO_UPDATE_GOLDEN") == 1 && fontScale == 1.0) {
            QVERIFY(writeAll(path, now.toUtf8()));
            qInfo("wrote %s", qPrintable(path));
        }
        const QStringList want = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
        const QStringList got = now.split(QLatin1Char('\n'));
        for (int i = 0; i < std::max(want.size(), got.size()); ++i) {
            const QString w = want.value(i, QStringLiteral("(none)"));
            const QString g = got.value(i, QStringLiteral("(none)"));
            if (w == g) continue;
            const QString whole = QDir::current().absoluteFilePath(golden + QStringLiteral(".now"));
            writeAll(whole, now.toUtf8());
            QFAIL(qPrintable(QStringLiteral("%1 line %2\n   golden: %3\n   now:    %4\n"
                                            "   the whole layout now: %5")
                                 .arg(golden)
                                 .arg(i + 1)
                                 .arg(w, g, whole)));
        }
    }

    void englishCaptionsAndSpeed() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.w->windowTitle().startsWith(QStringLiteral("\"Brisko\" Race Browser   ")));
        QCOMPARE(s.c<QPushButton>("showRaceButton")->text(), QStringLiteral("Show"));
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("5 x spd"));
        s.c<QSlider>("replaySpeedSlider")->setValue(11);
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("20 x spd"));
        QCOMPARE(s.clock().SpeedFactor, 20);
    }

    void timeBarClickJumpsAndStepsMoveOneSecond() {
        Screen s(kDemo, 1, 0);
        s.stop();
        const TimeBarScale& bar = s.bar()->scale();
        s.jump(600);
        QVERIFY(std::abs(s.clock().RaceTime - 600) <= 1 / bar.pxPerSecond() + 1);
        const double t = s.clock().RaceTime;
        // Every boat's row in the list shows its speed and its angle to the wind then.
        const FrameState& f = s.session().frame();
        for (int k = 1; k <= s.race().BoatCount; ++k) {
            const QByteArray row = QByteArray::number(k - 1);
            const QString speed = s.c<QLabel>("boatSpeed_" + row)->text();
            const QString twa = s.c<QLabel>("boatTwa_" + row)->text();
            QVERIFY2(f.Boats[k].visible, row);
            QVERIFY2(std::abs(speed.toDouble() - f.Boats[k].speed) < 0.006, qPrintable(speed));
            QCOMPARE(twa, QString::number(qRound(f.Boats[k].twa)));
        }
        s.c<QPushButton>("stepForwardButton")->click();
        QCOMPARE(s.clock().RaceTime, t + 1);
        s.c<QPushButton>("stepBackwardButton")->click();
        QCOMPARE(s.clock().RaceTime, t);
        QVERIFY(s.clock().stopped());
        QVERIFY(s.c<QRadioButton>("stopRadio")->isChecked());
    }

    void shiftDragChoosesPeriodAndMarksIt() {
        Screen s(kDemo, 1, 0);
        s.stop();
        const TimeBarScale& bar = s.bar()->scale();
        const QPoint from(15, qRound(bar.yForTime(2000)));
        const QPoint to(15, qRound(bar.yForTime(1000)));
        QVERIFY(!s.bar()->periodMarked());
        QTest::mousePress(s.bar(), Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(s.bar(), to);
        QTest::mouseRelease(s.bar(), Qt::LeftButton, Qt::ShiftModifier, to);
        const double slack = 1 / bar.pxPerSecond() + 1;
        QVERIFY(std::abs(s.clock().PeriodFrom - 1000) <= slack);
        QVERIFY(std::abs(s.clock().PeriodTo - 2000) <= slack);
        QCOMPARE(s.clock().RaceTime, s.clock().PeriodFrom);  // the replay restarts at its start
        // The chosen period stays marked beside the strip.
        QVERIFY(s.bar()->periodMarked());
        const QImage shown = s.bar()->grab().toImage();
        QCOMPARE(shown.pixelColor(2, qRound(bar.yForTime(1500))), QColor(255, 140, 0));
        QVERIFY(shown.pixelColor(2, qRound(bar.yForTime(500))) != QColor(255, 140, 0));

        // Shift + right click opens the period to four minutes either side of the race.
        QTest::mousePress(s.bar(), Qt::RightButton, Qt::ShiftModifier, from);
        QTest::mouseRelease(s.bar(), Qt::RightButton, Qt::ShiftModifier, from);
        const double opened = -std::max(240.0, s.race().PreStartSeconds + 60);
        QCOMPARE(s.clock().PeriodFrom, opened);
        QCOMPARE(s.clock().PeriodTo, s.race().RaceSeconds + 240);
        QVERIFY(!s.bar()->periodMarked());
        QTest::mouseClick(s.bar(), Qt::LeftButton, Qt::NoModifier, to);
        QCOMPARE(s.clock().PeriodFrom, opened);
    }

    void timeBarHasTicksWithTimes() {
        Screen s(kDemo, 1, 0);
        const TimeBarScale& bar = s.bar()->scale();
        const int minutes = TimeBar::tickMinutes(bar);
        QVERIFY(minutes > 0);
        const QImage strip = s.bar()->strip();
        // A tick at the right edge at the start and one tick step later; between them none.
        const int x = s.bar()->width() - 2;
        const QColor tick(64, 64, 64);
        auto tickNear = [&](double t) {
            const int y = qRound(bar.yForTime(t));
            for (int yy = y - 1; yy <= y + 1; ++yy)
                if (strip.pixelColor(x, yy) == tick) return true;
            return false;
        };
        QVERIFY(tickNear(minutes * 60.0));
        QVERIFY(tickNear(0));
        QVERIFY(!tickNear(minutes * 30.0));
        // A label: dark pixels left of the tick, right of the drag strip.
        bool label = false;
        const int y = qRound(bar.yForTime(minutes * 60.0));
        for (int yy = y - 8; yy <= y; ++yy)
            for (int xx = TimeBar::kDragStripWidth + 1; xx < x - 4; ++xx)
                label = label || strip.pixelColor(xx, yy).lightness() < 160;
        QVERIFY(label);
    }

    void replayButtonsSteerTheClock() {
        Screen s(kDemo, 1, 0);
        s.c<QRadioButton>("backwardRadio")->click();
        QVERIFY(s.c<QTimer>("replayTimer")->isActive());
        QVERIFY(s.clock().TimeStep < 0);
        s.stop();
        QVERIFY(!s.c<QTimer>("replayTimer")->isActive());
        s.c<QRadioButton>("forwardRadio")->click();
        QVERIFY(s.clock().TimeStep > 0);
        QVERIFY(s.c<QTimer>("replayTimer")->isActive());
        // A tick while stopped moves the clock by one step but draws nothing new.
        s.stop();
        const double t = s.clock().RaceTime;
        s.fire("replayTimer");
        QCOMPARE(s.clock().RaceTime, t + s.clock().TimeStep);
        QCOMPARE(s.clock().TickCount, 1);
        // Exactly one of the three is on, whichever other radio buttons are pressed.
        const auto on = [&] {
            QStringList names;
            for (const char* name : {"forwardRadio", "stopRadio", "backwardRadio"})
                if (s.c<QRadioButton>(name)->isChecked()) names << QString::fromLatin1(name);
            return names;
        };
        QCOMPARE(on(), QStringList{"stopRadio"});
        s.c<QRadioButton>("northUpRadio")->click();
        s.c<QRadioButton>("speedGraphRadio")->click();
        s.c<QRadioButton>("backwardRadio")->click();
        s.c<QRadioButton>("windUpRadio")->click();
        s.c<QRadioButton>("trackViewRadio")->click();
        QCOMPARE(on(), QStringList{"backwardRadio"});
        QVERIFY(s.c<QRadioButton>("windUpRadio")->isChecked());
        QVERIFY(s.c<QRadioButton>("trackViewRadio")->isChecked());
    }

    void replayKeepsTheChosenSpeedInRealTime() {
        Screen s(kDemo, 1, 1);
        s.stop();
        s.c<QSlider>("replaySpeedSlider")->setValue(11);
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("20 x spd"));
        s.jump(600);  // boats in view: no skipping over an empty stretch
        s.c<QRadioButton>("forwardRadio")->click();
        // The frame rate is measured over the first whole second, then the step follows it.
        QTest::qWait(2300);
        QElapsedTimer real;
        real.start();
        const double from = s.clock().RaceTime;
        QTest::qWait(2000);
        const double raceSecondsPerSecond = (s.clock().RaceTime - from) * 1000 / real.elapsed();
        QVERIFY2(raceSecondsPerSecond > 12 && raceSecondsPerSecond < 28,
                 qPrintable(QString::number(raceSecondsPerSecond)));
    }

    void aReplayFrameNeverRunsInsideAnother() {
        // The start gun's sound stands for whatever a frame does that lets timers fire (a
        // message box): STOP and FWD pressed meanwhile start the replay timer afresh, and its
        // ticks wait until the frame is done.
        struct Gun : FakePlatform {
            std::function<void()> playing;
            void playSound(const std::string&) override {
                if (playing) playing();
            }
        } gun;
        Screen s(kDemo, 1, 1, kDemoRace, &gun);
        s.stop();
        // The rate timer's rounding to the whole second would move the clock as well.
        s.c<QTimer>("rateTimer")->stop();
        s.jump(-30);
        s.stepTo(-1);
        int shots = 0;
        double before = 0, after = 0;
        gun.playing = [&] {
            ++shots;
            before = s.clock().RaceTime;
            s.stop();
            s.c<QRadioButton>("forwardRadio")->click();
            QTest::qWait(200);
            after = s.clock().RaceTime;
        };
        s.c<QRadioButton>("forwardRadio")->click();
        QTRY_COMPARE(shots, 1);
        QCOMPARE(after, before);
        QTRY_VERIFY(s.clock().RaceTime > after);  // and then the replay runs on
    }

    void confirmingTimesRefusesAndAccepts() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        const QString original = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");
        Screen s(app, 2, 0);
        auto* startEdit = s.c<QLineEdit>("startTimeEdit");
        auto* finishEdit = s.c<QLineEdit>("finishTimeEdit");
        auto* ok = s.c<QPushButton>("confirmTimesButton");
        QVERIFY(!ok->isHidden());
        const std::string last = formatRaceTime(s.race().LastFix);
        const std::string lastPlus = formatDateTime(*s.race().LastFix + 60);
        const QList<QPair<std::string, std::string>> refused = {
            {last, last},
            {"2026/06/07 xx", last},
            {"2026/06/07 11:30:00", "2026/06/07 11:20:00"},
            {"2026/06/07 11:05:00", lastPlus}};
        for (const auto& [st, ft] : refused) {
            s.sink.messages.clear();
            startEdit->setText(QString::fromStdString(st));
            finishEdit->setText(QString::fromStdString(ft));
            ok->click();
            QCOMPARE(s.sink.messages.size(), size_t(1));
            QCOMPARE(QString::fromStdString(s.sink.messages[0].text),
                     QStringLiteral(
                         "日時のﾃﾞｰﾀが正しくありません。必ず同じスタイルで入力してください。"));
            QCOMPARE(formatRaceTime(s.race().RaceStart), std::string("2026/06/07 11:00:00"));
        }
        // Accepted (a finish at the last fix is allowed), saved under a new name.
        s.sink.messages.clear();
        s.sink.setAnswer(MessageAnswer::Yes);
        s.w->setNamePrompt([](const QString&, const QString&, const QString&) {
            return std::optional<QString>(QStringLiteral("moved_start"));
        });
        startEdit->setText(QStringLiteral("2026/06/07 11:05:00"));
        finishEdit->setText(QString::fromStdString(last));
        ok->click();
        QCOMPARE(QString::fromStdString(s.sink.messages[0].text),
                 QStringLiteral("管理ファイルを保存しますか？"));
        QCOMPARE(s.race().RaceFileName, std::string("moved_start.txt"));
        QVERIFY(readAll(app + QStringLiteral("/RaceAdmin/moved_start.txt"))
                    .contains("ST, 2026/06/07 11:05:00"));
        QVERIFY(readAll(original).contains("ST, 2026/06/07 11:00:00"));
        QCOMPARE(startEdit->text(), QStringLiteral("2026/06/07 11:05:00"));
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("(moved_start.txt)")));
        // A name that leaves the race folder is refused and nothing is written.
        s.sink.messages.clear();
        s.w->setNamePrompt([](const QString&, const QString&, const QString&) {
            return std::optional<QString>(QStringLiteral("../outside"));
        });
        startEdit->setText(QStringLiteral("2026/06/07 11:06:00"));
        ok->click();
        QCOMPARE(s.sink.messages.size(), size_t(2));  // the question, then the refusal
        QVERIFY(!QFile::exists(app + QStringLiteral("/outside.txt")));
        QCOMPARE(s.race().RaceFileName, std::string("moved_start.txt"));
    }

    void raceSwitchReplacesTheRace() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        QVERIFY(QFile::copy(app + QStringLiteral("/RaceAdmin/enoshima_0607.txt"),
                            app + QStringLiteral("/RaceAdmin/second.txt")));
        Screen s(app, 1, 1);
        auto* combo = s.c<QComboBox>("raceFileCombo");
        QCOMPARE(combo->count(), 2);                  // the two races; the mode file is no race
        s.c<QPushButton>("showRaceButton")->click();  // the race already shown
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(s.sink.messages[0].text, std::string("Choose Other File"));

        // The replay speed chosen on the slider: 20 times real time.
        auto* speed = s.c<QSlider>("replaySpeedSlider");
        for (int i = 0; i < 6; ++i) QTest::keyClick(speed, Qt::Key_Right);
        QCOMPARE(speed->value(), 11);
        QCOMPARE(s.clock().SpeedFactor, 20);

        // Something of the first race's replay state that must not survive.
        s.stop();
        s.jump(2000);
        const RaceSession* first = s.w->session();
        s.sink.messages.clear();
        combo->setCurrentIndex(combo->findText(QStringLiteral("second.txt")));
        s.c<QPushButton>("showRaceButton")->click();
        QVERIFY(s.sink.messages.empty());
        QVERIFY(s.w->session() != first);
        QCOMPARE(s.race().RaceFileName, std::string("second.txt"));
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("(second.txt)")));
        QCOMPARE(s.c<BoatPanel>("BoatPanel")->rowCount(), 10);
        QCOMPARE(s.clock().RaceTime, -(s.race().PreStartSeconds + 20));
        QCOMPARE(s.session().frame().FinishCount, 0);
        QCOMPARE(combo->currentText(), QStringLiteral("second.txt"));
        QVERIFY(s.clock().stopped());  // the way the replay ran carries over
        // The speed on the slider still drives the clock of the race shown now.
        QCOMPARE(speed->value(), 11);
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("20 x spd"));
        QCOMPARE(s.clock().SpeedFactor, 20);
        QTest::keyClick(speed, Qt::Key_Left);
        QCOMPARE(s.c<QLabel>("replaySpeedLabel")->text(), QStringLiteral("10 x spd"));
        QCOMPARE(s.clock().SpeedFactor, 10);
    }

    void aRaceThatCannotBeShownLeavesTheRaceShown() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        const QString admin = app + QStringLiteral("/RaceAdmin/");
        QVERIFY(writeAll(admin + QStringLiteral("junk.txt"), "not a race\r\n\x81\x82,,,\r\n"));
        QVERIFY(writeAll(admin + QStringLiteral("nogps.txt"),
                         "T1, gone\r\nBN, gone1.trk, A\r\nBN, gone2.trk, B\r\n"));
        QVERIFY(writeAll(admin + QStringLiteral("elsewhen.txt"),
                         "ST, 2019/01/01 10:00:00\r\nFT, 2019/01/01 11:00:00\r\n"
                         "BN, JPN3321.trk, Mistral\r\n"));
        Screen s(app, 1, 1);
        auto* combo = s.c<QComboBox>("raceFileCombo");
        const QString title = s.w->windowTitle();
        const RaceSession* shown = s.w->session();
        s.jump(s.session().finishInputs().leadFinish + 1);
        QVERIFY(!s.finishList()->isHidden());
        struct Case {
            const char* file;
            const char* says;
        };
        // A file without a single boat is no race: the reader says so.
        for (const Case& c :
             {Case{"junk.txt", "Not a race file: it has no boat (BN) line: junk.txt"},
              Case{"nogps.txt", "No boat tracks to show. (nogps.txt)"},
              Case{"elsewhen.txt",
                   "No track data between the start and the "
                   "finish. (elsewhen.txt)"}}) {
            s.sink.messages.clear();
            combo->setCurrentIndex(combo->findText(QString::fromLatin1(c.file)));
            s.c<QPushButton>("showRaceButton")->click();
            QVERIFY2(!s.sink.messages.empty(), c.file);
            QString all;
            for (const Message& m : s.sink.messages) all += QString::fromStdString(m.text) + '\n';
            QVERIFY2(all.contains(QString::fromUtf8(c.says)), qPrintable(all));
            const QString said = QString::fromStdString(s.sink.messages.back().text);
            QVERIFY(said.contains(QStringLiteral("The race shown stays. (enoshima_0607.txt)")));
            // The race shown stays whole and named, and the list says which it is.
            QCOMPARE(s.w->session(), shown);
            QCOMPARE(s.w->windowTitle(), title);
            QCOMPARE(combo->currentText(), QString::fromStdString(kDemoRace));
            QCOMPARE(s.c<BoatPanel>("BoatPanel")->rowCount(), 10);
            QVERIFY(s.bar()->isVisibleTo(s.w.get()));
        }
    }

    void aFirstRaceThatCannotBeShownLeavesAnEmptyScreen() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        Screen s(app, 1, 0, "missing.txt");
        QVERIFY(!s.w->session());
        QVERIFY(s.w->setupDone());
        QVERIFY(s.w->windowTitle().endsWith(QStringLiteral("(missing.txt)")));
        // The race list offers only races whose file exists.
        auto* combo = s.c<QComboBox>("raceFileCombo");
        QCOMPARE(combo->findText(QStringLiteral("missing.txt")), -1);
        QCOMPARE(combo->count(), 1);
        // Nothing of a race on the map, and the controls neither crash nor draw one.
        QVERIFY(s.finishList()->isHidden());
        QVERIFY(s.bluePeter()->isHidden() && s.sevenFlag()->isHidden());
        s.c<QRadioButton>("northUpRadio")->click();
        s.c<QCheckBox>("timeMarksCheck")->click();
        s.c<QCheckBox>("compareLinesCheck")->click();
        s.c<QPushButton>("seaSwatch4")->click();
        QCOMPARE(s.map()->picture().pixelColor(5, 5), toQColor(kSeaSwatches[3].sea));
        s.c<QRadioButton>("forwardRadio")->click();
        s.fire("replayTimer");
        s.fire("rateTimer");
        // A drag over the window's margin: no time preview to end.
        QTest::mousePress(s.w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QTest::mouseMove(s.w.get(), QPoint(3, 300));
        QTest::mouseRelease(s.w.get(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 300));
        // Then the demo race from the list.
        s.c<QPushButton>("showRaceButton")->click();
        QVERIFY(s.w->session());
        QCOMPARE(s.race().RaceFileName, kDemoRace);
    }

    void leavingAnUnreadableRaceNeverSavesOverIt() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        Screen s(app, 2, 0, "missing.txt");
        const size_t told = s.sink.messages.size();
        s.sink.setAnswer(MessageAnswer::Yes);
        bool closed = false;
        QObject::connect(s.w.get(), &RaceScreen::closed, [&] { closed = true; });
        s.c<QPushButton>("exitButton")->click();
        QVERIFY(closed);
        QCOMPARE(s.sink.messages.size(), told);
        QVERIFY(!QFile::exists(app + QStringLiteral("/RaceAdmin/missing.txt")));
    }

    void orientationAndDisplayChecksRedraw() {
        Screen s(kDemo, 1, 0);
        s.stop();
        QVERIFY(s.w->view().windUp());
        s.c<QRadioButton>("northUpRadio")->click();
        QVERIFY(!s.w->view().windUp());
        QCOMPARE(s.race().NorthUp, 1);
        QVERIFY(!s.c("compareLinesCheck")->isEnabled());
        s.c<QRadioButton>("windUpRadio")->click();
        QVERIFY(s.w->view().windUp());
        QCOMPARE(s.w->view().ViewRotation, s.race().MeanWindDir);
        QVERIFY(s.c("compareLinesCheck")->isEnabled());
        // Time marks: ticking draws them over the map, unticking redraws it without them.
        const QImage before = s.map()->picture().copy();
        s.c<QCheckBox>("timeMarksCheck")->click();
        QVERIFY(s.w->options().TimeMarks);
        QVERIFY(s.map()->picture() != before);
        s.c<QCheckBox>("timeMarksCheck")->click();
        QCOMPARE(s.map()->picture(), before);
        // The check boxes read only by the frame set their options.
        s.c<QCheckBox>("enlargeBoatsCheck")->click();
        QVERIFY(!s.w->options().Enlarge);
        s.c<QCheckBox>("compareLinesCheck")->click();
        QVERIFY(s.w->options().CompareLines);
        s.c<QCheckBox>("wakeCheck")->click();
        QVERIFY(!s.w->options().WakeOn);
        // A sea colour swatch repaints the map in it.
        s.c<QPushButton>("seaSwatch5")->click();
        QCOMPARE(s.w->options().SeaColour, kSeaSwatches[4].sea);
        QCOMPARE(s.map()->picture().pixelColor(1, s.w->layout().mapSize - 2),
                 toQColor(kSeaSwatches[4].sea));
        // The size label and the zoom of auto trace lie on the same sea.
        for (const char* name : {"sizeLabel", "traceZoomPanel"})
            QCOMPARE(s.c(name)->palette().color(QPalette::Window), toQColor(kSeaSwatches[4].sea));
        // Auto trace shows its zoom and puts the chart's own tools aside until it goes off.
        QVERIFY(s.c("traceZoomPanel")->isHidden());
        s.c<QCheckBox>("autoTraceCheck")->click();
        QVERIFY(!s.c("traceZoomPanel")->isHidden());
        const char* chartTools[] = {"timeMarksCheck", "rangeBearingCheck", "wakeCheck",
                                    "coastlineCheck"};
        for (const char* name : chartTools) QVERIFY2(!s.c(name)->isEnabled(), name);
        QVERIFY(s.c("boatNamesCheck")->isEnabled());
        s.c<QCheckBox>("autoTraceCheck")->click();
        QVERIFY(s.c("traceZoomPanel")->isHidden());
        for (const char* name : chartTools) QVERIFY2(s.c(name)->isEnabled(), name);
        QVERIFY(!s.c("boatNamesCheck")->isEnabled());
    }

    void aNorthUpRaceOpensNorthUp() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        const QString file = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");
        QVERIFY(writeAll(file, readAll(file).replace("WD,  205\r\n", "WD,  205\r\nNU, 1\r\n")));
        Screen s(app, 1, 0);
        QCOMPARE(s.race().NorthUp, 1);
        QVERIFY(s.c<QRadioButton>("northUpRadio")->isChecked());
        QVERIFY(!s.c<QRadioButton>("windUpRadio")->isChecked());
        QCOMPARE(s.w->view().ViewRotation, 0.0);
        QVERIFY(!s.c("compareLinesCheck")->isEnabled());
    }

    void startFlagsAndFinishListFollowTheFrame() {
        Screen s(kDemo, 1, 0);
        s.stop();
        auto* blue = s.bluePeter();
        auto* seven = s.sevenFlag();
        auto* position = s.finishList();
        const int left = s.w->layout().mapSize - StartFlag::kWidth - 10;
        s.jump(-120);
        QVERIFY(blue->isVisibleTo(s.map()));
        QVERIFY(!seven->isVisibleTo(s.map()));
        QCOMPARE(blue->pos(), QPoint(left, 10));
        // A minute before the start the blue peter comes down, step by step.
        s.stepTo(-59);
        const int firstDrop = blue->y();
        QVERIFY(firstDrop > 10);
        s.stepTo(-58);
        QVERIFY(blue->y() > firstDrop);
        QVERIFY(seven->isVisibleTo(s.map()));
        // The direction buttons put the flags back at the top.
        s.c<QRadioButton>("stopRadio")->click();
        QCOMPARE(blue->pos(), QPoint(left, 10));
        s.stepTo(30);
        QVERIFY(!blue->isVisibleTo(s.map()));
        QVERIFY(!seven->isVisibleTo(s.map()));

        // The finishing list once the first boat has finished: one row per finisher, at the
        // top right, clear of the time panel.
        const FinishInputs fin = s.session().finishInputs();
        QVERIFY(position->isHidden());
        s.jump(fin.leadFinish + 5);
        QVERIFY(position->isVisibleTo(s.map()));
        QCOMPARE(position->height(), 14 * s.session().frame().FinishCount + 5);
        QCOMPARE(position->geometry().right(), s.w->layout().mapSize - 11);
        QCOMPARE(position->y(), 10);
        const QImage shown = s.map()->composed();
        QCOMPARE(shown.pixelColor(position->geometry().topLeft() + QPoint(0, 3)),
                 QColor(Qt::black));
        // Back before the first finish the list is emptied and hidden.
        s.jump(0);
        QVERIFY(!position->isVisibleTo(s.map()));
        QCOMPARE(s.session().frame().FinishCount, 0);
    }

    void raceScreenHasEveryNamedControl() {
        Screen s(kDemo, 1, 0);
        const char* names[] = {"mapPicture",         "sidePanel",       "timeBar",
                               "timePanel",          "overviewPicture", "windPicture",
                               "speedBars",          "traceZoomPanel",  "clockLabel",
                               "countdownLabel",     "timeOfDayLabel",  "bluePeterFlag",
                               "sevenFlag",          "finishList",      "replaySpeedSlider",
                               "replaySpeedLabel",   "traceZoomSlider", "forwardRadio",
                               "stopRadio",          "backwardRadio",   "stepForwardButton",
                               "stepBackwardButton", "raceFileCombo",   "showRaceButton",
                               "startTimeEdit",      "finishTimeEdit",  "confirmTimesButton",
                               "exitButton",         "trackViewRadio",  "speedGraphRadio",
                               "dataViewRadio"};
        for (const char* name : names)
            QVERIFY2(s.w->findChild<QWidget*>(QString::fromLatin1(name)), name);
        for (const char* timer : {"replayTimer", "autoTraceTimer", "rateTimer"})
            QVERIFY2(s.w->findChild<QTimer*>(QString::fromLatin1(timer)), timer);
        for (int i = 0; i < s.race().BoatCount; ++i)
            for (const char* row : {"boatName_%1", "boatMark_%1", "boatSpeed_%1", "boatTwa_%1"}) {
                const QString name = QString::fromLatin1(row).arg(i);
                QVERIFY2(s.w->findChild<QWidget*>(name), qPrintable(name));
            }
    }

    void keyboardGoesThroughTheSidePanelInItsDesignedOrder() {
        // From the replay buttons through the view and display options, the wind, the first
        // boat and the race file to the exit button, whichever part of the screen made them.
        Screen s(kDemo, 2, 0);
        const QStringList designed = {
            "forwardRadio",        "stopRadio",           "backwardRadio",     "stepForwardButton",
            "stepBackwardButton",  "replaySpeedSlider",   "windUpRadio",       "northUpRadio",
            "trackViewRadio",      "speedGraphRadio",     "dataViewRadio",     "timeMarksCheck",
            "rangeBearingCheck",   "hintsCheck",          "compareLinesCheck", "autoTraceCheck",
            "wakeCheck",           "coastlineCheck",      "layLinesCheck",     "boatNamesCheck",
            "enlargeBoatsCheck",   "manoeuvresCheck",     "seaSwatch1",        "seaSwatch2",
            "seaSwatch3",          "seaSwatch4",          "seaSwatch5",        "seaSwatch6",
            "meanWindEdit",        "traceZoomSlider",     "boatScroll",        "boatMark_0",
            "boatName_0",          "raceFileCombo",       "showRaceButton",    "startTimeEdit",
            "finishTimeEdit",      "confirmTimesButton",  "setMarkButton",     "setLineButton",
            "setCourseButton",     "screenPictureButton", "referenceButton",   "windEntryButton",
            "makeCoastlineButton", "helpButton",          "exitButton"};
        QStringList met;
        QWidget* start = s.c("forwardRadio");
        QWidget* w = start;
        do {
            if (designed.contains(w->objectName()) && (w->focusPolicy() & Qt::TabFocus))
                met << w->objectName();
            w = w->nextInFocusChain();
        } while (w && w != start);
        QCOMPARE(met, designed);
    }

    void autoTraceComesOnAfterSevenSeconds() {
        Screen s(kDemo, 2, 0);
        for (int i = 0; i < 6; ++i) s.fire("autoTraceTimer");
        QVERIFY(!s.c<QCheckBox>("autoTraceCheck")->isChecked());
        s.fire("autoTraceTimer");
        QVERIFY(s.c<QCheckBox>("autoTraceCheck")->isChecked());
        QVERIFY(s.w->options().AutoTrace);
        QVERIFY(!s.c("traceZoomPanel")->isHidden());
        QVERIFY(!s.c("wakeCheck")->isEnabled());
        QVERIFY(s.c("boatNamesCheck")->isEnabled());
        QVERIFY(!s.c<QTimer>("autoTraceTimer")->isActive());
        // Switching it off gives the controls back and the home zoom.
        s.c<QCheckBox>("autoTraceCheck")->click();
        QVERIFY(!s.c("boatNamesCheck")->isEnabled());
        QVERIFY(s.c("traceZoomPanel")->isHidden());
        QCOMPARE(s.w->view().Zoom, s.w->view().ZoomHome);
    }

    void boatListKeepsABoatAndTheMarkedBoatsShown() {
        Screen s(kDemo, 1, 0);
        BoatPanel& panel = *s.c<BoatPanel>("BoatPanel");
        const int n = panel.rowCount();
        panel.nameBox(3)->setChecked(false);
        panel.nameReleased(4, Qt::RightButton);
        for (int k = 1; k <= n; ++k) QCOMPARE(s.w->options().BoatShown[k], k == 4);
        panel.nameBox(3)->setChecked(false);
        panel.nameReleased(4, Qt::LeftButton);
        QVERIFY(s.w->options().BoatShown[1]);
        QVERIFY(!s.w->options().BoatShown[4]);
        panel.markBox(6)->setChecked(true);
        panel.markToggled(7, true);
        QVERIFY(s.w->options().BoatShown[7]);
        panel.nameReleased(2, Qt::RightButton);
        QVERIFY(s.w->options().BoatShown[2]);
        QVERIFY(s.w->options().BoatShown[7]);
        QVERIFY(!s.w->options().BoatShown[1]);
    }

    void boatListStandsAloneOnTheFlagsItIsGiven() {
        // Built from a race and the flags given, the list keeps them itself and tells of each
        // change; the flags it was built from stay as they were.
        RaceDefinition race;
        race.BoatCount = 4;
        DisplayOptions start;
        start.resetForRace(4);
        start.BoatShown[2] = false;
        start.BoatMarked[3] = true;
        BoatPanel panel;
        panel.buildRows(race, start, AppSettings{});
        QCOMPARE(panel.rowCount(), 4);
        QVERIFY(panel.shown(1) && !panel.shown(2) && panel.shown(3) && panel.marked(3));
        QVERIFY(!panel.shown(0) && !panel.shown(5) && !panel.marked(5));
        QSignalSpy shownChanged(&panel, &BoatPanel::shownBoatsChanged);
        QSignalSpy markedChanged(&panel, &BoatPanel::markedBoatsChanged);
        panel.nameReleased(1, Qt::RightButton);  // only boat 1, and the marked boat 3
        QCOMPARE(shownChanged.count(), 1);
        QVERIFY(panel.shown(1) && !panel.shown(2) && panel.shown(3) && !panel.shown(4));
        panel.markBox(1)->setChecked(true);  // marking hidden boat 2 shows it
        panel.markToggled(2, true);
        QCOMPARE(markedChanged.count(), 1);
        QCOMPARE(shownChanged.count(), 2);
        QVERIFY(panel.shown(2) && panel.marked(2));
        QVERIFY(!start.BoatShown[2] && !start.BoatMarked[2]);
        panel.clearRows();
        QCOMPARE(panel.rowCount(), 0);
        QVERIFY(!panel.shown(1));
    }

    void boatListFollowsTheMouseButtons() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.showOnScreen());
        BoatPanel& panel = *s.c<BoatPanel>("BoatPanel");
        const int n = panel.rowCount();
        QVERIFY(n >= 6);
        const auto shown = [&] {
            QList<int> boats;
            for (int k = 1; k <= n; ++k) {
                // A box that disagrees with what is drawn shows up as a negative boat.
                if (panel.nameBox(k - 1)->isChecked() != s.w->options().BoatShown[k]) boats << -k;
                if (s.w->options().BoatShown[k]) boats << k;
            }
            return boats;
        };
        const auto click = [&](const char* box, Qt::MouseButton b,
                               Qt::KeyboardModifiers mods = Qt::NoModifier) {
            QWidget* w = s.c(box);
            // On the tick box itself: a short name leaves the rest of the row outside the button.
            QTest::mouseClick(w, b, mods, QPoint(6, w->height() / 2));
            QCoreApplication::processEvents();
        };
        // The left button takes the tick as the user leaves it.
        click("boatName_3", Qt::LeftButton);
        QVERIFY(!shown().contains(4));
        QCOMPARE(shown().size(), n - 1);
        // The right button, with or without a modifier, keeps only that boat, ticked or not.
        click("boatName_3", Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(shown(), QList<int>{4});
        // Unticking the last one brings boat 1 back.
        click("boatName_3", Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(shown(), QList<int>{1});
        // A marked boat is shown at once and cannot be hidden by either button.
        click("boatMark_5", Qt::LeftButton);
        QCOMPARE(shown(), (QList<int>{1, 6}));
        QVERIFY(s.w->options().BoatMarked[6]);
        QVERIFY(s.w->options().focused(6));
        click("boatName_5", Qt::LeftButton);
        QCOMPARE(shown(), (QList<int>{1, 6}));
        click("boatName_2", Qt::RightButton);
        QCOMPARE(shown(), (QList<int>{3, 6}));
        click("boatMark_5", Qt::LeftButton);  // unmarked: stays shown until unticked
        QVERIFY(!s.w->options().BoatMarked[6]);
        click("boatName_5", Qt::LeftButton);
        QCOMPARE(shown(), QList<int>{3});
        // The heading label shows every boat.
        click("allBoatsLabel", Qt::LeftButton);
        QCOMPARE(shown().size(), n);

        // The pointer on a name box focuses that boat and shows the list hint in the
        // boat panel's hint box.
        QTest::mouseMove(s.c("boatName_4"), QPoint(20, 5));
        QCOMPARE(s.w->options().FocusBoat, 4);
        auto* boatHint = s.c<QLabel>("boatHintBox");
        QVERIFY(boatHint->isVisible());
        QVERIFY(boatHint->text().startsWith(QStringLiteral("Cecked boats are focused.")));
        // The bars beside the list are the list's background: the hint goes.
        QTest::mouseMove(s.c("speedBars"), QPoint(5, 5));
        QVERIFY(!boatHint->isVisible());
    }

    void keyStateFollowsTheKeyboard() {
        Screen s(kDemo, 1, 0);
        QVERIFY(s.showOnScreen());
        QWidget* box = s.c("timeMarksCheck");
        QTest::keyPress(box, Qt::Key_Shift);
        QCOMPARE(s.w->lastKeyCode(), 16);
        QTest::keyRelease(box, Qt::Key_Shift);
        QCOMPARE(s.w->lastKeyCode(), 0);
        QTest::keyPress(s.map(), Qt::Key_A);
        QCOMPARE(s.w->lastKeyCode(), int(Qt::Key_A));
        QTest::keyRelease(s.map(), Qt::Key_B);  // any release clears it
        QCOMPARE(s.w->lastKeyCode(), 0);
    }

    void resizingKeepsTheMapSquare() {
        Screen s(kDemo, 1, 0);
        s.w->resize(1000, 900);
        QTest::qWait(150);
        const int panel = s.c("sidePanel")->width();
        QCOMPARE(s.w->layout().mapSize, 1000 - panel - 45);
        QCOMPARE(s.map()->picture().size(), QSize(s.w->layout().mapSize, s.w->layout().mapSize));
        QCOMPARE(s.bar()->height(), s.w->layout().mapSize);
        QCOMPARE(s.bar()->x(), 5 + s.w->layout().mapSize + 5);
        QCOMPARE(RaceLayout::mapSquare(QSize(200, 50), RaceLayout::sidePanelWidth(1.0)),
                 RaceLayout::kMinMapSize);
    }

    void leavingFullModeOffersToSave() {
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        Screen s(app, 2, 1);
        s.sink.setAnswer(MessageAnswer::Yes);
        QString title;
        s.w->setNamePrompt([&](const QString&, const QString& t, const QString& proposal) {
            title = t;
            return std::optional<QString>(proposal.chopped(4) + QStringLiteral("_copy"));
        });
        bool closed = false;
        QObject::connect(s.w.get(), &RaceScreen::closed, [&] { closed = true; });
        s.c<QPushButton>("exitButton")->click();
        QVERIFY(closed);
        QCOMPARE(title, QStringLiteral("Race Control File name"));
        QCOMPARE(QString::fromStdString(s.sink.messages.back().text),
                 QStringLiteral("Save Race Control File？"));
        QVERIFY(QFile::exists(app + QStringLiteral("/RaceAdmin/enoshima_0607_copy.txt")));
        QVERIFY(!s.c<QTimer>("replayTimer")->isActive());
    }

    void raceSetUpStandsAloneWithoutARace() {
        // The set-up piece without a window or a race: its buttons follow what it is told, and
        // what it cannot do without a race is told to the user rather than passed on.
        QWidget panel;
        AppSettings settings;
        settings.Lang = 1;
        CapturingMessageSink sink;
        RaceSetup setup(&panel, settings, sink, nullptr);
        setup.prepare(false);
        auto* course = panel.findChild<QPushButton*>(QStringLiteral("setCourseButton"));
        QVERIFY(!course->isHidden());
        QVERIFY(panel.findChild<QWidget*>(QStringLiteral("helpButton"))->isHidden());  // no pages
        setup.enableSetup(true, 2);
        QVERIFY(course->isEnabled());
        setup.enableSetup(true, 1);  // one mark makes no course
        QVERIFY(!course->isEnabled());
        setup.enableSetup(false, 5);  // auto trace: nothing is set on the chart
        QVERIFY(!course->isEnabled());
        QVERIFY(!panel.findChild<QWidget*>(QStringLiteral("setMarkButton"))->isEnabled());
        QSignalSpy timesSet(&setup, &RaceSetup::timesSet);
        panel.findChild<QPushButton*>(QStringLiteral("confirmTimesButton"))->click();
        QCOMPARE(timesSet.count(), 0);
        QCOMPARE(QString::fromStdString(sink.messages.back().text), badTimesMessage(settings));
        QSignalSpy leaving(&setup, &RaceSetup::leaving);
        panel.findChild<QPushButton*>(QStringLiteral("exitButton"))->click();
        QCOMPARE(leaving.count(), 1);
        QCOMPARE(sink.messages.size(), size_t(1));  // no race: nothing offered for saving
        setup.prepare(true);                        // browser mode: the race list
        auto* list = panel.findChild<QComboBox*>(QStringLiteral("raceFileCombo"));
        QVERIFY(!list->isHidden() && course->isHidden());
        QSignalSpy chosen(&setup, &RaceSetup::raceChosen);
        list->addItem(QStringLiteral("other.txt"));
        panel.findChild<QPushButton*>(QStringLiteral("showRaceButton"))->click();
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].toString(), QStringLiteral("other.txt"));
    }

    void captionsInBothLanguages() {
        int count = 0;
        const ControlCaption* table = raceScreenCaptions(count);
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
        QCOMPARE(en.c<QGroupBox>("orientationBox")->title(), QStringLiteral("Direction"));
        QCOMPARE(ja.c<QLabel>("startTimeLabel")->text(), QStringLiteral("ｽﾀｰﾄ日時"));
        QVERIFY(QFontDatabase::families().contains(uiFontFamily(en.settings)));
        QCOMPARE(en.c("showRaceButton")->font().family(), uiFontFamily(en.settings));
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
        // Blue as far as the boats read, white beyond.
        bar.setProgress(1, 4, QStringLiteral("race.txt"), QStringLiteral("x"));
        const QImage shown = Screen::rendered(&bar);
        const int y = bar.height() - LoadingProgress::kBarHeight / 2;
        QCOMPARE(shown.pixelColor(40, y), QColor(0, 0, 255));
        QCOMPARE(shown.pixelColor(120, y), QColor(Qt::white));
    }

    void timeBarHoverText() {
        AppSettings en;
        en.Lang = 1;
        const QStringList lines = TimeBar::hoverText(125, parseDateTime("2026/06/07 11:00:00"), en)
                                      .split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("11:02:05   (125 Sec)"));
        QCOMPARE(lines[1], QStringLiteral("Click to change the time."));
        QCOMPARE(lines[4], QStringLiteral("Shift+Right click to cancel play back period."));
        AppSettings ja;
        const QString jaText = TimeBar::hoverText(-30, parseDateTime("2026/06/07 11:00:00"), ja);
        QVERIFY(jaText.startsWith(QStringLiteral("10:59:30   (-30 Sec)\n")));
        QVERIFY(jaText.contains(QStringLiteral("Shift+右クリックで時間帯を解除します")));
        // Without a start time only the seconds are shown.
        QVERIFY(TimeBar::hoverText(5, RaceTime(), en).startsWith(QStringLiteral("   (5 Sec)")));
    }

    void splashTitleOverlay() {
        AppSettings ja;
        SplashScreen sj(ja);
        QVERIFY(!sj.japaneseTitleBox->isHidden());
        QCOMPARE(sj.japaneseTitleBox->pos() - sj.titlePictureBox->pos(), QPoint(8, 296));
        AppSettings en;
        en.Lang = 1;
        SplashScreen se(en);
        QVERIFY(se.japaneseTitleBox->isHidden());
        QVERIFY(!se.titlePictureBox->isHidden());
    }
};

QTEST_MAIN(TstRaceScreen)
#include "tst_racescreen.moc"
