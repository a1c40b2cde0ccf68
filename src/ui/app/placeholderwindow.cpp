// A plain main window that names the race it would open.
#include "ui/app/placeholderwindow.h"

#include <QLabel>

namespace brisko {

PlaceholderWindow::PlaceholderWindow(const QString& appPath, const QString& raceFile,
                                     QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle("Brisko");
    auto* label = new QLabel(QString("Application folder: %1\nRace: %2").arg(appPath, raceFile));
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    resize(800, 600);
}

}  // namespace brisko
