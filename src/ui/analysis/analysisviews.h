// The race screen's analysis side: the data view (tables, difference charts, factor analysis),
// the speed and course graph with wind entry, the time bar's upwind/downwind strip and the
// screen picture. Owns the widgets that
// replace the map and the handlers of the controls that lead to them; reads the race session
// and changes it only through its named operations.
#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

#include "analysis/legtables.h"
#include "analysis/speedgraph.h"
#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "display/displayoptions.h"

class QGroupBox;
class QImage;
class QPainter;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QWidget;
class QRect;

namespace brisko {

class PictureBox;
class RaceSession;
struct RaceControls;

struct AnalysisHooks {
    std::function<RaceSession*()> session;
    std::function<void(bool)> setReplayRunning;  // the replay timer on or off
    std::function<QImage()> mapPicture;          // the map with the boats as on the screen
    std::function<QString()> dateTimeText;       // the date and time shown
};

class AnalysisViews : public QObject {
    Q_OBJECT
public:
    AnalysisViews(QWidget* form, RaceControls& controls, DisplayOptions& options,
                  const AppSettings& settings, MessageSink& sink, PlatformServices* platform,
                  AnalysisHooks hooks);

    // A race was shown (set-up): the map view, the strips, the wind box.
    void raceShown();
    void raceGone();
    // The map area's place changed (window resized).
    void place(const QRect& mapArea);
    // What the views show follows the ticked boats, the replay period and the replay time.
    void boatsChanged();
    void periodChanged();
    void timeShown(double raceTime);
    // The race's mean wind direction changed: the graph and the time bar's strip follow it.
    void windChanged();

    ViewModeKind viewMode() const { return options_.ViewMode; }
    bool windEntryMode() const { return windEntryMode_; }
    int windEntryCount() const { return windEntryCount_; }
    const SpeedGraphScale& graphScale() const { return graphScale_; }
    // The picture file of the last screen picture.
    const std::string& picturePath() const { return picturePath_; }

    // What the view choices, the data view's buttons, the graph, the wind boxes and the screen
    // picture button do.
    void showTrackView();
    void showSpeedGraph();
    void showDataView();
    void leaveDataView();  // back to the map or the graph shown before the tables
    void saveScreenPicture();
    void toggleWindEntry();  // switched off, the directions entered are offered for saving
    void onGraphPressed(Qt::MouseButton button, QPointF pos);  // a wind direction entered
    void onGraphMouseMoved(QPointF pos);

    void redrawTable();  // the table kind chosen
    void redrawSpeedGraph();
    void setTimeBarStrip();  // the upwind/downwind strip of the race shown, or none

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildWidgets(QWidget* form);
    void showView(ViewModeKind mode);
    void drawGraphOverlay(QPainter& p);
    void pauseForView();
    void resumeUnlessStopped();
    QString tr2(const char* ja, const char* en) const;

    RaceControls& c_;
    DisplayOptions& options_;
    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices* platform_;
    AnalysisHooks hooks_;

    QWidget* dataView_ = nullptr;  // the table kinds above the table picture
    QScrollArea* tableArea_ = nullptr;
    PictureBox* table_ = nullptr;  // the table picture
    QScrollArea* graphArea_ = nullptr;
    PictureBox* graphPicture_ = nullptr;
    QGroupBox* tableKindBox_ = nullptr;
    QRadioButton* timeTableRadio_ = nullptr;
    QRadioButton* distanceTableRadio_ = nullptr;
    QRadioButton* speedTableRadio_ = nullptr;
    QRadioButton* factorTableRadio_ = nullptr;
    QPushButton* exitButton_ = nullptr;

    int mapSize_ = 300;
    ViewModeKind prevViewMode_ = ViewModeKind::Map;
    SpeedGraphScale graphScale_;
    double cursorTime_ = 0;
    QPointF mouse_{-1, -1};
    bool windEntryMode_ = false;
    int windEntryCount_ = 0;
    bool windPointsEntered_ = false;  // the graph shows entered wind points
    std::string picturePath_;
};

}  // namespace brisko
