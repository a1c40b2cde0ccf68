// The race screen's replay controls; see replaycontrols.h.
#include "ui/race/replaycontrols.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "display/playbackclock.h"
#include "session/racesession.h"
#include "ui/widgets/named.h"

namespace brisko {

namespace {
constexpr int kStepButtonWidth = 28;
constexpr int kSpeedLabelWidth = 70;
}  // namespace

ReplayControls::ReplayControls(QWidget* panel, const AppSettings& settings)
    : QObject(panel), settings_(settings) {
    forwardRadio_ = named<QRadioButton>(panel, "forwardRadio", QStringLiteral("FWD"));
    stopRadio_ = named<QRadioButton>(panel, "stopRadio", QStringLiteral("STOP"));
    backwardRadio_ = named<QRadioButton>(panel, "backwardRadio", QStringLiteral("BACK"));
    stepForwardButton_ = named<QPushButton>(panel, "stepForwardButton", QStringLiteral("+"));
    stepBackwardButton_ = named<QPushButton>(panel, "stepBackwardButton", QStringLiteral("-"));
    forwardRadio_->setChecked(true);
    // One of the three, whatever other buttons the side panel holds: a radio button left to
    // itself is exclusive with every radio button under its parent.
    auto* directions = new QButtonGroup(this);
    for (QRadioButton* b : {forwardRadio_, stopRadio_, backwardRadio_}) directions->addButton(b);
    for (QPushButton* b : {stepForwardButton_, stepBackwardButton_})
        b->setFixedWidth(kStepButtonWidth);
    speedSlider_ = named<QSlider>(panel, "replaySpeedSlider");
    speedSlider_->setOrientation(Qt::Horizontal);
    speedSlider_->setRange(kSpeedSliderMin, kSpeedSliderMax);
    speedSlider_->setValue(kSpeedSliderStart);
    speedSlider_->setPageStep(1);
    speedLabel_ = named<QLabel>(panel, "replaySpeedLabel");
    speedLabel_->setMinimumWidth(kSpeedLabelWidth);
    showSpeed();

    connect(forwardRadio_, &QRadioButton::clicked, this, [this] {
        if (!session_) return;
        session_->forward();
        emit directionChosen(true);
    });
    connect(stopRadio_, &QRadioButton::clicked, this, [this] {
        if (session_) session_->stop();
        emit directionChosen(false);
    });
    connect(backwardRadio_, &QRadioButton::clicked, this, [this] {
        if (!session_) return;
        session_->backward();
        emit directionChosen(true);
    });
    connect(stepForwardButton_, &QPushButton::clicked, this, [this] { step(true); });
    connect(stepBackwardButton_, &QPushButton::clicked, this, [this] { step(false); });
    connect(speedSlider_, &QSlider::valueChanged, this, [this](int value) {
        showSpeed();
        if (session_) session_->setSpeedSlider(value);
    });
}

bool ReplayControls::stopped() const { return stopRadio_->isChecked(); }

void ReplayControls::stop() {
    stopRadio_->setChecked(true);
    if (session_) session_->stop();
    emit directionChosen(false);
}

void ReplayControls::step(bool forward) {
    // A step stops the replay.
    stopRadio_->setChecked(true);
    if (session_ && forward) session_->stepForward();
    if (session_ && !forward) session_->stepBackward();
    emit stepped();
}

void ReplayControls::showSpeed() {
    speedLabel_->setText(QString::fromStdString(
        speedText(speedFactorForSlider(speedSlider_->value()), settings_.english())));
}

}  // namespace brisko
