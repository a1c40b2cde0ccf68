// The race control file editor `RaceEditor`: the boats with their GPS files, titles, times,
// time difference, wind, boat length, variation, lay lines, the minutes before the start, the
// map direction, the wind file and the attachments; saved under a name in "\raceadmin\".
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "race/racedefinition.h"

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace brisko {

struct FileSelectRequest;

class RaceEditor : public QWidget {
    Q_OBJECT
public:
    using RaceOpener = std::function<void(const std::string& raceFile)>;

    RaceEditor(const AppSettings& settings, MessageSink& sink, PlatformServices& platform,
               QWidget* parent = nullptr);
    ~RaceEditor() override;

    // Opens the race screen on the saved race ("Show racing ?" answered Yes).
    void setRaceOpener(RaceOpener opener) { raceOpener_ = std::move(opener); }
    const RaceDefinition& race() const { return race_; }

    // The titles and the boats.
    QPushButton* openRaceButton = nullptr;    // read a race file from the race folder
    QPushButton* editAsTextButton = nullptr;  // open the race file in the text editor
    QLabel* title1Label = nullptr;
    QLineEdit* title1Edit = nullptr;
    QLabel* title2Label = nullptr;
    QLineEdit* title2Edit = nullptr;
    QLabel* boatListLabel = nullptr;
    QListWidget* boatList = nullptr;  // one line a boat: its name and GPS file
    QLabel* hintBox = nullptr;        // shown over the boat list: Shift + click deletes a line
    QPushButton* chooseGpsFileButton = nullptr;  // shows the GPS file panel
    // The GPS file panel: a log of the GPS data folder, OK to name the boat, or CANCEL.
    QFrame* gpsFilePanel = nullptr;
    QComboBox* gpsFileList = nullptr;
    QPushButton* addBoatButton = nullptr;
    QPushButton* cancelGpsFileButton = nullptr;
    // The wind file and the attachments.
    QLabel* windFileLabel = nullptr;
    QLineEdit* windFileEdit = nullptr;  // read-only: set by the wind file button
    QPushButton* chooseWindFileButton = nullptr;
    QLabel* attachmentListLabel = nullptr;
    QListWidget* attachmentList = nullptr;
    QPushButton* addAttachmentButton = nullptr;
    QPushButton* clearAttachmentsButton = nullptr;

    // The race's settings, which the race screen can change too.
    QLabel* settingsNoteLabel = nullptr;  // says so
    QLabel* startTimeLabel = nullptr;
    QLineEdit* startTimeEdit = nullptr;
    QLabel* finishTimeLabel = nullptr;
    QLineEdit* finishTimeEdit = nullptr;
    QLabel* timeDiffLabel = nullptr;
    QLineEdit* timeDiffEdit = nullptr;  // whole hours from GPS time to race time
    QLabel* windDirectionLabel = nullptr;
    QLineEdit* windDirectionEdit = nullptr;  // the mean wind direction
    QLabel* boatLengthLabel = nullptr;
    QLineEdit* boatLengthEdit = nullptr;  // LOA in metres
    QLabel* magneticVariationLabel = nullptr;
    QLineEdit* magneticVariationEdit = nullptr;  // degrees, west negative
    QLabel* upwindLayLineLabel = nullptr;
    QLineEdit* upwindLayLineEdit = nullptr;
    QLabel* downwindLayLineLabel = nullptr;
    QLineEdit* downwindLayLineEdit = nullptr;
    QLabel* preStartMinutesLabel = nullptr;
    QLineEdit* preStartMinutesEdit = nullptr;  // minutes shown before the start
    QGroupBox* mapDirectionBox = nullptr;      // the race screen's map: north up or wind up
    QRadioButton* northUpOption = nullptr;
    QRadioButton* windUpOption = nullptr;

    QLabel* helpLabel = nullptr;              // what must be filled in before saving
    QPushButton* saveButton = nullptr;        // save, then offer to show the race
    QPushButton* secondSaveButton = nullptr;  // the same, on the bottom row beside the exit
    QPushButton* exitButton = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void buildControls();
    void applyCaptions();
    void connectControls();
    void fillForm();
    void writeThrough();
    // The file selector on a folder of the application; the chosen name, empty when cancelled.
    QString chooseFile(const char* folder, const QString& extension, int mode);
    void tell(const QString& text);
    MessageAnswer ask(const QString& text);

    // What the buttons and the boat list do.
    void openRace();            // read a race file chosen in the race folder
    void editRaceFileAsText();  // the race file opened here, in the desktop's text editor
    void showGpsFilePanel();    // the logs of the GPS data folder to choose from
    void addBoat();             // the chosen log under a name asked for
    void hideGpsFilePanel();
    void deleteBoatAt(int row);  // Shift + click on the boat list; -1 when no line was hit
    void chooseWindFile();
    void addAttachment();
    void clearAttachments();
    void saveRace();  // checked, saved under a chosen name, then the race shown if wanted

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices& platform_;
    RaceOpener raceOpener_;
    RaceDefinition race_;
    // The start and finish as typed since the race was read, shown until saved.
    std::optional<std::string> typedStart_, typedFinish_;
    std::string gpsPath_;  // the first boat's log, read for the default times
};

}  // namespace brisko
