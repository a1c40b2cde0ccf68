// The faults a user met on the race screen, each driven as a user drives it (clicks on the time
// bar and the buttons, the replay timer's ticks, a resize) and checked on what the screen shows:
// the map's pixels, the clock panel as flushed to the screen, the finishing list, the controls.
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <set>

#include "racescreen.h"
#include "ui/app/qtmessagesink.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/boatpanel.h"
#include "ui/display/finishlist.h"
#include "ui/display/timepanel.h"
#include "ui/distrib/referenceviewer.h"
#include "ui/race/racelayout.h"

using namespace brisko;
using namespace brisko::test;

namespace {

// The map drawn afresh from the state shown: map off and on redraws the whole background.
QImage freshMap(Screen& s) {
    s.c<QCheckBox>("coastlineCheck")->click();
    s.c<QCheckBox>("coastlineCheck")->click();
    return s.map()->picture().copy();
}

}  // namespace

class TstRaceFaults : public QObject {
    Q_OBJECT
private slots:
    void layLinesFollowingTheWindDoNotPileUp() {
        Screen s(kDemo, 1, 0);
        s.stop();
        s.c<QCheckBox>("layLinesCheck")->click();
        QVERIFY(s.w->options().LayLines);
        // Played at 20 times across several minutes: the demo's wind file moves every minute.
        s.jump(600);
        s.c<QSlider>("replaySpeedSlider")->setValue(11);
        s.c<QRadioButton>("forwardRadio")->click();
        const double from = s.clock().RaceTime;
        std::set<double> winds;
        for (int i = 0; i < 50000 && s.clock().RaceTime < from + 240; ++i) {
            s.fire("replayTimer");
            winds.insert(s.session().windDirNow());
        }
        s.stop();
        QVERIFY(s.clock().RaceTime >= from + 240);
        QVERIFY(winds.size() > 4);
        // On to the next lay-line update: the map shows one set of lay lines, as drawn afresh.
        s.stepTo(std::floor(s.clock().RaceTime / 5) * 5 + 5);
        QImage shown = s.map()->picture().copy();
        QCOMPARE(shown, freshMap(s));
        // Two seconds on the wind has moved past the lay lines shown; time marks drawn over the
        // map now still show one set of lay lines, the current one.
        const double wind = s.session().windDirNow();
        s.stepTo(s.clock().RaceTime + 2);
        QVERIFY(s.session().windDirNow() != wind);
        s.c<QCheckBox>("timeMarksCheck")->click();
        shown = s.map()->picture().copy();
        QCOMPARE(shown, freshMap(s));
    }

    void clockPanelStaysWholeThroughTheGun() {
        // Auto trace on, as it comes on by itself seven seconds after the screen opens: the map is
        // then drawn afresh before each frame, while the flags beside the clock panel come down.
        Screen s(kDemo, 1, 0);
        QVERIFY(s.showOnScreen());
        s.stop();
        s.c<QCheckBox>("autoTraceCheck")->click();
        auto* panel = s.c<TimePanel>("timePanel");
        const QPoint at = panel->pos();
        int looked = 0;
        auto whole = [&](const char* how) {
            const QByteArray where = QStringLiteral("%1 at %2 s")
                                         .arg(QLatin1String(how))
                                         .arg(s.clock().RaceTime)
                                         .toUtf8();
            QVERIFY2(panel->isVisible(), where);
            QVERIFY2(panel->pos() == at, where);
            QVERIFY2(panel->contentsRect().contains(panel->clockLabel->geometry()), where);
            if (!panel->countdownLabel->isHidden())
                QVERIFY2(panel->contentsRect().contains(panel->countdownLabel->geometry()), where);
            // On the screen: the whole panel with its border, the clock and the countdown, just
            // as the panel draws itself.
            QVERIFY2(s.onScreen(panel) == Screen::rendered(panel), where);
            ++looked;
        };
        // Step by step from the blue peter's fall through the gun to the countdown's end.
        s.jump(-65);
        while (s.clock().RaceTime < 12 && !QTest::currentTestFailed()) {
            whole("stepping");
            s.c<QPushButton>("stepForwardButton")->click();
        }
        if (QTest::currentTestFailed()) return;
        // Played through the gun at several speeds.
        for (int slider : {5, 11, 19}) {
            s.stop();
            s.c<QSlider>("replaySpeedSlider")->setValue(slider);
            s.jump(-12);
            s.c<QRadioButton>("forwardRadio")->click();
            // The replay timer's ticks, one at a time, each looked at.
            s.c<QTimer>("replayTimer")->stop();
            for (int i = 0; i < 2000 && s.clock().RaceTime < 12; ++i) {
                s.fire("replayTimer");
                whole("playing");
                if (QTest::currentTestFailed()) return;
            }
        }
        QVERIFY(looked > 100);
    }

