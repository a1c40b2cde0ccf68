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

// Designed captions and their English counterparts, by object name; the smallest-data-size box
// keeps its Japanese caption in English.
const ControlCaption kCaptions[] = {
    {"raceFileLabel", "レースファイル選択 ", "Choose Race File Name to Distribute "},
    {"chosenRaceLabel", "配布レースファイルのリスト", "List of Race File"},
    {"folderNameLabel", "配布データを収納するフォルダー名　(新しい名称）",
     "Folder Name to be Saved  ( to be New Name ) "},
    {"startupRaceLabel", "ｽﾀｰﾄｱｯﾌﾟ時のﾚｰｽﾌｧｲﾙ名　（上段配布ﾚｰｽﾌｧｲﾙから選択）",
     "Startup Race Name ( Click Name listed above )"},
    {"mediaGroup", "ファイルの種類", "Media for Distribution"},
    {"webRadio", "ＷＥＢ配信用", "WEB"},
    {"cdRomRadio", "CD-ROM作成", "CD-ROM"},
    {"mapDataCheck", "地図データ添付", "Attach Map Data"},
    {"smallestSizeCheck", "データサイズ最小化", "データサイズ最小化"},
    {"redoButton", "やり直し", "ReDO"},
    {"cancelButton", "キャンセル", "Cancel"},
    {"buildButton", "配布ファイル作成", "Create Distribution File"},
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

DistributionBuilder::DistributionBuilder(const AppSettings& settings, MessageSink& sink,
                                         QWidget* parent, const QString& programFile)
    : QDialog(parent), settings_(settings), sink_(sink), programFile_(programFile) {
    setObjectName(QStringLiteral("DistributionBuilder"));
    setModal(true);
    if (programFile_.isEmpty()) programFile_ = QCoreApplication::applicationFilePath();

    raceFileLabel = named<QLabel>(this, "raceFileLabel");
    chosenRaceLabel = named<QLabel>(this, "chosenRaceLabel");
    folderNameLabel = named<QLabel>(this, "folderNameLabel");
    startupRaceLabel = named<QLabel>(this, "startupRaceLabel");
    raceFileList = named<QListWidget>(this, "raceFileList");
    chosenRaceList = named<QListWidget>(this, "chosenRaceList");
    folderNameEdit = named<QComboBox>(this, "folderNameEdit");
    folderNameEdit->setEditable(true);
    startupRaceEdit = named<QLineEdit>(this, "startupRaceEdit");
    mediaGroup = named<QGroupBox>(this, "mediaGroup");
    webRadio = named<QRadioButton>(mediaGroup, "webRadio");
    cdRomRadio = named<QRadioButton>(mediaGroup, "cdRomRadio");
    webRadio->setChecked(true);
    mapDataCheck = named<QCheckBox>(this, "mapDataCheck");
    smallestSizeCheck = named<QCheckBox>(this, "smallestSizeCheck");
    buildButton = named<QPushButton>(this, "buildButton");
    cancelButton = named<QPushButton>(this, "cancelButton");
    redoButton = named<QPushButton>(this, "redoButton");

    auto* media = new QVBoxLayout(mediaGroup);
    media->addWidget(webRadio);
    media->addWidget(cdRomRadio);

    auto* grid = new QGridLayout(this);
    grid->addWidget(raceFileLabel, 0, 0);
    grid->addWidget(chosenRaceLabel, 0, 1);
    grid->addWidget(raceFileList, 1, 0, 3, 1);
    grid->addWidget(chosenRaceList, 1, 1);
    grid->addWidget(redoButton, 2, 1, Qt::AlignRight);
    grid->addWidget(startupRaceLabel, 3, 1);
    grid->addWidget(startupRaceEdit, 4, 1);
    grid->addWidget(folderNameLabel, 4, 0);
    grid->addWidget(folderNameEdit, 5, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(mediaGroup);
    auto* checks = new QVBoxLayout;
    checks->addWidget(mapDataCheck);
    checks->addWidget(smallestSizeCheck);
    options->addLayout(checks);
    grid->addLayout(options, 6, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buildButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 6, 1, Qt::AlignBottom);

    connect(raceFileList, &QListWidget::itemPressed, this, &DistributionBuilder::addChosenRace);
    connect(chosenRaceList, &QListWidget::itemPressed, this, &DistributionBuilder::pickStartupRace);
    connect(buildButton, &QPushButton::clicked, this, &DistributionBuilder::buildDistribution);
    connect(cancelButton, &QPushButton::clicked, this, &DistributionBuilder::cancel);
    connect(redoButton, &QPushButton::clicked, this, &DistributionBuilder::clearChosenRaces);
    startAfresh();
}

void DistributionBuilder::applyCaptions() {
    brisko::applyCaptions(this, kCaptions, settings_);
    setWindowTitle(QString::fromUtf8(settings_.tr("配布データの作成", "Create Distribution File")));
}

void DistributionBuilder::startAfresh() {
    applyUiFont(this, settings_);
    applyCaptions();
    chosenRaces_.clear();
    raceFiles_.clear();
    raceFileList->clear();
    chosenRaceList->clear();
    folderNameEdit->clear();
    startupRaceEdit->clear();
    if (auto folder = findPath(settings_.AppPath, "\\raceadmin")) {
        for (const std::string& name : listFiles(*folder, "*.txt")) {
            // Ver.txt is the settings file, not a race.
            if (toLowerAscii(name) == "ver.txt") continue;
            if (raceFiles_.size() >= kMaxRaceFiles) {
                std::fprintf(stderr, "brisko: more than %d race files; %s and later not listed\n",
                             kMaxRaceFiles, name.c_str());
                break;
            }
            raceFiles_ << QString::fromStdString(name);
        }
    }
    raceFileList->addItems(raceFiles_);
}

void DistributionBuilder::addChosenRace(QListWidgetItem* item) {
    if (!item) return;
    if (chosenRaces_.size() >= kMaxChosenRaces) {
        say(sink_, settings_.tr("これ以上レースを追加できません。", "No more races can be added."),
            settings_.ProductTitle);
        return;
    }
    chosenRaces_ << item->text();
    chosenRaceList->addItem(item->text());
}

void DistributionBuilder::pickStartupRace(QListWidgetItem* item) {
    if (item) startupRaceEdit->setText(item->text());
}

void DistributionBuilder::clearChosenRaces() {
    chosenRaces_.clear();
    chosenRaceList->clear();
}

void DistributionBuilder::cancel() { reject(); }

DistributionChoice DistributionBuilder::choice() const {
    DistributionChoice c;
    for (const QString& r : chosenRaces_) c.races.push_back(r.toStdString());
    c.folderName = folderNameEdit->currentText().toStdString();
    c.startupRace = startupRaceEdit->text().toStdString();
    c.media = cdRomRadio->isChecked() ? DistributionMedia::CdRom : DistributionMedia::Web;
    c.attachMapData = mapDataCheck->isChecked();
    c.smallestDataSize = smallestSizeCheck->isChecked();
    return c;
}

void DistributionBuilder::buildDistribution() {
    if (chosenRaces_.isEmpty()) return;
    const DistributionChoice c = choice();
    const FolderNameProblem problem = checkFolderName(settings_.AppPath, c.folderName);
    if (problem != FolderNameProblem::None) {
        sink_.show(folderNameMessage(problem, settings_));
        return;
    }
    if (sink_.show(confirmBuildMessage(settings_)) != MessageAnswer::Yes) return;

    QApplication::setOverrideCursor(Qt::WaitCursor);
    plan_ = planDistribution(settings_, c, programFilesFor(programFile_));
    result_ = brisko::buildDistribution(plan_, settings_);
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
