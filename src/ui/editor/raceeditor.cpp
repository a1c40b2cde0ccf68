// The race control file editor: builds the form, fills it from the race definition and writes
// the race through the core writer (a backup of the old file first).
#include "ui/editor/raceeditor.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "editor/raceedit.h"
#include "race/racecontrolfile.h"
#include "ui/distrib/fileselector.h"
#include "ui/editor/raceeditortexts.h"
#include "ui/widgets/captions.h"
#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {

// The files this run has backed up already: one backup per file, before its first overwrite.
RaceFileBackups& editorBackups() {
    static RaceFileBackups backups;
    return backups;
}

QString number(double v) { return QString::number(v, 'g', 15); }
double numberOf(const QLineEdit* t) { return numericPrefix(t->text().toStdString()); }
std::string text(const QLineEdit* t) { return t->text().trimmed().toStdString(); }

}  // namespace

RaceEditor::RaceEditor(const AppSettings& settings, MessageSink& sink, PlatformServices& platform,
                       QWidget* parent)
    : QWidget(parent), settings_(settings), sink_(sink), platform_(platform) {
    setObjectName(QStringLiteral("RaceEditor"));
    setMouseTracking(true);
    buildControls();
    applyUiFont(this, settings_);
    applyCaptions();
    connectControls();
    // A new race: no boats, the editor's defaults.
    race_.BoatCount = 0;
    race_.MagneticVariation = -7;
    race_.UpwindLayAngle = 45;
    race_.DownwindLayAngle = 160;
    race_.BoatLength = kDefaultBoatLength;
    gpsFilePanel->hide();
    editAsTextButton->setEnabled(false);
    windUpOption->setChecked(true);
    fillForm();
}

RaceEditor::~RaceEditor() = default;

