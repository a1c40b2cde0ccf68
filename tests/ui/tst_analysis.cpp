// The race screen's analysis views driven as a user drives them: the view buttons and back, the
// table kinds, ticking boats, wind entry on the graph saved and read back, a typed wind
// direction written to the race file, and the screen picture read back from its bitmap file.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include "analysis/speedgraph.h"
#include "race/racecontrolfile.h"
#include "racescreen.h"
#include "track/windfile.h"
#include "ui/analysis/analysisviews.h"
#include "ui/analysis/screenpicture.h"
#include "ui/display/boatpanel.h"
#include "ui/widgets/colour.h"
#include "ui/widgets/picturewidget.h"

using namespace brisko;
using namespace brisko::test;

namespace {

QImage picture(Screen& s, const char* name) { return s.c<PictureWidget>(name)->picture().copy(); }

// A click on the graph at the direction and time given.
void clickGraph(Screen& s, double dir, double t) {
    const SpeedGraphScale& g = s.w->analysis().graphScale();
    auto* gpic = s.c<PictureWidget>("speedGraphPicture");
    QTest::mouseClick(gpic, Qt::LeftButton, Qt::NoModifier,
                      QPoint(qRound(g.xForDirection(dir)), qRound(g.yForTime(t))));
}

}  // namespace

