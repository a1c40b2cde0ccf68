// The race screen on a race, opened as the start-up opens it, for the Qt tests that drive
// it through its controls and look at what it shows.
#pragma once

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string>

#include "app/messages.h"
#include "session/racesession.h"
#include "ui/display/finishlist.h"
#include "ui/display/startflag.h"
#include "ui/display/timebar.h"
#include "ui/race/racescreen.h"
#include "ui/widgets/picturewidget.h"
#include "uitesthelpers.h"

namespace brisko::test {

inline const QString kDemo = QStringLiteral(BRISKO_SOURCE_DIR "/demo");
inline const std::string kDemoRace = "enoshima_0607.txt";

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// One race screen on a race, opened as the start-up opens it, with its controls found by their
// object names. `analyser` stands in for the coach's analyses when given.
struct Screen {
    AppSettings settings;
    CapturingMessageSink sink{MessageAnswer::No};
    std::unique_ptr<RaceScreen> w;

    Screen(const QString& appPath, int mode, int lang, const std::string& raceFile = kDemoRace,
           PlatformServices* platform = nullptr, CoachAnalyser analyser = {})
        : Screen(settingsFor(appPath, mode, lang), raceFile, platform, std::move(analyser)) {}
    // A screen on settings the test has changed further (the font scale, the font).
    explicit Screen(const AppSettings& given, const std::string& raceFile = kDemoRace,
                    PlatformServices* platform = nullptr, CoachAnalyser analyser = {})
        : settings(given) {
        w = std::make_unique<RaceScreen>(settings, raceFile, sink, platform);
        if (analyser) w->setCoachAnalyser(std::move(analyser));
        w->resize(1200, 820);
        w->openFirstRace();
    }
    static AppSettings settingsFor(const QString& appPath, int mode, int lang) {
        AppSettings s;
        s.AppPath = appPath.toStdString();
        s.EditionMode = mode;
        s.Lang = lang;
        s.ProductTitle = lang == 1 ? "Brisko" : "ブリスコ";
        return s;
    }
    template <class T = QWidget>
    T* c(const char* name) const {
        T* found = w->findChild<T*>(QString::fromLatin1(name));
        if (!found) qFatal("no control %s", name);
        return found;
    }
    const RaceSession& session() const { return *w->session(); }
    const PlaybackClock& clock() const { return session().clock(); }
    const RaceDefinition& race() const { return session().race(); }
    TimeBar* bar() const { return c<TimeBar>("timeBar"); }
    PictureWidget* map() const { return c<PictureWidget>("mapPicture"); }
    // The start flags and the finishing list over the map box.
    StartFlag* bluePeter() const { return c<StartFlag>("bluePeterFlag"); }
    StartFlag* sevenFlag() const { return c<StartFlag>("sevenFlag"); }
    FinishList* finishList() const { return c<FinishList>("finishList"); }
    void stop() { c<QRadioButton>("stopRadio")->click(); }
    // A click on the time bar at the pixel of race time t (the clock lands on its whole second).
    void jump(double t) {
        QTest::mouseClick(bar(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(15, qRound(bar()->scale().yForTime(t))));
    }
    // "+" until the clock reaches t (one second a press while stopped at an integer time).
    void stepTo(double t) {
        for (int i = 0; i < 10000 && clock().RaceTime < t; ++i)
            c<QPushButton>("stepForwardButton")->click();
    }
    void fire(const char* timer) { QMetaObject::invokeMethod(c<QTimer>(timer), "timeout"); }

    // Shows the window and waits until it is on the screen.
    bool showOnScreen() {
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get())) return false;
        QTest::qWait(200);  // the window lays itself out a moment after it is resized
        return true;
    }
    // What the screen shows of `widget` once the pending repaints have reached it: the window's
    // pixels as they were flushed, not a fresh rendering of the widget.
    QImage onScreen(const QWidget* widget) const {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const QPixmap all = w->screen()->grabWindow(w->winId());
        const QRect r(widget->mapTo(w.get(), QPoint(0, 0)), widget->size());
        return all.copy(r).toImage().convertToFormat(QImage::Format_RGB32);
    }
    // A fresh rendering of `widget` with everything it holds.
    static QImage rendered(QWidget* widget) {
        return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

}  // namespace brisko::test