void RaceEditor::buildControls() {
    auto label = [this](QLabel*& l, const char* name) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
    };
    auto edit = [this](QLineEdit*& t, const char* name) {
        t = new QLineEdit(this);
        t->setObjectName(QString::fromLatin1(name));
    };
    auto button = [this](QPushButton*& b, const char* name, QWidget* parent) {
        b = new QPushButton(parent ? parent : this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
    };
    for (auto [l, n] : {std::pair{&timeDiffLabel, "timeDiffLabel"},
                        {&startTimeLabel, "startTimeLabel"},
                        {&finishTimeLabel, "finishTimeLabel"},
                        {&windDirectionLabel, "windDirectionLabel"},
                        {&boatLengthLabel, "boatLengthLabel"},
                        {&magneticVariationLabel, "magneticVariationLabel"},
                        {&downwindLayLineLabel, "downwindLayLineLabel"},
                        {&title1Label, "title1Label"},
                        {&title2Label, "title2Label"},
                        {&upwindLayLineLabel, "upwindLayLineLabel"},
                        {&windFileLabel, "windFileLabel"},
                        {&boatListLabel, "boatListLabel"},
                        {&preStartMinutesLabel, "preStartMinutesLabel"},
                        {&helpLabel, "helpLabel"},
                        {&settingsNoteLabel, "settingsNoteLabel"},
                        {&attachmentListLabel, "attachmentListLabel"}})
        label(*l, n);
    for (auto [t, n] : {std::pair{&startTimeEdit, "startTimeEdit"},
                        {&finishTimeEdit, "finishTimeEdit"},
                        {&timeDiffEdit, "timeDiffEdit"},
                        {&windDirectionEdit, "windDirectionEdit"},
                        {&boatLengthEdit, "boatLengthEdit"},
                        {&magneticVariationEdit, "magneticVariationEdit"},
                        {&title1Edit, "title1Edit"},
                        {&title2Edit, "title2Edit"},
                        {&upwindLayLineEdit, "upwindLayLineEdit"},
                        {&downwindLayLineEdit, "downwindLayLineEdit"},
                        {&windFileEdit, "windFileEdit"},
                        {&preStartMinutesEdit, "preStartMinutesEdit"}})
        edit(*t, n);
    windFileEdit->setReadOnly(true);
    helpLabel->setWordWrap(true);
    settingsNoteLabel->setWordWrap(true);
    boatList = new QListWidget(this);
    boatList->setObjectName(QStringLiteral("boatList"));
    boatList->setMouseTracking(true);
    boatList->viewport()->setMouseTracking(true);
    boatList->viewport()->installEventFilter(this);
    attachmentList = new QListWidget(this);
    attachmentList->setObjectName(QStringLiteral("attachmentList"));

    gpsFilePanel = new QFrame(this);
    gpsFilePanel->setObjectName(QStringLiteral("gpsFilePanel"));
    gpsFilePanel->setFrameShape(QFrame::Box);
    gpsFileList = new QComboBox(gpsFilePanel);
    gpsFileList->setObjectName(QStringLiteral("gpsFileList"));
    button(addBoatButton, "addBoatButton", gpsFilePanel);
    button(cancelGpsFileButton, "cancelGpsFileButton", gpsFilePanel);
    auto* gpsFileRow = new QHBoxLayout(gpsFilePanel);
    gpsFileRow->addWidget(gpsFileList, 1);
    gpsFileRow->addWidget(addBoatButton);
    gpsFileRow->addWidget(cancelGpsFileButton);

    mapDirectionBox = new QGroupBox(this);
    mapDirectionBox->setObjectName(QStringLiteral("mapDirectionBox"));
    northUpOption = new QRadioButton(mapDirectionBox);
    northUpOption->setObjectName(QStringLiteral("northUpOption"));
    windUpOption = new QRadioButton(mapDirectionBox);
    windUpOption->setObjectName(QStringLiteral("windUpOption"));
    auto* mapDirectionRow = new QHBoxLayout(mapDirectionBox);
    mapDirectionRow->addWidget(northUpOption);
    mapDirectionRow->addWidget(windUpOption);

    for (auto [b, n] : {std::pair{&chooseGpsFileButton, "chooseGpsFileButton"},
                        {&saveButton, "saveButton"},
                        {&editAsTextButton, "editAsTextButton"},
                        {&openRaceButton, "openRaceButton"},
                        {&chooseWindFileButton, "chooseWindFileButton"},
                        {&exitButton, "exitButton"},
                        {&secondSaveButton, "secondSaveButton"},
                        {&addAttachmentButton, "addAttachmentButton"},
                        {&clearAttachmentsButton, "clearAttachmentsButton"}})
        button(*b, n, nullptr);

    // Left: titles and boats. Right: the race's settings, which the race screen can change too.
    auto* grid = new QGridLayout(this);
    grid->addWidget(openRaceButton, 0, 0, 1, 2);
    grid->addWidget(editAsTextButton, 0, 2, 1, 2);
    grid->addWidget(title1Label, 1, 0);
    grid->addWidget(title1Edit, 1, 1, 1, 3);
    grid->addWidget(title2Label, 2, 0);
    grid->addWidget(title2Edit, 2, 1, 1, 3);
    grid->addWidget(boatListLabel, 3, 0, 1, 4);
    grid->addWidget(boatList, 4, 0, 8, 4);
    grid->addWidget(chooseGpsFileButton, 12, 0, 1, 2);
    grid->addWidget(gpsFilePanel, 13, 0, 1, 4);
    grid->addWidget(windFileLabel, 14, 0);
    grid->addWidget(windFileEdit, 14, 1, 1, 2);
    grid->addWidget(chooseWindFileButton, 14, 3);
    grid->addWidget(attachmentListLabel, 15, 0);
    grid->addWidget(attachmentList, 15, 1, 2, 2);
    grid->addWidget(addAttachmentButton, 15, 3);
    grid->addWidget(clearAttachmentsButton, 16, 3);

    auto* settingsBox = new QFrame(this);
    settingsBox->setFrameShape(QFrame::Box);
    auto* r = new QGridLayout(settingsBox);
    int row = 0;
    auto pair = [&](QLabel* l, QLineEdit* t) {
        r->addWidget(l, row, 0);
        r->addWidget(t, row, 1, 1, 3);
        ++row;
    };
    r->addWidget(settingsNoteLabel, row++, 0, 1, 4);
    pair(startTimeLabel, startTimeEdit);
    pair(finishTimeLabel, finishTimeEdit);
    pair(timeDiffLabel, timeDiffEdit);
    pair(windDirectionLabel, windDirectionEdit);
    pair(boatLengthLabel, boatLengthEdit);
    pair(magneticVariationLabel, magneticVariationEdit);
    r->addWidget(upwindLayLineLabel, row, 0);
    r->addWidget(upwindLayLineEdit, row, 1);
    r->addWidget(downwindLayLineLabel, row, 2);
    r->addWidget(downwindLayLineEdit, row, 3);
    ++row;
    pair(preStartMinutesLabel, preStartMinutesEdit);
    r->addWidget(mapDirectionBox, row++, 0, 1, 4);
    grid->addWidget(settingsBox, 1, 4, 12, 3);
    grid->addWidget(helpLabel, 13, 4, 2, 3);
    grid->addWidget(saveButton, 15, 4, 1, 3);
    grid->addWidget(secondSaveButton, 16, 4, 1, 2);
    grid->addWidget(exitButton, 16, 6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);

    hintBox = new QLabel(this);
    hintBox->setObjectName(QStringLiteral("hintBox"));
    hintBox->setStyleSheet(QStringLiteral("background: rgb(255,255,225); color: black;"));
    hintBox->hide();
    resize(820, 560);
}

