// The race screen's "Make coastline" button, clicked as a user would: on a copy of the demo
// whose coastline is gone, with a stand-in for gmt (tiles, MAP record, the chart's coast, the
// button afterwards), without gmt, with a coastline folder that refuses the tiles; and once
// with the real gmt on the Valencia race.
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <filesystem>

#include "session/racesession.h"
#include "racescreen.h"
#include "ui/widgets/picturewidget.h"
#include "ui/race/racescreen.h"

using namespace brisko;
using namespace brisko::test;

namespace {

const QByteArray kMapRecord = "MAP, 5239\r\n";

// A copy of the demo without its coastline tiles, and its race file without the MAP record.
struct CoastlessDemo {
    QTemporaryDir dir;
    QString app, raceFile;
    QByteArray demoRace;
    bool ready = false;
    CoastlessDemo() {
        app = dir.path() + QStringLiteral("/app");
        raceFile = app + QStringLiteral("/RaceAdmin/enoshima_0607.txt");
        if (!copyTree(kDemo, app)) return;
        QDir(app + QStringLiteral("/coastline")).removeRecursively();
        demoRace = readAll(raceFile);
        QByteArray stripped = demoRace;
        stripped.replace(kMapRecord, QByteArray());
        ready =
            stripped.size() + kMapRecord.size() == demoRace.size() && writeAll(raceFile, stripped);
    }
};

// A stand-in for gmt that prints one shore running north past a point (minutes of arc), a
// little east of it, and counts how often it was asked.
struct FakeGmt {
    int calls = 0;
    ProgramRun answer;
    static FakeGmt shoreBeside(double lat, double lon) {
        FakeGmt g;
        g.answer.status = 0;
        QString text = QStringLiteral("> Shore Bin # 1, Level 1\n");
        for (int i = -4; i <= 4; ++i)
            text += QStringLiteral("%1\t%2\n")
                        .arg((lon + 0.2 + 0.02 * (i % 2)) / 60, 0, 'f', 6)
                        .arg((lat + 0.1 * i) / 60, 0, 'f', 6);
        g.answer.out = text.toStdString();
        return g;
    }
    // Past the centre of the chart shown.
    static FakeGmt shoreOnChart(const RaceScreen& w) {
        return shoreBeside(w.view().CenterLat, w.view().CenterLon);
    }
    ProgramRunner runner() {
        return [this](const std::vector<std::string>&) {
            ++calls;
            return answer;
        };
    }
};

bool gmtWithFullShorelines() {
    ProgramRun r = runProgram(
        {"gmt", "coast", "-R-0.4/-0.3/39.4/39.5", "-Df", "-M", "-W", "--GMT_HISTORY=false"});
    return r.spawnError == 0 && r.status == 0;
}

}  // namespace

class TstCoastMaking : public QObject {
    Q_OBJECT
private slots:
    void makesTheTilesNamesThemAndDrawsTheCoast() {
        CoastlessDemo demo;
        QVERIFY(demo.ready);
        Screen s(demo.app, 1, 0);
        QVERIFY(s.w->session());
        auto* button = s.c<QPushButton>("makeCoastlineButton");
        QCOMPARE(button->text(), QStringLiteral("海岸線を作る"));
        QVERIFY(button->isVisibleTo(s.w.get()) && button->isEnabled());
        QCOMPARE(s.session().missingCoastTiles(), std::vector<std::string>{"5239"});
        QCOMPARE(s.session().coast().CoastCount, 0);
        s.stop();
        const QImage before = s.map()->picture().copy();
        const QByteArray raceBefore = readAll(demo.raceFile);

        FakeGmt gmt = FakeGmt::shoreOnChart(*s.w);
        s.w->setCoastRunner(gmt.runner());
        QTest::mouseClick(button, Qt::LeftButton);

        QCOMPARE(gmt.calls, 1);
        QVERIFY2(s.sink.messages.empty(),
                 s.sink.messages.empty() ? "" : s.sink.messages.front().text.c_str());
        QVERIFY(QFile::exists(demo.app + QStringLiteral("/coastline/5239.cst")));
        // The race file is the demo's own again, MAP record and all; the old one is kept.
        QCOMPARE(readAll(demo.raceFile), demo.demoRace);
        QCOMPARE(readAll(demo.raceFile + QStringLiteral(".bak")), raceBefore);
        QCOMPARE(s.race().CoastTileCount, 1);
        // The chart shows the coast at once, and there is nothing left to make.
        QVERIFY(s.session().coast().CoastCount >= 9);
        QCOMPARE(s.w->scene().coast.count, s.session().coast().CoastCount);
        QVERIFY(s.map()->picture() != before);
        QVERIFY(!button->isEnabled());

        // The race opened again finds its tiles.
        Screen again(demo.app, 1, 1);
        QVERIFY(!again.c<QPushButton>("makeCoastlineButton")->isEnabled());
        QCOMPARE(again.c<QPushButton>("makeCoastlineButton")->text(),
                 QStringLiteral("Make coastline"));
        QCOMPARE(again.session().coast().CoastCount, s.session().coast().CoastCount);
    }

