// The launcher: its picture, button column, hint box and selection panel, and the
// handlers that open the other windows and start the sibling tools.
#include "ui/app/launcher.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStandardPaths>

#include "ui/app/launchertexts.h"
#include "ui/editor/raceeditor.h"
#include "ui/race/racescreen.h"
#include "ui/widgets/captions.h"
#include "util/fileutil.h"

namespace brisko {

namespace {

constexpr int kPictureMargin = 10;
constexpr int kColumnX = 230;
constexpr int kColumnTop = 318;
constexpr int kButtonWidth = 131;
constexpr int kButtonHeight = 17;
constexpr int kButtonPitch = 24;
constexpr int kHelpWidth = 42;
constexpr int kExitX = 288;
constexpr int kExitWidth = 73;
constexpr double kButtonPoints = 9;
constexpr int kHintWidth = 196;
constexpr int kHintGap = 6;
const QColor kWindowColour(17, 72, 26);
// The hint box's height for one to four lines, as the designed boxes had them.
constexpr int kHintHeights[] = {17, 32, 45, 60};

QString fromUtf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

Launcher::Launcher(const AppSettings& settings, MessageSink& sink, PlatformServices& platform,
                   QWidget* parent)
    : QWidget(parent), settings_(settings), sink_(sink), platform_(platform) {
    setObjectName(QStringLiteral("Launcher"));
    setWindowTitle(QString::fromStdString(settings_.ProductTitle));
    setFixedSize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowColour);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    buildControls();
    applyUiFont(this, settings_);