void RaceEditor::applyCaptions() {
    brisko::applyCaptions(this, raceEditorCaptions(), settings_);
    helpLabel->setText(editorHelpText(settings_));
    hintBox->setText(QString::fromUtf8("Shift　を押しながらクリックすると１行消去します。"));
}

void RaceEditor::connectControls() {
    connect(chooseGpsFileButton, &QPushButton::clicked, this, &RaceEditor::showGpsFilePanel);
    connect(addBoatButton, &QPushButton::clicked, this, &RaceEditor::addBoat);
    connect(cancelGpsFileButton, &QPushButton::clicked, this, &RaceEditor::hideGpsFilePanel);
    connect(saveButton, &QPushButton::clicked, this, &RaceEditor::saveRace);
    connect(secondSaveButton, &QPushButton::clicked, this, &RaceEditor::saveRace);
    connect(editAsTextButton, &QPushButton::clicked, this, &RaceEditor::editRaceFileAsText);
    connect(openRaceButton, &QPushButton::clicked, this, &RaceEditor::openRace);
    connect(chooseWindFileButton, &QPushButton::clicked, this, &RaceEditor::chooseWindFile);
    connect(exitButton, &QPushButton::clicked, this, &RaceEditor::close);
    connect(addAttachmentButton, &QPushButton::clicked, this, &RaceEditor::addAttachment);
    connect(clearAttachmentsButton, &QPushButton::clicked, this, &RaceEditor::clearAttachments);
    connect(northUpOption, &QRadioButton::clicked, this, [this] { race_.NorthUp = 1; });
    connect(windUpOption, &QRadioButton::clicked, this, [this] { race_.NorthUp = 0; });
    // Fields taken as they change. A whole number that is not one yet (a lone minus sign)
    // leaves the time difference as it was.
    connect(timeDiffEdit, &QLineEdit::textEdited, this, [this](const QString& t) {
        bool ok = false;
        const int v = t.trimmed().toInt(&ok);
        if (ok) race_.TimeDiff = v;
    });
    // The times, the boat length and the minutes before the start are checked at save, but kept
    // as typed, so that choosing a boat, a wind file or an attachment does not undo them. A time
    // typed is kept as its text until then; the race holds it as soon as it reads as one.
    connect(startTimeEdit, &QLineEdit::textEdited, this, [this] {
        typedStart_ = text(startTimeEdit);
        race_.RaceStart = parseDateTime(trimBlanks(*typedStart_));
    });
    connect(finishTimeEdit, &QLineEdit::textEdited, this, [this] {
        typedFinish_ = text(finishTimeEdit);
        race_.RaceEnd = parseDateTime(trimBlanks(*typedFinish_));
    });
    connect(boatLengthEdit, &QLineEdit::textEdited, this,
            [this] { race_.BoatLength = numberOf(boatLengthEdit); });
    connect(preStartMinutesEdit, &QLineEdit::textEdited, this,
            [this] { race_.PreStartMinutes = numberOf(preStartMinutesEdit); });
    connect(windDirectionEdit, &QLineEdit::textEdited, this, [this] {
        race_.MeanWindDir = numberOf(windDirectionEdit);
        race_.WindDirNow = race_.MeanWindDir;
    });
    connect(magneticVariationEdit, &QLineEdit::textEdited, this,
            [this] { race_.MagneticVariation = numberOf(magneticVariationEdit); });
    connect(upwindLayLineEdit, &QLineEdit::textEdited, this,
            [this] { race_.UpwindLayAngle = numberOf(upwindLayLineEdit); });
    connect(downwindLayLineEdit, &QLineEdit::textEdited, this,
            [this] { race_.DownwindLayAngle = numberOf(downwindLayLineEdit); });
}

