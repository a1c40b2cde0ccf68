// The race screen's replay timers; see playback.h.
#include "ui/race/playback.h"

#include "session/racesession.h"

namespace brisko {

// The window finds its timers by name among its children.
Playback::Playback(QObject* parent, PlaybackHooks hooks)
    : QObject(parent), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("Playback"));
    for (QTimer* t : {&replayTimer_, &autoTraceTimer_, &rateTimer_}) t->setParent(this);
    replayTimer_.setObjectName(QStringLiteral("replayTimer"));
    autoTraceTimer_.setObjectName(QStringLiteral("autoTraceTimer"));
    rateTimer_.setObjectName(QStringLiteral("rateTimer"));
    replayTimer_.setInterval(kTickMs);
    autoTraceTimer_.setInterval(kSecondMs);
    rateTimer_.setInterval(kSecondMs);
    // The rate control counts frames against a one-second interval: keep the timers precise.
    replayTimer_.setTimerType(Qt::PreciseTimer);
    rateTimer_.setTimerType(Qt::PreciseTimer);
    connect(&replayTimer_, &QTimer::timeout, this, &Playback::onReplayTick);
    connect(&autoTraceTimer_, &QTimer::timeout, this, &Playback::onAutoTraceTick);
    connect(&rateTimer_, &QTimer::timeout, this, &Playback::onRateTick);
    realTime_.start();
}

void Playback::start() {
    RaceSession* s = hooks_.session();
    setReplayRunning(s && !s->clock().stopped());
    autoTraceTimer_.start();
    rateTimer_.start();
}

void Playback::stopAll() {
    replayTimer_.stop();
    autoTraceTimer_.stop();
    rateTimer_.stop();
}

void Playback::setReplayRunning(bool on) {
    if (on && !replayTimer_.isActive())
        replayTimer_.start();
    else if (!on)
        replayTimer_.stop();
}

void Playback::onReplayTick() {
    // A tick never runs inside another (a modal box opened by a frame lets timers fire).
    if (inTick_ || !hooks_.session()) return;
    inTick_ = true;
    hooks_.replayTick();
    inTick_ = false;
}

void Playback::onRateTick() {
    RaceSession* s = hooks_.session();
    if (!s) return;
    const double now = realTime_.elapsed() / 1000.0;
    if (!s->clock().stopped()) {
        const bool refit = s->rateTick(now);
        hooks_.rateMeasured();
        if (refit) hooks_.fitView();
    }
    const int oldIndex = s->clock().LastRoundedIndex;
    const std::string oldText = s->clock().LastRoundedText;
    s->updateRoundingTimer();
    if (oldIndex != s->clock().LastRoundedIndex || oldText != s->clock().LastRoundedText)
        hooks_.roundingTimerMoved();
}

void Playback::onAutoTraceTick() {
    RaceSession* s = hooks_.session();
    if (!s || !s->autoTraceTick()) {
        if (s && !s->clock().AutoTraceArmed) autoTraceTimer_.stop();
        return;
    }
    autoTraceTimer_.stop();
    hooks_.autoTraceDue();
}

}  // namespace brisko