    void jumpingWithAutoTraceShowsTheBoats() {
        Screen s(kDemo, 1, 0);
        s.stop();
        s.c<QCheckBox>("autoTraceCheck")->click();
        QVERIFY(s.w->options().AutoTrace);
        for (double t : {300.0, 2400.0, 900.0}) {
            s.jump(t);
            const FrameState& fs = s.session().frame();
            const QImage shown = s.map()->composed();
            int visible = 0, seen = 0;
            for (int k = 1; k <= fs.boatCount; ++k) {
                if (!fs.Boats[k].visible) continue;
                ++visible;
                const ScreenPoint p = s.w->view().toScreen(fs.Boats[k].lat, fs.Boats[k].lon);
                const double size = s.w->layout().mapSize;
                QVERIFY2(p.x >= 0 && p.x <= size && p.y >= 0 && p.y <= size,
                         qPrintable(QStringLiteral("boat %1 at %2").arg(k).arg(t)));
                // The boat in its colour on the map where it is.
                const QColor colour = toQColor(s.w->options().BoatColour[k]);
                bool found = false;
                for (int dy = -4; dy <= 4 && !found; ++dy)
                    for (int dx = -4; dx <= 4 && !found; ++dx)
                        found = shown.valid(int(p.x) + dx, int(p.y) + dy) &&
                                shown.pixelColor(int(p.x) + dx, int(p.y) + dy) == colour;
                seen += found ? 1 : 0;
            }
            QVERIFY(visible > 0);
            QVERIFY2(
                seen * 2 > visible,
                qPrintable(
                    QStringLiteral("%1 of %2 boats drawn at %3").arg(seen).arg(visible).arg(t)));
        }
    }

    void finishingListIsAlwaysTheBoatsFinishedByNow() {
        Screen s(kDemo, 1, 0);
        const FinishInputs fin = s.session().finishInputs();
        QVERIFY(fin.courseCount > 0 && fin.leadFinish > 0);
        auto check = [&](const char* where) {
            const double t = s.clock().RaceTime;
            std::vector<int> expected;
            for (int k = 1; k <= s.race().BoatCount; ++k)
                if (fin.finishTime[k] > 0 && fin.finishTime[k] <= t) expected.push_back(k);
            std::sort(expected.begin(), expected.end(),
                      [&](int a, int b) { return fin.finishTime[a] < fin.finishTime[b]; });
            const FrameState& fs = s.session().frame();
            QVERIFY2(fs.FinishCount == static_cast<int>(expected.size()), where);
            for (size_t i = 0; i < expected.size(); ++i)
                QVERIFY2(fs.FinishOrder[i + 1] == expected[i], where);
            // The list on the map: one row a finisher, hidden before the first finish.
            FinishList* list = s.finishList();
            QCOMPARE(list->shownCount(), fs.FinishCount);
            QVERIFY2(list->isVisibleTo(s.map()) == (fs.FinishCount > 0), where);
            if (fs.FinishCount > 0) QCOMPARE(list->height(), FinishList::heightFor(fs.FinishCount));
        };
        // The demo's finishes lie between the first finish and two minutes after it.
        double last = 0;
        for (int k = 1; k <= s.race().BoatCount; ++k) last = std::max(last, fin.finishTime[k]);
        QVERIFY(last > fin.leadFinish + 60);
        const double between = (fin.leadFinish + last) / 2;
        s.stop();
        s.jump(last + 5);
        check("after the last finish");
        // Backwards through the finishes, tick by tick, then forwards again from the middle.
        s.c<QSlider>("replaySpeedSlider")->setValue(19);
        s.c<QRadioButton>("backwardRadio")->click();
        for (int i = 0; i < 20000 && s.clock().RaceTime > between && !QTest::currentTestFailed();
             ++i) {
            s.fire("replayTimer");
            check("playing backwards");
        }
        QVERIFY(s.clock().RaceTime <= between);
        s.stop();
        s.jump(last + 5);
        s.jump(between);
        check("after a jump back");
        s.c<QRadioButton>("forwardRadio")->click();
        for (int i = 0; i < 20000 && s.clock().RaceTime < last && !QTest::currentTestFailed();
             ++i) {
            s.fire("replayTimer");
            check("playing forwards again");
        }
        s.stop();
        s.c<QPushButton>("stepBackwardButton")->click();
        check("one step back");
    }