void RaceEditor::fillForm() {
    setWindowTitle(
        QString::fromUtf8(settings_.tr("レース管理ファイル編集  ", "Compile Race Control FIle  ")) +
        QString::fromStdString(race_.RaceFileName));
    if (!race_.Title1.empty()) title1Edit->setText(QString::fromStdString(race_.Title1));
    if (!race_.Title2.empty()) title2Edit->setText(QString::fromStdString(race_.Title2));
    boatList->clear();
    for (int i = 1; i <= race_.BoatCount; ++i)
        boatList->addItem(QString::fromStdString(boatListLine(race_.Boats[i])));
    if (!gpsPath_.empty()) {
        if (auto scan = scanGpsFile(gpsPath_)) applyScanDefaults(race_, *scan);
    }
    windFileEdit->setText(QString::fromStdString(race_.WindFileName));
    auto timeText = [](const std::optional<std::string>& typed, const RaceTime& t) {
        return QString::fromStdString(typed && !typed->empty() ? *typed : formatRaceTime(t));
    };
    startTimeEdit->setText(timeText(typedStart_, race_.RaceStart));
    finishTimeEdit->setText(timeText(typedFinish_, race_.RaceEnd));
    timeDiffEdit->setText(QString::number(race_.TimeDiff));
    windDirectionEdit->setText(number(race_.MeanWindDir));
    boatLengthEdit->setText(number(race_.BoatLength));
    magneticVariationEdit->setText(number(race_.MagneticVariation));
    upwindLayLineEdit->setText(number(race_.UpwindLayAngle));
    downwindLayLineEdit->setText(number(race_.DownwindLayAngle));
    preStartMinutesEdit->setText(number(race_.PreStartMinutes));
    (race_.NorthUp > 0 ? northUpOption : windUpOption)->setChecked(true);
    attachmentList->clear();
    for (int i = 1; i <= race_.AttachmentCount; ++i)
        attachmentList->addItem(QString::fromStdString(race_.Attachments[i]));
}

void RaceEditor::tell(const QString& text) {
    sink_.show({text.toStdString(), {}, MessageButtons::Ok});
}

MessageAnswer RaceEditor::ask(const QString& text) {
    return sink_.show({text.toStdString(), {}, MessageButtons::YesNo});
}

