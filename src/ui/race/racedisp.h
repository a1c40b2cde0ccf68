// The race screen `RaceDisp`: map box, time bar, side panel with the replay controls, the boat
// panel, the race list and times. It owns the race shown on it (tracks, wind, view and replay
// state) and wires its controls to the set-up, the playback and the renderers.
#pragma once

#include <QWidget>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "race/openrace.h"
#include "track/coastline.h"
#include "ui/display/backgroundrenderer.h"
#include "ui/display/framerenderer.h"
#include "ui/display/overviewmap.h"
#include "ui/display/racescene.h"
#include "ui/display/windindicator.h"
#include "ui/race/racecontrols.h"
#include "ui/race/racelayout.h"

namespace brisko {

class Playback;
class RaceSetup;
class Splite;

class RaceDisp : public QWidget, public RaceControls {
    Q_OBJECT
public:
    // Asks the user for a file name: the prompt, the title and the proposed name; nullopt when
    // the user cancels. Tests put an answer in place of the dialog.
    using NamePrompt = std::function<std::optional<QString>(
        const QString& prompt, const QString& title, const QString& proposal)>;

    RaceDisp(AppSettings& settings, RaceDefinition& race, MessageSink& sink,
             PlatformServices* platform, QWidget* parent = nullptr);
    ~RaceDisp() override;

    void setNamePrompt(NamePrompt prompt) { namePrompt_ = std::move(prompt); }
    // The splash that shows the loading of the first race; closed when set-up is done.
    void setSplash(Splite* splash) { splash_ = splash; }
    Splite* splash() const { return splash_; }
    bool browserMode() const { return settings.EditionMode < 2; }

    // Shared state.
    AppSettings& settings;
    RaceDefinition& race;
    MessageSink& sink;
    PlatformServices* platform;

    // Window state.
    int SetupDone = 0;
    std::string SingleTrackFile;
    QString WindowTitle;
    bool HintsOn = true;
    bool WindTextArmed = true;
    bool BoatRowsBuilt = false;
    int LastKeyCode = 0;      // key held down on the window, 0 when none (16: Shift)
    bool raceLoaded = false;  // the last set-up opened a race with its tracks

    // The race shown and its view and replay state.
    RaceData data;
    CoastLine coast;
    MapView view;
    DisplayOptions options;
    FrameState frame;
    WindNow windNow;
    RaceScene scene;
    BackgroundRenderer background;
    FrameRenderer renderer;
    OverviewMap overview;
    WindIndicator windIndicator;
    std::unique_ptr<Playback> playback;
    std::unique_ptr<RaceSetup> setup;
    RaceLayout layout;

    // The set-up sequence; true when a race with tracks is shown.
    bool SetUpRace();
    // Removes the per-boat rows of boats 2.. and marks them to be built again.
    void ClearBoatRows();

    // Event handlers.
    void Form_Load();
    void Form_Activate();
    bool Form_QueryUnload();
    void Command9_Click();  // show the race chosen in Combo1
    void Command4_Click();  // confirm start and finish times
    void Command1_Click();  // leave
    void Option6_Click();   // FWD
    void Option7_Click();   // STOP
    void Option8_Click();   // BACK
    void Command6_Click();  // +
    void Command7_Click();  // -
    void HScroll1_Change(int value);
    void HScroll2_Change(int value);
    void PicTimeBar_Click(double t);
    void PicTimeBar_Preview(double t, QPoint globalPos);
    void PicTimeBar_PreviewEnd();
    void PicTimeBar_Period(double from, double to);
    void PicTimeBar_CancelPeriod();
    void Check5_Click();
    // Display options: orientation, check boxes and sea colour swatches.
    void Option2_Click();  // north up
    void Option3_Click();  // wind up
    void Check1_Click();   // time marks
    void BCOL_Click(int swatch);
    // Copies the display check boxes into the display options (race set-up).
    void readDisplayChecks();

    // Drawing the race, used by the set-up, the playback and the handlers.
    void drawFrame();
    void redrawBackground();  // background, then marks and lines
    void redrawOverview();
    void redrawWindPanel();
    void fitViewToBoats();
    void setAutoTrace(bool on);
    void updateSizeLabel();
    void updateSpeedText();
    void putFlagsBack();
    void relayout();
    void showLoadingProgress(int boat, int count, const QString& line1, const QString& line2);
    void hideLoadingProgress();
    void playGun();
    std::string appFile(const std::string& relative) const;
    // Asks whether to save and for a file name, then writes the race file. `leaving` chooses the
    // texts of the leave button.
    void offerSave(bool leaving);
    // Enables the set-up buttons and check boxes by auto trace and what the race holds.
    void updateSetupButtons();

    // The replay time a preview shows on the overview (NaN when none).
    double previewTime = std::numeric_limits<double>::quiet_NaN();

signals:
    void closed();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    // The window sees key presses before its controls: LastKeyCode follows them.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void connectControls();
    void hideHints();
    std::optional<QString> askName(const QString& prompt, const QString& title,
                                   const QString& proposal);
    NamePrompt namePrompt_;
    Splite* splash_ = nullptr;
    bool activating_ = false;
    bool closing_ = false;
    bool layoutPending_ = false;
    bool timePanelPlaced_ = false;
};

}  // namespace brisko
