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

    // Controls, named as designed.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr, *Label6 = nullptr, *Label7 = nullptr, *Label8 = nullptr,
           *Label9 = nullptr, *Label10 = nullptr, *Label11 = nullptr, *Label12 = nullptr,
           *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr,
              *Text5 = nullptr, *Text6 = nullptr, *Text7 = nullptr, *Text8 = nullptr,
              *Text9 = nullptr, *Text10 = nullptr, *Text11 = nullptr, *Text12 = nullptr;
    QLabel* Text13 = nullptr;  // hint of the boat list
    QListWidget *List1 = nullptr, *List2 = nullptr;
    QFrame* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QRadioButton *Option1 = nullptr, *Option2 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr, *Command10 = nullptr, *Command11 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    void buildControls();
    void applyCaptions();
    void connectControls();
    void FillForm();
    void writeThrough();
    // The file selector on a folder of the application; the chosen name, empty when cancelled.
    QString chooseFile(const char* folder, const QString& extension, int mode);
    void tell(const QString& text);
    MessageAnswer ask(const QString& text);

    void Command1_Click();   // choose a GPS file: shows Frame1
    void Command2_Click();   // OK: add the boat
    void Command3_Click();   // CANCEL
    void Command4_Click();   // save and show the race
    void Command5_Click();   // edit the race file as text
    void Command6_Click();   // open a race file
    void Command7_Click();   // wind data file
    void Command8_Click();   // back
    void Command10_Click();  // add an attachment
    void Command11_Click();  // clear the attachments
    void List1_MouseDown(int row);

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices& platform_;
    RaceOpener raceOpener_;
    RaceDefinition race_;
    std::string gpsPath_;  // the first boat's log, read for the default times
};

}  // namespace brisko
