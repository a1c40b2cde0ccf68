// The file selector and the race file editor, offscreen, driven through their controls: the
// listing's filter and letter case, the overwrite question, refused names; a race built from
// the demo's logs with Japanese and English names, saved and read back field by field.
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "editor/raceedit.h"
#include "ui/distrib/fileselector.h"
#include "ui/editor/raceeditor.h"
#include "ui/editor/raceeditortexts.h"
#include "uitesthelpers.h"

#define ASSERT_READ(expr) QVERIFY((expr).ok)

using namespace brisko;
using namespace brisko::test;

namespace {

AppSettings settingsFor(const QString& dir, int lang) {
    AppSettings s;
    s.AppPath = dir.toStdString();
    s.Lang = lang;
    s.EditionMode = 2;
    s.ProductTitle = lang == 1 ? "Brisko" : "ブリスコ";
    return s;
}

QStringList listed(const QListWidget* l) {
    QStringList out;
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

// Types into a field: Latin-1 text key by key, other text as an input method commits it.
void type(QLineEdit* t, const QString& text) {
    bool latin1 = true;
    for (QChar c : text) latin1 &= c.unicode() < 0x100;
    if (latin1) {
        QTest::keyClicks(t, text);
        return;
    }
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(t, &commit);
}

// Answers the next file selector with a typed name and OK.
void chooseInSelector(const QString& name) {
    onNextModal([name](QWidget* w) {
        auto* sel = qobject_cast<FileSelector*>(w);
        QVERIFY(sel);
        sel->nameEdit->clear();
        type(sel->nameEdit, name);
        QTest::mouseClick(sel->okButton, Qt::LeftButton);
    });
}

// Adds a boat through the GPS file frame and the name box.
void addBoat(RaceEditor& ed, const QString& file, const QString& name) {
    QTest::mouseClick(ed.chooseGpsFileButton, Qt::LeftButton);
    QVERIFY(ed.gpsFilePanel->isVisible());
    ed.gpsFileList->setCurrentIndex(ed.gpsFileList->findText(file));
    QCOMPARE(ed.gpsFileList->currentText(), file);
    onNextModal([name](QWidget* w) {
        auto* box = qobject_cast<QInputDialog*>(w);
        QVERIFY(box);
        box->setTextValue(name);
        box->accept();
    });
    QTest::mouseClick(ed.addBoatButton, Qt::LeftButton);
}

QByteArray readAllOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void retype(QLineEdit* t, const QString& text) {
    t->selectAll();
    QTest::keyClick(t, Qt::Key_Delete);
    type(t, text);
}

}  // namespace

class TstRaceEditor : public QObject {
    Q_OBJECT
private slots:
    void selectorFiltersIgnoringLetterCase() {
        QTemporaryDir dir;
        for (const char* f : {"A.TXT", "b.txt", "c.csv", "d.Txt.bak", ".e.txt.brisko-tmp-1-1"})
            writeText(dir.filePath(f), "x");
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink;
        FileSelector sel(s, sink, {"Brisko", dir.path(), "txt", 0});
        QCOMPARE(sel.windowTitle(), QString("Brisko"));
        QCOMPARE(sel.nameEdit->text(), QString("*.txt"));
        QCOMPARE(listed(sel.fileList), QStringList({"A.TXT", "b.txt"}));
        QTest::keyClicks(sel.nameEdit, QString());
        sel.nameEdit->clear();
        QTest::keyClicks(sel.nameEdit, "*.CSV");
        QCOMPARE(listed(sel.fileList), QStringList({"c.csv"}));
        // Every file, but never the temporary of a save that was cut short.
        sel.nameEdit->clear();
        QTest::keyClicks(sel.nameEdit, "*");
        QCOMPARE(listed(sel.fileList), QStringList({"A.TXT", "b.txt", "c.csv", "d.Txt.bak"}));
        QCOMPARE(FileSelector::listPattern("*.*", "txt"), QString("*"));

        // OK on the pattern itself: no such file.
        sel.nameEdit->setText("*.txt");
        QTest::mouseClick(sel.okButton, Qt::LeftButton);
        QCOMPARE(sink.messages.back().text, std::string("Input File Name"));
        QCOMPARE(sel.result(), int(QDialog::Rejected));

        // A click fills the name box; a name typed in another letter case finds the file.
        sel.nameEdit->setText("*.txt");
        sel.fileList->clear();
        sel.nameEdit->clear();
        QTest::keyClicks(sel.nameEdit, "a.txt");
        sel.chosenPath = "before";
        QTest::mouseClick(sel.okButton, Qt::LeftButton);
        QCOMPARE(sel.chosenName, QString("A.TXT"));
        QCOMPARE(sel.chosenPath, dir.filePath("A.TXT"));
        QCOMPARE(sel.result(), int(QDialog::Accepted));

        FileSelector japanese(settingsFor(dir.path(), 0), sink,
                              {"ファイル名", dir.path(), "txt", 0});
        QTest::mouseClick(japanese.fileList->viewport(), Qt::LeftButton, {},
                          japanese.fileList->visualItemRect(japanese.fileList->item(1)).center());
        QCOMPARE(japanese.nameEdit->text(), QString("b.txt"));
        japanese.nameEdit->setText("missing.txt");
        QTest::mouseClick(japanese.okButton, Qt::LeftButton);
        QCOMPARE(sink.messages.back().text, std::string("正しいファイル名を入れてください。"));

        // CANCEL: no name, the result path untouched.
        japanese.chosenPath = "kept";
        QTest::mouseClick(japanese.cancelButton, Qt::LeftButton);
        QVERIFY(japanese.chosenName.isEmpty());
        QCOMPARE(japanese.chosenPath, QString("kept"));
    }

