// The race screen's controls, each named by what it is for, created and arranged in the side
// panel. RaceScreen holds them and wires their events; the option and set-up handlers of the
// map, the graphs and the tables connect to the same controls.
#pragma once

#include "app/appsettings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brisko {

class BoatPanel;
class MapPicture;
class PictureBox;
class TimeBar;
class TimePanel;
class LoadingProgress;

struct RaceControls {
    // Map box, time bar, time panel and side panel.
    MapPicture* mapPicture = nullptr;
    TimeBar* timeBar = nullptr;
    TimePanel* timePanel = nullptr;
    QWidget* sidePanel = nullptr;
    LoadingProgress* mapProgress = nullptr;  // loading progress over the map
    QLabel* hintBox = nullptr;               // hints of the map side and the side panel
    QLabel* boatHintBox = nullptr;           // hints of the boat panel

    // Overview.
    PictureBox* overviewPicture = nullptr;  // the whole race area

    // Boats.
    BoatPanel* boatPanel = nullptr;

    // Race file, times, set-up and leaving.
    QLabel* raceFileLabel = nullptr;
    QComboBox* raceFileCombo = nullptr;     // the races of the race folder (browser mode)
    QPushButton* showRaceButton = nullptr;  // shows the race chosen in the list
    QLabel* startTimeLabel = nullptr;
    QLineEdit* startTimeEdit = nullptr;
    QLabel* finishTimeLabel = nullptr;
    QLineEdit* finishTimeEdit = nullptr;
    QPushButton* confirmTimesButton = nullptr;   // confirms the start and finish times
    QPushButton* setMarkButton = nullptr;        // a mark clicked on the chart
    QPushButton* setLineButton = nullptr;        // a line of two points clicked on the chart
    QPushButton* setCourseButton = nullptr;      // the course order clicked on the chart
    QPushButton* referenceButton = nullptr;      // the race's reference files
    QPushButton* makeCoastlineButton = nullptr;  // coastline tiles for the race area
    QPushButton* exitButton = nullptr;
    QPushButton* helpButton = nullptr;  // the help pages
    QLabel* infoLabel = nullptr;        // where to find further information

    // Creates the controls under `form` with their designed (Japanese) captions; the window
    // arranges the side panel once its pieces have made theirs.
    void build(QWidget* form, const AppSettings& settings);
    // Sets the base point sizes times the font scale.
    void applyFontScale(const AppSettings& settings);
};

}  // namespace brisko
