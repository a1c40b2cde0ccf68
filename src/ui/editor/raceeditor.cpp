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
    Frame1->hide();
    Command5->setEnabled(false);
    Option2->setChecked(true);
    FillForm();
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
    for (auto [l, n] : {std::pair{&Label1, "Label1"},
                        {&Label2, "Label2"},
                        {&Label3, "Label3"},
                        {&Label4, "Label4"},
                        {&Label5, "Label5"},
                        {&Label6, "Label6"},
                        {&Label7, "Label7"},
                        {&Label8, "Label8"},
                        {&Label9, "Label9"},
                        {&Label10, "Label10"},
                        {&Label11, "Label11"},
                        {&Label12, "Label12"},
                        {&Label13, "Label13"},
                        {&Label14, "Label14"},
                        {&Label15, "Label15"},
                        {&Label16, "Label16"}})
        label(*l, n);
    for (auto [t, n] : {std::pair{&Text1, "Text1"},
                        {&Text2, "Text2"},
                        {&Text3, "Text3"},
                        {&Text4, "Text4"},
                        {&Text5, "Text5"},
                        {&Text6, "Text6"},
                        {&Text7, "Text7"},
                        {&Text8, "Text8"},
                        {&Text9, "Text9"},
                        {&Text10, "Text10"},
                        {&Text11, "Text11"},
                        {&Text12, "Text12"}})
        edit(*t, n);
    Text11->setReadOnly(true);
    Label14->setWordWrap(true);
    Label15->setWordWrap(true);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMouseTracking(true);
    List1->viewport()->setMouseTracking(true);
    List1->viewport()->installEventFilter(this);
    List2 = new QListWidget(this);
    List2->setObjectName(QStringLiteral("List2"));

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    button(Command2, "Command2", Frame1);
    button(Command3, "Command3", Frame1);
    auto* f1 = new QHBoxLayout(Frame1);
    f1->addWidget(Combo1, 1);
    f1->addWidget(Command2);
    f1->addWidget(Command3);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Option1 = new QRadioButton(Frame2);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(Frame2);
    Option2->setObjectName(QStringLiteral("Option2"));
    auto* f2 = new QHBoxLayout(Frame2);
    f2->addWidget(Option1);
    f2->addWidget(Option2);

    for (auto [b, n] : {std::pair{&Command1, "Command1"},
                        {&Command4, "Command4"},
                        {&Command5, "Command5"},
                        {&Command6, "Command6"},
                        {&Command7, "Command7"},
                        {&Command8, "Command8"},
                        {&Command9, "Command9"},
                        {&Command10, "Command10"},
                        {&Command11, "Command11"}})
        button(*b, n, nullptr);

    // Left: titles and boats. Right: the race's settings, which the race screen can change too.
    auto* grid = new QGridLayout(this);
    grid->addWidget(Command6, 0, 0, 1, 2);
    grid->addWidget(Command5, 0, 2, 1, 2);
    grid->addWidget(Label8, 1, 0);
    grid->addWidget(Text7, 1, 1, 1, 3);
    grid->addWidget(Label9, 2, 0);
    grid->addWidget(Text8, 2, 1, 1, 3);
    grid->addWidget(Label12, 3, 0, 1, 4);
    grid->addWidget(List1, 4, 0, 8, 4);
    grid->addWidget(Command1, 12, 0, 1, 2);
    grid->addWidget(Frame1, 13, 0, 1, 4);
    grid->addWidget(Label11, 14, 0);
    grid->addWidget(Text11, 14, 1, 1, 2);
    grid->addWidget(Command7, 14, 3);
    grid->addWidget(Label16, 15, 0);
    grid->addWidget(List2, 15, 1, 2, 2);
    grid->addWidget(Command10, 15, 3);
    grid->addWidget(Command11, 16, 3);

    auto* settingsBox = new QFrame(this);
    settingsBox->setFrameShape(QFrame::Box);
    auto* r = new QGridLayout(settingsBox);
    int row = 0;
    auto pair = [&](QLabel* l, QLineEdit* t) {
        r->addWidget(l, row, 0);
        r->addWidget(t, row, 1, 1, 3);
        ++row;
    };
    r->addWidget(Label15, row++, 0, 1, 4);
    pair(Label2, Text1);
    pair(Label3, Text2);
    pair(Label1, Text3);
    pair(Label4, Text4);
    pair(Label5, Text5);
    pair(Label6, Text6);
    r->addWidget(Label10, row, 0);
    r->addWidget(Text9, row, 1);
    r->addWidget(Label7, row, 2);
    r->addWidget(Text10, row, 3);
    ++row;
    pair(Label13, Text12);
    r->addWidget(Frame2, row++, 0, 1, 4);
    grid->addWidget(settingsBox, 1, 4, 12, 3);
    grid->addWidget(Label14, 13, 4, 2, 3);
    grid->addWidget(Command4, 15, 4, 1, 3);
    grid->addWidget(Command9, 16, 4, 1, 2);
    grid->addWidget(Command8, 16, 6);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);

    Text13 = new QLabel(this);
    Text13->setObjectName(QStringLiteral("Text13"));
    Text13->setStyleSheet(QStringLiteral("background: rgb(255,255,225); color: black;"));
    Text13->hide();
    resize(820, 560);
}

