// The reference viewer: the race's attachments listed, the clicked one opened with the
// document opener and the viewer closing itself after, missing and unsafe names told.
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "ui/distrib/referenceviewer.h"

using namespace brisko;

namespace {

class FakePlatform : public PlatformServices {
public:
    std::vector<std::string> opened;
    std::string failure;
    bool isOnCdRom(const std::string&) override { return false; }
    bool startDetached(const std::string&) override { return false; }
    std::string openDocument(const std::string& path) override {
        opened.push_back(path);
        return failure;
    }
    void playSound(const std::string&) override {}
};

}  // namespace

class TstReferenceViewer : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).mkpath("Attachment");
        QFile f(dir_.path() + "/Attachment/notice.pdf");
        QVERIFY(f.open(QIODevice::WriteOnly));
        settings_.AppPath = dir_.path().toStdString();
        race_ = RaceDefinition();
        race_.AttachmentCount = 3;
        race_.Attachments[1] = " notice.pdf ";
        race_.Attachments[2] = "results.pdf";
        race_.Attachments[3] = "../secret.txt";
    }

    void listsAndCaptions() {
        FakePlatform platform;
        CapturingMessageSink sink;
        ReferenceViewer ja(settings_, race_, platform, sink);
        QCOMPARE(ja.windowTitle(), QString("データ参照"));
        QCOMPARE(ja.attachmentList->count(), 3);
        QCOMPARE(ja.cancelButton->text(), QString("CANCEL"));
        AppSettings en = settings_;
        en.Lang = 1;
        ReferenceViewer e(en, race_, platform, sink);
        QCOMPARE(e.windowTitle(), QString("Refference Files"));
    }

    void opensTheClickedAttachmentThenCloses() {
        FakePlatform platform;
        CapturingMessageSink sink;
        ReferenceViewer r(settings_, race_, platform, sink);
        r.setCloseDelay(50);
        r.show();
        r.openAttachment(r.attachmentList->item(0));
        QCOMPARE(platform.opened.size(), size_t(1));
        // Blanks round the name are dropped, the folder found whatever its letter case.
        QCOMPARE(QString::fromStdString(platform.opened[0]),
                 dir_.path() + "/Attachment/notice.pdf");
        QVERIFY(!r.isVisible());
        // Hidden and waiting: a second open is ignored.
        r.openAttachment(r.attachmentList->item(0));
        QCOMPARE(platform.opened.size(), size_t(1));
        // After the delay the viewer is shown again and closed, ready for another opening.
        QTRY_COMPARE_WITH_TIMEOUT(sink.messages.size(), size_t(0), 200);
        QTest::qWait(150);
        QVERIFY(!r.isVisible());
        r.openAttachment(r.attachmentList->item(0));
        QCOMPARE(platform.opened.size(), size_t(2));
        QVERIFY(sink.messages.empty());
    }

    void missingAndUnsafeFilesOpenNothing() {
        FakePlatform platform;
        CapturingMessageSink sink;
        ReferenceViewer r(settings_, race_, platform, sink);
        r.show();
        r.openAttachment(r.attachmentList->item(1));  // missing from attachment/
        r.openAttachment(r.attachmentList->item(2));  // leaves the folder
        QVERIFY(platform.opened.empty());
        QVERIFY(r.isVisible());
        QCOMPARE(sink.messages.size(), size_t(2));
        QVERIFY(sink.messages[0].text.find("results.pdf") != std::string::npos);
        QVERIFY(sink.messages[1].text.find("secret") != std::string::npos);
    }

    void openFailureIsToldAndTheViewerStays() {
        FakePlatform platform;
        platform.failure = "関連付けが指定されていません。";
        CapturingMessageSink sink;
        ReferenceViewer r(settings_, race_, platform, sink);
        r.show();
        r.openAttachment(r.attachmentList->item(0));
        QCOMPARE(sink.messages.size(), size_t(1));
        QCOMPARE(sink.messages[0].text, platform.failure);
        QVERIFY(r.isVisible());
        r.cancelButton->click();
        QVERIFY(!r.isVisible());
    }

private:
    QTemporaryDir dir_;
    AppSettings settings_;
    RaceDefinition race_;
};

QTEST_MAIN(TstReferenceViewer)
#include "tst_referenceviewer.moc"
