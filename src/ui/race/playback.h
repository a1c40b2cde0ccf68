// The race screen's replay timers: the replay timer (30 ms) steps the replay and shows a frame,
// the rate timer (1 s) measures the frame rate, sets the time step and keeps the rounding timer,
// the auto trace timer (1 s) switches auto trace on about seven seconds after the screen first
// shows. The replay tick is the window's (the race session steps the clock and lays the frame
// out on the window's view, the window paints it once); the rate and auto trace timers drive the
// session and ask the window, through the hooks, to show what follows.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace brisko {

class RaceSession;

struct PlaybackHooks {
    std::function<RaceSession*()> session;  // the race shown; null when none
    // One step of the replay, laid out by the session and shown by the window.
    std::function<void()> replayTick;
    std::function<void()> fitView;             // fits the view to the boats of the last frame
    std::function<void()> rateMeasured;        // after a rate measurement (the size label)
    std::function<void()> roundingTimerMoved;  // the leader's rounding timer changed
    std::function<void()> autoTraceDue;        // time to switch auto trace on
};

class Playback : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 30;
    static constexpr int kSecondMs = 1000;

    Playback(QObject* parent, PlaybackHooks hooks);

    // Starts all three timers (race set-up); the replay timer only when not stopped.
    void start();
    void stopAll();
    // The replay timer alone, as the direction buttons switch it.
    void setReplayRunning(bool on);
    bool replayRunning() const { return replayTimer_.isActive(); }

private:
    void onReplayTick();
    void onAutoTraceTick();
    void onRateTick();

    PlaybackHooks hooks_;
    QTimer replayTimer_, autoTraceTimer_, rateTimer_;
    QElapsedTimer realTime_;
    bool inTick_ = false;
};

}  // namespace brisko