    void withoutGmtSaysWhatToInstallAndChangesNothing() {
        CoastlessDemo demo;
        QVERIFY(demo.ready);
        Screen s(demo.app, 2, 1);
        const QByteArray raceBefore = readAll(demo.raceFile);
        FakeGmt none;
        none.answer.spawnError = ENOENT;
        s.w->setCoastRunner(none.runner());
        s.c<QPushButton>("makeCoastlineButton")->click();
        QCOMPARE(s.sink.messages.size(), size_t(1));
        const std::string& text = s.sink.messages.front().text;
        QVERIFY2(text.find("gmt gmt-gshhg-full") != std::string::npos, text.c_str());
        QVERIFY2(text.rfind("The coastline tiles could not be made.\nThe program gmt", 0) == 0,
                 text.c_str());
        QCOMPARE(readAll(demo.raceFile), raceBefore);
        QVERIFY(!QFile::exists(demo.raceFile + QStringLiteral(".bak")));
        QVERIFY(!QDir(demo.app + QStringLiteral("/coastline")).exists());
        // Still to be made once gmt is there.
        QVERIFY(s.c<QPushButton>("makeCoastlineButton")->isEnabled());
    }

    void aCoastlineFolderThatRefusesTheTilesIsSaid() {
        CoastlessDemo demo;
        QVERIFY(demo.ready);
        const QString folder = demo.app + QStringLiteral("/coastline");
        QVERIFY(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        Screen s(demo.app, 1, 0);
        const QByteArray raceBefore = readAll(demo.raceFile);
        FakeGmt gmt = FakeGmt::shoreOnChart(*s.w);
        s.w->setCoastRunner(gmt.runner());
        s.c<QPushButton>("makeCoastlineButton")->click();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(s.sink.messages.size(), size_t(1));
        const QString text = QString::fromStdString(s.sink.messages.front().text);
        QVERIFY2(text.startsWith(QStringLiteral("海岸線タイルを作れませんでした。")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("5239.cst")), qPrintable(text));
        QCOMPARE(readAll(demo.raceFile), raceBefore);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/5239.cst")));
        QCOMPARE(s.session().coast().CoastCount, 0);
        QVERIFY(s.c<QPushButton>("makeCoastlineButton")->isEnabled());
    }

    // The real gmt on the real Valencia logs; skipped without gmt, its shorelines or the logs.
    void makesTheValenciaCoastWithTheRealGmt() {
        const QString logs = QStringLiteral(BRISKO_SHARED_DATA "/real/valencia-2025-06-21");
        const char* names[] = {"2025-06-21-ESP29375-P01.gpx", "2025-06-21-ESP30782-P01.gpx"};
        if (!QDir(logs).exists() || !gmtWithFullShorelines())
            QSKIP("needs gmt, gmt-gshhg-full and the Valencia logs");
        QTemporaryDir dir;
        const QString app = dir.path();
        QDir().mkpath(app + QStringLiteral("/gpsdat"));
        QDir().mkpath(app + QStringLiteral("/raceadmin"));
        QByteArray race = "T1, Valencia\r\nTD, 2\r\n";
        for (const char* n : names) {
            const QString name = QString::fromLatin1(n);
            QVERIFY(QFile::link(logs + QLatin1Char('/') + name,
                                app + QStringLiteral("/gpsdat/") + name));
            race += "BN, " + QByteArray(n) + ", " + QByteArray(n).mid(11, 8) + "\r\n";
        }
        race += "BT, 3\r\n";
        QVERIFY(writeAll(app + QStringLiteral("/raceadmin/valencia.txt"), race));

        Screen s(app, 1, 1, "valencia.txt");
        QVERIFY(s.w->session());
        QVERIFY(s.c<QPushButton>("makeCoastlineButton")->isEnabled());
        s.stop();
        const QPoint centre(s.map()->width() / 2, s.map()->height() / 2);
        QTest::mouseClick(s.map(), Qt::RightButton, Qt::NoModifier, centre);
        QTest::mouseClick(s.map(), Qt::RightButton, Qt::NoModifier, centre);
        const QImage before = s.map()->picture().copy();
        QElapsedTimer clock;
        clock.start();
        s.c<QPushButton>("makeCoastlineButton")->click();
        qInfo("tiles made with gmt in %lld ms", static_cast<long long>(clock.elapsed()));
        QVERIFY2(s.sink.messages.empty(),
                 s.sink.messages.empty() ? "" : s.sink.messages.front().text.c_str());
        QVERIFY(readAll(app + QStringLiteral("/coastline/59-101.cst")).startsWith("W WGS84\r\n"));
        QVERIFY(
            readAll(app + QStringLiteral("/raceadmin/valencia.txt")).contains("MAP, 59-101\r\n"));
        QVERIFY(s.session().coast().CoastCount > 20);
        // The shore lies a little beyond the chart's home view: it shows once zoomed out.
        QVERIFY(s.map()->picture() != before);
        QVERIFY(!s.c<QPushButton>("makeCoastlineButton")->isEnabled());
    }
};

QTEST_MAIN(TstCoastMaking)
#include "tst_coastmaking.moc"