void RaceEditor::applyCaptions() {
    brisko::applyCaptions(this, raceEditorCaptions(), settings_);
    Label14->setText(editorHelpText(settings_));
    Text13->setText(QString::fromUtf8("Shift　を押しながらクリックすると１行消去します。"));
}

void RaceEditor::connectControls() {
    connect(Command1, &QPushButton::clicked, this, &RaceEditor::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &RaceEditor::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &RaceEditor::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &RaceEditor::Command4_Click);
    connect(Command9, &QPushButton::clicked, this, &RaceEditor::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &RaceEditor::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &RaceEditor::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &RaceEditor::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &RaceEditor::Command8_Click);
    connect(Command10, &QPushButton::clicked, this, &RaceEditor::Command10_Click);
    connect(Command11, &QPushButton::clicked, this, &RaceEditor::Command11_Click);
    connect(Option1, &QRadioButton::clicked, this, [this] { race_.NorthUp = 1; });
    connect(Option2, &QRadioButton::clicked, this, [this] { race_.NorthUp = 0; });
    // Fields taken as they change. A whole number that is not one yet (a lone minus sign)
    // leaves the time difference as it was.
    connect(Text3, &QLineEdit::textEdited, this, [this](const QString& t) {
        bool ok = false;
        const int v = t.trimmed().toInt(&ok);
        if (ok) race_.TimeDiff = v;
    });
    // The times, the boat length and the minutes before the start are checked at save, but kept
    // as typed, so that choosing a boat, a wind file or an attachment does not undo them.
    connect(Text1, &QLineEdit::textEdited, this, [this] { race_.RaceStart = text(Text1); });
    connect(Text2, &QLineEdit::textEdited, this, [this] { race_.RaceEnd = text(Text2); });
    connect(Text5, &QLineEdit::textEdited, this, [this] { race_.BoatLength = numberOf(Text5); });
    connect(Text12, &QLineEdit::textEdited, this,
            [this] { race_.PreStartMinutes = numberOf(Text12); });
    connect(Text4, &QLineEdit::textEdited, this, [this] {
        race_.MeanWindDir = numberOf(Text4);
        race_.WindDirNow = race_.MeanWindDir;
    });
    connect(Text6, &QLineEdit::textEdited, this,
            [this] { race_.MagneticVariation = numberOf(Text6); });
    connect(Text9, &QLineEdit::textEdited, this,
            [this] { race_.UpwindLayAngle = numberOf(Text9); });
    connect(Text10, &QLineEdit::textEdited, this,
            [this] { race_.DownwindLayAngle = numberOf(Text10); });
}