    // The default road to the race screen: a new window per opening; the one opened before
    // from here is closed first, since the race screen sets itself up only when it is created.
    raceOpener_ = [this](const std::string& raceFile, const std::string& track) {
        if (raceScreen_) raceScreen_->close();
        auto* w = new RaceScreen(settings_, raceFile, sink_, &platform_);
        w->setAttribute(Qt::WA_DeleteOnClose);
        if (!track.empty()) w->setSingleTrackFile(track);
        raceScreen_ = w;
        w->show();
    };
}

Launcher::~Launcher() = default;

void Launcher::buildControls() {
    coverPictureBox = new QLabel(this);
    coverPictureBox->setObjectName(QStringLiteral("coverPictureBox"));
    coverPictureBox->setGeometry(kPictureMargin, kPictureMargin, kWidth - 2 * kPictureMargin,
                                 kHeight - 2 * kPictureMargin);
    coverPictureBox->setMouseTracking(true);
    coverPictureBox->installEventFilter(this);
    QImage picture = coverPicture(coverPictureBox->width(), coverPictureBox->height());
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        QFont f = font();
        f.setFamily(uiFontFamily(settings_));
        f.setPointSizeF(scaledPointSize(26, settings_));
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(250, 250, 240));
        p.drawText(QRect(0, 60, picture.width(), 50), Qt::AlignHCenter | Qt::AlignVCenter,
                   QString::fromStdString(settings_.ProductTitle));
        f.setPointSizeF(scaledPointSize(9, settings_));
        f.setBold(false);
        p.setFont(f);
        p.drawText(QRect(0, 108, picture.width(), 22), Qt::AlignHCenter | Qt::AlignVCenter,
                   fromUtf8(settings_.tr("GPS航跡によるレース再生と解析",
                                         "Race replay and analysis from GPS tracks")));
    }
    drawEditionLabel(picture);
    coverPictureBox->setPixmap(QPixmap::fromImage(picture));

    QFont buttonFont = font();
    buttonFont.setPointSizeF(scaledPointSize(kButtonPoints, settings_));
    auto button = [&](QPushButton*& b, const char* name, const char* caption, int x, int y, int w) {
        b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, y, w, kButtonHeight);
        b->setFont(buttonFont);
        b->setStyleSheet(QStringLiteral("padding: 0px;"));
        b->setMouseTracking(true);
        b->installEventFilter(this);
    };
    int y = kColumnTop;
    button(gpsDownloadButton, "gpsDownloadButton", "GPS Download", kColumnX, y, kButtonWidth);
    button(windToolButton, "windToolButton", "Mk Wind Data", kColumnX, y += kButtonPitch,
           kButtonWidth);
    button(editorButton, "editorButton", "Complie GPS data", kColumnX, y += kButtonPitch,
           kButtonWidth);
    button(distributionButton, "distributionButton", "Create Distibution File", kColumnX,
           y += kButtonPitch, kButtonWidth);
    button(oneBoatButton, "oneBoatButton", "Show One Boat", kColumnX, y += kButtonPitch,
           kButtonWidth);
    button(raceScreenButton, "raceScreenButton", "Show Racing", kColumnX, y += kButtonPitch,
           kButtonWidth);
    y += kButtonPitch;
    button(helpButton, "helpButton", "?", kColumnX, y, kHelpWidth);
    button(exitButton, "exitButton", "EXIT", kExitX, y, kExitWidth);
    windToolButton->setVisible(settings_.EditionMode <= 3);

    selectionPanel = new QFrame(this);
    selectionPanel->setObjectName(QStringLiteral("selectionPanel"));
    selectionPanel->setFrameShape(QFrame::Box);
    selectionPanel->setAutoFillBackground(true);
    selectionPanel->setGeometry(12, y + 30, kWidth - 24, 66);
    racePicker = new QComboBox(selectionPanel);
    racePicker->setObjectName(QStringLiteral("racePicker"));
    racePicker->setGeometry(8, 6, selectionPanel->width() - 16, 24);
    okButton = new QPushButton(QStringLiteral("OK"), selectionPanel);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(8, 36, 80, 24);
    cancelButton = new QPushButton(QStringLiteral("CANCEL"), selectionPanel);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(96, 36, 80, 24);
    selectionPanel->hide();

    hintBox = new QLabel(this);
    hintBox->setObjectName(QStringLiteral("hintBox"));
    hintBox->setAutoFillBackground(true);
    hintBox->setStyleSheet(
        QStringLiteral("background: rgb(255,255,225); color: black; padding-left: 2px;"));
    QFont hintFont = font();
    hintFont.setPointSizeF(scaledPointSize(kButtonPoints, settings_));
    hintBox->setFont(hintFont);
    hintBox->hide();

    connect(gpsDownloadButton, &QPushButton::clicked, this, &Launcher::startGpsDownloadTool);
    connect(windToolButton, &QPushButton::clicked, this, &Launcher::startWindTool);
    connect(editorButton, &QPushButton::clicked, this, &Launcher::openEditor);
    connect(distributionButton, &QPushButton::clicked, this, &Launcher::openDistributionBuilder);
    connect(oneBoatButton, &QPushButton::clicked, this, &Launcher::listTracks);
    connect(raceScreenButton, &QPushButton::clicked, this, &Launcher::listRaces);
    connect(helpButton, &QPushButton::clicked, this, &Launcher::openHelp);
    connect(exitButton, &QPushButton::clicked, this, &Launcher::exitProgram);
    connect(okButton, &QPushButton::clicked, this, &Launcher::openRaceScreen);
    connect(cancelButton, &QPushButton::clicked, this, &Launcher::closeSelectionPanel);
}

void Launcher::drawEditionLabel(QImage& picture) const {
    if (settings_.EditionMode <= 1) return;
    const bool custom = settings_.EditionMode == 3;
    QPainter p(&picture);
    p.fillRect(QRect(QPoint(100, 23), QPoint(248, 45)), QColor(255, 0, 0));
    QFont f = font();
    f.setFamily(uiFontFamily(settings_));
    f.setPointSizeF(scaledPointSize(settings_.english() && custom ? 12 : 13, settings_));
    p.setFont(f);
    p.setPen(Qt::white);
    const char* text = settings_.english() ? (custom ? "CUSTOM VERSION" : "   with EDITOR")
                                           : (custom ? "カスタムバージョン" : "エディター付");
    p.drawText(QRect(110, 25, 248 - 110, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(text));
}

QString Launcher::hintFor(const QString& control, const AppSettings& settings) {
    return coverHint(control, settings);
}

bool Launcher::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseMove || e->type() == QEvent::Enter) {
        if (watched == coverPictureBox)
            hideHint();
        else if (auto* b = qobject_cast<QPushButton*>(watched))
            showHint(b);
    }
    return QWidget::eventFilter(watched, e);
}

