// The race screen's replay controls: forward, stop and backward, the one-step buttons and the
// replay speed slider with the speed it gives. Made under the side panel; the window connects
// their signals to the race session's clock.
#pragma once

#include <QObject>

#include "app/appsettings.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace brisko {

class ReplayControls : public QObject {
    Q_OBJECT
public:
    ReplayControls(QWidget* sidePanel, const AppSettings& settings);

    // The STOP button is on: the user stopped the replay, or stepped it.
    bool stopped() const;
    // Turns the STOP button on, as a step stops the replay.
    void showStopped();

signals:
    void forwardChosen();
    void stopChosen();
    void backwardChosen();
    void stepForwardChosen();
    void stepBackwardChosen();
    void speedChosen(int sliderValue);

private:
    void showSpeed();

    const AppSettings& settings_;
    QRadioButton* forwardRadio_ = nullptr;   // "FWD"
    QRadioButton* stopRadio_ = nullptr;      // "STOP"
    QRadioButton* backwardRadio_ = nullptr;  // "BACK"
    QPushButton* stepForwardButton_ = nullptr;
    QPushButton* stepBackwardButton_ = nullptr;
    QSlider* speedSlider_ = nullptr;
    QLabel* speedLabel_ = nullptr;  // "5 x spd"
};

}  // namespace brisko
