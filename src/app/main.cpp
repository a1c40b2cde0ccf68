// Brisko start-up: settle the application folder and settings, ask the start-up questions,
// then open the first window.
#include <QApplication>
#include <QScreen>

#include "app/startup.h"
#include "platform/desktopplatform.h"
#include "ui/app/placeholderwindow.h"
#include "ui/app/qtmessagesink.h"

namespace {

brisko::StartupEnvironment startupEnvironment(const QApplication& app) {
    brisko::StartupEnvironment env;
    for (const QString& a : app.arguments()) env.arguments.push_back(a.toStdString());
    env.envAppDir = qEnvironmentVariable("BRISKO_APP_DIR").toStdString();
    env.programDir = QCoreApplication::applicationDirPath().toStdString();
    env.demoDir = BRISKO_DEMO_DIR;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        env.logicalDpi = screen->logicalDotsPerInchX();
    return env;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    brisko::DesktopPlatform platform;
    brisko::QtMessageSink sink;
    const brisko::StartupPlan plan = brisko::planStartup(startupEnvironment(app), platform, sink);
    if (plan.action == brisko::StartupAction::Quit) return 0;
    sink.setDefaultTitle(plan.settings.ProductTitle);

    const QString appPath = QString::fromStdString(plan.settings.AppPath);
    const QString first = plan.action == brisko::StartupAction::ShowLauncher
                              ? QStringLiteral("(launcher)")
                              : QString::fromStdString(plan.raceFileName);
    brisko::PlaceholderWindow window(appPath, first);
    window.show();
    return app.exec();
}