    void selectorAsksBeforeOverwritingAndRefusesUnsafeNames() {
        QTemporaryDir dir;
        writeText(dir.filePath("Race1.txt"), "x");
        QDir(dir.path()).mkpath("sub.txt");
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink(MessageAnswer::No);
        {
            FileSelector sel(s, sink, {"Brisko", dir.path(), "txt", 1});
            sel.nameEdit->setText("race1.TXT");
            QTest::mouseClick(sel.okButton, Qt::LeftButton);
            QCOMPARE(sink.messages.back().text,
                     std::string("Same File Name Exists.\r\nOverwight?."));
            QCOMPARE(sel.result(), int(QDialog::Rejected));
            QVERIFY(sel.chosenName.isEmpty());
            sink.setAnswer(MessageAnswer::Yes);
            QTest::mouseClick(sel.okButton, Qt::LeftButton);
            QCOMPARE(sel.chosenName, QString("Race1.txt"));  // the file as the folder has it
        }
        {
            // A new name is taken at once, ".txt" added when it has no extension.
            const size_t before = sink.messages.size();
            FileSelector sel(s, sink, {"Brisko", dir.path(), "txt", 1});
            sel.nameEdit->setText("  江の島 Race 2 ");
            QTest::mouseClick(sel.okButton, Qt::LeftButton);
            QCOMPARE(sink.messages.size(), before);
            QCOMPARE(sel.chosenName, QString("江の島 Race 2.txt"));
        }
        for (const char* bad :
             {"../up.txt", "a/b.txt", "..", "c:x.txt", "*.txt", "sub.txt", "", "a\\b.txt"}) {
            FileSelector sel(s, sink, {"Brisko", dir.path(), "txt", 1});
            sel.nameEdit->setText(QString::fromUtf8(bad));
            QTest::mouseClick(sel.okButton, Qt::LeftButton);
            QVERIFY2(sel.chosenName.isEmpty(), bad);
            QCOMPARE(sel.result(), int(QDialog::Rejected));
            QCOMPARE(sink.messages.back().text, std::string("Input File Name"));
        }
        QVERIFY(!QFile::exists(QDir(dir.path()).absoluteFilePath("../up.txt")));
    }