    void referenceFilesAndHelpOpenFromTheRaceScreen() {
        // The demo race has no attachments: its reference button stays off, without a
        // "not available" hint, since there is simply nothing to show.
        Screen demo(kDemo, 2, 1);
        QVERIFY(!demo.c("referenceButton")->isEnabled());
        QVERIFY(demo.c("referenceButton")->toolTip().isEmpty());

        // A race with an attachment and help pages: both buttons open what they name.
        QTemporaryDir dir;
        const QString app = dir.path();
        QVERIFY(copyTree(kDemo, app));
        const QString raceFile = app + "/RaceAdmin/" + QString::fromStdString(kDemoRace);
        QVERIFY(writeAll(raceFile, readAll(raceFile) + "AT, results.txt\r\n"));
        QVERIFY(QDir(app).mkpath("attachment") && QDir(app).mkpath("help"));
        writeText(app + "/attachment/results.txt", "1 SEABIRD\n");
        writeText(app + "/help/index.html", "<html></html>");
        FakePlatform platform;
        Screen s(app, 2, 0, kDemoRace, &platform);
        QPushButton* reference = s.c<QPushButton>("referenceButton");
        QVERIFY(reference->isEnabled());
        reference->click();
        ReferenceViewer* viewer = s.w->findChild<ReferenceViewer*>();
        QVERIFY(viewer);
        QCOMPARE(viewer->attachmentList->count(), 1);
        QCOMPARE(viewer->attachmentList->item(0)->text(), QStringLiteral("results.txt"));
        QTest::mouseClick(
            viewer->attachmentList->viewport(), Qt::LeftButton, Qt::NoModifier,
            viewer->attachmentList->visualItemRect(viewer->attachmentList->item(0)).center());
        QCOMPARE(platform.opened.size(), size_t(1));
        QVERIFY(QString::fromStdString(platform.opened[0]).endsWith("attachment/results.txt"));

        QPushButton* help = s.c<QPushButton>("helpButton");
        QVERIFY(help->isEnabled());
        help->click();
        QCOMPARE(platform.opened.size(), size_t(2));
        QVERIFY(QString::fromStdString(platform.opened[1]).endsWith("help/index.html"));
        QVERIFY(s.sink.messages.empty());

        // When the desktop cannot open the page, the user is told why.
        platform.openResult = "no program for this document";
        help->click();
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(s.sink.messages[0].text, std::string("no program for this document"));
    }

