// The race screen's controls and the arrangement of the side panel; see racecontrols.h.
#include "ui/race/racecontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

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

QLabel* hintBox(QWidget* parent, const char* name) {
    auto* l = named<QLabel>(parent, name);
    l->setWindowFlags(Qt::ToolTip);
    l->setAutoFillBackground(true);
    l->setStyleSheet(QStringLiteral("QLabel { background: #ffffe1; color: black; padding: 2px; }"));
    l->hide();
    return l;
}
}  // namespace

void RaceControls::build(QWidget* form, const AppSettings& settings) {
    Picture1 = new MapPicture(form);
    PicTimeBar = new TimeBar(form);
    Picture5 = named<QWidget>(form, "Picture5");
    PicTime = new TimePanel(form);
    mapProgress = new LoadingProgress(kMapProgressBarOffset, Picture1);
    mapProgress->hide();
    Text7 = hintBox(form, "Text7");
    Text8 = hintBox(form, "Text8");

    QWidget* p = Picture5;
    auto* box = new QVBoxLayout(p);
    box->setContentsMargins(2, 0, 2, 0);
    box->setSpacing(3);

    // Replay.
    Option6 = named<QRadioButton>(p, "Option6", QStringLiteral("FWD"));
    Option7 = named<QRadioButton>(p, "Option7", QStringLiteral("STOP"));
    Option8 = named<QRadioButton>(p, "Option8", QStringLiteral("BACK"));
    Command6 = named<QPushButton>(p, "Command6", QStringLiteral("+"));
    Command7 = named<QPushButton>(p, "Command7", QStringLiteral("-"));
    Option6->setChecked(true);
    auto* replay = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(Option6), static_cast<QWidget*>(Option7),
                       static_cast<QWidget*>(Option8)})
        replay->addWidget(w);
    for (QPushButton* b : {Command6, Command7}) {
        b->setFixedWidth(28);
        replay->addWidget(b);
    }
    box->addLayout(replay);

    HScroll1 = named<QSlider>(p, "HScroll1");
    HScroll1->setOrientation(Qt::Horizontal);
    HScroll1->setRange(kSpeedSliderMin, kSpeedSliderMax);
    HScroll1->setValue(kSpeedSliderStart);
    HScroll1->setPageStep(1);
    Text2 = named<QLabel>(p, "Text2");
    Text2->setMinimumWidth(70);
    auto* speed = new QHBoxLayout;
    speed->addWidget(Text2);
    speed->addWidget(HScroll1, 1);
    box->addLayout(speed);

    // Orientation and view.
    Frame1 = named<QGroupBox>(p, "Frame1");
    Option3 = named<QRadioButton>(Frame1, "Option3");
    Option2 = named<QRadioButton>(Frame1, "Option2");
    auto* f1 = new QHBoxLayout(Frame1);
    f1->setContentsMargins(2, 0, 2, 0);
    f1->setSpacing(2);
    f1->addWidget(Option3);
    f1->addWidget(Option2);
    Frame4 = named<QGroupBox>(p, "Frame4");
    Option9 = named<QRadioButton>(Frame4, "Option9");
    Option10 = named<QRadioButton>(Frame4, "Option10");
    Option11 = named<QRadioButton>(Frame4, "Option11");
    auto* f4 = new QHBoxLayout(Frame4);
    f4->setContentsMargins(2, 0, 2, 0);
    f4->setSpacing(2);
    f4->addWidget(Option9);
    f4->addWidget(Option10);
    f4->addWidget(Option11);
    Option9->setChecked(true);
    auto* frames = new QHBoxLayout;
    frames->addWidget(Frame1);
    frames->addWidget(Frame4);
    box->addLayout(frames);

    // Display check boxes, in the order they appear.
    const char* checkNames[] = {nullptr,  "Check1", "Check2", "Check3", "Check4", "Check5",
                                "Check6", "Check7", "Check8", "Check9", "Check10"};
    for (int i = 1; i <= 10; ++i) Check[i] = named<QCheckBox>(p, checkNames[i]);
    Check1 = Check[1], Check2 = Check[2], Check3 = Check[3], Check4 = Check[4];
    Check5 = Check[5], Check6 = Check[6], Check7 = Check[7], Check8 = Check[8];
    Check9 = Check[9], Check10 = Check[10];
    Check3->setText(QStringLiteral("HINT"));
    Check3->setChecked(true);
    Check6->setChecked(true);
    Check7->setChecked(true);
    Check10->setChecked(true);
    Check9->setEnabled(false);
    auto* checks = new QGridLayout;
    checks->setHorizontalSpacing(4);
    checks->setVerticalSpacing(0);
    const int order[] = {9, 4, 5, 7, 6, 1, 10, 2, 8, 3};
    for (int i = 0; i < 10; ++i) checks->addWidget(Check[order[i]], i / 4, i % 4);
    box->addLayout(checks);

    // Sea colour swatches and the size label.
    auto* swatches = new QHBoxLayout;
    swatches->setSpacing(2);
    for (int i = 1; i <= 6; ++i) {
        BCOL[i] = named<QPushButton>(p, QStringLiteral("BCOL%1").arg(i).toLatin1().constData());
        BCOL[i]->setFixedSize(kSwatchSize, kSwatchSize);
        const Rgb c = kSeaSwatches[i - 1].sea;
        BCOL[i]->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(%1,%2,%3); "
                                              "border: 1px solid gray; }")
                                   .arg(c.r)
                                   .arg(c.g)
                                   .arg(c.b));
        swatches->addWidget(BCOL[i]);
    }
    Text15 = named<QLabel>(p, "Text15");
    Text15->setAutoFillBackground(true);
    Text15->setAlignment(Qt::AlignCenter);
    swatches->addWidget(Text15, 1);
    box->addLayout(swatches);

    // Overview beside the wind panel and the zoom panel.
    Picture6 = new PictureBox(p);
    Picture6->setObjectName(QStringLiteral("Picture6"));
    Picture6->setFixedSize(kOverviewSize, kOverviewSize);
    Picture2 = new PictureBox(p);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setFixedSize(kOverviewSize, kOverviewSize);
    Text3 = named<QLineEdit>(p, "Text3");
    Text3->setMaximumWidth(50);
    sWind = named<QWidget>(p, "sWind");
    Text13 = named<QLabel>(sWind, "Text13");
    Text14 = named<QLabel>(sWind, "Text14");
    auto* sw = new QHBoxLayout(sWind);
    sw->setContentsMargins(0, 0, 0, 0);
    sw->addWidget(Text13);
    sw->addWidget(Text14);
    sw->addStretch(1);
    Picture12 = named<QWidget>(p, "Picture12");
    Picture12->setAutoFillBackground(true);
    Label7 = named<QLabel>(Picture12, "Label7", QStringLiteral("ZOOM"));
    HScroll2 = named<QSlider>(Picture12, "HScroll2");
    HScroll2->setOrientation(Qt::Horizontal);
    HScroll2->setRange(kZoomMin, kZoomMax);
    HScroll2->setValue(kZoomMax);
    auto* zoom = new QHBoxLayout(Picture12);
    zoom->setContentsMargins(2, 0, 2, 0);
    zoom->addWidget(Label7);
    zoom->addWidget(HScroll2, 1);
    Picture12->hide();
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(Picture6);
    pictures->addWidget(Picture2);
    pictures->addStretch(1);
    box->addLayout(pictures);
    Label8 = named<QLabel>(p, "Label8", meanWindHeading(settings));
    Label9 = named<QLabel>(sWind, "Label9", windNowHeading(settings));
    sw->insertWidget(0, Label9);
    auto* windRow = new QHBoxLayout;
    windRow->addWidget(Label8);
    windRow->addWidget(Text3);
    windRow->addWidget(sWind);
    windRow->addWidget(Picture12, 1);
    box->addLayout(windRow);

    // Boats.
    boatPanel = new BoatPanel;
    boatScroll = named<QScrollArea>(p, "Picture7");
    boatScroll->setWidget(boatPanel);
    boatScroll->setWidgetResizable(true);
    boatScroll->setFrameShape(QFrame::StyledPanel);
    box->addWidget(boatScroll, 1);

    // Race file, times and buttons.
    Label6 = named<QLabel>(p, "Label6");
    Combo1 = named<QComboBox>(p, "Combo1");
    Command9 = named<QPushButton>(p, "Command9");
    auto* race = new QHBoxLayout;
    race->addWidget(Label6);
    race->addWidget(Combo1, 1);
    race->addWidget(Command9);
    box->addLayout(race);

    Label2 = named<QLabel>(p, "Label2");
    Text9 = named<QLineEdit>(p, "Text9");
    Label3 = named<QLabel>(p, "Label3");
    Text10 = named<QLineEdit>(p, "Text10");
    Command4 = named<QPushButton>(p, "Command4");
    auto* times = new QGridLayout;
    times->setVerticalSpacing(1);
    times->addWidget(Label2, 0, 0);
    times->addWidget(Text9, 0, 1);
    times->addWidget(Label3, 1, 0);
    times->addWidget(Text10, 1, 1);
    times->addWidget(Command4, 0, 2, 2, 1);
    box->addLayout(times);

    Command2 = named<QPushButton>(p, "Command2");
    Command3 = named<QPushButton>(p, "Command3");
    Command5 = named<QPushButton>(p, "Command5");
    Command10 = named<QPushButton>(p, "Command10");
    Command13 = named<QPushButton>(p, "Command13");
    Command12 = named<QPushButton>(p, "Command12");
    Command14 = named<QPushButton>(p, "Command14");
    Command14->setEnabled(false);  // until a race without its coastline tiles is shown
    auto* buttons = new QGridLayout;
    buttons->setSpacing(2);
    buttons->addWidget(Command2, 0, 0);
    buttons->addWidget(Command3, 0, 1);
    buttons->addWidget(Command5, 0, 2);
    buttons->addWidget(Command10, 1, 0);
    buttons->addWidget(Command13, 1, 1);
    buttons->addWidget(Command12, 1, 2);
    buttons->addWidget(Command14, 2, 0);
    box->addLayout(buttons);

    btnHATENA = named<QPushButton>(p, "btnHATENA", QStringLiteral("?"));
    btnHATENA->setFixedWidth(28);
    Label1 = named<QLabel>(p, "Label1");
    Label1->setWordWrap(true);
    Command1 = named<QPushButton>(p, "Command1");
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(btnHATENA);
    bottom->addWidget(Label1, 1);
    bottom->addWidget(Command1);
    box->addLayout(bottom);

    applyRaceScreenCaptions(form, settings);
    applyFontScale(settings);
}

void RaceControls::applyFontScale(const AppSettings& settings) {
    if (!Picture5) return;
    QWidget* form = Picture5->parentWidget();
    QFont f = form->font();
    f.setPointSizeF(scaledPointSize(kBasePointSize, settings));
    form->setFont(f);
    PicTime->setFontScale(settings.FontScale);
}

}  // namespace brisko
