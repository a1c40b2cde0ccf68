// The launcher, offscreen, driven through its buttons: the lists of races and tracks, what OK
// opens, the sibling tools and the help through a fake platform, hints, and the race screen
// opened on the demo race with the launcher still open.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "race/racesession.h"
#include "ui/app/cover.h"
#include "ui/editor/fmcompile.h"
#include "ui/race/racedisp.h"
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

class TstCover : public QObject {
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
        Cover cover(s, sink, platform);
        std::vector<std::pair<std::string, std::string>> opened;
        cover.setRaceOpener(
            [&](const std::string& r, const std::string& t) { opened.emplace_back(r, t); });
        cover.show();
        QVERIFY(!cover.Frame1->isVisible());

        QTest::mouseClick(cover.Command3, Qt::LeftButton);
        QVERIFY(cover.Frame1->isVisible());
        QCOMPARE(items(cover.Combo1), QStringList({"a.txt", "b.txt"}));
        QTest::mouseClick(cover.Command5, Qt::LeftButton);
        QVERIFY(!cover.Frame1->isVisible());
        QCOMPARE(opened.back(), std::make_pair(std::string("a.txt"), std::string()));

        // Track files: ".dtr" before ".trk", then GPX and NMEA, whatever the letter case.
        QTest::mouseClick(cover.Command7, Qt::LeftButton);
        QCOMPARE(items(cover.Combo1),
                 QStringList({"y.DTR", "x.trk", "z.GPX", "w.nmea", "v.NMA", "u.Log"}));
        cover.Combo1->setCurrentIndex(1);
        QTest::mouseClick(cover.Command5, Qt::LeftButton);
        QCOMPARE(opened.back(), std::make_pair(std::string(), std::string("x.trk")));

        QTest::mouseClick(cover.Command3, Qt::LeftButton);
        QTest::mouseClick(cover.Command6, Qt::LeftButton);
        QVERIFY(!cover.Frame1->isVisible());
        QCOMPARE(opened.size(), size_t(2));
        QVERIFY(sink.messages.empty());
    }

    void siblingToolsHelpAndDistribution() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        const AppSettings ja = settingsFor(dir.path(), 0);
        Cover cover(ja, sink, platform);
        cover.show();

        // Absent tools are said in the user's language; nothing is started.
        QTest::mouseClick(cover.Command1, Qt::LeftButton);
        QCOMPARE(sink.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(sink.messages[0].text).contains("QLN_GPSedit"));
        QVERIFY(QString::fromStdString(sink.messages[0].text).contains("インストール"));
        QVERIFY(platform.started.empty());

        // Present in the application folder, in another letter case: started by its path.
        const QString tool = dir.filePath("zephyr_t1.EXE");
        writeText(tool, "#!/bin/sh\n");
        QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QTest::mouseClick(cover.Command8, Qt::LeftButton);
        QCOMPARE(platform.started.size(), size_t(1));
        QCOMPARE(QString::fromStdString(platform.started[0]), tool);
        platform.startResult = false;
        QTest::mouseClick(cover.Command8, Qt::LeftButton);
        QVERIFY(QString::fromStdString(sink.messages.back().text).contains("起動できません"));

        // Help: the Japanese index; the opener's failure reaches the user.
        platform.openResult = "ファイルが見つかりません。";
        QTest::mouseClick(cover.Command10, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(platform.opened.back()), dir.filePath("help/index.html"));
        QCOMPARE(sink.messages.back().text, std::string("ファイルが見つかりません。"));

        const size_t before = sink.messages.size();
        QTest::mouseClick(cover.Command9, Qt::LeftButton);
        QCOMPARE(sink.messages.size(), before + 1);
        bool builderOpened = false;
        cover.setDistributionOpener([&](QWidget* owner) { builderOpened = owner == &cover; });
        QTest::mouseClick(cover.Command9, Qt::LeftButton);
        QVERIFY(builderOpened);

        const AppSettings en = settingsFor(dir.path(), 1, 4);
        Cover english(en, sink, platform);
        english.show();
        QTest::mouseClick(english.Command10, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(platform.opened.back()), dir.filePath("ehelp/index.html"));
        // Edition 4 has no wind tool.
        QVERIFY(!english.Command8->isVisible());
        QVERIFY(cover.Command8->isVisible());
    }

    void hintsFollowTheLanguageAndTheMouse() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        const AppSettings en = settingsFor(dir.path(), 1);
        QCOMPARE(Cover::hintFor("Command1", en),
                 QString("Receive Track Data From GPS\nCompile GPS data"));
        QCOMPARE(Cover::hintFor("Command4", en), QString("プログラムを終了します"));
        QCOMPARE(Cover::hintFor("Command3", settingsFor(dir.path(), 0)),
                 QString("編集データを選択すると\n複数艇のレースが見れます"));
        QVERIFY(Cover::hintFor("Command10", en).isEmpty());

        Cover cover(en, sink, platform);
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        QTest::mouseMove(cover.Command2, QPoint(10, 8));
        QTRY_VERIFY(cover.Text1->isVisible());
        QVERIFY(cover.Text1->text().startsWith("Compile each boat data."));
        QCOMPARE(cover.Text1->height(), 60);  // four lines
        QVERIFY(cover.Text1->geometry().right() < cover.Command2->x());
        QTest::mouseMove(cover.Picture1, QPoint(20, 20));
        QTRY_VERIFY(!cover.Text1->isVisible());
    }

    void editionLabel() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        for (int mode : {2, 3}) {
            const AppSettings s = settingsFor(dir.path(), 0, mode);
            Cover cover(s, sink, platform);
            const QImage img = cover.Picture1->pixmap().toImage();
            QCOMPARE(img.pixelColor(101, 44), QColor(255, 0, 0));
        }
    }

    void editorAndRaceScreenOpenBesideTheLauncher() {
        QTemporaryDir dir;
        QVERIFY(copyTree(BRISKO_SOURCE_DIR "/demo", dir.path()));
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink;
        FakePlatform platform;
        Cover cover(s, sink, platform);
        cover.show();

        QTest::mouseClick(cover.Command2, Qt::LeftButton);
        fmCompile* editor = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* e = qobject_cast<fmCompile*>(w); e && e->isVisible()) editor = e;
        QVERIFY(editor);
        // A second press brings the same editor forward.
        QTest::mouseClick(cover.Command2, Qt::LeftButton);
        int editors = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<fmCompile*>(w) && w->isVisible()) ++editors;
        QCOMPARE(editors, 1);
        editor->close();

        QTest::mouseClick(cover.Command3, Qt::LeftButton);
        QCOMPARE(cover.Combo1->currentText(), QString("enoshima_0607.txt"));
        QTest::mouseClick(cover.Command5, Qt::LeftButton);
        RaceDisp* screen = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* r = qobject_cast<RaceDisp*>(w); r && r->isVisible()) screen = r;
        QVERIFY(screen);
        QTRY_VERIFY(screen->setupDone());
        QVERIFY(screen->session());
        QCOMPARE(screen->session()->shownFile(), std::string("enoshima_0607.txt"));
        QPointer<RaceDisp> guard(screen);
        screen->close();
        QTRY_VERIFY(guard.isNull());
        QVERIFY(cover.isVisible());
    }
};

QTEST_MAIN(TstCover)
#include "tst_cover.moc"
