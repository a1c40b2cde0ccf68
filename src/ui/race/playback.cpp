// The race screen's replay timers; see playback.h.
#include "ui/race/playback.h"

#include <QCheckBox>
#include <QLabel>

#include "ui/race/racedisp.h"

namespace brisko {

// The window finds its timers by name among its children. The window's own destructor frees the
// playback (and with it the timers) before its children are deleted, so nothing is freed twice.
Playback::Playback(RaceDisp& window) : QObject(&window), w_(window) {
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
    setReplayRunning(!clock.stopped());
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

void Playback::clockToFrame() {
    w_.frame.RaceTime = clock.RaceTime;
    w_.frame.TimeStep = clock.TimeStep;
    w_.frame.PeriodFrom = clock.PeriodFrom;
    w_.frame.PeriodTo = clock.PeriodTo;
}

void Playback::frameToClock() { clock.RaceTime = w_.frame.RaceTime; }

void Playback::Timer1_Timer() {
    // A tick never runs inside another (a modal box opened by a frame lets timers fire).
    if (inTick_ || !w_.raceLoaded) return;
    inTick_ = true;
    w_.frame.BoatInView = false;
    clock.advance();
    if (!w_.options.AutoTrace) {
        if (!clock.stopped()) w_.drawFrame();
        // Stretches with no boat in the map box are crossed 15 s per tick faster.
        if (w_.options.ViewMode == ViewModeKind::Map) {
            for (int i = 0; i < kCatchUpFrames && !w_.frame.BoatInView && !clock.stopped(); ++i) {
                clock.catchUpStep();
                w_.drawFrame();
            }
        }
    } else {
        w_.fitViewToBoats();
        w_.drawFrame();
    }
    clock.countTick();
    inTick_ = false;
}

void Playback::Timer3_Timer() {
    if (!w_.raceLoaded) return;
    const double now = realTime_.elapsed() / 1000.0;
    if (!clock.stopped()) {
        const bool refit = clock.rateTick(now, w_.frame.BoatInView);
        w_.updateSizeLabel();
        if (refit) w_.fitViewToBoats();
    }
    std::vector<double> lead(static_cast<size_t>(w_.data.roundings.entryCount) + 1, 0.0);
    for (int j = 1; j <= w_.data.roundings.entryCount; ++j) lead[j] = w_.data.roundings.LeadTime(j);
    const int oldIndex = clock.LastRoundedIndex;
    const std::string oldText = clock.LastRoundedText;
    clock.updateRoundingTimer(lead, w_.data.roundings.entryCount);
    w_.scene.LastRoundedIndex = clock.LastRoundedIndex;
    w_.scene.LastRoundedText = clock.LastRoundedText;
    // The timer text is drawn above the mark in auto trace, where the marks are redrawn anyway.
    if ((oldIndex != clock.LastRoundedIndex || oldText != clock.LastRoundedText) &&
        w_.options.AutoTrace && clock.stopped())
        w_.redrawBackground();
}

void Playback::Timer2_Timer() {
    if (!clock.autoTraceTick()) {
        if (!clock.AutoTraceArmed) Timer2.stop();
        return;
    }
    Timer2.stop();
    if (!w_.raceLoaded) return;
    w_.Check5->setChecked(true);
    w_.setAutoTrace(true);
}

}  // namespace brisko
