// The race screen's controls around a race set-up; see racesetup.h.
#include "ui/race/racesetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "session/racesession.h"
#include "ui/race/racecaptions.h"
#include "ui/race/racecontrols.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr int kMarksAndLinesForCourse = 2;
constexpr const char* kModeFileName = "ver.txt";
}  // namespace

void RaceSetup::setAvailable(QWidget* w, bool on) { w->setEnabled(on); }

void RaceSetup::prepareControls(bool browser) {
    c_.hintBox->hide();
    c_.boatHintBox->hide();
    // Browser mode shows the race list; full mode the set-up buttons and editable times.
    for (QPushButton* b :
         {c_.setMarkButton, c_.setLineButton, c_.confirmTimesButton, c_.setCourseButton})
        b->setVisible(!browser);
    c_.startTimeEdit->setEnabled(!browser);
    c_.finishTimeEdit->setEnabled(!browser);
    c_.raceFileCombo->setVisible(browser);
    c_.showRaceButton->setVisible(browser);
    c_.raceFileLabel->setVisible(browser);
}

void RaceSetup::fillRaceList(const std::string& current) {
    const QSignalBlocker block(c_.raceFileCombo);
    c_.raceFileCombo->clear();
    const auto folder = findPath(settings_.AppPath, "\\raceadmin");
    if (folder)
        for (const std::string& name : listFiles(*folder, "*.txt"))
            // The mode file lives in the same folder but is no race.
            if (toLowerAscii(name) != kModeFileName)
                c_.raceFileCombo->addItem(QString::fromStdString(name));
    // A race whose file is gone is not offered: choosing it could only fail.
    const int at =
        c_.raceFileCombo->findText(QString::fromStdString(current), Qt::MatchFixedString);
    if (at >= 0) c_.raceFileCombo->setCurrentIndex(at);
}

void RaceSetup::showRaceControls(const RaceSession& s) {
    const RaceDefinition& race = s.race();
    setAvailable(c_.setCourseButton, race.MarkCount + race.LineCount >= kMarksAndLinesForCourse);
    setAvailable(c_.referenceButton, race.AttachmentCount >= 1);
    c_.startTimeEdit->setText(QString::fromStdString(formatRaceTime(race.RaceStart)));
    c_.finishTimeEdit->setText(QString::fromStdString(formatRaceTime(race.RaceEnd)));
}

}  // namespace brisko