class TstAnalysis : public QObject {
    Q_OBJECT
private slots:
    // The pictures a user reads and prints, pixel for pixel: the demo's speed graph and its four
    // leg-analysis tables in both languages. A change of layout, colour or number shows here;
    // BRISKO_UPDATE_GOLDEN=1 writes the golden files afresh after a change meant to be seen.
    void picturesMatchTheirGoldenFiles() {
        const QString golden = QStringLiteral(BRISKO_TEST_DATA "/golden/pictures/");
        const bool update = qEnvironmentVariable("BRISKO_UPDATE_GOLDEN") == QLatin1String("1");
        QStringList differing;
        auto check = [&](const QImage& shot, const QString& name) {
            const QString path = golden + name + QStringLiteral(".png");
            const QImage img = shot.convertToFormat(QImage::Format_RGB32);
            if (update) {
                QDir().mkpath(golden);
                QVERIFY(img.save(path));
                return;
            }
            const QImage want = QImage(path).convertToFormat(QImage::Format_RGB32);
            if (want.size() != img.size()) {
                differing << QStringLiteral("%1: %2x%3, not %4x%5")
                                 .arg(name)
                                 .arg(img.width())
                                 .arg(img.height())
                                 .arg(want.width())
                                 .arg(want.height());
            } else if (want != img) {
                int n = 0;
                for (int y = 0; y < img.height(); ++y)
                    for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) != want.pixel(x, y);
                differing << QStringLiteral("%1: %2 pixels differ").arg(name).arg(n);
            }
            if (want != img) img.save(QDir::temp().filePath(name + QStringLiteral("-actual.png")));
        };
        for (int lang : {0, 1}) {
            const QString suffix = lang ? QStringLiteral("_en") : QStringLiteral("_ja");
            Screen s(kDemo, 1, lang);
            s.c<QRadioButton>("speedGraphRadio")->click();
            check(picture(s, "speedGraphPicture"), QStringLiteral("speedgraph") + suffix);
            s.c<QRadioButton>("dataViewRadio")->click();
            for (const char* kind :
                 {"timeTableRadio", "distanceTableRadio", "speedTableRadio", "factorTableRadio"}) {
                s.c<QRadioButton>(kind)->click();
                check(picture(s, "tablePicture"),
                      QString::fromLatin1(kind).remove(QStringLiteral("Radio")) + suffix);
            }
        }
        QVERIFY2(differing.isEmpty(), qPrintable(differing.join(QStringLiteral("; "))));
    }

    void viewsSwitchAndReturn() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.c("speedGraphRadio")->isEnabled());
        QVERIFY(s.c("dataViewRadio")->isEnabled());
        s.c<QRadioButton>("speedGraphRadio")->click();
        QCOMPARE(s.w->options().ViewMode, ViewModeKind::SpeedGraph);
        QVERIFY(!s.c("speedGraphArea")->isHidden());
        QVERIFY(s.map()->isHidden());
        s.c<QRadioButton>("dataViewRadio")->click();
        QCOMPARE(s.w->options().ViewMode, ViewModeKind::Analysis);
        QVERIFY(!s.c("DataView")->isHidden());
        QVERIFY(s.c("speedGraphArea")->isHidden());
        QVERIFY(!s.c<QTimer>("replayTimer")->isActive());  // the data view pauses the replay
        // Every table kind draws; the factor analysis and back redraws everything.
        const QImage time = picture(s, "tablePicture");
        s.c<QRadioButton>("factorTableRadio")->click();
        const QImage factor = picture(s, "tablePicture");
        QVERIFY(factor != time);
        s.c<QRadioButton>("distanceTableRadio")->click();
        QVERIFY(picture(s, "tablePicture") != factor);
        s.c<QRadioButton>("timeTableRadio")->click();
        QCOMPARE(picture(s, "tablePicture"), time);
        // "Exit" returns to the graph shown before the data view.
        s.c<QPushButton>("dataViewExitButton")->click();
        QCOMPARE(s.w->options().ViewMode, ViewModeKind::SpeedGraph);
        QVERIFY(s.c<QRadioButton>("speedGraphRadio")->isChecked());
        QVERIFY(s.c<QTimer>("replayTimer")->isActive());
        s.c<QRadioButton>("trackViewRadio")->click();
        QCOMPARE(s.w->options().ViewMode, ViewModeKind::Map);
        QVERIFY(!s.map()->isHidden());
        QVERIFY(s.c("speedGraphArea")->isHidden());
        // From the map, the data view's "Exit" returns to the map.
        s.c<QRadioButton>("dataViewRadio")->click();
        s.c<QPushButton>("dataViewExitButton")->click();
        QCOMPARE(s.w->options().ViewMode, ViewModeKind::Map);
    }

    void measuringAndTheReplayFollowTheViewChosen() {
        Screen s(kDemo, 1, 0);
        auto* measure = s.c<QCheckBox>("rangeBearingCheck");
        auto* replay = s.c<QTimer>("replayTimer");
        s.stop();
        measure->click();
        QVERIFY(measure->isChecked());
        // Range and bearing is a chart tool: the graph takes it away, with the clock panel.
        s.c<QRadioButton>("speedGraphRadio")->click();
        QVERIFY(!measure->isChecked() && !measure->isEnabled());
        QVERIFY(s.c("timePanel")->isHidden());
        // Back on the chart, stopped: measuring again, and the replay stays stopped.
        s.c<QRadioButton>("trackViewRadio")->click();
        QVERIFY(measure->isEnabled());
        QVERIFY(!s.c("timePanel")->isHidden());
        QVERIFY(!replay->isActive());
        // While the replay runs the chart offers no measuring; the tables pause the replay and
        // leaving them lets it run on.
        s.c<QRadioButton>("forwardRadio")->click();
        s.c<QRadioButton>("dataViewRadio")->click();
        QVERIFY(!replay->isActive());
        s.c<QPushButton>("dataViewExitButton")->click();
        QVERIFY(replay->isActive());
        QVERIFY(!measure->isEnabled());
    }

    void tickingABoatRedrawsTableAndGraph() {
        Screen s(kDemo, 1, 0);
        BoatPanel& panel = *s.c<BoatPanel>("BoatPanel");
        s.c<QRadioButton>("dataViewRadio")->click();
        const QImage table = picture(s, "tablePicture");
        QTest::mouseClick(panel.nameBox(1), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(!s.w->options().BoatShown[2]);
        const QImage unticked = picture(s, "tablePicture");
        QVERIFY(unticked != table);
        s.c<QRadioButton>("speedGraphRadio")->click();
        const QImage graph = picture(s, "speedGraphPicture");
        QTest::mouseClick(panel.nameBox(1), Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY(s.w->options().BoatShown[2]);
        QVERIFY(picture(s, "speedGraphPicture") != graph);
    }

    void speedGraphDrawsMagneticCourses() {
        // The demo's variation is 7 degrees west: a true course of 100 is 107 magnetic. Boat 1's
        // line (drawn over the others) passes through its magnetic course at each sample's time;
        // the same course 7 degrees the other way is met only where the course swings by 14.
        Screen s(kDemo, 1, 1);
        QCOMPARE(s.race().MagneticVariation, -7.0);
        s.c<QRadioButton>("speedGraphRadio")->click();
        const QImage graph = picture(s, "speedGraphPicture");
        const SpeedGraphScale& g = s.w->analysis().graphScale();
        const TrackStore& t = s.session().tracks();
        const QColor boat1 = toQColor(s.w->options().BoatColour[1]);
        auto drawnAt = [&](double dir, double y) {
            const int x = qRound(g.xForDirection(dir)), row = qRound(y);
            for (int dx = -1; dx <= 1; ++dx)
                if (graph.valid(x + dx, row) && graph.pixelColor(x + dx, row) == boat1) return true;
            return false;
        };
        int samples = 0, magnetic = 0, flipped = 0;
        for (int i = 1; i <= t.TrkCount(1); ++i) {
            const double sec = t.TrkSec(1, i);
            if (sec < 60 || sec > s.race().RaceSeconds - 60) continue;
            ++samples;
            const double y = g.yForTime(sec);
            magnetic += drawnAt(t.TrkCourse(1, i) + 7, y);
            flipped += drawnAt(t.TrkCourse(1, i) - 7, y);
        }
        const QString counts = QStringLiteral(
                                   "%1 of %2 samples on the magnetic course, %3 on the "
                                   "flipped one")
                                   .arg(magnetic)
                                   .arg(samples)
                                   .arg(flipped);
        QVERIFY(samples > 100);
        QVERIFY2(magnetic > samples * 2 / 3, qPrintable(counts));
        QVERIFY2(flipped * 3 < magnetic, qPrintable(counts));
    }

    void windEntrySavedAndReadBack() {
        QTemporaryDir dir;
        QVERIFY(copyTree(kDemo, dir.path()));
        Screen s(dir.path(), 2, 1);
        s.sink.setAnswer(MessageAnswer::Yes);
        const QString windFile = dir.path() + "/WINDDAT/enoshima_0607_WIND.CSV";
        const QByteArray before = readAll(windFile);
        s.c<QRadioButton>("speedGraphRadio")->click();
        s.c<QPushButton>("windEntryButton")->click();  // the race has wind data: overwrite? yes
        QVERIFY(s.w->analysis().windEntryMode());
        QCOMPARE(s.sink.messages.size(), size_t(1));
        QCOMPARE(QString::fromStdString(s.sink.messages[0].title),
                 QStringLiteral("Overwrite of wind file "));
        QVERIFY(!s.c<QTimer>("replayTimer")->isActive());
        clickGraph(s, 200, 1200);
        clickGraph(s, 210, 300);
        clickGraph(s, 190, 2400);
        QCOMPARE(s.w->analysis().windEntryCount(), 4);
        s.c<QPushButton>("windEntryButton")->click();  // save? yes
        QVERIFY(!s.w->analysis().windEntryMode());
        QCOMPARE(QString::fromStdString(s.sink.messages.back().text),
                 QStringLiteral("Do you want to save Wind Data File ?"));
        // The old file is kept beside the new one, which reads back as entered.
        QCOMPARE(readAll(windFile + ".bak"), before);
        WindStore back;
        const WindReadResult r = readWindFile(windFile.toStdString(), s.race(), back);
        QVERIFY(r.ok);
        const double secs[] = {300, 1200, 2400};
        const double dirs[] = {210, 200, 190};
        int found = 0;
        for (int i = 1; i <= back.WindCount; ++i)
            for (int j = 0; j < 3; ++j)
                if (std::abs(back.WindSec[i] - secs[j]) <= 5 &&
                    std::abs(back.WindDir[i] - dirs[j]) <= 1.5)
                    ++found;
        QCOMPARE(found, 3);
        for (int i = 2; i <= back.WindCount; ++i) QVERIFY(back.WindSec[i - 1] <= back.WindSec[i]);
        // A second entry saved in the same run replaces the wind file but not its ".bak": that
        // keeps the file as it was before the first save.
        const QByteArray firstSave = readAll(windFile);
        s.c<QPushButton>("windEntryButton")->click();  // overwrite? yes
        clickGraph(s, 180, 900);
        clickGraph(s, 170, 1800);
        s.c<QPushButton>("windEntryButton")->click();  // save? yes
        QVERIFY(readAll(windFile) != firstSave);
        QCOMPARE(readAll(windFile + ".bak"), before);
        // Nor does one after the race was set up again in the same run (its times confirmed,
        // the race file not saved under a new name).
        s.w->setNamePrompt([](const QString&, const QString&, const QString&) {
            return std::optional<QString>();
        });
        const RaceSession* firstSession = s.w->session();
        s.c<QPushButton>("confirmTimesButton")->click();
        QVERIFY(s.w->session() != firstSession);
        s.c<QRadioButton>("speedGraphRadio")->click();
        s.c<QPushButton>("windEntryButton")->click();
        clickGraph(s, 185, 700);
        clickGraph(s, 175, 1500);
        s.c<QPushButton>("windEntryButton")->click();
        QVERIFY(readAll(windFile).contains(",0,185\r\n"));
        QCOMPARE(readAll(windFile + ".bak"), before);
        // A single click then stop: no question, nothing written.
        const size_t asked = s.sink.messages.size();
        s.c<QPushButton>("windEntryButton")->click();
        clickGraph(s, 100, 600);
        s.c<QPushButton>("windEntryButton")->click();
        QVERIFY(!s.w->analysis().windEntryMode());
        QCOMPARE(s.sink.messages.size(), asked + 1);  // only the overwrite question
    }

    void windEnteredForARaceWithoutWindIsNamedInItsFileOrTheFailureSaid() {
        // The demo without its wind file: the race file names none.
        auto withoutWind = [](const QString& app) {
            QVERIFY(copyTree(kDemo, app));
            const QString race = app + "/RaceAdmin/enoshima_0607.txt";
            QByteArray kept;
            for (const QByteArray& line : readAll(race).split('\n'))
                if (!line.startsWith("WF,") && !line.isEmpty()) kept += line + '\n';
            QVERIFY(writeAll(race, kept));
            QVERIFY(QFile::remove(app + "/WINDDAT/enoshima_0607_WIND.CSV"));
        };
        auto enterWind = [](Screen& s) {
            s.c<QRadioButton>("speedGraphRadio")->click();
            s.c<QPushButton>("windEntryButton")->click();  // no wind file: nothing to overwrite
            QVERIFY(s.w->analysis().windEntryMode());
            clickGraph(s, 200, 600);
            clickGraph(s, 210, 1500);
            clickGraph(s, 190, 2400);
            s.c<QPushButton>("windEntryButton")->click();  // save? yes
            QVERIFY(!s.w->analysis().windEntryMode());
        };
        QTemporaryDir dir;
        const QString app = dir.path() + "/app";
        withoutWind(app);
        {
            Screen s(app, 2, 1);
            s.sink.setAnswer(MessageAnswer::Yes);
            QVERIFY(s.race().WindFileName.empty());
            QVERIFY(!s.session().data().WindShown);
            enterWind(s);
            QCOMPARE(QString::fromStdString(s.sink.messages.back().text),
                     QStringLiteral("Do you want to save Wind Data File ?"));
            // The new wind file is shown, and named in the race file for the next opening.
            QVERIFY(QFile::exists(app + "/WINDDAT/enoshima_0607_WIND.CSV"));
            QCOMPARE(s.race().WindFileName, std::string("enoshima_0607_WIND.CSV"));
            QVERIFY(s.session().data().WindShown);
            RaceDefinition onDisk;
            onDisk.RaceFileName = kDemoRace;
            CapturingMessageSink quiet;
            QVERIFY(readRaceControlFile(s.settings, onDisk, quiet).ok);
            QCOMPARE(onDisk.WindFileName, std::string("enoshima_0607_WIND.CSV"));
        }
        // A wind folder that is a file: nothing can be saved, and the user is told so.
        const QString broken = dir.path() + "/broken";
        withoutWind(broken);
        QVERIFY(QDir(broken + "/WINDDAT").removeRecursively());
        writeText(broken + "/WINDDAT", "not a folder");
        Screen s(broken, 2, 1);
        s.sink.setAnswer(MessageAnswer::Yes);
        enterWind(s);
        QVERIFY(QString::fromStdString(s.sink.messages.back().text)
                    .startsWith(QStringLiteral("The wind file could not be saved: ")));
        QVERIFY(s.race().WindFileName.empty());
    }

    void typedWindDirectionWrittenToTheRaceFile() {
        QTemporaryDir dir;
        QVERIFY(copyTree(kDemo, dir.path()));
        Screen s(dir.path(), 2, 0);
        auto* meanWind = s.c<QLineEdit>("meanWindEdit");
        QVERIFY(meanWind->isEnabled());
        QTest::mouseClick(meanWind, Qt::LeftButton);
        meanWind->selectAll();
        QTest::keyClicks(meanWind, "245");
        QCOMPARE(s.race().MeanWindDir, 245.0);
        QCOMPARE(s.w->view().ViewRotation, 245.0);  // wind up: the map turns to it
        AppSettings settings = s.settings;
        RaceDefinition onDisk;
        onDisk.RaceFileName = kDemoRace;
        CapturingMessageSink quiet;
        QVERIFY(readRaceControlFile(settings, onDisk, quiet).ok);
        QCOMPARE(onDisk.MeanWindDir, 245.0);
        meanWind->selectAll();
        QTest::keyClicks(meanWind, "400");
        QCOMPARE(s.race().MeanWindDir, 0.0);
        // North up the map stays as it is.
        s.c<QRadioButton>("northUpRadio")->click();
        meanWind->selectAll();
        QTest::keyClicks(meanWind, "90");
        QCOMPARE(s.race().MeanWindDir, 90.0);
        QCOMPARE(s.w->view().ViewRotation, 0.0);
    }

    void onlyTypingInTheMeanWindBoxWritesTheRaceFile() {
        // Once the box was clicked into, the direction the screen puts there itself for the
        // next race shown is not typing: that race's file is left as it is.
        QTemporaryDir dir;
        QVERIFY(copyTree(kDemo, dir.path()));
        const QString other = dir.path() + QStringLiteral("/RaceAdmin/other.txt");
        QByteArray bytes = readAll(dir.path() + QStringLiteral("/RaceAdmin/enoshima_0607.txt"));
        QVERIFY(bytes.contains("WD,  205"));
        bytes.replace("WD,  205", "WD,  230");
        QVERIFY(writeAll(other, bytes));
        Screen s(dir.path(), 1, 0);
        auto* meanWind = s.c<QLineEdit>("meanWindEdit");
        QTest::mouseClick(meanWind, Qt::LeftButton);
        auto* races = s.c<QComboBox>("raceFileCombo");
        races->setCurrentIndex(races->findText(QStringLiteral("other.txt")));
        s.c<QPushButton>("showRaceButton")->click();
        QCOMPARE(s.session().shownFile(), std::string("other.txt"));
        QCOMPARE(meanWind->text(), QStringLiteral("230"));
        QCOMPARE(readAll(other), bytes);
        QVERIFY(!QFile::exists(other + QStringLiteral(".bak")));
    }

    void windStripOpensUnderTheDial() {
        Screen s(kDemo, 1, 1);
        QVERIFY(s.session().data().WindShown);
        QWidget* dial = s.c("windPicture");
        QWidget* strip = s.c("WindStrip");
        QVERIFY(strip->isHidden());  // it would cover the boat list as the race opens
        QTest::mouseClick(dial, Qt::LeftButton);
        QVERIFY(!strip->isHidden());
        QCOMPARE(strip->geometry(),
                 QRect(dial->x(), dial->geometry().bottom() + 1, dial->width(), dial->width()));
        QCOMPARE(picture(s, "WindStrip").size(), strip->size());
        QTest::mouseClick(strip, Qt::LeftButton);
        QVERIFY(strip->isHidden());
    }

    void timeBarStripFollowsATypedWind() {
        QTemporaryDir dir;
        QVERIFY(copyTree(kDemo, dir.path()));
        Screen s(dir.path(), 2, 0);
        const QImage before = s.bar()->strip().copy();
        auto* meanWind = s.c<QLineEdit>("meanWindEdit");
        QTest::mouseClick(meanWind, Qt::LeftButton);
        meanWind->selectAll();
        QTest::keyClicks(meanWind, "25");  // the other way round: upwind and downwind swap
        QCOMPARE(s.race().MeanWindDir, 25.0);
        QVERIFY(s.bar()->strip() != before);
    }

    void screenPictureWithLegend() {
        QTemporaryDir dir;
        QVERIFY(copyTree(kDemo, dir.path()));
        Screen s(dir.path(), 1, 1);
        FakePlatform platform;
        // The window under test has no platform: build a second one that has.
        RaceScreen w(s.settings, kDemoRace, s.sink, &platform);
        w.resize(1200, 820);
        w.openFirstRace();
        auto* pictureButton = w.findChild<QPushButton*>(QStringLiteral("screenPictureButton"));
        QVERIFY(pictureButton->isEnabled());
        w.findChild<QRadioButton*>(QStringLiteral("dataViewRadio"))->click();
        pictureButton->click();
        pictureButton->click();  // the second press replaces the first picture
        QCOMPARE(platform.opened.size(), size_t(2));
        const QString path = QString::fromStdString(platform.opened[0]);
        QVERIFY(path.endsWith(QStringLiteral("/無題.bmp")));
        QImage img(path);
        QVERIFY(!img.isNull());
        QCOMPARE(readAll(path).left(2), QByteArray("BM"));
        const auto* table = w.findChild<PictureWidget*>(QStringLiteral("tablePicture"));
        const auto* overview = w.findChild<PictureWidget*>(QStringLiteral("overviewPicture"));
        QCOMPARE(img.width(), table->width() + overview->width() + 15);
        QVERIFY(img.height() >= table->height() + 10);
        ScreenPictureParts parts;
        parts.overview = QImage(overview->size(), QImage::Format_RGB32);
        QFont f = overview->font();
        f.setPointSizeF(9);
        parts.font = f;
        const int top = legendTop(parts);
        const int x = table->width() + 10 + overview->width() - 6;
        const int boats = w.session()->boatCount();
        for (int b = 1; b <= boats; ++b) {
            const Rgb c = w.options().BoatColour[b];
            QCOMPARE(QColor(img.pixel(x, top + kLegendPitch * (b - 1) + 6)), QColor(c.r, c.g, c.b));
        }
    }
};

QTEST_MAIN(TstAnalysis)
#include "tst_analysis.moc"
