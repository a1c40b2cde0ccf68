// The race screen's controls around a race set-up: the race list (browser mode), the start and
// finish times, the buttons that set marks, lines and the course on the chart, the reference
// files, the coastline making, the help and the exit. Made under the side panel; prepared
// before a race opens and filled from the race after it opened. What the user asks of them goes
// to the window as signals; the window opens the race and draws.
#pragma once

#include <QObject>
#include <QString>
#include <string>

#include "app/appsettings.h"
#include "race/racedefinition.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brisko {

class RaceSetup : public QObject {
    Q_OBJECT
public:
    RaceSetup(QWidget* sidePanel, const AppSettings& settings);

    // Before a race opens: browser mode shows the race list, full mode the set-up buttons and
    // editable times; the help button shows only in full mode where its pages are found.
    void prepare(bool browserMode, bool helpFound);
    // The race list: the race files of the race folder (only files that exist), showing
    // `current` when it is one of them.
    void fillRaceList(const std::string& current);
    // After a race opened: its times, and the buttons that depend on what it holds.
    void raceShown(const RaceDefinition& race);
    // No race shown: the times empty.
    void raceGone();
    // Marks and lines are set on the chart by hand (not in auto trace); the course needs two of
    // them at least.
    void enableSetup(bool byHand, int marksAndLines);
    // The set-up modes that are on, their buttons lit.
    void showModes(bool mark, bool line, bool course);
    // The coastline can be made for a race area that lacks some of its tiles.
    void setCoastlineAvailable(bool on);

signals:
    void raceChosen(const QString& fileName);  // "Show": the race chosen in the list
    void timesConfirmed(const QString& start, const QString& finish);
    void markModeClicked();
    void lineModeClicked();
    void courseModeClicked();
    void referenceFilesClicked();
    void makeCoastlineClicked();
    void helpClicked();
    void exitClicked();

private:
    const AppSettings& settings_;
    QLabel* raceFileLabel_ = nullptr;
    QComboBox* raceFileCombo_ = nullptr;     // the races of the race folder (browser mode)
    QPushButton* showRaceButton_ = nullptr;  // shows the race chosen in the list
    QLabel* startTimeLabel_ = nullptr;
    QLineEdit* startTimeEdit_ = nullptr;
    QLabel* finishTimeLabel_ = nullptr;
    QLineEdit* finishTimeEdit_ = nullptr;
    QPushButton* confirmTimesButton_ = nullptr;   // confirms the start and finish times
    QPushButton* setMarkButton_ = nullptr;        // a mark clicked on the chart
    QPushButton* setLineButton_ = nullptr;        // a line of two points clicked on the chart
    QPushButton* setCourseButton_ = nullptr;      // the course order clicked on the chart
    QPushButton* referenceButton_ = nullptr;      // the race's reference files
    QPushButton* makeCoastlineButton_ = nullptr;  // coastline tiles for the race area
    QPushButton* helpButton_ = nullptr;           // the help pages
    QLabel* infoLabel_ = nullptr;                 // where to find further information
    QPushButton* exitButton_ = nullptr;
};

}  // namespace brisko
