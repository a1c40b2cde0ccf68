// The launcher, offscreen, driven through its buttons: the lists of races and tracks, what OK
// opens, the sibling tools and the help through a fake platform, hints, and the race screen
// opened on the demo race with the launcher still open.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "session/racesession.h"
#include "ui/app/launcher.h"
#include "ui/editor/raceeditor.h"
#include "ui/race/racescreen.h"
#include "uitesthelpers.h"

using namespace brisko;
using namespace brisko::test;

namespace {

AppSettings settingsFor(const QString& dir, int lang, int mode = 2) {
    AppSettings s;
    s.AppPath = dir.toStdString();
    s.Lang = lang;
    s.EditionMode = mode;
    s.ProductTitle = lang == 1 ? "Brisko" : "ブリスコ";
    return s;
}

QStringList items(const QComboBox* c) {
    QStringList out;
    for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
    return out;
}

}  // namespace

class TstLauncher : public QObject {
    Q_OBJECT
private slots:
    void listsAndOpensRacesAndTracks() {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("RaceAdmin");
        QDir(dir.path()).mkpath("GPSDAT");
        for (const char* f : {"RaceAdmin/b.txt", "RaceAdmin/a.txt", "RaceAdmin/Ver.txt",
                              "GPSDAT/x.trk", "GPSDAT/y.DTR", "GPSDAT/notes.csv", "GPSDAT/z.GPX",
                              "GPSDAT/w.nmea", "GPSDAT/v.NMA", "GPSDAT/u.Log", "GPSDAT/t.gpx.bak"})
            writeText(dir.filePath(f), "BN, x.trk, X\r\n");
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink;
        FakePlatform platform;
        Launcher launcher(s, sink, platform);
        std::vector<std::pair<std::string, std::string>> opened;
        launcher.setRaceOpener(
            [&](const std::string& r, const std::string& t) { opened.emplace_back(r, t); });
        launcher.show();
        QVERIFY(!launcher.selectionPanel->isVisible());

        QTest::mouseClick(launcher.raceScreenButton, Qt::LeftButton);
        QVERIFY(launcher.selectionPanel->isVisible());
        QCOMPARE(items(launcher.racePicker), QStringList({"a.txt", "b.txt"}));
        QTest::mouseClick(launcher.okButton, Qt::LeftButton);
        QVERIFY(!launcher.selectionPanel->isVisible());
        QCOMPARE(opened.back(), std::make_pair(std::string("a.txt"), std::string()));

        // Track files: ".dtr" before ".trk", then GPX and NMEA, whatever the letter case.
        QTest::mouseClick(launcher.oneBoatButton, Qt::LeftButton);
        QCOMPARE(items(launcher.racePicker),
                 QStringList({"y.DTR", "x.trk", "z.GPX", "w.nmea", "v.NMA", "u.Log"}));
        launcher.racePicker->setCurrentIndex(1);
        QTest::mouseClick(launcher.okButton, Qt::LeftButton);
        QCOMPARE(opened.back(), std::make_pair(std::string(), std::string("x.trk")));

        QTest::mouseClick(launcher.raceScreenButton, Qt::LeftButton);
        QTest::mouseClick(launcher.cancelButton, Qt::LeftButton);
        QVERIFY(!launcher.selectionPanel->isVisible());
        QCOMPARE(opened.size(), size_t(2));
        QVERIFY(sink.messages.empty());
    }

    void siblingToolsHelpAndDistribution() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        const AppSettings ja = settingsFor(dir.path(), 0);
        Launcher launcher(ja, sink, platform);
        launcher.show();

        // Absent tools are said in the user's language; nothing is started.
        QTest::mouseClick(launcher.gpsDownloadButton, Qt::LeftButton);
        QCOMPARE(sink.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(sink.messages[0].text).contains("QLN_GPSedit"));
        QVERIFY(QString::fromStdString(sink.messages[0].text).contains("インストール"));
        QVERIFY(platform.started.empty());

        // Present in the application folder, in another letter case: started by its path.
        const QString tool = dir.filePath("zephyr_t1.EXE");
        writeText(tool, "#!/bin/sh\n");
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTest::mouseClick(launcher.windToolButton, Qt::LeftButton);
        QCOMPARE(platform.started.size(), size_t(1));
        QCOMPARE(QString::fromStdString(platform.started[0]), tool);
        platform.startResult = false;
        QTest::mouseClick(launcher.windToolButton, Qt::LeftButton);
        QVERIFY(QString::fromStdString(sink.messages.back().text).contains("起動できません"));

        // Help: the Japanese index; the opener's failure reaches the user.
        platform.openResult = "ファイルが見つかりません。";
        QTest::mouseClick(launcher.helpButton, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(platform.opened.back()), dir.filePath("help/index.html"));
        QCOMPARE(sink.messages.back().text, std::string("ファイルが見つかりません。"));

