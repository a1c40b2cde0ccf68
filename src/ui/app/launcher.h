// The launcher `Launcher` of the full program: a picture with a column of buttons that start the
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

    // The artwork of `Picture1`, drawn at the window's size.
    static QImage coverPicture(int width, int height);

    bool ChoiceIsRace = true;
    QLabel* Picture1 = nullptr;
    QLabel* Text1 = nullptr;  // hint box
    QFrame* Frame1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton *Command1 = nullptr, *Command2 = nullptr, *Command3 = nullptr, *Command4 = nullptr,
                *Command5 = nullptr, *Command6 = nullptr, *Command7 = nullptr, *Command8 = nullptr,
                *Command9 = nullptr, *Command10 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void drawEditionLabel(QImage& picture) const;
    void showHint(QPushButton* button);
    void hideHint();
    void startSiblingTool(const QString& name, const char* japaneseWhat, const char* englishWhat);
    void tell(const QString& text);

    void Command1_Click();   // GPS download tool
    void Command2_Click();   // race file editor
    void Command3_Click();   // list races
    void Command7_Click();   // list one boat's tracks
    void Command8_Click();   // wind-analysis tool
    void Command9_Click();   // distribution builder
    void Command10_Click();  // help
    void Command4_Click();   // exit
    void Command5_Click();   // OK: open the chosen race or track
    void Command6_Click();   // CANCEL

    const AppSettings& settings_;
    MessageSink& sink_;
    PlatformServices& platform_;
    RaceOpener raceOpener_;
    DistributionOpener distribOpener_;
    QPointer<RaceEditor> editor_;
    QPointer<QWidget> raceScreen_;
};

}  // namespace brisko
