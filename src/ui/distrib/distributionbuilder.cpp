// The distribution builder window; see distributionbuilder.h.
#include "ui/distrib/distributionbuilder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cstdio>

#include "race/racecontrolfile.h"
#include "ui/distrib/runtimefiles.h"
#include "ui/widgets/captions.h"
#include "util/fileutil.h"

namespace brisko {

namespace {

// Designed captions and their English counterparts; "Check2" keeps its caption in English.
const ControlCaption kCaptions[] = {
    {"Label1", "レースファイル選択 ", "Choose Race File Name to Distribute "},
    {"Label2", "配布レースファイルのリスト", "List of Race File"},
    {"Label3", "配布データを収納するフォルダー名　(新しい名称）",
     "Folder Name to be Saved  ( to be New Name ) "},
    {"Label4", "ｽﾀｰﾄｱｯﾌﾟ時のﾚｰｽﾌｧｲﾙ名　（上段配布ﾚｰｽﾌｧｲﾙから選択）",
     "Startup Race Name ( Click Name listed above )"},
    {"Frame1", "ファイルの種類", "Media for Distribution"},
    {"Option1", "ＷＥＢ配信用", "WEB"},
    {"Option2", "CD-ROM作成", "CD-ROM"},
    {"Check1", "地図データ添付", "Attach Map Data"},
    {"Check2", "データサイズ最小化", "データサイズ最小化"},
    {"Command3", "やり直し", "ReDO"},
    {"Command2", "キャンセル", "Cancel"},
    {"Command1", "配布ファイル作成", "Create Distribution File"},
};

template <class W>
W* named(QWidget* parent, const char* name) {
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

void say(MessageSink& sink, const std::string& text, const std::string& title) {
    Message m;
    m.text = text;
    m.title = title;
    sink.show(m);
}

}  // namespace

DistributionBuilder::DistributionBuilder(const AppSettings& settings, MessageSink& sink, QWidget* parent,
             const QString& programFile)
    : QDialog(parent), settings_(settings), sink_(sink), programFile_(programFile) {
    setObjectName(QStringLiteral("DistributionBuilder"));
    setModal(true);
    if (programFile_.isEmpty()) programFile_ = QCoreApplication::applicationFilePath();

    Label1 = named<QLabel>(this, "Label1");
    Label2 = named<QLabel>(this, "Label2");
    Label3 = named<QLabel>(this, "Label3");
    Label4 = named<QLabel>(this, "Label4");
    List1 = named<QListWidget>(this, "List1");
    List2 = named<QListWidget>(this, "List2");
    Combo1 = named<QComboBox>(this, "Combo1");
    Combo1->setEditable(true);
    Text1 = named<QLineEdit>(this, "Text1");
    Frame1 = named<QGroupBox>(this, "Frame1");
    Option1 = named<QRadioButton>(Frame1, "Option1");
    Option2 = named<QRadioButton>(Frame1, "Option2");
    Option1->setChecked(true);
    Check1 = named<QCheckBox>(this, "Check1");
    Check2 = named<QCheckBox>(this, "Check2");
    Command1 = named<QPushButton>(this, "Command1");
    Command2 = named<QPushButton>(this, "Command2");
    Command3 = named<QPushButton>(this, "Command3");

    auto* media = new QVBoxLayout(Frame1);
    media->addWidget(Option1);
    media->addWidget(Option2);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(List1, 1, 0, 3, 1);
    grid->addWidget(List2, 1, 1);
    grid->addWidget(Command3, 2, 1, Qt::AlignRight);
    grid->addWidget(Label4, 3, 1);
    grid->addWidget(Text1, 4, 1);
    grid->addWidget(Label3, 4, 0);
    grid->addWidget(Combo1, 5, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(Frame1);
    auto* checks = new QVBoxLayout;
    checks->addWidget(Check1);
    checks->addWidget(Check2);
    options->addLayout(checks);
    grid->addLayout(options, 6, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    grid->addLayout(buttons, 6, 1, Qt::AlignBottom);

    connect(List1, &QListWidget::itemPressed, this, &DistributionBuilder::List1_MouseDown);
    connect(List2, &QListWidget::itemPressed, this, &DistributionBuilder::List2_MouseDown);
    connect(Command1, &QPushButton::clicked, this, &DistributionBuilder::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &DistributionBuilder::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &DistributionBuilder::Command3_Click);
    Form_Load();
}

void DistributionBuilder::applyCaptions() {
    brisko::applyCaptions(this, kCaptions, settings_);
    setWindowTitle(QString::fromUtf8(settings_.tr("配布データの作成", "Create Distribution File")));
}

void DistributionBuilder::Form_Load() {
    applyUiFont(this, settings_);
    applyCaptions();
    ChosenRaces.clear();
    RaceFileList.clear();
    List1->clear();
    List2->clear();
    Combo1->clear();
    Text1->clear();
    if (auto folder = findPath(settings_.AppPath, "\\raceadmin")) {
        for (const std::string& name : listFiles(*folder, "*.txt")) {
            // Ver.txt is the settings file, not a race.
            if (toLowerAscii(name) == "ver.txt") continue;
            if (RaceFileList.size() >= kMaxRaceFiles) {
                std::fprintf(stderr, "brisko: more than %d race files; %s and later not listed\n",
                             kMaxRaceFiles, name.c_str());
                break;
            }
            RaceFileList << QString::fromStdString(name);
        }
    }
    List1->addItems(RaceFileList);
}

void DistributionBuilder::List1_MouseDown(QListWidgetItem* item) {
    if (!item) return;
    if (ChosenRaces.size() >= kMaxChosenRaces) {
        say(sink_, settings_.tr("これ以上レースを追加できません。", "No more races can be added."),
            settings_.ProductTitle);
        return;
    }
    ChosenRaces << item->text();
    List2->addItem(item->text());
}

void DistributionBuilder::List2_MouseDown(QListWidgetItem* item) {
    if (item) Text1->setText(item->text());
}

void DistributionBuilder::Command3_Click() {
    ChosenRaces.clear();
    List2->clear();
}

void DistributionBuilder::Command2_Click() { reject(); }

DistributionChoice DistributionBuilder::choice() const {
    DistributionChoice c;
    for (const QString& r : ChosenRaces) c.races.push_back(r.toStdString());
    c.folderName = Combo1->currentText().toStdString();
    c.startupRace = Text1->text().toStdString();
    c.media = Option2->isChecked() ? DistributionMedia::CdRom : DistributionMedia::Web;
    c.attachMapData = Check1->isChecked();
    c.smallestDataSize = Check2->isChecked();
    return c;
}

void DistributionBuilder::Command1_Click() {
    if (ChosenRaces.isEmpty()) return;
    const DistributionChoice c = choice();
    const FolderNameProblem problem = checkFolderName(settings_.AppPath, c.folderName);
    if (problem != FolderNameProblem::None) {
        sink_.show(folderNameMessage(problem, settings_));
        return;
    }
    if (sink_.show(confirmBuildMessage(settings_)) != MessageAnswer::Yes) return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    plan_ = planDistribution(settings_, c, programFilesFor(programFile_));
    result_ = buildDistribution(plan_, settings_);
    QApplication::restoreOverrideCursor();

    // Every file left out and every failure is said, on standard error and to the user.
    const std::string skipped = skippedFilesText(plan_.skipped, settings_);
    if (!skipped.empty()) {
        std::fprintf(stderr, "brisko: %s\n", skipped.c_str());
        say(sink_, skipped, settings_.ProductTitle);
    }
    if (!result_.ok) {
        std::string text = settings_.tr("配布データを作成できなかったファイルがあります:",
                                        "Some files could not be put into the distribution:");
        for (const std::string& e : result_.errors) text += "\n" + e;
        std::fprintf(stderr, "brisko: %s\n", text.c_str());
        say(sink_, text, settings_.ProductTitle);
        // The folder was not made (the name was taken meanwhile): the window stays for another
        // name.
        if (result_.copied + result_.written == 0) return;
    }
    accept();
}

}  // namespace brisko
