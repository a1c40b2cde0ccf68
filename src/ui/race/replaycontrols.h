// The race screen's replay controls: forward, stop and backward, the one-step buttons and the
// replay speed slider with the speed it gives. Made under the side panel; they steer the clock
// of the race session they are given and tell the window, which runs the replay timer and shows
// the frame, through their signals.
#pragma once

#include <QObject>

#include "app/appsettings.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QWidget;

namespace brisko {

class RaceSession;

class ReplayControls : public QObject {
    Q_OBJECT
public:
    ReplayControls(QWidget* sidePanel, const AppSettings& settings);

    // The clock steered from now on is the race's shown (until the next one or raceGone()).
    void raceShown(RaceSession& session) { session_ = &session; }
    void raceGone() { session_ = nullptr; }
    // The STOP button is on: the user stopped the replay, or stepped it.
    bool stopped() const;
    // The STOP button pressed by the screen (a moment chosen elsewhere): the clock stops and
    // directionChosen(false) follows, as after the user's press.
    void stop();

signals:
    // A direction was chosen: the replay runs (forward or backward) or stops.
    void directionChosen(bool running);
    // The clock moved one step and stopped.
    void stepped();

private:
    void showSpeed();
    void step(bool forward);

    const AppSettings& settings_;
    RaceSession* session_ = nullptr;         // the race shown, null when none
    QRadioButton* forwardRadio_ = nullptr;   // "FWD"
    QRadioButton* stopRadio_ = nullptr;      // "STOP"
    QRadioButton* backwardRadio_ = nullptr;  // "BACK"
    QPushButton* stepForwardButton_ = nullptr;
    QPushButton* stepBackwardButton_ = nullptr;
    QSlider* speedSlider_ = nullptr;
    QLabel* speedLabel_ = nullptr;  // "5 x spd"
};

}  // namespace brisko