void RaceEditor::writeThrough() {
    const WriteResult res = saveRaceForEditing(settings_, race_, editorBackups());
    if (!res.ok) tell(QString::fromStdString(res.error));
}

QString RaceEditor::chooseFile(const char* folder, const QString& extension, int mode) {
    FileSelectRequest request;
    request.caption =
        QString::fromUtf8(settings_.english() ? settings_.ProductTitle.c_str() : "ファイル名");
    request.folder = QString::fromStdString(resolvePath(settings_.AppPath, folder));
    request.extension = extension;
    request.mode = mode;
    FileSelector dialog(settings_, sink_, request, this);
    dialog.exec();
    return dialog.chosenName;
}

void RaceEditor::showGpsFilePanel() {
    gpsFileList->clear();
    if (auto folder = findPath(settings_.AppPath, "\\gpsdat"))
        for (const std::string& name : listFiles(*folder, "*"))
            gpsFileList->addItem(QString::fromStdString(name));
    gpsFilePanel->show();
}

void RaceEditor::addBoat() {
    const QString file = gpsFileList->currentText();
    if (file.isEmpty()) {
        gpsFilePanel->hide();
        return;
    }
    bool ok = false;
    const QString prompt = QString::fromUtf8(settings_.tr("表示される艇名を入力してください",
                                                          "Input Boat Name to be Displayed")) +
                           QStringLiteral("\n(Max 13 Ltrs)");
    const QString name = QInputDialog::getText(
        this, QString::fromStdString(settings_.ProductTitle), prompt, QLineEdit::Normal,
        QStringLiteral("BOAT%1").arg(race_.BoatCount + 1), &ok);
    if (!ok || name.trimmed().isEmpty()) return;
    if (!brisko::addBoat(race_, file.toStdString(), name.trimmed().toStdString())) {
        tell(tooManyBoatsMessage(settings_));
        return;
    }
    gpsPath_ = race_.BoatCount == 1
                   ? resolvePath(settings_.AppPath, "\\gpsdat\\" + file.toStdString())
                   : std::string();
    fillForm();
    gpsFilePanel->hide();
}

void RaceEditor::hideGpsFilePanel() { gpsFilePanel->hide(); }

void RaceEditor::saveRace() {
    if (race_.BoatCount < 1) return;
    race_.BoatLength = numberOf(boatLengthEdit);
    race_.MagneticVariation = numberOf(magneticVariationEdit);
    race_.RaceStart = parseDateTime(trimBlanks(text(startTimeEdit)));
    race_.RaceEnd = parseDateTime(trimBlanks(text(finishTimeEdit)));
    race_.PreStartMinutes = numberOf(preStartMinutesEdit);
    race_.PreStartSeconds = 60 * race_.PreStartMinutes;
    race_.Title1 = text(title1Edit);
    race_.Title2 = text(title2Edit);
    if (!race_.RaceStart) {
        tell(QString::fromUtf8(settings_.tr("スタートの日付、時間の入力スタイルが正しくありません",
                                            "Incorrect start date or time")));
        return;
    }
    if (!race_.RaceEnd) {
        tell(QString::fromUtf8(
            settings_.tr("フィニッシュの日付、時間の入力スタイルが正しくありません",
                         "Incorrect finish date or time")));
        return;
    }
    // A log that went away after it was picked would drop its boat when the race opens.
    for (int i = 1; i <= race_.BoatCount; ++i) {
        auto p = findPath(settings_.AppPath, "\\gpsdat\\" + race_.Boats[i].GpsFile);
        if (!p || !fileExists(*p)) {
            tell(gpsFileGoneMessage(settings_, QString::fromStdString(race_.Boats[i].GpsFile)));
            return;
        }
    }
    if (ask(QString::fromUtf8(settings_.tr("レース管理ファイルを保存しますか？",
                                           "Save Race Control File ?"))) != MessageAnswer::Yes)
        return;
    const QString chosen = chooseFile("\\raceadmin", QStringLiteral("txt"), 1);
    // The mode file shares the race folder; a race saved over it would change the program.
    if (toLowerAscii(chosen.toStdString()) == "ver.txt") {
        tell(QString::fromUtf8(
            settings_.tr("正しいファイル名を入れてください。", "Input File Name")));
        return;
    }
    if (!chosen.isEmpty()) {
        const std::string previous = race_.RaceFileName;
        race_.RaceFileName = chosen.toStdString();
        const WriteResult res = saveRaceForEditing(settings_, race_, editorBackups());
        if (!res.ok) {
            // Nothing is lost: the editor stays open with everything typed.
            race_.RaceFileName = previous;
            tell(QString::fromStdString(res.error));
            return;
        }
        if (ask(QString::fromUtf8(settings_.tr("レースを表示しますか？", "Show racing ？"))) ==
                MessageAnswer::Yes &&
            raceOpener_)
            raceOpener_(race_.RaceFileName);
    }
    close();
}

