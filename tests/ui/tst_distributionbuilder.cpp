// The distribution builder window driven offscreen from choosing races to the folder on disk,
// its messages, and a CD-ROM distribution of the demo started with the library paths cleared.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/distrib/distributionbuilder.h"
#include "ui/distrib/runtimefiles.h"

using namespace brisko;

namespace {

// Copies a folder tree (the demo) so that nothing is ever written beside the sources.
bool copyTree(const QString& from, const QString& to) {
    QDir().mkpath(to);
    const QDir src(from);
    for (const QFileInfo& fi : src.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = to + "/" + fi.fileName();
        if (fi.isDir() ? !copyTree(fi.filePath(), target) : !QFile::copy(fi.filePath(), target))
            return false;
    }
    return true;
}

void press(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    QVERIFY(item);
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

QString run(const QString& program, const QStringList& args, const QStringList& env, int* exitCode,
            QString* err = nullptr) {
    QProcess p;
    QProcessEnvironment e;  // empty: as env -i
    for (const QString& kv : env) e.insert(kv.section('=', 0, 0), kv.section('=', 1));
    // A sanitizer build's program needs the sanitizer's settings of this run, nothing else.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS", "LSAN_OPTIONS"})
        if (qEnvironmentVariableIsSet(name)) e.insert(name, qEnvironmentVariable(name));
    p.setProcessEnvironment(e);
    p.start(program, args);
    if (!p.waitForFinished(60000)) p.kill();
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    if (err) *err = QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

}  // namespace

class TstDistributionBuilder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(app_.isValid());
        QVERIFY(copyTree(BRISKO_SOURCE_DIR "/demo", app_.path() + "/app"));
        settings_.AppPath = (app_.path() + "/app").toStdString();
    }

    void listsAndCaptions() {
        CapturingMessageSink sink;
        DistributionBuilder h(settings_, sink, nullptr, BRISKO_PROGRAM);
        QCOMPARE(h.windowTitle(), QString("配布データの作成"));
        QCOMPARE(h.smallestSizeCheck->text(), QString("データサイズ最小化"));
        QCOMPARE(h.raceFiles(), QStringList{"enoshima_0607.txt"});  // Ver.txt is no race
        h.show();
        press(h.raceFileList, 0);
        press(h.raceFileList, 0);  // the same race twice
        QCOMPARE(h.chosenRaces().size(), 2);
        QCOMPARE(h.chosenRaceList->count(), 2);
        press(h.chosenRaceList, 1);
        QCOMPARE(h.startupRaceEdit->text(), QString("enoshima_0607.txt"));
        h.redoButton->click();  // ReDO
        QCOMPARE(h.chosenRaceList->count(), 0);
        QVERIFY(h.chosenRaces().isEmpty());
        h.buildButton->click();  // nothing chosen: nothing happens
        QVERIFY(sink.messages.empty());

        AppSettings en = settings_;
        en.Lang = 1;
        DistributionBuilder e(en, sink, nullptr, BRISKO_PROGRAM);
        QCOMPARE(e.windowTitle(), QString("Create Distribution File"));
        QCOMPARE(e.webRadio->text(), QString("WEB"));
        QCOMPARE(e.smallestSizeCheck->text(), QString("データサイズ最小化"));
        QCOMPARE(e.redoButton->text(), QString("ReDO"));
    }

    // Captions are found by object name: every label, button and box has its caption in either
    // language.
    void everyControlHasItsCaption() {
        CapturingMessageSink sink;
        for (int lang : {0, 1}) {
            AppSettings s = settings_;
            s.Lang = lang;
            DistributionBuilder h(s, sink, nullptr, BRISKO_PROGRAM);
            const QList<QWidget*> controls = {
                h.raceFileLabel, h.chosenRaceLabel, h.folderNameLabel, h.startupRaceLabel,
                h.webRadio,      h.cdRomRadio,      h.mapDataCheck,    h.smallestSizeCheck,
                h.buildButton,   h.cancelButton,    h.redoButton};
            for (QWidget* w : controls) {
                QCOMPARE(h.findChild<QWidget*>(w->objectName()), w);
                const QString text = qobject_cast<QLabel*>(w)
                                         ? qobject_cast<QLabel*>(w)->text()
                                         : qobject_cast<QAbstractButton*>(w)->text();
                QVERIFY2(!text.trimmed().isEmpty(), qPrintable(w->objectName()));
            }
            QVERIFY(!h.mediaGroup->title().isEmpty());
        }
    }

    void messagesBeforeBuilding() {
        CapturingMessageSink sink(MessageAnswer::No);
        DistributionBuilder h(settings_, sink, nullptr, BRISKO_PROGRAM);
        h.show();
        press(h.raceFileList, 0);
        h.buildButton->click();
        QCOMPARE(sink.messages.back().text, std::string("収納するフォルダー名を入れてください"));
        h.folderNameEdit->setEditText("../outside");
        h.buildButton->click();
        QVERIFY(sink.messages.back().text.find("..") != std::string::npos);
        QDir(app_.path() + "/app").mkpath("distribution/taken");
        h.folderNameEdit->setEditText("taken");
        h.buildButton->click();
        QCOMPARE(sink.messages.back().text,
                 std::string("同名のフォルダーがあります。新しい名前を入れてください。"));
        QCOMPARE(sink.messages.back().title, std::string("フォルダー名"));
        h.folderNameEdit->setEditText("fresh");
        h.buildButton->click();  // answered No: nothing made, the window stays
        QCOMPARE(sink.messages.back().title, std::string("配布用フォルダー名"));
        QCOMPARE(sink.messages.back().buttons, MessageButtons::YesNo);
        QVERIFY(!QDir(app_.path() + "/app/distribution/fresh").exists());
        QVERIFY(!QDir(app_.path() + "/outside").exists());
        QVERIFY(h.isVisible());
        QCOMPARE(sink.messages.size(), size_t(4));
    }

