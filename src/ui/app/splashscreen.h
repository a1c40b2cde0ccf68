// The splash window shown in browser mode while the race screen loads its first race: the title
// picture centred on the screen, the Japanese title over it (Japanese mode only) and the loading
// progress below the picture.
#pragma once

#include <QImage>
#include <QWidget>

#include "app/appsettings.h"

class QLabel;

namespace brisko {

class LoadingProgress;

class SplashScreen : public QWidget {
    Q_OBJECT
public:
    static constexpr int kImageWidth = 480;
    static constexpr int kImageHeight = 360;
    static constexpr int kTitleLeft = 8;  // japaneseTitleBox relative to titlePictureBox
    static constexpr int kTitleTop = 296;
    static constexpr int kMessageGap = 15;  // progress message below the picture
    static constexpr int kBarGap = 55;      // progress bar below the picture

    explicit SplashScreen(const AppSettings& settings, QWidget* parent = nullptr);

    // Places the window so that the title picture is centred on the screen.
    void centreOnScreen();

    QLabel* titlePictureBox = nullptr;   // sea, a sail and the product name
    QLabel* japaneseTitleBox = nullptr;  // the Japanese title over the picture's foot
    LoadingProgress* progress() const { return progress_; }

    // The artwork: sea, a sail and the product name; and the Japanese title overlay.
    static QImage titlePicture(const QString& productName, const QString& subtitle);
    static QImage japaneseTitle();

private:
    LoadingProgress* progress_ = nullptr;
};

}  // namespace brisko
