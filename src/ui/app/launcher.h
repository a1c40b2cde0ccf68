// The launcher of the full program: a picture with a column of buttons that start the
// GPS download tool, the race file editor, the race screen (a race or one boat's track), the
// wind-analysis tool, the distribution builder and the help. Stays open until "EXIT".
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace brisko {

class RaceEditor;

class Launcher : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 376;  // 5640 x 8955 twips at 15 twips per pixel
    static constexpr int kHeight = 597;

    // Opens the race screen on a race file, or with an empty race file on one boat's track.
    using RaceOpener = std::function<void(const std::string& raceFile, const std::string& track)>;
    // Opens the distribution builder; without one the button says it is not available yet.
    using DistributionOpener = std::function<void(QWidget* owner)>;

    Launcher(const AppSettings& settings, MessageSink& sink, PlatformServices& platform,
             QWidget* parent = nullptr);
    ~Launcher() override;

    void setRaceOpener(RaceOpener opener) { raceOpener_ = std::move(opener); }
    void setDistributionOpener(DistributionOpener opener) { distribOpener_ = std::move(opener); }
    RaceOpener raceOpener() const { return raceOpener_; }

    // The hint of a button in the chosen language (empty for the help button).
    static QString hintFor(const QString& control, const AppSettings& settings);
    // The sibling tool's program: in the application folder (with or without ".exe", any letter
    // case), else on the PATH; empty when neither has it.
    static QString findSiblingTool(const QString& appPath, const QString& name);

    // The artwork of the cover picture box, drawn at the window's size.
    static QImage coverPicture(int width, int height);

    // The artwork behind the buttons; the mouse over it hides the hint.
    QLabel* coverPictureBox = nullptr;
    QLabel* hintBox = nullptr;  // the hint of the button under the mouse
    // The button column.
    QPushButton* gpsDownloadButton = nullptr;   // starts the GPS download tool
    QPushButton* windToolButton = nullptr;      // starts the wind-analysis tool
    QPushButton* editorButton = nullptr;        // opens the race file editor
    QPushButton* distributionButton = nullptr;  // opens the distribution builder
    QPushButton* oneBoatButton = nullptr;       // lists the boats' tracks to show one
    QPushButton* raceScreenButton = nullptr;    // lists the races to show one
    QPushButton* helpButton = nullptr;          // opens the help pages
    QPushButton* exitButton = nullptr;          // ends the program
    // The selection panel under the column: the race or track to show, then OK or CANCEL.
    QFrame* selectionPanel = nullptr;
    QComboBox* racePicker = nullptr;  // the races, or the tracks of one boat
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void drawEditionLabel(QImage& picture) const;
    void showHint(QPushButton* button);
    void hideHint();
    void startSiblingTool(const QString& name, const char* japaneseWhat, const char* englishWhat);
    void tell(const QString& text);

    void startGpsDownloadTool();
    void startWindTool();
    void openEditor();
    void openDistributionBuilder();
    void listTracks();
    void listRaces();
    void openHelp();
    void exitProgram();
    void openRaceScreen();  // OK: the chosen race or track
    void closeSelectionPanel();

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices& platform_;
    bool pickingRace_ = true;  // the race picker holds races, not tracks
    RaceOpener raceOpener_;
    DistributionOpener distribOpener_;
    QPointer<RaceEditor> editor_;
    QPointer<QWidget> raceScreen_;
};

}  // namespace brisko