    void smallestWebDistributionInEnglish() {
        AppSettings en = settings_;
        en.Lang = 1;
        CapturingMessageSink sink(MessageAnswer::Yes);
        DistributionBuilder h(en, sink, nullptr, BRISKO_PROGRAM);
        h.show();
        press(h.raceFileList, 0);
        h.folderNameEdit->setEditText("web");
        h.smallestSizeCheck->setChecked(true);
        h.buildButton->click();
        QCOMPARE(h.result(), int(QDialog::Accepted));
        const QString d = app_.path() + "/app/distribution/web";
        QVERIFY(QFile::exists(d + "/brisko"));
        QVERIFY(QFile::exists(d + "/Brisko.sh"));
        QVERIFY(!QFile::exists(d + "/qt.conf"));
        QVERIFY(!QDir(d + "/lib").exists());
        QVERIFY(!QFile::exists(d + "/raceadmin/racefile.st"));
        QFile ver(d + "/raceadmin/ver.txt");
        QVERIFY(ver.open(QIODevice::ReadOnly));
        QCOMPARE(ver.readAll(), QByteArray("1,1\r\n"));
    }

    // The whole road: a CD-ROM distribution of the demo, then the copy started on its own.
    void cdRomDistributionRunsWithoutTheSystemPaths() {
        CapturingMessageSink sink(MessageAnswer::Yes);
        DistributionBuilder h(settings_, sink, nullptr, BRISKO_PROGRAM);
        h.show();
        press(h.raceFileList, 0);
        press(h.chosenRaceList, 0);
        h.folderNameEdit->setEditText("cd");
        h.cdRomRadio->click();
        h.mapDataCheck->setChecked(true);
        h.buildButton->click();
        QCOMPARE(h.result(), int(QDialog::Accepted));
        const QString d = app_.path() + "/app/distribution/cd";
        for (const char* f :
             {"brisko", "Brisko.sh", "gun.wav", "qt.conf", "lib/libQt6Core.so.6",
              "lib/libQt6Widgets.so.6", "lib/libQt6Multimedia.so.6", "lib/libQt6XcbQpa.so.6",
              "plugins/platforms/libqxcb.so", "plugins/platforms/libqoffscreen.so",
              "raceadmin/enoshima_0607.txt", "raceadmin/racefile.st", "gpsdat/JPN4012.trk",
              "winddat/enoshima_0607_WIND.CSV", "coastline/5239.cst"})
            QVERIFY2(QFile::exists(d + "/" + f), f);
        QCOMPARE(QDir(d + "/gpsdat").entryList(QDir::Files).size(), 10);
        QVERIFY(!QFile::exists(d + "/raceadmin/ver.txt"));  // Japanese: no ver.txt
        // The demo has no autorun.inf: left out and said.
        QVERIFY(!h.lastPlan().skipped.empty());
        QVERIFY(sink.messages.back().text.find("autorun.inf") != std::string::npos);
        QVERIFY(h.lastResult().ok);

        // ldd finds every Qt library of the copied program inside the folder.
        int code = 0;
        const QString ldd = run("/usr/bin/ldd", {d + "/brisko"}, {"PATH=/usr/bin:/bin"}, &code);
        QCOMPARE(code, 0);
        int qtLibs = 0;
        for (const QString& line : ldd.split('\n')) {
            if (!line.contains("libQt6")) continue;
            ++qtLibs;
            QVERIFY2(line.contains("=> " + d + "/lib/"), qPrintable(line));
        }
        QVERIFY(qtLibs >= 4);

        // Started with nothing but HOME, PATH and the offscreen platform, through the start
        // script and directly: it opens the race, with its plugins from the folder.
        const QStringList env = {"HOME=" + app_.path(), "PATH=/usr/bin:/bin",
                                 "QT_QPA_PLATFORM=offscreen", "QT_DEBUG_PLUGINS=1"};
        QString err;
        QString out =
            run(d + "/Brisko.sh", {"--screenshot", app_.path() + "/shot.png"}, env, &code, &err);
        QVERIFY2(code == 0, qPrintable(out + err));
        QVERIFY(out.contains("race: enoshima_0607.txt"));
        QVERIFY(out.contains("boats: 10"));
        QVERIFY(out.contains("app_dir: " + d));
        QVERIFY(QImage(app_.path() + "/shot.png").width() > 100);
        QVERIFY2(err.contains(d + "/plugins/platforms"), qPrintable(err.left(2000)));
        out = run(d + "/brisko", {"--check"}, env, &code, &err);
        QVERIFY2(code == 0, qPrintable(out + err));
        QVERIFY(out.contains("status: shown"));
    }

    void pluginAndLibraryChoice() {
        QVERIFY(isDistributedLibrary("libQt6Gui.so.6"));
        QVERIFY(isDistributedLibrary("libdouble-conversion.so.3"));
        QVERIFY(!isDistributedLibrary("libc.so.6"));
        QVERIFY(!isDistributedLibrary("libX11.so.6"));
        QVERIFY(QString::fromStdString(qtConf()).contains("Plugins = plugins"));
        QVERIFY(QString::fromStdString(startScript()).startsWith("#!/bin/sh\n"));
        QTemporaryDir empty;
        QVERIFY(distributedPlugins(empty.path()).isEmpty());
    }

private:
    QTemporaryDir app_;
    AppSettings settings_;
};

QTEST_MAIN(TstDistributionBuilder)
#include "tst_distributionbuilder.moc"
