// A plain main window that names the race it would open, until the race screen takes over.
#pragma once

#include <QMainWindow>

namespace brisko {

class PlaceholderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit PlaceholderWindow(const QString& appPath, const QString& raceFile,
                               QWidget* parent = nullptr);
};

}  // namespace brisko
