// The splash window; see splashscreen.h.
#include "ui/app/splashscreen.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "ui/race/loadingprogress.h"
#include "ui/widgets/captions.h"

namespace brisko {

namespace {
constexpr int kTitleWidth = 300;
constexpr int kTitleHeight = 52;
}  // namespace

SplashScreen::SplashScreen(const AppSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("SplashScreen"));
    setWindowTitle(QString::fromStdString(settings.ProductTitle));
    const int height = kImageHeight + kBarGap + LoadingProgress::kBarHeight + 10;
    setFixedSize(kImageWidth, height);

    titlePictureBox = new QLabel(this);
    titlePictureBox->setObjectName(QStringLiteral("titlePictureBox"));
    titlePictureBox->setPixmap(QPixmap::fromImage(
        titlePicture(QStringLiteral("Brisko"),
                     QString::fromUtf8(settings.tr("GPS Race Replay", "GPS Race Replay")))));
    titlePictureBox->setGeometry(0, 0, kImageWidth, kImageHeight);

    japaneseTitleBox = new QLabel(this);
    japaneseTitleBox->setObjectName(QStringLiteral("japaneseTitleBox"));
    japaneseTitleBox->setPixmap(QPixmap::fromImage(japaneseTitle()));
    japaneseTitleBox->setGeometry(titlePictureBox->x() + kTitleLeft,
                                  titlePictureBox->y() + kTitleTop, kTitleWidth, kTitleHeight);
    japaneseTitleBox->setVisible(!settings.english());

    progress_ = new LoadingProgress(kBarGap - kMessageGap, this);
    progress_->move((kImageWidth - LoadingProgress::kBarWidth) / 2, kImageHeight + kMessageGap);
    progress_->hide();
    applyUiFont(this, settings);
    centreOnScreen();
}

void SplashScreen::centreOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect g = screen->geometry();
    move(g.x() + (g.width() - kImageWidth) / 2, g.y() + (g.height() - kImageHeight) / 2);
}

QImage SplashScreen::titlePicture(const QString& productName, const QString& subtitle) {
    QImage img(kImageWidth, kImageHeight, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int horizon = kImageHeight * 11 / 20;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(120, 180, 235));
    sky.setColorAt(1, QColor(220, 238, 250));
    p.fillRect(0, 0, kImageWidth, horizon, sky);
    QLinearGradient sea(0, horizon, 0, kImageHeight);
    sea.setColorAt(0, QColor(0, 115, 190));
    sea.setColorAt(1, QColor(0, 40, 100));
    p.fillRect(0, horizon, kImageWidth, kImageHeight - horizon, sea);

    // Swell: a few light curves across the sea.
    p.setPen(QPen(QColor(255, 255, 255, 70), 2));
    for (int i = 0; i < 6; ++i) {
        const double y = horizon + 18 + i * 22;
        QPainterPath wave(QPointF(0, y));
        for (int x = 0; x <= kImageWidth; x += 40)
            wave.quadTo(QPointF(x + 20, y - 6 + (i % 2) * 3), QPointF(x + 40, y));
        p.drawPath(wave);
    }

    // A sloop on starboard tack: hull, mainsail and jib.
    const QPointF mast(330, 90);
    const double hullY = horizon + 10;
    QPainterPath hull;
    hull.moveTo(262, hullY);
    hull.lineTo(410, hullY);
    hull.quadTo(392, hullY + 20, 280, hullY + 18);
    hull.closeSubpath();
    p.fillPath(hull, QColor(200, 30, 30));
    QPainterPath main;
    main.moveTo(mast);
    main.lineTo(mast.x(), hullY - 6);
    main.lineTo(mast.x() - 62, hullY - 8);
    main.quadTo(QPointF(mast.x() - 28, 150), mast);
    p.fillPath(main, QColor(250, 250, 245));
    QPainterPath jib;
    jib.moveTo(mast.x() + 4, mast.y() + 12);
    jib.lineTo(mast.x() + 74, hullY - 6);
    jib.lineTo(mast.x() + 6, hullY - 10);
    jib.closeSubpath();
    p.fillPath(jib, QColor(235, 240, 250));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.drawLine(mast, QPointF(mast.x(), hullY));

    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(64);
    f.setBold(true);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(QColor(0, 40, 100));
    p.drawText(QRect(28, 40, 300, 80), Qt::AlignLeft | Qt::AlignVCenter, productName);
    f.setPixelSize(20);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(34, 118, 300, 30), Qt::AlignLeft | Qt::AlignVCenter, subtitle);
    return img;
}

QImage SplashScreen::japaneseTitle() {
    QImage img(kTitleWidth, kTitleHeight, QImage::Format_RGB32);
    img.fill(QColor(0, 55, 120));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(30);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(10, 0, 150, kTitleHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ブリスコ"));
    f.setPixelSize(15);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(150, 0, kTitleWidth - 156, kTitleHeight), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("レース再生ソフト"));
    return img;
}

}  // namespace brisko