    // Every caption of the table lands on a control of that name, in both languages; a key
    // that names no control would leave its control blank without a word.
    void everyCaptionFindsItsControlInBothLanguages() {
        QTemporaryDir dir;
        CapturingMessageSink sink;
        FakePlatform platform;
        for (int lang : {0, 1}) {
            const AppSettings s = settingsFor(dir.path(), lang);
            RaceEditor ed(s, sink, platform);
            for (const ControlCaption& c : raceEditorCaptions()) {
                const QString name = QString::fromLatin1(c.control);
                const QString want = QString::fromUtf8(lang == 1 ? c.english : c.japanese);
                auto* w = ed.findChild<QWidget*>(name);
                QVERIFY2(w, c.control);
                QCOMPARE(ed.findChildren<QWidget*>(name).size(), 1);
                if (auto* b = qobject_cast<QAbstractButton*>(w))
                    QCOMPARE(b->text(), want);
                else if (auto* l = qobject_cast<QLabel*>(w))
                    QCOMPARE(l->text(), want);
                else if (auto* g = qobject_cast<QGroupBox*>(w))
                    QCOMPARE(g->title(), want);
                else
                    QFAIL(c.control);
            }
            QCOMPARE(ed.helpLabel->text(), editorHelpText(s));
            QCOMPARE(ed.findChild<QLabel*>("hintBox"), ed.hintBox);
            QCOMPARE(ed.findChild<QListWidget*>("boatList"), ed.boatList);
            QCOMPARE(ed.findChild<QLineEdit*>("startTimeEdit"), ed.startTimeEdit);
        }
    }

    // Logs of today's devices in the GPS data folder: listed, and the first one's fixes give
    // the race its defaults as a track file's would (Valencia: UTC, start 4 min after the
    // first fix at 11:18:34).
    void gpxAndNmeaLogsAreOfferedAndGiveTheDefaults() {
        const QString real = BRISKO_SHARED_DATA "/real/valencia-2025-06-21/";
        if (!QFileInfo::exists(real)) QSKIP("no real logs");
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("gpsdat"));
        QVERIFY(
            QFile::link(real + "2025-06-21-ESP29375-P01.gpx", dir.filePath("gpsdat/ESP29375.gpx")));
        writeText(dir.filePath("gpsdat/chartplotter.nmea"),
                  "$GPRMC,111834.00,A,3924.4647,N,00019.4005,W,3.0,87.0,210625,,,A*70\r\n");
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink(MessageAnswer::Yes);
        FakePlatform platform;
        RaceEditor ed(s, sink, platform);
        ed.show();
        QTest::mouseClick(ed.chooseGpsFileButton, Qt::LeftButton);
        QVERIFY(ed.gpsFileList->findText("chartplotter.nmea") >= 0);
        QTest::mouseClick(ed.cancelGpsFileButton, Qt::LeftButton);
        addBoat(ed, "ESP29375.gpx", "Vela");
        QCOMPARE(ed.boatList->count(), 1);
        QCOMPARE(ed.timeDiffEdit->text(), QString("0"));
        QCOMPARE(ed.startTimeEdit->text(), QString("2025/06/21 11:22:34"));
    }

