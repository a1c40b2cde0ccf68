// The race screen's controls around a race set-up: the race list (browser mode), the start and
// finish times, the buttons that set marks, lines and the course on the chart, the reference
// files, the coastline making, the help and the exit. Made under the side panel; prepared
// before a race opens and given the race session after it opened. It keeps the race file's own
// dialogue with the user: the race already shown, times refused, the offer to save under a new
// name, why a race could not be shown. What the window must do goes out as signals.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "app/appsettings.h"
#include "app/messages.h"
#include "app/platformservices.h"
#include "session/racesession.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brisko {

class RaceSetup : public QObject {
    Q_OBJECT
public:
    // Asks the user for a file name: the prompt, the title and the proposed name; nullopt when
    // the user cancels. Tests put an answer in place of the dialog.
    using NamePrompt = std::function<std::optional<QString>(
        const QString& prompt, const QString& title, const QString& proposal)>;

    RaceSetup(QWidget* sidePanel, const AppSettings& settings, MessageSink& sink,
              PlatformServices* platform);
    void setNamePrompt(NamePrompt prompt) { namePrompt_ = std::move(prompt); }

    // Before a race opens: browser mode shows the race list, full mode the set-up buttons and
    // editable times; the help button shows only in full mode where its pages are found.
    void prepare(bool browserMode);
    // The race list: the race files of the race folder (only files that exist), showing
    // `current` when it is one of them.
    void fillRaceList(const std::string& current);
    // After a race opened: its times and the buttons that depend on what it holds; the session
    // is read and changed (times, saving) until the next race is shown or raceGone().
    void raceShown(RaceSession& session);
    // No race shown: the times empty.
    void raceGone();
    // A race that could not be shown: why, when the reader or the loader has not said it, and
    // that the race `keptFile` stays shown (empty: none does).
    void tellWhyNotShown(SessionOpenStatus status, const std::string& fileName,
                         const std::string& keptFile);
    // Marks and lines are set on the chart by hand (not in auto trace); the course needs two of
    // them at least.
    void enableSetup(bool byHand, int marksAndLines);
    // The set-up modes that are on, their buttons lit.
    void showModes(bool mark, bool line, bool course);
    // The coastline can be made for a race area that lacks some of its tiles.
    void setCoastlineAvailable(bool on);

signals:
    void raceChosen(const QString& fileName);  // "Show": another race than the one shown
    void timesSet();                           // the race's new times were accepted
    void leaving();                            // "Exit", after the offer to save
    void markModeClicked();
    void lineModeClicked();
    void courseModeClicked();
    void makeCoastlineClicked();

private:
    void showChosenRace();
    void confirmTimes();
    void leave();
    void offerSave(bool leaving);
    std::optional<QString> askName(const QString& prompt, const QString& title,
                                   const QString& proposal);
    void showReferenceFiles();
    void showHelp();
    void tell(const QString& text);

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices* platform_;
    NamePrompt namePrompt_;
    RaceSession* session_ = nullptr;  // the race shown, null when none
    bool browser_ = false;

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
