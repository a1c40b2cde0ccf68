// The distribution builder `DistributionBuilder`: a modal window that picks races from the application's race
// folder and builds "distribution/<folder>/" with the program, its runtime files and the races,
// for the web or a CD-ROM. Opened from the launcher.
#pragma once

#include <QDialog>
#include <QStringList>

#include "app/appsettings.h"
#include "app/messages.h"
#include "distrib/distribution.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace brisko {

class DistributionBuilder : public QDialog {
    Q_OBJECT
public:
    // `programFile` is the executable copied into the distribution; empty means this program.
    DistributionBuilder(const AppSettings& settings, MessageSink& sink, QWidget* parent = nullptr,
          const QString& programFile = {});

    static constexpr int kMaxRaceFiles = 200;
    static constexpr int kMaxChosenRaces = 50;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QListWidget* List1 = nullptr;  // race files of the race folder
    QListWidget* List2 = nullptr;  // races picked, in order
    QComboBox* Combo1 = nullptr;   // folder name
    QLineEdit* Text1 = nullptr;    // start-up race
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Option1 = nullptr;  // web
    QRadioButton* Option2 = nullptr;  // CD-ROM
    QCheckBox* Check1 = nullptr;      // attach map data
    QCheckBox* Check2 = nullptr;      // smallest data size
    QPushButton* Command1 = nullptr;  // build
    QPushButton* Command2 = nullptr;  // cancel
    QPushButton* Command3 = nullptr;  // redo

    const QStringList& raceFileList() const { return RaceFileList; }
    const QStringList& chosenRaces() const { return ChosenRaces; }
    // What the last build did; empty before one.
    const DistributionPlan& lastPlan() const { return plan_; }
    const DistributionResult& lastResult() const { return result_; }

    // The choice the controls make now.
    DistributionChoice choice() const;

    void Form_Load();
    void List1_MouseDown(QListWidgetItem* item);
    void List2_MouseDown(QListWidgetItem* item);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    void applyCaptions();

    AppSettings settings_;
    MessageSink& sink_;
    QString programFile_;
    QStringList RaceFileList;
    QStringList ChosenRaces;
    DistributionPlan plan_;
    DistributionResult result_;
};

}  // namespace brisko