    void smallestWindowKeepsEverythingReadable() {
        Screen s(kDemo, 2, 0);
        s.w->show();
        s.w->resize(100, 100);
        QTest::qWait(150);
        const QSize min = s.w->minimumSize();
        QVERIFY(min.width() >= 640 && min.height() >= 480);
        QCOMPARE(s.w->size(), min);
        // Every shown control of the side panel gets at least the height it needs, and none
        // overlaps another.
        QList<QWidget*> shown;
        for (QWidget* c : s.c("sidePanel")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (c->isVisible() && !c->isWindow()) shown << c;
        QVERIFY(shown.size() > 20);
        for (QWidget* c : shown) {
            QVERIFY2(c->height() >= c->minimumSizeHint().height(), qPrintable(c->objectName()));
            for (QWidget* d : shown)
                if (c != d)
                    QVERIFY2(!c->geometry().intersects(d->geometry()),
                             qPrintable(c->objectName() + QStringLiteral(" / ") + d->objectName()));
        }
        QVERIFY(s.map()->width() >= RaceLayout::kMinMapSize);
        // The map, the time bar and the side panel side by side, all inside the window.
        QVERIFY(s.map()->geometry().right() < s.bar()->x());
        QVERIFY(s.bar()->geometry().right() < s.c("sidePanel")->x());
        QVERIFY(s.w->rect().contains(s.c("sidePanel")->geometry()));
    }

    void finishingListClearsTheClockPanelOnTheSmallestWindow() {
        // At the smallest window the map is too narrow for the clock panel and the finishing
        // list side by side: the list goes below the panel rather than under it.
        Screen s(kDemo, 1, 0);
        s.w->show();
        s.w->resize(100, 100);
        QTest::qWait(150);
        const FinishInputs fin = s.session().finishInputs();
        double last = 0;
        for (int k = 1; k <= s.race().BoatCount; ++k) last = std::max(last, fin.finishTime[k]);
        s.stop();
        s.jump(last + 5);
        FinishList* list = s.finishList();
        QVERIFY(list->isVisibleTo(s.map()));
        const QRect panel = s.c("timePanel")->geometry();
        const QRect listOnWindow(s.map()->mapTo(s.w.get(), list->pos()), list->size());
        QVERIFY2(!listOnWindow.intersects(panel), "the finishing list lies under the clock panel");
        QVERIFY(s.map()->rect().contains(list->geometry()));
        // On a large window the list keeps its place at the top right.
        s.w->resize(1280, 900);
        QTest::qWait(150);
        s.jump(last + 5);
        QCOMPARE(list->y(), FinishList::kTop);
    }

    void windRowAndBoatListHaveHeadings() {
        Screen ja(kDemo, 1, 0);
        QCOMPARE(ja.c<QLabel>("meanWindLabel")->text(), QStringLiteral("平均風向"));
        QCOMPARE(ja.c<QLabel>("HeadingSpeed")->text(), QStringLiteral("艇速"));
        Screen en(kDemo, 1, 1);
        QCOMPARE(en.c<QLabel>("meanWindLabel")->text(), QStringLiteral("Mean wind"));
        QCOMPARE(en.c<QLabel>("windNowLabel")->text(), QStringLiteral("Wind now"));
        QCOMPARE(en.c<QLabel>("HeadingTwa")->text(), QStringLiteral("TWA"));
        QVERIFY(en.c("windNowLabel")->isVisibleTo(en.w.get()) || !en.session().data().WindShown);
        // Each heading stands over its column.
        BoatPanel* panel = en.c<BoatPanel>("BoatPanel");
        QCOMPARE(en.c("HeadingSpeed")->x(), panel->speedLabel(0)->x());
        QCOMPARE(en.c("HeadingTwa")->x(), panel->twaLabel(0)->x());
    }

    void homeViewShowsTheBoatsStillRacing() {
        // Orca retires in the demo after the second mark and sails home, far from the course.
        Screen s(kDemo, 1, 0);
        const int orca = 7;
        QCOMPARE(QString::fromStdString(s.race().Boats[orca].BoatName), QStringLiteral("Orca"));
        const FinishInputs fin = s.session().finishInputs();
        QVERIFY(!(fin.finishTime[orca] > 0));
        const MapView& v = s.w->view();
        const TrackStore& t = s.session().tracks();
        auto inBox = [&](const MapView& view, int k) {
            int inside = 0;
            for (int i = 1; i <= t.TrkCount(k); ++i)
                inside += view.insideStrict(view.toScreen(t.TrkLat(k, i), t.TrkLon(k, i)));
            return inside == t.TrkCount(k);
        };
        QVERIFY(v.Zoom > 1.2);
        for (int k = 1; k <= s.race().BoatCount; ++k)
            if (k != orca) QVERIFY2(inBox(v, k), qPrintable(QString::number(k)));
        QVERIFY(!inBox(v, orca));
        // Zooming out past the floor shows the retired boat's whole track.
        MapView out = v;
        out.Zoom = 0.55;
        out.applyZoomFloor();
        out.recompute();
        QVERIFY(inBox(out, orca));
        // Auto trace off goes back to this home view.
        s.c<QCheckBox>("autoTraceCheck")->click();
        s.c<QCheckBox>("autoTraceCheck")->click();
        QCOMPARE(s.w->view().Zoom, v.ZoomHome);

        // The same race without Orca: the home view is the whole race area at zoom 1.
        QTemporaryDir tmp;
        const QString app = tmp.path() + QStringLiteral("/demo");
        QVERIFY(copyTree(kDemo, app));
        const QString file = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");
        QByteArray text = readAll(file);
        const int at = text.indexOf("BN, JPN3512.trk");
        QVERIFY(at > 0);
        text.remove(at, text.indexOf('\n', at) + 1 - at);
        QVERIFY(writeAll(file, text));
        Screen ordinary(app, 1, 0);
        QCOMPARE(ordinary.race().BoatCount, 9);
        QCOMPARE(ordinary.w->view().Zoom, 1.0);
        QCOMPARE(ordinary.w->view().ZoomHome, 1.0);
        QCOMPARE(ordinary.w->view().CenterLat, ordinary.session().tracks().HomeLat);
        QCOMPARE(ordinary.w->view().CenterLon, ordinary.session().tracks().HomeLon);
    }

    void questionsOfTheJapaneseScreenAnswerInJapanese() {
        AppSettings settings;
        settings.AppPath = kDemo.toStdString();
        settings.EditionMode = 2;
        settings.Lang = 0;
        settings.ProductTitle = "ブリスコ";
        QtMessageSink sink("ブリスコ");
        sink.setJapanese(!settings.english());
        RaceScreen w(settings, kDemoRace, sink, nullptr);
        w.openFirstRace();
        QStringList buttons;
        QString question;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            question = box->text();
            for (QAbstractButton* b : box->buttons()) buttons << b->text();
            box->button(QMessageBox::No)->click();
        });
        // Leaving the full mode screen asks whether to save the race file.
        w.findChild<QPushButton*>(QStringLiteral("exitButton"))->click();
        QCOMPARE(question, QStringLiteral("管理ファイルを保存しますか？"));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("いいえ"), QStringLiteral("はい")}));
    }
};

QTEST_MAIN(TstRaceFaults)
#include "tst_racefaults.moc"
