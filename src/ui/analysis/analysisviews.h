// The race screen's analysis side: the data view (tables, difference charts, factor analysis,
// and the coach's start, manoeuvre and leg tables), the speed and course graph with wind entry,
// and the screen picture. Owns the widgets that replace the map and the controls that lead to
// them (the view choices, the screen picture and wind entry buttons); reads the race session and
// changes it only through its named operations, and tells the window what it shows through its
// signals.
#pragma once

#include <QObject>
#include <QPointF>
#include <vector>

#include "analysis/coachtables.h"
#include "analysis/legtables.h"
#include "analysis/speedgraph.h"
#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "display/displayoptions.h"
#include "ui/analysis/screenpicture.h"

class QGroupBox;
class QLabel;
class QPainter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTableWidget;
class QWidget;
class QRect;

namespace brisko {

class PictureWidget;
class RaceSession;

class AnalysisViews : public QObject {
    Q_OBJECT
public:
    // The views are made over the map area of `form`; the view choices and the screen picture
    // and wind entry buttons under `sidePanel`.
    AnalysisViews(QWidget* form, QWidget* sidePanel, const AppSettings& settings, MessageSink& sink,
                  PlatformServices* platform);

    // A race was shown (set-up): the chart again, the views drawn from `session` from now on
    // (changed only through its named operations) with the boat colours and shown boats of
    // `boats`.
    void raceShown(RaceSession& session, const DisplayOptions& boats);
    // No race shown: the chart, and no session read any more.
    void raceGone();
    // The map area's place changed (window resized).
    void place(const QRect& mapArea);
    // What the views show follows the ticked boats, the replay period, the replay time and the
    // mean wind direction.
    void boatsChanged(const DisplayOptions& boats);
    void periodChanged(bool marked);
    void timeShown(double raceTime);
    void windChanged();
    // The tables need a course of two entries or more.
    void setDataViewAvailable(bool on);

    ViewModeKind viewMode() const { return mode_; }
    bool windEntryMode() const { return windEntryMode_; }
    int windEntryCount() const { return windEntryCount_; }
    const SpeedGraphScale& graphScale() const { return graphScale_; }
    // The picture file of the last screen picture.
    const std::string& picturePath() const { return picturePath_; }

    // What the view choices, the data view's buttons and the graph do.
    void showTrackView();
    void showSpeedGraph();
    void showDataView();
    void leaveDataView();    // back to the map or the graph shown before the tables
    void toggleWindEntry();  // switched off, the directions entered are offered for saving
    void onGraphPressed(Qt::MouseButton button, QPointF pos);  // a wind direction entered
    void onGraphMouseMoved(QPointF pos);
    // Saves the screen picture and opens it. `shown` holds what the window shows beside the
    // views: the map as on the screen, the overview, its font and the date and time; a graph or
    // a table shown takes the map's place, and the race file and the legend are added here.
    void saveScreenPicture(ScreenPictureParts shown);

    void redrawTable();  // the table kind chosen
    void redrawSpeedGraph();
    // The coach's table shown, if one is: its rows in the order listed.
    const CoachTable* coachTable() const { return coachKind_ ? &coach_ : nullptr; }
    const std::vector<int>& coachRowOrder() const { return coachOrder_; }

signals:
    // The view shown now: the map box and its clock panel are shown only with the chart.
    void viewShown(ViewModeKind mode);
    // The user chose a view (the chart's own tools follow it).
    void viewChosen(ViewModeKind mode);
    // The replay paused for a view (false), or free to run again unless stopped (true).
    void replayWanted(bool running);
    // The screen picture button was pressed: the window answers with saveScreenPicture().
    void screenPictureWanted();
    // A row of the start or manoeuvre table was clicked: its moment (race seconds) and boat.
    void momentChosen(double raceTime, int boat);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildSideControls(QWidget* sidePanel);
    void buildViews(QWidget* form);
    void showView(ViewModeKind mode);
    void drawGraphOverlay(QPainter& p);
    void pauseForView();
    void resumeUnlessStopped();
    QString tr2(const char* ja, const char* en) const;
    // The coach's table of the kind chosen, in the order of the column last sorted by.
    void showCoachTable(CoachTableKind kind);
    void fillCoachRows();
    void coachRowClicked(int row);

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices* platform_;
    RaceSession* session_ = nullptr;  // the race shown, null when none
    DisplayOptions boats_;            // the boats' colours and the ticked boats

    QGroupBox* viewBox_ = nullptr;  // the chart, the graph or the tables
    QRadioButton* trackViewRadio_ = nullptr;
    QRadioButton* speedGraphRadio_ = nullptr;
    QRadioButton* dataViewRadio_ = nullptr;
    QPushButton* screenPictureButton_ = nullptr;
    QPushButton* windEntryButton_ = nullptr;

    QWidget* dataView_ = nullptr;  // the table kinds above the table picture
    QScrollArea* tableArea_ = nullptr;
    PictureWidget* table_ = nullptr;  // the table picture
    QScrollArea* graphArea_ = nullptr;
    PictureWidget* graphPicture_ = nullptr;
    QGroupBox* tableKindBox_ = nullptr;
    QRadioButton* timeTableRadio_ = nullptr;
    QRadioButton* distanceTableRadio_ = nullptr;
    QRadioButton* speedTableRadio_ = nullptr;
    QRadioButton* factorTableRadio_ = nullptr;
    QRadioButton* startTableRadio_ = nullptr;
    QRadioButton* manoeuvreTableRadio_ = nullptr;
    QRadioButton* legStatsTableRadio_ = nullptr;
    QPushButton* exitButton_ = nullptr;
    QLabel* coachNote_ = nullptr;  // the start line, or the wind the table was judged against
    QTableWidget* coachTable_ = nullptr;

    std::optional<CoachTableKind> coachKind_;  // the coach's table shown, none: the leg tables
    CoachTable coach_;
    std::vector<int> coachOrder_;  // table rows in the order listed
    int sortColumn_ = -1;          // -1: in boat and time order
    bool sortAscending_ = true;

    int mapSize_ = 300;
    ViewModeKind mode_ = ViewModeKind::Map;
    ViewModeKind prevViewMode_ = ViewModeKind::Map;
    SpeedGraphScale graphScale_;
    double cursorTime_ = 0;
    bool periodMarked_ = false;  // the replay period was chosen on the time bar
    QPointF mouse_{-1, -1};
    bool windEntryMode_ = false;
    int windEntryCount_ = 0;
    bool windPointsEntered_ = false;  // the graph shows entered wind points
    std::string picturePath_;
};

}  // namespace brisko
