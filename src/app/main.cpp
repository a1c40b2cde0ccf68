// Brisko start-up: settle the application folder and settings, ask the start-up questions,
// then open the first window.
#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include "app/startup.h"
#include "platform/desktopplatform.h"
#include "ui/app/launcher.h"
#include "ui/app/qtmessagesink.h"
#include "ui/app/splashscreen.h"
#include "ui/app/startcheck.h"
#include "ui/distrib/distributionbuilder.h"
#include "ui/race/racescreen.h"

#if defined(__SANITIZE_THREAD__)
// A thread-sanitizer build started with a bare environment (an installed copy, a distribution
// folder) still ignores what happens inside the libraries built without the sanitizer: Qt, and
// PulseAudio's own threads behind the start gun.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libQt6Core.so.6\n"
           "called_from_lib:libQt6Gui.so.6\n"
           "called_from_lib:libpulse.so.0\n"
           "called_from_lib:libpulsecommon-16.1.so\n";
}
#endif

namespace {

brisko::StartupEnvironment startupEnvironment(const QApplication& app) {
    brisko::StartupEnvironment env;
    for (const QString& a : app.arguments()) env.arguments.push_back(a.toStdString());
    env.envAppDir = qEnvironmentVariable("BRISKO_APP_DIR").toStdString();
    env.programDir = QCoreApplication::applicationDirPath().toStdString();
    // An installed program finds the demo in its shared data, one built here beside the sources.
    const QString installedDemo =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" BRISKO_INSTALLED_DEMO_DIR);
    env.demoDir = QFileInfo(installedDemo).isDir() ? installedDemo.toStdString() : BRISKO_DEMO_DIR;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        env.logicalDpi = screen->logicalDotsPerInchX();
    return env;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    brisko::DesktopPlatform platform;
    brisko::QtMessageSink sink;
    // --check / --screenshot: open the start-up race without boxes, tell what shows, and end.
    const brisko::StartCheckRequest check = brisko::startCheckRequest(app.arguments());
    if (check.wanted) {
        brisko::StderrMessageSink quiet("brisko: ");
        const brisko::StartupPlan plan =
            brisko::planStartup(startupEnvironment(app), platform, quiet);
        static brisko::AppSettings checked;
        checked = plan.settings;
        brisko::RaceScreen raceScreen(checked, plan.raceFileName, quiet, &platform);
        raceScreen.openFirstRace();
        return brisko::reportStartCheck(raceScreen, check, quiet.shown);
    }
    // The start-up questions are asked in the user's language, their buttons included.
    {
        const brisko::StartupEnvironment env = startupEnvironment(app);
        const brisko::AppSettings early = brisko::loadStartupSettings(
            brisko::chooseAppFolder(env.arguments, env.envAppDir, env.programDir, env.demoDir),
            env.logicalDpi);
        sink.setJapanese(!early.english());
    }
    const brisko::StartupPlan plan = brisko::planStartup(startupEnvironment(app), platform, sink);
    if (plan.action == brisko::StartupAction::Quit) return 0;
    sink.setDefaultTitle(plan.settings.ProductTitle);

    // Browser mode: the splash shows the loading of the first race; closing the race screen
    // ends the program.
    static brisko::AppSettings settings;
    if (plan.action == brisko::StartupAction::ShowRaceScreen) {
        settings = plan.settings;
        sink.setJapanese(!settings.english());
        auto* splash = new brisko::SplashScreen(settings);
        splash->setAttribute(Qt::WA_DeleteOnClose);
        brisko::RaceScreen raceScreen(settings, plan.raceFileName, sink, &platform);
        raceScreen.setSplash(splash);
        QObject::connect(&raceScreen, &brisko::RaceScreen::closed, &app, &QApplication::quit);
        raceScreen.openFirstRace();
        return app.exec();
    }

    // Full mode: the launcher stays open while the other windows are used; its "EXIT" ends
    // the program.
    settings = plan.settings;
    sink.setJapanese(!settings.english());
    brisko::Launcher launcher(settings, sink, platform);
    // The distribution builder is modal over the launcher, as it copies from the race folder.
    launcher.setDistributionOpener([&](QWidget* owner) {
        brisko::DistributionBuilder builder(settings, sink, owner);
        builder.exec();
    });
    launcher.show();
    return app.exec();
}
