// The race screen's replay timers; see playback.h.
#include "ui/race/playback.h"

#include "session/racesession.h"

namespace brisko {

// The window finds its timers by name among its children.
Playback::Playback(QObject* parent, PlaybackHooks hooks)
    : QObject(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Playback"));
    for (QTimer* t : {&Timer1, &Timer2, &Timer3}) t->setParent(this);
    Timer1.setObjectName(QStringLiteral("Timer1"));
    Timer2.setObjectName(QStringLiteral("Timer2"));
    Timer3.setObjectName(QStringLiteral("Timer3"));
    Timer1.setInterval(kTickMs);
    Timer2.setInterval(kSecondMs);
    Timer3.setInterval(kSecondMs);
    // The rate control counts frames against a one-second interval: keep the timers precise.
    Timer1.setTimerType(Qt::PreciseTimer);
    Timer3.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, &Playback::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Playback::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, &Playback::Timer3_Timer);
    realTime_.start();
}

void Playback::start() {
    RaceSession* s = hooks_.session();
    setReplayRunning(s && !s->clock().stopped());
    Timer2.start();
    Timer3.start();
}

void Playback::stopAll() {
    Timer1.stop();
    Timer2.stop();
    Timer3.stop();
}

void Playback::setReplayRunning(bool on) {
    if (on && !Timer1.isActive())
        Timer1.start();
    else if (!on)
        Timer1.stop();
}

void Playback::Timer1_Timer() {
    RaceSession* s = hooks_.session();
    // A tick never runs inside another (a modal box opened by a frame lets timers fire).
    if (inTick_ || !s) return;
    inTick_ = true;
    s->tick();
    if (!hooks_.autoTrace()) {
        if (!s->clock().stopped()) boatInView_ = hooks_.showFrame();
        // Stretches with no boat in the map box are crossed 15 s per tick faster.
        if (hooks_.mapShown()) {
            for (int i = 0; i < kCatchUpFrames && !boatInView_ && !s->clock().stopped(); ++i) {
                s->catchUpStep();
                boatInView_ = hooks_.showFrame();
            }
        }
    } else {
        boatInView_ = hooks_.showFrame();
    }
    s->countTick();
    inTick_ = false;
}

void Playback::Timer3_Timer() {
    RaceSession* s = hooks_.session();
    if (!s) return;
    const double now = realTime_.elapsed() / 1000.0;
    if (!s->clock().stopped()) {
        const bool refit = s->rateTick(now, boatInView_);
        hooks_.rateMeasured();
        if (refit) hooks_.fitView();
    }
    const int oldIndex = s->clock().LastRoundedIndex;
    const std::string oldText = s->clock().LastRoundedText;
    s->updateRoundingTimer();
    if (oldIndex != s->clock().LastRoundedIndex || oldText != s->clock().LastRoundedText)
        hooks_.roundingTimerMoved();
}

void Playback::Timer2_Timer() {
    RaceSession* s = hooks_.session();
    if (!s || !s->autoTraceTick()) {
        if (s && !s->clock().AutoTraceArmed) Timer2.stop();
        return;
    }
    Timer2.stop();
    hooks_.autoTraceDue();
}

}  // namespace brisko
