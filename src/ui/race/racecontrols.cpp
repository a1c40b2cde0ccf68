// The race screen's controls and the arrangement of the side panel; see racecontrols.h.
#include "ui/race/racecontrols.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/display/boatpanel.h"
#include "ui/display/mappicture.h"
#include "ui/display/timebar.h"
#include "ui/display/timepanel.h"
#include "ui/race/loadingprogress.h"
#include "ui/race/picturebox.h"
#include "ui/race/racecaptions.h"
#include "ui/widgets/named.h"

namespace brisko {

namespace {
constexpr double kBasePointSize = 9;
constexpr int kOverviewSize = 150;
constexpr int kMapProgressBarOffset = 50;

QLabel* makeHintBox(QWidget* parent, const char* name) {
    auto* l = named<QLabel>(parent, name);
    l->setWindowFlags(Qt::ToolTip);
    l->setAutoFillBackground(true);
    l->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; padding: 2px; }"));
    l->hide();
    return l;
}
}  // namespace

void RaceControls::build(QWidget* form, const AppSettings& settings) {
    mapPicture = new MapPicture(form);
    timeBar = new TimeBar(form);
    sidePanel = named<QWidget>(form, "sidePanel");
    timePanel = new TimePanel(form);
    mapProgress = new LoadingProgress(kMapProgressBarOffset, mapPicture);
    mapProgress->hide();
    hintBox = makeHintBox(form, "hintBox");
    boatHintBox = makeHintBox(form, "boatHintBox");

    QWidget* p = sidePanel;

    // The overview.
    overviewPicture = new PictureBox(p);
    overviewPicture->setObjectName(QStringLiteral("overviewPicture"));
    overviewPicture->setFixedSize(kOverviewSize, kOverviewSize);

    // Boats.
    boatPanel = BoatPanel::inScrollArea(p);

    // Race file, times and buttons.
    raceFileLabel = named<QLabel>(p, "raceFileLabel");
    raceFileCombo = named<QComboBox>(p, "raceFileCombo");
    showRaceButton = named<QPushButton>(p, "showRaceButton");
    startTimeLabel = named<QLabel>(p, "startTimeLabel");
    startTimeEdit = named<QLineEdit>(p, "startTimeEdit");
    finishTimeLabel = named<QLabel>(p, "finishTimeLabel");
    finishTimeEdit = named<QLineEdit>(p, "finishTimeEdit");
    confirmTimesButton = named<QPushButton>(p, "confirmTimesButton");
    setMarkButton = named<QPushButton>(p, "setMarkButton");
    setLineButton = named<QPushButton>(p, "setLineButton");
    setCourseButton = named<QPushButton>(p, "setCourseButton");
    referenceButton = named<QPushButton>(p, "referenceButton");
    makeCoastlineButton = named<QPushButton>(p, "makeCoastlineButton");
    makeCoastlineButton->setEnabled(false);  // until a race without its coastline tiles is shown
    helpButton = named<QPushButton>(p, "helpButton", QStringLiteral("?"));
    helpButton->setFixedWidth(28);
    infoLabel = named<QLabel>(p, "infoLabel");
    infoLabel->setWordWrap(true);
    exitButton = named<QPushButton>(p, "exitButton");
}

void RaceControls::applyFontScale(const AppSettings& settings) {
    if (!sidePanel) return;
    QWidget* form = sidePanel->parentWidget();
    QFont f = form->font();
    f.setPointSizeF(scaledPointSize(kBasePointSize, settings));
    form->setFont(f);
    timePanel->setFontScale(settings.FontScale);
}

}  // namespace brisko