void Launcher::showHint(QPushButton* button) {
    const QString text = hintFor(button->objectName(), settings_);
    if (text.isEmpty()) {
        hideHint();
        return;
    }
    const int lines = std::clamp(static_cast<int>(text.count(QLatin1Char('\n'))) + 1, 1, 4);
    hintBox->setText(text);
    const int x = std::max(2, button->x() - kHintGap - kHintWidth);
    int y = button->y();
    y = std::min(y, height() - kHintHeights[lines - 1] - 2);
    hintBox->setGeometry(x, y, kHintWidth, kHintHeights[lines - 1]);
    hintBox->raise();
    hintBox->show();
}

void Launcher::hideHint() { hintBox->hide(); }

void Launcher::tell(const QString& text) {
    sink_.show({text.toStdString(), {}, MessageButtons::Ok});
}

QString Launcher::findSiblingTool(const QString& appPath, const QString& name) {
    for (const QString& candidate : {name + QStringLiteral(".exe"), name}) {
        if (auto p = findPath(appPath.toStdString(), "\\" + candidate.toStdString())) {
            const QFileInfo fi(QString::fromStdString(*p));
            if (fi.isFile() && fi.isExecutable()) return fi.absoluteFilePath();
        }
    }
    return QStandardPaths::findExecutable(name);
}

void Launcher::startSiblingTool(const QString& name, const char* japaneseWhat,
                                const char* englishWhat) {
    const QString program = findSiblingTool(QString::fromStdString(settings_.AppPath), name);
    if (program.isEmpty()) {
        tell(siblingToolMissingMessage(settings_, fromUtf8(settings_.tr(japaneseWhat, englishWhat)),
                                       name));
        return;
    }
    if (!platform_.startDetached(program.toStdString()))
        tell(siblingToolFailedMessage(settings_, program));
}

void Launcher::startGpsDownloadTool() {
    startSiblingTool(QStringLiteral("QLN_GPSedit"), "GPSダウンロードツール", "GPS download tool");
}

void Launcher::startWindTool() {
    startSiblingTool(QStringLiteral("ZEPHYR_T1"), "風解析ツール", "wind-analysis tool");
}

void Launcher::openEditor() {
    if (editor_) {
        editor_->raise();
        editor_->activateWindow();
        return;
    }
    auto* editor = new RaceEditor(settings_, sink_, platform_);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setRaceOpener([this](const std::string& race) { raceOpener_(race, {}); });
    editor_ = editor;
    editor->show();
}

void Launcher::listRaces() {
    pickingRace_ = true;
    racePicker->clear();
    if (auto folder = findPath(settings_.AppPath, "\\raceadmin"))
        for (const std::string& name : listFiles(*folder, "*.txt"))
            if (toLowerAscii(name) != "ver.txt") racePicker->addItem(QString::fromStdString(name));
    selectionPanel->show();
    selectionPanel->raise();
}

void Launcher::listTracks() {
    pickingRace_ = false;
    racePicker->clear();
    if (auto folder = findPath(settings_.AppPath, "\\gpsdat")) {
        // The track files, then the GPX files and NMEA logs of today's devices (any letter case).
        for (const char* pattern : {"*.dtr", "*.trk", "*.gpx", "*.nmea", "*.nma", "*.log"})
            for (const std::string& name : listFiles(*folder, pattern))
                racePicker->addItem(QString::fromStdString(name));
    }
    selectionPanel->show();
    selectionPanel->raise();
}

void Launcher::openRaceScreen() {
    const std::string chosen = racePicker->currentText().toStdString();
    selectionPanel->hide();
    if (pickingRace_)
        raceOpener_(chosen, {});
    else
        raceOpener_({}, chosen);
}

void Launcher::closeSelectionPanel() { selectionPanel->hide(); }

void Launcher::openDistributionBuilder() {
    if (distribOpener_) {
        distribOpener_(this);
        return;
    }
    tell(distributionNotReadyMessage(settings_));
}

void Launcher::openHelp() {
    const char* help = settings_.english() ? "\\ehelp\\index.html" : "\\help\\index.html";
    const std::string failure = platform_.openDocument(resolvePath(settings_.AppPath, help));
    if (!failure.empty()) tell(QString::fromStdString(failure));
}

void Launcher::exitProgram() {
    QApplication::closeAllWindows();
    QApplication::quit();
}

}  // namespace brisko