    void raceRoundTripThroughTheEditor() {
        QTemporaryDir dir;
        QVERIFY(copyTree(BRISKO_SOURCE_DIR "/demo", dir.path()));
        const AppSettings s = settingsFor(dir.path(), 1);
        CapturingMessageSink sink(MessageAnswer::Yes);
        FakePlatform platform;
        RaceEditor ed(s, sink, platform);
        std::vector<std::string> shown;
        ed.setRaceOpener([&](const std::string& r) { shown.push_back(r); });
        ed.show();
        QCOMPARE(ed.windowTitle(), QString("Compile Race Control FIle  "));

        addBoat(ed, "JPN4012.trk", "はやぶさ");
        addBoat(ed, "JPN3877.trk", "SEABIRD, Jr.");
        addBoat(ed, "JPN3321.trk", "削除される艇");
        QCOMPARE(ed.boatList->count(), 3);
        QCOMPARE(ed.boatList->item(0)->text(), QString("はやぶさ        JPN4012.trk"));
        // The first log's defaults: Japan's time zone, start four minutes after its first fix.
        QCOMPARE(ed.timeDiffEdit->text(), QString("9"));
        QVERIFY(!ed.startTimeEdit->text().isEmpty());
        QVERIFY(!ed.finishTimeEdit->text().isEmpty());

        // Shift + click deletes the line clicked.
        const QPoint third = ed.boatList->visualItemRect(ed.boatList->item(2)).center();
        QTest::mouseClick(ed.boatList->viewport(), Qt::LeftButton, {}, third);
        QCOMPARE(ed.boatList->count(), 3);
        QTest::mouseClick(ed.boatList->viewport(), Qt::LeftButton, Qt::ShiftModifier, third);
        QCOMPARE(ed.boatList->count(), 2);

        type(ed.title1Edit, "江の島オープン 2026");
        QTest::keyClicks(ed.title2Edit, "Practice race, light air");
        retype(ed.startTimeEdit, "2026/06/07 11:00:00");
        retype(ed.finishTimeEdit, "2026/06/07 11:48:00");
        retype(ed.windDirectionEdit, "205");
        retype(ed.boatLengthEdit, "6.9");
        retype(ed.magneticVariationEdit, "-7.5");
        retype(ed.upwindLayLineEdit, "42");
        retype(ed.downwindLayLineEdit, "150");
        retype(ed.preStartMinutesEdit, "5");
        retype(ed.timeDiffEdit, "-");  // not a number yet: the time difference stays
        retype(ed.timeDiffEdit, "10");
        QTest::mouseClick(ed.northUpOption, Qt::LeftButton);

        // Wind file and one attachment, chosen in the selector.
        chooseInSelector("enoshima_0607_wind.csv");
        QTest::mouseClick(ed.chooseWindFileButton, Qt::LeftButton);
        QCOMPARE(ed.windFileEdit->text(), QString("enoshima_0607_WIND.CSV"));
        QDir(dir.path()).mkpath("attachment");
        writeText(dir.filePath("attachment/帆走指示書.pdf"), "%PDF");
        chooseInSelector("帆走指示書.pdf");
        QTest::mouseClick(ed.addAttachmentButton, Qt::LeftButton);
        QCOMPARE(listed(ed.attachmentList), QStringList({"帆走指示書.pdf"}));

        // A start that is no date stops the save with its message.
        retype(ed.startTimeEdit, "2026/13/07 11:00");
        QTest::mouseClick(ed.saveButton, Qt::LeftButton);
        QCOMPARE(sink.messages.back().text, std::string("Incorrect start date or time"));
        retype(ed.startTimeEdit, "2026/06/07 11:00:00");

        chooseInSelector("練習 race");
        QTest::mouseClick(ed.secondSaveButton, Qt::LeftButton);
        QTRY_VERIFY(!ed.isVisible());
        QCOMPARE(shown, std::vector<std::string>({"練習 race.txt"}));

        RaceDefinition back;
        back.RaceFileName = "練習 race.txt";
        ASSERT_READ(readRaceForEditing(s, back));
        QCOMPARE(back.Title1, std::string("江の島オープン 2026"));
        QCOMPARE(back.Title2, std::string("Practice race, light air"));
        QCOMPARE(formatRaceTime(back.RaceStart), std::string("2026/06/07 11:00:00"));
        QCOMPARE(formatRaceTime(back.RaceEnd), std::string("2026/06/07 11:48:00"));
        QCOMPARE(back.TimeDiff, 10);
        QCOMPARE(back.MeanWindDir, 205.0);
        QCOMPARE(back.BoatLength, 6.9);
        QCOMPARE(back.MagneticVariation, -7.5);
        QCOMPARE(back.UpwindLayAngle, 42.0);
        QCOMPARE(back.DownwindLayAngle, 150.0);
        QCOMPARE(back.PreStartMinutes, 5.0);
        QCOMPARE(back.NorthUp, 1.0);
        QCOMPARE(back.WindFileName, std::string("enoshima_0607_WIND.CSV"));
        QCOMPARE(back.BoatCount, 2);
        QCOMPARE(back.Boats[1].BoatName, std::string("はやぶさ"));
        QCOMPARE(back.Boats[1].GpsFile, std::string("JPN4012.trk"));
        QCOMPARE(back.Boats[2].BoatName, std::string("SEABIRD, Jr."));
        QCOMPARE(back.AttachmentCount, 1);
        QCOMPARE(back.Attachments[1], std::string("帆走指示書.pdf"));
    }

