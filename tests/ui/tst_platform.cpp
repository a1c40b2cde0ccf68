// The desktop layer: document-opening failures, CD-ROM test, silent sound, and the message box
// answers of the Qt message sink.
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "platform/desktopplatform.h"
#include "ui/app/qtmessagesink.h"

using namespace brisko;

class TstPlatform : public QObject {
    Q_OBJECT
private slots:
    void missingDocuments() {
        QTemporaryDir dir;
        DesktopPlatform p;
        const std::string base = dir.path().toStdString();
        QCOMPARE(p.openDocument(base + "/missing.html"), std::string("ファイルが見つかりません。"));
        QCOMPARE(p.openDocument(base + "/nofolder/index.html"),
                 std::string("パスが見つかりません。"));
        QCOMPARE(p.openDocument(""), std::string("ファイルが見つかりません。"));
    }

    void filesystemAndSound() {
        QTemporaryDir dir;
        DesktopPlatform p;
        QVERIFY(!p.isOnCdRom(dir.path().toStdString()));
        QVERIFY(!p.isOnCdRom("/no/such/folder"));
        p.playSound(dir.path().toStdString() + "/gun.wav");  // missing: silent, no failure
        QVERIFY(!p.startDetached(dir.path().toStdString() + "/setup.exe"));
    }

    void messageBoxAnswers() {
        QtMessageSink sink("ブリスコ");
        QString seenTitle, seenText;
        auto answer = [&](QMessageBox::StandardButton button) {
            QTimer::singleShot(0, [&, button] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                seenTitle = box->windowTitle();
                seenText = box->text();
                box->button(button)->click();
            });
        };
        answer(QMessageBox::No);
        QCOMPARE(sink.show({"編集しますか?", "", MessageButtons::YesNo}), MessageAnswer::No);
        QCOMPARE(seenTitle, QString("ブリスコ"));
        answer(QMessageBox::Yes);
        QCOMPARE(sink.show({"Compile Data ?", "Brisko", MessageButtons::YesNo}),
                 MessageAnswer::Yes);
        QCOMPARE(seenTitle, QString("Brisko"));
        answer(QMessageBox::Ok);
        QCOMPARE(sink.show({"a\r\nb", "", MessageButtons::Ok}), MessageAnswer::Ok);
        QCOMPARE(seenText, QString("a\nb"));
    }
};

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
