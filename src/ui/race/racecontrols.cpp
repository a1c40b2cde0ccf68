// The race screen's controls and the arrangement of the side panel; see racecontrols.h.
#include "ui/race/racecontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "display/displayoptions.h"
#include "display/playbackclock.h"
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
constexpr int kSwatchSize = 18;
constexpr int kOverviewSize = 150;
constexpr int kMapProgressBarOffset = 50;
constexpr int kZoomMin = 10, kZoomMax = 100;

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

    // Orientation and view.
    orientationBox = named<QGroupBox>(p, "orientationBox");
    windUpRadio = named<QRadioButton>(orientationBox, "windUpRadio");
    northUpRadio = named<QRadioButton>(orientationBox, "northUpRadio");
    auto* f1 = new QHBoxLayout(orientationBox);
    f1->setContentsMargins(2, 0, 2, 0);
    f1->setSpacing(2);
    f1->addWidget(windUpRadio);
    f1->addWidget(northUpRadio);

    // Display check boxes.
    timeMarksCheck = named<QCheckBox>(p, "timeMarksCheck");
    rangeBearingCheck = named<QCheckBox>(p, "rangeBearingCheck");
    hintsCheck = named<QCheckBox>(p, "hintsCheck");
    compareLinesCheck = named<QCheckBox>(p, "compareLinesCheck");
    autoTraceCheck = named<QCheckBox>(p, "autoTraceCheck");
    wakeCheck = named<QCheckBox>(p, "wakeCheck");
    coastlineCheck = named<QCheckBox>(p, "coastlineCheck");
    layLinesCheck = named<QCheckBox>(p, "layLinesCheck");
    boatNamesCheck = named<QCheckBox>(p, "boatNamesCheck");
    enlargeBoatsCheck = named<QCheckBox>(p, "enlargeBoatsCheck");
    hintsCheck->setText(QStringLiteral("HINT"));
    hintsCheck->setChecked(true);
    wakeCheck->setChecked(true);
    coastlineCheck->setChecked(true);
    enlargeBoatsCheck->setChecked(true);
    boatNamesCheck->setEnabled(false);

    // Sea colour swatches and the size label.
    for (int i = 0; i < static_cast<int>(seaSwatches.size()); ++i) {
        QPushButton* b =
            named<QPushButton>(p, QStringLiteral("seaSwatch%1").arg(i + 1).toLatin1().constData());
        b->setFixedSize(kSwatchSize, kSwatchSize);
        const Rgb c = kSeaSwatches[i].sea;
        b->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); "
                                        "border: 1px solid gray; }")
                             .arg(c.r)
                             .arg(c.g)
                             .arg(c.b));
        seaSwatches[i] = b;
    }
    sizeLabel = named<QLabel>(p, "sizeLabel");
    sizeLabel->setAutoFillBackground(true);
    sizeLabel->setAlignment(Qt::AlignCenter);

    // Overview and the zoom panel.
    overviewPicture = new PictureBox(p);
    overviewPicture->setObjectName(QStringLiteral("overviewPicture"));
    overviewPicture->setFixedSize(kOverviewSize, kOverviewSize);
    traceZoomPanel = named<QWidget>(p, "traceZoomPanel");
    traceZoomPanel->setAutoFillBackground(true);
    traceZoomLabel = named<QLabel>(traceZoomPanel, "traceZoomLabel", QStringLiteral("ZOOM"));
    traceZoomSlider = named<QSlider>(traceZoomPanel, "traceZoomSlider");
    traceZoomSlider->setOrientation(Qt::Horizontal);
    traceZoomSlider->setRange(kZoomMin, kZoomMax);
    traceZoomSlider->setValue(kZoomMax);
    auto* zoom = new QHBoxLayout(traceZoomPanel);
    zoom->setContentsMargins(2, 0, 2, 0);
    zoom->addWidget(traceZoomLabel);
    zoom->addWidget(traceZoomSlider, 1);
    traceZoomPanel->hide();

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