        const size_t before = sink.messages.size();
        QTest::mouseClick(launcher.distributionButton, Qt::LeftButton);
        QCOMPARE(sink.messages.size(), before + 1);
        bool builderOpened = false;
        launcher.setDistributionOpener([&](QWidget* owner) { builderOpened = owner == &launcher; });
        QTest::mouseClick(launcher.distributionButton, Qt::LeftButton);
        QVERIFY(builderOpened);

        const AppSettings en = settingsFor(dir.path(), 1, 4);
        Launcher english(en, sink, platform);
        english.show();
        QTest::mouseClick(english.helpButton, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(platform.opened.back()), dir.filePath("ehelp/index.html"));
        // Edition 4 has no wind tool.
        QVERIFY(!english.windToolButton->isVisible());
        QVERIFY(launcher.windToolButton->isVisible());
    }

    void hintsFollowTheLanguageAndTheMouse() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        const AppSettings en = settingsFor(dir.path(), 1);
        QCOMPARE(Launcher::hintFor("gpsDownloadButton", en),
                 QString("Receive Track Data From GPS\nCompile GPS data"));
        QCOMPARE(Launcher::hintFor("exitButton", en), QString("プログラムを終了します"));
        QCOMPARE(Launcher::hintFor("raceScreenButton", settingsFor(dir.path(), 0)),
                 QString("編集データを選択すると\n複数艇のレースが見れます"));
        QVERIFY(Launcher::hintFor("helpButton", en).isEmpty());

        // Every button of the column but the help finds its hint under its object name, in
        // either language; the buttons of the selection panel have none.
        for (const AppSettings& s : {en, settingsFor(dir.path(), 0)}) {
            Launcher l(s, sink, platform);
            for (const char* name :
                 {"gpsDownloadButton", "windToolButton", "editorButton", "distributionButton",
                  "oneBoatButton", "raceScreenButton", "exitButton"}) {
                const auto* b = l.findChild<QPushButton*>(name);
                QVERIFY2(b, name);
                QVERIFY2(!Launcher::hintFor(b->objectName(), s).isEmpty(), name);
            }
            QCOMPARE(l.findChild<QPushButton*>("helpButton"), l.helpButton);
            QVERIFY(Launcher::hintFor(l.okButton->objectName(), s).isEmpty());
            QVERIFY(Launcher::hintFor(l.cancelButton->objectName(), s).isEmpty());
        }

        Launcher launcher(en, sink, platform);
        launcher.show();
        QVERIFY(QTest::qWaitForWindowExposed(&launcher));
        QTest::mouseMove(launcher.editorButton, QPoint(10, 8));
        QTRY_VERIFY(launcher.hintBox->isVisible());
        QVERIFY(launcher.hintBox->text().startsWith("Compile each boat data."));
        QCOMPARE(launcher.hintBox->height(), 60);  // four lines
        QVERIFY(launcher.hintBox->geometry().right() < launcher.editorButton->x());
        QTest::mouseMove(launcher.coverPictureBox, QPoint(20, 20));
        QTRY_VERIFY(!launcher.hintBox->isVisible());
    }

    void editionLabel() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        for (int mode : {2, 3}) {
            const AppSettings s = settingsFor(dir.path(), 0, mode);
            Launcher launcher(s, sink, platform);
            const QImage img = launcher.coverPictureBox->pixmap().toImage();
            QCOMPARE(img.pixelColor(101, 44), QColor(255, 0, 0));
        }
    }

    void editorAndRaceScreenOpenBesideTheLauncher() {
        QTemporaryDir dir;
        QVERIFY(copyTree(BRISKO_SOURCE_DIR "/demo", dir.path()));
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink;
        FakePlatform platform;
        Launcher launcher(s, sink, platform);
        launcher.show();

        QTest::mouseClick(launcher.editorButton, Qt::LeftButton);
        RaceEditor* editor = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<RaceEditor*>(w); e && e->isVisible()) editor = e;
        QVERIFY(editor);
        // A second press brings the same editor forward.
        QTest::mouseClick(launcher.editorButton, Qt::LeftButton);
        int editors = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<RaceEditor*>(w) && w->isVisible()) ++editors;
        QCOMPARE(editors, 1);
        editor->close();

        QTest::mouseClick(launcher.raceScreenButton, Qt::LeftButton);
        QCOMPARE(launcher.racePicker->currentText(), QString("enoshima_0607.txt"));
        QTest::mouseClick(launcher.okButton, Qt::LeftButton);
        RaceScreen* screen = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* r = qobject_cast<RaceScreen*>(w); r && r->isVisible()) screen = r;
        QVERIFY(screen);
        QTRY_VERIFY(screen->setupDone());
        QVERIFY(screen->session());
        QCOMPARE(screen->session()->shownFile(), std::string("enoshima_0607.txt"));
        QPointer<RaceScreen> guard(screen);
        screen->close();
        QTRY_VERIFY(guard.isNull());
        QVERIFY(launcher.isVisible());
    }
};

QTEST_MAIN(TstLauncher)
#include "tst_launcher.moc"
