// The race screen's display controls; see displaycontrols.h.
#include "ui/race/displaycontrols.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "ui/race/racecaptions.h"
#include "ui/widgets/captions.h"
#include "ui/widgets/colour.h"
#include "ui/widgets/named.h"

namespace brisko {

namespace {
constexpr int kSwatchSize = 18;
constexpr int kZoomMin = 10, kZoomMax = 100;
const QColor kEnlargedInk(255, 0, 0);

// The object names of the boxes, in the order of DisplayCheck.
constexpr const char* kCheckNames[] = {"timeMarksCheck",    "rangeBearingCheck", "hintsCheck",
                                       "compareLinesCheck", "autoTraceCheck",    "wakeCheck",
                                       "coastlineCheck",    "layLinesCheck",     "boatNamesCheck",
                                       "enlargeBoatsCheck", "manoeuvresCheck"};
}  // namespace

DisplayControls::DisplayControls(QWidget* panel, const AppSettings& settings)
    : QObject(panel), settings_(settings) {
    orientationBox_ = named<QGroupBox>(panel, "orientationBox");
    windUpRadio_ = named<QRadioButton>(orientationBox_, "windUpRadio");
    northUpRadio_ = named<QRadioButton>(orientationBox_, "northUpRadio");
    auto* orientation = new QHBoxLayout(orientationBox_);
    orientation->setContentsMargins(2, 0, 2, 0);
    orientation->setSpacing(2);
    orientation->addWidget(windUpRadio_);
    orientation->addWidget(northUpRadio_);

    for (size_t i = 0; i < checks_.size(); ++i)
        checks_[i] = named<QCheckBox>(panel, kCheckNames[i]);
    box(DisplayCheck::Hints)->setText(QStringLiteral("HINT"));
    for (DisplayCheck on :
         {DisplayCheck::Hints, DisplayCheck::Wake, DisplayCheck::Coastline, DisplayCheck::Enlarge})
        box(on)->setChecked(true);
    box(DisplayCheck::BoatNames)->setEnabled(false);

    for (int i = 0; i < static_cast<int>(seaSwatches_.size()); ++i) {
        QPushButton* b = named<QPushButton>(
            panel, QStringLiteral("seaSwatch%1").arg(i + 1).toLatin1().constData());
        b->setFixedSize(kSwatchSize, kSwatchSize);
        const Rgb c = kSeaSwatches[i].sea;
        b->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); "
                                        "border: 1px solid gray; }")
                             .arg(c.r)
                             .arg(c.g)
                             .arg(c.b));
        seaSwatches_[i] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { emit seaSwatchChosen(i + 1); });
    }
    sizeLabel_ = named<QLabel>(panel, "sizeLabel");
    sizeLabel_->setAutoFillBackground(true);
    sizeLabel_->setAlignment(Qt::AlignCenter);

    traceZoomPanel_ = named<QWidget>(panel, "traceZoomPanel");
    traceZoomPanel_->setAutoFillBackground(true);
    traceZoomLabel_ = named<QLabel>(traceZoomPanel_, "traceZoomLabel", QStringLiteral("ZOOM"));
    traceZoomSlider_ = named<QSlider>(traceZoomPanel_, "traceZoomSlider");
    traceZoomSlider_->setOrientation(Qt::Horizontal);
    traceZoomSlider_->setRange(kZoomMin, kZoomMax);
    traceZoomSlider_->setValue(kZoomMax);
    auto* zoom = new QHBoxLayout(traceZoomPanel_);
    zoom->setContentsMargins(2, 0, 2, 0);
    zoom->addWidget(traceZoomLabel_);
    zoom->addWidget(traceZoomSlider_, 1);
    traceZoomPanel_->hide();

    applyRaceScreenCaptions(orientationBox_, settings);
    int count = 0;
    const ControlCaption* captions = raceScreenCaptions(count);
    for (QCheckBox* c : checks_) applyCaptions({c}, std::span(captions, count), settings);

    connect(northUpRadio_, &QRadioButton::clicked, this, &DisplayControls::northUpChosen);
    connect(windUpRadio_, &QRadioButton::clicked, this, &DisplayControls::windUpChosen);
    for (size_t i = 0; i < checks_.size(); ++i) {
        const auto which = static_cast<DisplayCheck>(i);
        if (which == DisplayCheck::RangeBearing) continue;
        connect(checks_[i], &QCheckBox::clicked, this,
                [this, which](bool on) { emit checkClicked(which, on); });
    }
    // Toggled, not clicked: auto trace, the stop button and the other views untick it as well.
    connect(box(DisplayCheck::RangeBearing), &QCheckBox::toggled, this,
            &DisplayControls::rangeBearingToggled);
    connect(traceZoomSlider_, &QSlider::valueChanged, this, &DisplayControls::traceZoomChosen);
}

bool DisplayControls::isChecked(DisplayCheck which) const { return box(which)->isChecked(); }

void DisplayControls::setChecked(DisplayCheck which, bool on) { box(which)->setChecked(on); }

void DisplayControls::setAvailable(DisplayCheck which, bool on) { box(which)->setEnabled(on); }

bool DisplayControls::windUp() const { return windUpRadio_->isChecked(); }

void DisplayControls::showOrientation(bool northUp) {
    northUpRadio_->setChecked(northUp);
    windUpRadio_->setChecked(!northUp);
    setAvailable(DisplayCheck::CompareLines, !northUp);
}

int DisplayControls::traceZoom() const { return traceZoomSlider_->value(); }

void DisplayControls::resetTraceZoom() { traceZoomSlider_->setValue(kZoomMax); }

void DisplayControls::showTraceZoom(bool shown) { traceZoomPanel_->setVisible(shown); }

void DisplayControls::showSea(Rgb sea, Rgb ink, bool enlarged) {
    QPalette zoom = traceZoomPanel_->palette();
    zoom.setColor(QPalette::Window, toQColor(sea));
    zoom.setColor(QPalette::WindowText, toQColor(ink));
    traceZoomPanel_->setPalette(zoom);
    sizeLabel_->setText(sizeLabelText(enlarged, settings_));
    QPalette size = sizeLabel_->palette();
    size.setColor(QPalette::Window, toQColor(sea));
    size.setColor(QPalette::WindowText, enlarged ? kEnlargedInk : toQColor(ink));
    sizeLabel_->setPalette(size);
}

}  // namespace brisko