    void reopenedRaceOverwritesWithBackupAndRefusesVanishedLogs() {
        QTemporaryDir dir;
        QVERIFY(copyTree(BRISKO_SOURCE_DIR "/demo", dir.path()));
        const AppSettings s = settingsFor(dir.path(), 0);
        CapturingMessageSink sink(MessageAnswer::Yes);
        FakePlatform platform;
        const QString race = dir.filePath("RaceAdmin/enoshima_0607.txt");
        QFile orig(race);
        QVERIFY(orig.open(QIODevice::ReadOnly));
        const QByteArray before = orig.readAll();
        orig.close();

        RaceEditor ed(s, sink, platform);
        ed.show();
        QVERIFY(!ed.editAsTextButton->isEnabled());
        chooseInSelector("ENOSHIMA_0607.TXT");
        QTest::mouseClick(ed.openRaceButton, Qt::LeftButton);
        QVERIFY(ed.editAsTextButton->isEnabled());
        QCOMPARE(ed.windowTitle(), QString("レース管理ファイル編集  enoshima_0607.txt"));
        QVERIFY(ed.boatList->count() > 2);
        QTest::mouseClick(ed.editAsTextButton, Qt::LeftButton);
        QCOMPARE(QString::fromStdString(platform.opened.back()), race);

        // A log removed after it was picked: nothing is saved.
        QVERIFY(QFile::rename(dir.filePath("GPSDAT/JPN4012.trk"), dir.filePath("moved.trk")));
        const size_t asked = sink.messages.size();
        QTest::mouseClick(ed.saveButton, Qt::LeftButton);
        QCOMPARE(sink.messages.size(), asked + 1);
        QVERIFY(QString::fromStdString(sink.messages.back().text).contains("JPN4012.trk"));
        QVERIFY(ed.isVisible());
        QVERIFY(QFile::rename(dir.filePath("moved.trk"), dir.filePath("GPSDAT/JPN4012.trk")));

        // The mode file shares the race folder: no race is saved over it, whatever the case.
        const QByteArray mode = readAllOf(dir.filePath("RaceAdmin/Ver.txt"));
        for (const char* name : {"VER.TXT", "ver.txt"}) {
            chooseInSelector(name);
            QTest::mouseClick(ed.saveButton, Qt::LeftButton);
            QCOMPARE(sink.messages.back().text, std::string("正しいファイル名を入れてください。"));
            QVERIFY(ed.isVisible());
            QCOMPARE(readAllOf(dir.filePath("RaceAdmin/Ver.txt")), mode);
        }

        // Saving over the race: asked, the old file kept as ".bak", the race opened.
        retype(ed.title1Edit, "新しいタイトル");
        chooseInSelector("enoshima_0607.txt");
        QTest::mouseClick(ed.saveButton, Qt::LeftButton);
        QTRY_VERIFY(!ed.isVisible());
        bool askedOverwrite = false;
        for (const Message& m : sink.messages)
            askedOverwrite |= m.text == "同名のファイルがあります。\r\n上書きしますか？";
        QVERIFY(askedOverwrite);
        QFile bak(race + ".bak");
        QVERIFY(bak.open(QIODevice::ReadOnly));
        QCOMPARE(bak.readAll(), before);
        RaceDefinition back;
        back.RaceFileName = "enoshima_0607.txt";
        ASSERT_READ(readRaceForEditing(s, back));
        QCOMPARE(back.Title1, std::string("新しいタイトル"));
    }
};

QTEST_MAIN(TstRaceEditor)
#include "tst_raceeditor.moc"
