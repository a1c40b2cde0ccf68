// The race screen's controls around a race set-up; see racesetup.h.
#include "ui/race/racesetup.h"

#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "race/racetimes.h"
#include "ui/distrib/referenceviewer.h"
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

const char* helpPage(const AppSettings& s) {
    return s.english() ? "\\ehelp\\index.html" : "\\help\\index.html";
}

// A set-up mode's button, lit while the mode is on.
void paintMode(QPushButton* b, bool on) {
    QPalette pal = b->palette();
    pal.setColor(QPalette::Button, on ? kModeOn : QApplication::palette().color(QPalette::Button));
    b->setPalette(pal);
    b->setAutoFillBackground(on);
}
}  // namespace

RaceSetup::RaceSetup(QWidget* panel, const AppSettings& settings, MessageSink& sink,
                     PlatformServices* platform)
    : QObject(panel), settings_(settings), sink_(sink), platform_(platform) {
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

    connect(showRaceButton_, &QPushButton::clicked, this, &RaceSetup::showChosenRace);
    connect(confirmTimesButton_, &QPushButton::clicked, this, &RaceSetup::confirmTimes);
    connect(setMarkButton_, &QPushButton::clicked, this, &RaceSetup::markModeClicked);
    connect(setLineButton_, &QPushButton::clicked, this, &RaceSetup::lineModeClicked);
    connect(setCourseButton_, &QPushButton::clicked, this, &RaceSetup::courseModeClicked);
    connect(referenceButton_, &QPushButton::clicked, this, &RaceSetup::showReferenceFiles);
    connect(makeCoastlineButton_, &QPushButton::clicked, this, &RaceSetup::makeCoastlineClicked);
    connect(helpButton_, &QPushButton::clicked, this, &RaceSetup::showHelp);
    connect(exitButton_, &QPushButton::clicked, this, &RaceSetup::leave);
}

void RaceSetup::prepare(bool browser) {
    browser_ = browser;
    // Browser mode shows the race list; full mode the set-up buttons and editable times.
    for (QPushButton* b : {setMarkButton_, setLineButton_, confirmTimesButton_, setCourseButton_})
        b->setVisible(!browser);
    startTimeEdit_->setEnabled(!browser);
    finishTimeEdit_->setEnabled(!browser);
    raceFileCombo_->setVisible(browser);
    showRaceButton_->setVisible(browser);
    raceFileLabel_->setVisible(browser);
    helpButton_->setVisible(!browser && findPath(settings_.AppPath, helpPage(settings_)));
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

void RaceSetup::raceShown(RaceSession& session) {
    session_ = &session;
    const RaceDefinition& race = session.race();
    setCourseButton_->setEnabled(race.MarkCount + race.LineCount >= kMarksAndLinesForCourse);
    referenceButton_->setEnabled(race.AttachmentCount >= 1);
    startTimeEdit_->setText(QString::fromStdString(formatRaceTime(race.RaceStart)));
    finishTimeEdit_->setText(QString::fromStdString(formatRaceTime(race.RaceEnd)));
}

void RaceSetup::raceGone() {
    session_ = nullptr;
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

void RaceSetup::tell(const QString& text) {
    sink_.show({text.toStdString(), {}, MessageButtons::Ok});
}

void RaceSetup::tellWhyNotShown(SessionOpenStatus status, const std::string& fileName,
                                const std::string& keptFile) {
    const QString file = QString::fromStdString(fileName);
    QString text;
    if (status == SessionOpenStatus::NoTracks) text = noTracksMessage(settings_, file);
    if (status == SessionOpenStatus::NoFixesInRace) text = noFixesMessage(settings_, file);
    // Otherwise the reader or the loader has said why.
    if (!keptFile.empty()) {
        const QString stays = raceStaysMessage(settings_, QString::fromStdString(keptFile));
        text = text.isEmpty() ? stays : text + QLatin1Char('\n') + stays;
    }
    if (!text.isEmpty()) tell(text);
}

void RaceSetup::showChosenRace() {
    const QString chosen = raceFileCombo_->currentText();
    if (session_ && chosen.toStdString() == session_->shownFile()) {
        tell(alreadyShownMessage(settings_));
        return;
    }
    if (!chosen.isEmpty()) emit raceChosen(chosen);
}

void RaceSetup::confirmTimes() {
    if (!session_ || !session_->setStartFinish(startTimeEdit_->text().toStdString(),
                                               finishTimeEdit_->text().toStdString())) {
        tell(badTimesMessage(settings_));
        return;
    }
    if (session_->race().BoatCount > 1 && !browser_) offerSave(false);
    emit timesSet();
}

void RaceSetup::leave() {
    if (session_ && !session_->race().RaceFileName.empty() && !browser_) offerSave(true);
    emit leaving();
}

void RaceSetup::offerSave(bool leaving) {
    const QString question = leaving ? leaveSaveQuestion(settings_) : saveQuestion(settings_);
    if (sink_.show({question.toStdString(), {}, MessageButtons::YesNo}) != MessageAnswer::Yes)
        return;
    const auto answer =
        askName(fileNamePrompt(settings_, leaving), fileNameTitle(settings_, leaving),
                QString::fromStdString(session_->race().RaceFileName));
    if (!answer || answer->trimmed().isEmpty()) return;
    const std::string name = raceFileNameFromAnswer(answer->toStdString());
    if (name.empty()) {
        tell(badFileNameMessage(settings_));
        return;
    }
    const WriteResult written = session_->saveAs(name);
    if (!written.ok) tell(saveFailedMessage(settings_, QString::fromStdString(written.error)));
}

std::optional<QString> RaceSetup::askName(const QString& prompt, const QString& title,
                                          const QString& proposal) {
    if (namePrompt_) return namePrompt_(prompt, title, proposal);
    bool ok = false;
    auto* window = qobject_cast<QWidget*>(parent())->window();
    const QString text =
        QInputDialog::getText(window, title, prompt, QLineEdit::Normal, proposal, &ok);
    if (!ok) return std::nullopt;
    return text;
}

void RaceSetup::showReferenceFiles() {
    // The viewer lists the attachments of the race shown now; it closes itself after opening one.
    if (!session_ || !platform_) return;
    auto* window = qobject_cast<QWidget*>(parent())->window();
    auto* viewer = new ReferenceViewer(settings_, session_->race(), *platform_, sink_, window);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowFlag(Qt::Window);
    viewer->show();
}

void RaceSetup::showHelp() {
    if (!platform_) return;
    const std::string failure =
        platform_->openDocument(resolvePath(settings_.AppPath, helpPage(settings_)));
    if (!failure.empty()) sink_.show(makeMessage(failure));
}

}  // namespace brisko