void RaceEditor::FillForm() {
    setWindowTitle(
        QString::fromUtf8(settings_.tr("レース管理ファイル編集  ", "Compile Race Control FIle  ")) +
        QString::fromStdString(race_.RaceFileName));
    if (!race_.Title1.empty()) Text7->setText(QString::fromStdString(race_.Title1));
    if (!race_.Title2.empty()) Text8->setText(QString::fromStdString(race_.Title2));
    List1->clear();
    for (int i = 1; i <= race_.BoatCount; ++i)
        List1->addItem(QString::fromStdString(boatListLine(race_.Boats[i])));
    if (!gpsPath_.empty()) {
        if (auto scan = scanGpsFile(gpsPath_)) applyScanDefaults(race_, *scan);
    }
    Text11->setText(QString::fromStdString(race_.WindFileName));
    Text1->setText(QString::fromStdString(race_.RaceStart));
    Text2->setText(QString::fromStdString(race_.RaceEnd));
    Text3->setText(QString::number(race_.TimeDiff));
    Text4->setText(number(race_.MeanWindDir));
    Text5->setText(number(race_.BoatLength));
    Text6->setText(number(race_.MagneticVariation));
    Text9->setText(number(race_.UpwindLayAngle));
    Text10->setText(number(race_.DownwindLayAngle));
    Text12->setText(number(race_.PreStartMinutes));
    (race_.NorthUp > 0 ? Option1 : Option2)->setChecked(true);
    List2->clear();
    for (int i = 1; i <= race_.AttachmentCount; ++i)
        List2->addItem(QString::fromStdString(race_.Attachments[i]));
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

void RaceEditor::Command1_Click() {
    Combo1->clear();
    if (auto folder = findPath(settings_.AppPath, "\\gpsdat"))
        for (const std::string& name : listFiles(*folder, "*"))
            Combo1->addItem(QString::fromStdString(name));
    Frame1->show();
}

void RaceEditor::Command2_Click() {
    const QString file = Combo1->currentText();
    if (file.isEmpty()) {
        Frame1->hide();
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
    if (!addBoat(race_, file.toStdString(), name.trimmed().toStdString())) {
        tell(tooManyBoatsMessage(settings_));
        return;
    }
    gpsPath_ = race_.BoatCount == 1
                   ? resolvePath(settings_.AppPath, "\\gpsdat\\" + file.toStdString())
                   : std::string();
    FillForm();
    Frame1->hide();
}

void RaceEditor::Command3_Click() { Frame1->hide(); }

void RaceEditor::Command4_Click() {
    if (race_.BoatCount < 1) return;
    race_.BoatLength = numberOf(Text5);
    race_.MagneticVariation = numberOf(Text6);
    race_.RaceStart = text(Text1);
    race_.RaceEnd = text(Text2);
    race_.PreStartMinutes = numberOf(Text12);
    race_.PreStartSeconds = 60 * race_.PreStartMinutes;
    race_.Title1 = text(Text7);
    race_.Title2 = text(Text8);
    if (!parseDateTime(race_.RaceStart)) {
        tell(QString::fromUtf8(settings_.tr("スタートの日付、時間の入力スタイルが正しくありません",
                                            "Incorrect start date or time")));
        return;
    }
    if (!parseDateTime(race_.RaceEnd)) {
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

void RaceEditor::Command5_Click() {
    if (race_.RaceFileName.empty()) return;
    const std::string failure = platform_.openDocument(
        resolvePath(settings_.AppPath, "\\raceadmin\\" + race_.RaceFileName));
    if (!failure.empty()) tell(QString::fromStdString(failure));
}

void RaceEditor::Command6_Click() {
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
    gpsPath_.clear();
    Text7->clear();
    Text8->clear();
    FillForm();
    Command5->setEnabled(true);
}

void RaceEditor::Command7_Click() {
    Frame1->hide();
    race_.WindFileName = chooseFile("\\winddat", QStringLiteral("csv"), 0).toStdString();
    writeThrough();
    FillForm();
}

void RaceEditor::Command10_Click() {
    const QString chosen = chooseFile("\\attachment", QStringLiteral("*.*"), 0);
    if (chosen.isEmpty()) return;
    if (race_.AttachmentCount >= kMaxAttachments) {
        tell(tooManyAttachmentsMessage(settings_));
        return;
    }
    race_.Attachments[++race_.AttachmentCount] = chosen.toStdString();
    writeThrough();
    FillForm();
}

void RaceEditor::Command11_Click() {
    race_.AttachmentCount = 0;
    writeThrough();
    FillForm();
}

void RaceEditor::Command8_Click() { close(); }

void RaceEditor::List1_MouseDown(int row) {
    if (row < 0) return;
    deleteBoat(race_, row + 1);
    if (race_.BoatCount == 0) gpsPath_.clear();
    FillForm();
}

bool RaceEditor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == List1->viewport()) {
        if (e->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->modifiers() & Qt::ShiftModifier) {
                QListWidgetItem* item = List1->itemAt(me->position().toPoint());
                List1_MouseDown(item ? List1->row(item) : -1);
                return true;
            }
        } else if (e->type() == QEvent::MouseMove) {
            const QPoint at = List1->mapTo(this, QPoint(0, 0));
            Text13->setGeometry(at.x(), std::max(0, at.y() - 25), 300, 17);
            Text13->raise();
            Text13->show();
        }
    }
    return QWidget::eventFilter(watched, e);
}

void RaceEditor::mouseMoveEvent(QMouseEvent* e) {
    Text13->hide();
    QWidget::mouseMoveEvent(e);
}

}  // namespace brisko
