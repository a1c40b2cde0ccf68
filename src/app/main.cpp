// Brisko start-up: settle the application folder and settings, then open the first window.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>

#include "ui/app/placeholderwindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString appDir = QCoreApplication::applicationDirPath();
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i)
        if (args[i] == "--app-dir") appDir = args[i + 1];
    brisko::PlaceholderWindow w(QDir(appDir).absolutePath(), QString());
    w.show();
    return app.exec();
}