void RaceEditor::editRaceFileAsText() {
    if (race_.RaceFileName.empty()) return;
    const std::string failure = platform_.openDocument(
        resolvePath(settings_.AppPath, "\\raceadmin\\" + race_.RaceFileName));
    if (!failure.empty()) tell(QString::fromStdString(failure));
}

void RaceEditor::openRace() {
    const QString chosen = chooseFile("\\raceadmin", QStringLiteral("txt"), 0);
    if (chosen.isEmpty()) return;
    RaceDefinition read;
    read.RaceFileName = chosen.toStdString();
    const RaceFileReadResult res = readRaceForEditing(settings_, read);
    if (!res.ok) {
        tell(QString::fromStdString(res.error));
        return;
    }
    race_ = std::move(read);
    typedStart_.reset();
    typedFinish_.reset();
    gpsPath_.clear();
    title1Edit->clear();
    title2Edit->clear();
    fillForm();
    editAsTextButton->setEnabled(true);
}

void RaceEditor::chooseWindFile() {
    gpsFilePanel->hide();
    race_.WindFileName = chooseFile("\\winddat", QStringLiteral("csv"), 0).toStdString();
    writeThrough();
    fillForm();
}

void RaceEditor::addAttachment() {
    const QString chosen = chooseFile("\\attachment", QStringLiteral("*.*"), 0);
    if (chosen.isEmpty()) return;
    if (race_.AttachmentCount >= kMaxAttachments) {
        tell(tooManyAttachmentsMessage(settings_));
        return;
    }
    race_.Attachments[++race_.AttachmentCount] = chosen.toStdString();
    writeThrough();
    fillForm();
}

void RaceEditor::clearAttachments() {
    race_.AttachmentCount = 0;
    writeThrough();
    fillForm();
}

void RaceEditor::deleteBoatAt(int row) {
    if (row < 0) return;
    deleteBoat(race_, row + 1);
    if (race_.BoatCount == 0) gpsPath_.clear();
    fillForm();
}

bool RaceEditor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == boatList->viewport()) {
        if (e->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->modifiers() & Qt::ShiftModifier) {
                QListWidgetItem* item = boatList->itemAt(me->position().toPoint());
                deleteBoatAt(item ? boatList->row(item) : -1);
                return true;
            }
        } else if (e->type() == QEvent::MouseMove) {
            const QPoint at = boatList->mapTo(this, QPoint(0, 0));
            hintBox->setGeometry(at.x(), std::max(0, at.y() - 25), 300, 17);
            hintBox->raise();
            hintBox->show();
        }
    }
    return QWidget::eventFilter(watched, e);
}

void RaceEditor::mouseMoveEvent(QMouseEvent* e) {
    hintBox->hide();
    QWidget::mouseMoveEvent(e);
}

}  // namespace brisko
