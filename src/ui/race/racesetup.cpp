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
constexpr int kZoomSliderStart = 100;
constexpr int kMarksAndLinesForCourse = 2;
constexpr int kCourseEntriesForTable = 2;
constexpr const char* kModeFileName = "ver.txt";
}  // namespace

void RaceSetup::setAvailable(QWidget* w, bool on) { w->setEnabled(on); }

void RaceSetup::prepareControls(bool browser) {
    c_.HScroll2->setValue(kZoomSliderStart);
    c_.Text7->hide();
    c_.Text8->hide();
    c_.Option9->setChecked(true);
    // Browser mode shows the race list; full mode the set-up buttons and editable times.
    for (QPushButton* b : {c_.Command2, c_.Command3, c_.Command4, c_.Command5})
        b->setVisible(!browser);
    c_.Text9->setEnabled(!browser);
    c_.Text10->setEnabled(!browser);
    c_.Combo1->setVisible(browser);
    c_.Command9->setVisible(browser);
    c_.Label6->setVisible(browser);
}

void RaceSetup::fillRaceList(const std::string& current) {
    const QSignalBlocker block(c_.Combo1);
    c_.Combo1->clear();
    const auto folder = findPath(settings_.AppPath, "\\raceadmin");
    if (folder)
        for (const std::string& name : listFiles(*folder, "*.txt"))
            // The mode file lives in the same folder but is no race.
            if (toLowerAscii(name) != kModeFileName)
                c_.Combo1->addItem(QString::fromStdString(name));
    // A race whose file is gone is not offered: choosing it could only fail.
    const int at = c_.Combo1->findText(QString::fromStdString(current), Qt::MatchFixedString);
    if (at >= 0) c_.Combo1->setCurrentIndex(at);
}

void RaceSetup::showRaceControls(const RaceSession& s) {
    const RaceDefinition& race = s.race();
    setAvailable(c_.Command5, race.MarkCount + race.LineCount >= kMarksAndLinesForCourse);
    setAvailable(c_.Option11, race.CourseCount >= kCourseEntriesForTable);
    setAvailable(c_.Command13, race.AttachmentCount >= 1);
    c_.Check6->setChecked(true);
    c_.Text9->setText(QString::fromStdString(formatRaceTime(race.RaceStart)));
    c_.Text10->setText(QString::fromStdString(formatRaceTime(race.RaceEnd)));
    c_.Text3->setText(QString::fromStdString(shortestDecimal(race.MeanWindDir)));
    const bool northUp = race.NorthUp > 0;
    c_.Option2->setChecked(northUp);
    c_.Option3->setChecked(!northUp);
    c_.Check4->setEnabled(!northUp);
    const bool wind = s.data().WindShown;
    c_.sWind->setVisible(wind);
    c_.Text13->setVisible(wind);
    c_.Text14->setVisible(wind);
}

}  // namespace brisko
