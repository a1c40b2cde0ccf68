// The race screen's replay timers: `Timer1` (30 ms) advances the race time and draws a frame,
// `Timer3` (1 s) measures the frame rate and sets the time step and keeps the rounding timer,
// `Timer2` (1 s) switches auto trace on about seven seconds after the screen first shows.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "display/playbackclock.h"

namespace brisko {

class RaceDisp;

class Playback : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 30;
    static constexpr int kSecondMs = 1000;

    explicit Playback(RaceDisp& window);

    PlaybackClock clock;
    QTimer Timer1, Timer2, Timer3;

    // Starts all three timers (race set-up); the replay timer only when not stopped.
    void start();
    void stopAll();
    // The replay timer alone, as the direction buttons switch it.
    void setReplayRunning(bool on);

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();

    // Copies the clock into the frame state before a frame and the wrapped time back after it.
    void clockToFrame();
    void frameToClock();

private:
    RaceDisp& w_;
    QElapsedTimer realTime_;
    bool inTick_ = false;
};

}  // namespace brisko
