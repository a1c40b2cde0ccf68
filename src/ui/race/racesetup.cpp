// The race screen's controls around a race set-up; see racesetup.h.
#include "ui/race/racesetup.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "race/racetimes.h"
#include "ui/race/racecaptions.h"
#include "ui/widgets/captions.h"
#include "ui/widgets/named.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kMarksAndLinesForCourse = 2;
constexpr int kHelpButtonWidth = 28;
constexpr const char* kModeFileName = "ver.txt";
const QColor kModeOn(255, 255, 0);

// A set-up mode's button, lit while the mode is on.
void paintMode(QPushButton* b, bool on) {
    QPalette pal = b->palette();
    pal.setColor(QPalette::Button, on ? kModeOn : QApplication::palette().color(QPalette::Button));
    b->setPalette(pal);
    b->setAutoFillBackground(on);
}
}  // namespace

RaceSetup::RaceSetup(QWidget* panel, const AppSettings& settings)
    : QObject(panel), settings_(settings) {
    raceFileLabel_ = named<QLabel>(panel, "raceFileLabel");
    raceFileCombo_ = named<QComboBox>(panel, "raceFileCombo");
    showRaceButton_ = named<QPushButton>(panel, "showRaceButton");
    startTimeLabel_ = named<QLabel>(panel, "startTimeLabel");
    startTimeEdit_ = named<QLineEdit>(panel, "startTimeEdit");
    finishTimeLabel_ = named<QLabel>(panel, "finishTimeLabel");
    finishTimeEdit_ = named<QLineEdit>(panel, "finishTimeEdit");
    confirmTimesButton_ = named<QPushButton>(panel, "confirmTimesButton");
    setMarkButton_ = named<QPushButton>(panel, "setMarkButton");
    setLineButton_ = named<QPushButton>(panel, "setLineButton");
    setCourseButton_ = named<QPushButton>(panel, "setCourseButton");
    referenceButton_ = named<QPushButton>(panel, "referenceButton");
    makeCoastlineButton_ = named<QPushButton>(panel, "makeCoastlineButton");
    makeCoastlineButton_->setEnabled(false);  // until a race without its coastline tiles is shown
    helpButton_ = named<QPushButton>(panel, "helpButton", QStringLiteral("?"));
    helpButton_->setFixedWidth(kHelpButtonWidth);
    infoLabel_ = named<QLabel>(panel, "infoLabel");
    infoLabel_->setWordWrap(true);
    exitButton_ = named<QPushButton>(panel, "exitButton");
    int count = 0;
    const ControlCaption* captions = raceScreenCaptions(count);
    applyCaptions({raceFileLabel_, showRaceButton_, startTimeLabel_, finishTimeLabel_,
                   confirmTimesButton_, setMarkButton_, setLineButton_, setCourseButton_,
                   referenceButton_, makeCoastlineButton_, infoLabel_, exitButton_},
                  std::span(captions, count), settings);

    connect(showRaceButton_, &QPushButton::clicked, this,
            [this] { emit raceChosen(raceFileCombo_->currentText()); });
    connect(confirmTimesButton_, &QPushButton::clicked, this,
            [this] { emit timesConfirmed(startTimeEdit_->text(), finishTimeEdit_->text()); });
    connect(setMarkButton_, &QPushButton::clicked, this, &RaceSetup::markModeClicked);
    connect(setLineButton_, &QPushButton::clicked, this, &RaceSetup::lineModeClicked);
    connect(setCourseButton_, &QPushButton::clicked, this, &RaceSetup::courseModeClicked);
    connect(referenceButton_, &QPushButton::clicked, this, &RaceSetup::referenceFilesClicked);
    connect(makeCoastlineButton_, &QPushButton::clicked, this, &RaceSetup::makeCoastlineClicked);
    connect(helpButton_, &QPushButton::clicked, this, &RaceSetup::helpClicked);
    connect(exitButton_, &QPushButton::clicked, this, &RaceSetup::exitClicked);
}

void RaceSetup::prepare(bool browser, bool helpFound) {
    // Browser mode shows the race list; full mode the set-up buttons and editable times.
    for (QPushButton* b : {setMarkButton_, setLineButton_, confirmTimesButton_, setCourseButton_})
        b->setVisible(!browser);
    startTimeEdit_->setEnabled(!browser);
    finishTimeEdit_->setEnabled(!browser);
    raceFileCombo_->setVisible(browser);
    showRaceButton_->setVisible(browser);
    raceFileLabel_->setVisible(browser);
    helpButton_->setVisible(!browser && helpFound);
}

void RaceSetup::fillRaceList(const std::string& current) {
    const QSignalBlocker block(raceFileCombo_);
    raceFileCombo_->clear();
    const auto folder = findPath(settings_.AppPath, "\\raceadmin");
    if (folder)
        for (const std::string& name : listFiles(*folder, "*.txt"))
            // The mode file lives in the same folder but is no race.
            if (toLowerAscii(name) != kModeFileName)
                raceFileCombo_->addItem(QString::fromStdString(name));
    // A race whose file is gone is not offered: choosing it could only fail.
    const int at = raceFileCombo_->findText(QString::fromStdString(current), Qt::MatchFixedString);
    if (at >= 0) raceFileCombo_->setCurrentIndex(at);
}

void RaceSetup::raceShown(const RaceDefinition& race) {
    setCourseButton_->setEnabled(race.MarkCount + race.LineCount >= kMarksAndLinesForCourse);
    referenceButton_->setEnabled(race.AttachmentCount >= 1);
    startTimeEdit_->setText(QString::fromStdString(formatRaceTime(race.RaceStart)));
    finishTimeEdit_->setText(QString::fromStdString(formatRaceTime(race.RaceEnd)));
}

void RaceSetup::raceGone() {
    startTimeEdit_->clear();
    finishTimeEdit_->clear();
}

void RaceSetup::enableSetup(bool byHand, int marksAndLines) {
    setMarkButton_->setEnabled(byHand);
    setLineButton_->setEnabled(byHand);
    setCourseButton_->setEnabled(byHand && marksAndLines >= kMarksAndLinesForCourse);
}

void RaceSetup::showModes(bool mark, bool line, bool course) {
    paintMode(setMarkButton_, mark);
    paintMode(setLineButton_, line);
    paintMode(setCourseButton_, course);
}

void RaceSetup::setCoastlineAvailable(bool on) { makeCoastlineButton_->setEnabled(on); }

}  // namespace brisko
