// The distribution builder: a modal window that picks races from the application's race
// folder and builds "distribution/<folder>/" with the program, its runtime files and the races,
// for the web or a CD-ROM. Opened from the launcher.
#pragma once

#include <QDialog>
#include <QStringList>

#include "app/appsettings.h"
#include "app/messages.h"
#include "distrib/distribution.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace brisko {

class DistributionBuilder : public QDialog {
    Q_OBJECT
public:
    // `programFile` is the executable copied into the distribution; empty means this program.
    DistributionBuilder(const AppSettings& settings, MessageSink& sink, QWidget* parent = nullptr,
                        const QString& programFile = {});

    static constexpr int kMaxRaceFiles = 200;
    static constexpr int kMaxChosenRaces = 50;

    QLabel* raceFileLabel = nullptr;
    QListWidget* raceFileList = nullptr;  // the race files of the race folder; a press picks one
    QLabel* chosenRaceLabel = nullptr;
    // The races picked, in order; a press makes one the start-up race.
    QListWidget* chosenRaceList = nullptr;
    QPushButton* redoButton = nullptr;  // empties the races picked
    QLabel* startupRaceLabel = nullptr;
    QLineEdit* startupRaceEdit = nullptr;  // the race the distribution opens first
    QLabel* folderNameLabel = nullptr;
    QComboBox* folderNameEdit = nullptr;  // the new folder under "distribution/"
    QGroupBox* mediaGroup = nullptr;      // for the web or a CD-ROM
    QRadioButton* webRadio = nullptr;
    QRadioButton* cdRomRadio = nullptr;
    QCheckBox* mapDataCheck = nullptr;       // attach the map data
    QCheckBox* smallestSizeCheck = nullptr;  // the smallest data size
    QPushButton* buildButton = nullptr;
    QPushButton* cancelButton = nullptr;

    const QStringList& raceFiles() const { return raceFiles_; }
    const QStringList& chosenRaces() const { return chosenRaces_; }
    // What the last build did; empty before one.
    const DistributionPlan& lastPlan() const { return plan_; }
    const DistributionResult& lastResult() const { return result_; }

    // The choice the controls make now.
    DistributionChoice choice() const;

    // The window as it opens: font and captions, nothing picked, the race folder listed.
    void startAfresh();
    void addChosenRace(QListWidgetItem* item);    // from the race files
    void pickStartupRace(QListWidgetItem* item);  // from the races picked
    // Checks the folder name, asks, builds the distribution and closes; every file left out
    // and every failure is told.
    void buildDistribution();
    void cancel();
    void clearChosenRaces();

private:
    void applyCaptions();

    AppSettings settings_;
    MessageSink& sink_;
    QString programFile_;
    QStringList raceFiles_;
    QStringList chosenRaces_;
    DistributionPlan plan_;
    DistributionResult result_;
};

}  // namespace brisko
