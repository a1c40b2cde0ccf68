// The race screen's wind boxes; see windcontrols.h.
#include "ui/race/windcontrols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include "analysis/windentry.h"
#include "session/racesession.h"
#include "ui/analysis/speedgraphpainter.h"
#include "ui/race/racecaptions.h"
#include "ui/widgets/captions.h"
#include "ui/widgets/named.h"
#include "ui/widgets/picturewidget.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kDialSize = 150;
constexpr int kMeanWindEditWidth = 50;
constexpr double kStripPointSize = 8;
const QColor kStripBackground(0, 0, 96);
}  // namespace

WindControls::WindControls(QWidget* panel, const AppSettings& settings)
    : QObject(panel), settings_(settings) {
    dial_ = named<PictureWidget>(panel, "windPicture");
    dial_->setFixedSize(kDialSize, kDialSize);
    meanWindEdit_ = named<QLineEdit>(panel, "meanWindEdit");
    meanWindEdit_->setMaximumWidth(kMeanWindEditWidth);
    windNowPanel_ = named<QWidget>(panel, "windNowPanel");
    windNowLabel_ = named<QLabel>(windNowPanel_, "windNowLabel", windNowHeading(settings));
    directionLabel_ = named<QLabel>(windNowPanel_, "windDirectionNowLabel");
    speedLabel_ = named<QLabel>(windNowPanel_, "windSpeedNowLabel");
    auto* now = new QHBoxLayout(windNowPanel_);
    now->setContentsMargins(0, 0, 0, 0);
    now->addWidget(windNowLabel_);
    now->addWidget(directionLabel_);
    now->addWidget(speedLabel_);
    now->addStretch(1);
    meanWindLabel_ = named<QLabel>(panel, "meanWindLabel", meanWindHeading(settings));
    strip_ = named<PictureWidget>(panel, "WindStrip");
    strip_->hide();

    connect(dial_, &PictureWidget::mouseDown, this, &WindControls::toggleStrip);
    connect(strip_, &PictureWidget::mouseDown, this, &WindControls::toggleStrip);
    connect(meanWindEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (typing_) emit meanWindTyped(typedWindDirection(text.toStdString()));
    });
    meanWindEdit_->installEventFilter(this);
    // The strip lies under the dial wherever the side panel puts it.
    dial_->installEventFilter(this);
}

bool WindControls::eventFilter(QObject* watched, QEvent* e) {
    if (watched == meanWindEdit_ && e->type() == QEvent::MouseButtonPress) typing_ = true;
    if (watched == dial_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
        placeStrip();
    return QObject::eventFilter(watched, e);
}

void WindControls::raceShown(const RaceSession& s) {
    session_ = &s;
    typing_ = false;
    showMeanWind(s.race().MeanWindDir);
    const bool wind = s.data().WindShown;
    windNowPanel_->setVisible(wind);
    directionLabel_->setVisible(wind);
    speedLabel_->setVisible(wind);
    // The strip lies over the wind boxes and the boat list: it waits for a click on the dial
    // rather than covering them as the race opens.
    stripShown_ = false;
    redrawStrip();
    placeStrip();
}

void WindControls::raceGone() {
    session_ = nullptr;
    const QSignalBlocker quiet(meanWindEdit_);
    meanWindEdit_->clear();
    strip_->hide();
}

void WindControls::showMeanWind(double degrees) {
    const QSignalBlocker quiet(meanWindEdit_);
    meanWindEdit_->setText(QString::fromStdString(shortestDecimal(degrees)));
}

void WindControls::showWindNow(const QString& direction, const QString& speed) {
    directionLabel_->setText(direction);
    speedLabel_->setText(speed);
}

void WindControls::toggleStrip() {
    stripShown_ = !stripShown_;
    placeStrip();
}

void WindControls::placeStrip() {
    const bool show = stripShown_ && session_ && session_->data().WindShown;
    const QRect r = dial_->geometry();
    strip_->setGeometry(r.left(), r.bottom() + 1, r.width(), r.width());
    if (show && strip_->picture().size() != strip_->size()) redrawStrip();
    strip_->setVisible(show);
    if (show) strip_->raise();
}

void WindControls::redrawStrip() {
    const int w = dial_->width();
    strip_->resize(w, w);
    strip_->clear(kStripBackground);
    if (!session_ || !session_->data().WindShown) return;
    QPainter p(&strip_->picture());
    QFont f = strip_->font();
    f.setPointSizeF(scaledPointSize(kStripPointSize, settings_));
    drawWindStrip(p, session_->data().wind, session_->race(), w, f);
    strip_->update();
}

}  // namespace brisko
