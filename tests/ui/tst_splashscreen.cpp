// The splash: the title picture centred on the screen in either language, the English font on
// every control, and the picture itself drawn.
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QtTest>

#include "ui/app/splashscreen.h"
#include "ui/race/racecaptions.h"

using namespace brisko;

class TstSplashScreen : public QObject {
    Q_OBJECT
private slots:
    void pictureCentredOnTheScreen() {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        for (int lang : {0, 1}) {
            AppSettings s;
            s.Lang = lang;
            SplashScreen sp(s);
            const QPoint picture =
                sp.mapToGlobal(sp.titlePictureBox->pos()) - sp.mapToGlobal(QPoint()) + sp.pos();
            QCOMPARE(picture.x(), screen.x() + (screen.width() - SplashScreen::kImageWidth) / 2);
            QCOMPARE(picture.y(), screen.y() + (screen.height() - SplashScreen::kImageHeight) / 2);
            QCOMPARE(sp.titlePictureBox->size(),
                     QSize(SplashScreen::kImageWidth, SplashScreen::kImageHeight));
        }
    }

    void englishFontOnEveryControl() {
        AppSettings en;
        en.Lang = 1;
        SplashScreen sp(en);
        const QString family = uiFontFamily(en);
        QCOMPARE(sp.font().family(), family);
        for (QWidget* w : sp.findChildren<QWidget*>()) QCOMPARE(w->font().family(), family);
    }

    void artworkIsDrawn() {
        const QImage title = SplashScreen::titlePicture("Brisko", "GPS Race Replay");
        QCOMPARE(title.size(), QSize(SplashScreen::kImageWidth, SplashScreen::kImageHeight));
        // Sky above, sea below: the picture is no blank box.
        QVERIFY(title.pixelColor(5, 5) != title.pixelColor(5, SplashScreen::kImageHeight - 5));
        QVERIFY(!SplashScreen::japaneseTitle().isNull());
    }
};

QTEST_MAIN(TstSplashScreen)
#include "tst_splashscreen.moc"
