// The race screen's controls under their designer names, created and arranged in the side panel
// `Picture5`. RaceScreen holds them and wires their events; the option and set-up handlers of the
// map, the graphs and the tables connect to the same controls.
#pragma once

#include <array>

#include "app/appsettings.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
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
    MapPicture* Picture1 = nullptr;
    TimeBar* PicTimeBar = nullptr;
    TimePanel* PicTime = nullptr;
    QWidget* Picture5 = nullptr;
    LoadingProgress* mapProgress = nullptr;  // loading progress over the map
    QLabel* Text7 = nullptr;                 // hint box of the map side and panel
    QLabel* Text8 = nullptr;                 // hint box of the boat panel

    // Replay.
    QRadioButton* Option6 = nullptr;  // FWD
    QRadioButton* Option7 = nullptr;  // STOP
    QRadioButton* Option8 = nullptr;  // BACK
    QPushButton* Command6 = nullptr;  // +
    QPushButton* Command7 = nullptr;  // -
    QSlider* HScroll1 = nullptr;      // replay speed
    QLabel* Text2 = nullptr;          // speed text

    // View.
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option3 = nullptr;  // wind up
    QRadioButton* Option2 = nullptr;  // north up
    QGroupBox* Frame4 = nullptr;
    QRadioButton* Option9 = nullptr;     // track view
    QRadioButton* Option10 = nullptr;    // speed graph
    QRadioButton* Option11 = nullptr;    // data table
    std::array<QCheckBox*, 11> Check{};  // Check1..Check10 at 1..10
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check3 = nullptr;  // HINT
    QCheckBox* Check4 = nullptr;
    QCheckBox* Check5 = nullptr;  // auto trace
    QCheckBox* Check6 = nullptr;
    QCheckBox* Check7 = nullptr;
    QCheckBox* Check8 = nullptr;
    QCheckBox* Check9 = nullptr;
    QCheckBox* Check10 = nullptr;
    std::array<QPushButton*, 7> BCOL{};  // BCOL1..BCOL6 at 1..6
    QLabel* Text15 = nullptr;            // real size / enlarged

    // Overview, wind, zoom.
    PictureBox* Picture6 = nullptr;  // overview
    PictureBox* Picture2 = nullptr;  // wind panel
    QWidget* sWind = nullptr;        // wind graph switch area
    QLabel* Label8 = nullptr;        // heading of the mean wind box
    QLineEdit* Text3 = nullptr;      // mean wind direction
    QLabel* Label9 = nullptr;        // heading of the wind now boxes
    QLabel* Text13 = nullptr;        // wind direction now
    QLabel* Text14 = nullptr;        // wind speed now
    QWidget* Picture12 = nullptr;    // zoom panel (auto trace)
    QLabel* Label7 = nullptr;        // "ZOOM"
    QSlider* HScroll2 = nullptr;

    // Boats.
    QScrollArea* boatScroll = nullptr;
    BoatPanel* boatPanel = nullptr;

    // Race file, times, set-up and leaving.
    QLabel* Label6 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command9 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Text9 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text10 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command2 = nullptr;   // set mark
    QPushButton* Command3 = nullptr;   // set line
    QPushButton* Command5 = nullptr;   // set course
    QPushButton* Command10 = nullptr;  // screen picture
    QPushButton* Command12 = nullptr;  // wind data entry
    QPushButton* Command13 = nullptr;  // reference files
    QPushButton* Command14 = nullptr;  // coastline tiles for the race area
    QPushButton* Command1 = nullptr;   // leave
    QPushButton* btnHATENA = nullptr;  // help
    QLabel* Label1 = nullptr;          // further information

    // Creates every control under `form` with its designed (Japanese) caption.
    void build(QWidget* form, const AppSettings& settings);
    // Sets the base point sizes times the font scale.
    void applyFontScale(const AppSettings& settings);
};

}  // namespace brisko
