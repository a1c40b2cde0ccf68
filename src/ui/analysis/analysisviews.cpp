// The race screen's analysis views and their controls; see analysisviews.h.
#include "ui/analysis/analysisviews.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "analysis/windentry.h"
#include "session/racesession.h"
#include "ui/analysis/legviewpainter.h"
#include "ui/analysis/screenpicture.h"
#include "ui/analysis/speedgraphpainter.h"
#include "ui/race/racecaptions.h"
#include "ui/widgets/captions.h"
#include "ui/widgets/colour.h"
#include "ui/widgets/named.h"
#include "ui/widgets/picturewidget.h"
#include "util/datetime.h"
#include "util/fileutil.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr double kViewPointSize = 9;
constexpr int kCourseEntriesForTable = 2;
constexpr double kMarkerHalf = 10;
constexpr int kReadoutWidth = 85, kReadoutHeight = 15;
constexpr double kReadoutHalf = 42.5;
constexpr const char* kPictureFile = "\\gpsdat\\無題.bmp";
const QColor kCursorColour(255, 0, 0);

QFont viewFont(const QWidget* w, const AppSettings& settings) {
    QFont f = w->font();
    f.setPointSizeF(scaledPointSize(kViewPointSize, settings));
    return f;
}

// The time of day at race time t: the part after the date.
QString clockAt(const RaceTime& raceStart, double t) {
    if (!raceStart) return {};
    const std::string text = formatDateTime(*raceStart + static_cast<CivilSeconds>(std::lround(t)));
    const size_t blank = text.find(' ');
    return QString::fromStdString(blank == std::string::npos ? text : text.substr(blank + 1));
}
}  // namespace

AnalysisViews::AnalysisViews(QWidget* form, QWidget* sidePanel, const AppSettings& settings,
                             MessageSink& sink, PlatformServices* platform)
    : QObject(form), settings_(settings), sink_(sink), platform_(platform) {
    buildSideControls(sidePanel);
    buildViews(form);
}

QString AnalysisViews::tr2(const char* ja, const char* en) const {
    return QString::fromUtf8(settings_.english() ? en : ja);
}

void AnalysisViews::buildSideControls(QWidget* panel) {
    viewBox_ = named<QGroupBox>(panel, "viewBox");
    trackViewRadio_ = named<QRadioButton>(viewBox_, "trackViewRadio");
    speedGraphRadio_ = named<QRadioButton>(viewBox_, "speedGraphRadio");
    dataViewRadio_ = named<QRadioButton>(viewBox_, "dataViewRadio");
    auto* views = new QHBoxLayout(viewBox_);
    views->setContentsMargins(2, 0, 2, 0);
    views->setSpacing(2);
    for (QRadioButton* b : {trackViewRadio_, speedGraphRadio_, dataViewRadio_}) views->addWidget(b);
    trackViewRadio_->setChecked(true);
    screenPictureButton_ = named<QPushButton>(panel, "screenPictureButton");
    windEntryButton_ = named<QPushButton>(panel, "windEntryButton");
    applyRaceScreenCaptions(viewBox_, settings_);
    int count = 0;
    const ControlCaption* captions = raceScreenCaptions(count);
    applyCaptions({screenPictureButton_, windEntryButton_}, std::span(captions, count), settings_);

    connect(trackViewRadio_, &QRadioButton::clicked, this, &AnalysisViews::showTrackView);
    connect(speedGraphRadio_, &QRadioButton::clicked, this, &AnalysisViews::showSpeedGraph);
    connect(dataViewRadio_, &QRadioButton::clicked, this, &AnalysisViews::showDataView);
    connect(screenPictureButton_, &QPushButton::clicked, this, &AnalysisViews::screenPictureWanted);
    connect(windEntryButton_, &QPushButton::clicked, this, &AnalysisViews::toggleWindEntry);
}

void AnalysisViews::buildViews(QWidget* form) {
    dataView_ = new QWidget(form);
    dataView_->setObjectName(QStringLiteral("DataView"));
    dataView_->setAutoFillBackground(true);
    auto* box = new QVBoxLayout(dataView_);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    tableKindBox_ = new QGroupBox(dataView_);
    tableKindBox_->setObjectName(QStringLiteral("tableKindBox"));
    // The leg tables on the first row with the way back, the coach's tables under them: one
    // choice among all of them.
    auto* rows = new QVBoxLayout(tableKindBox_);
    rows->setContentsMargins(4, 2, 4, 2);
    rows->setSpacing(0);
    auto* legRow = new QHBoxLayout;
    auto* coachRow = new QHBoxLayout;
    rows->addLayout(legRow);
    rows->addLayout(coachRow);
    auto option = [&](QHBoxLayout* row, const char* name) {
        auto* b = new QRadioButton(tableKindBox_);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        connect(b, &QRadioButton::clicked, this, [this] { redrawTable(); });
        return b;
    };
    timeTableRadio_ = option(legRow, "timeTableRadio");
    distanceTableRadio_ = option(legRow, "distanceTableRadio");
    speedTableRadio_ = option(legRow, "speedTableRadio");
    factorTableRadio_ = option(legRow, "factorTableRadio");
    startTableRadio_ = option(coachRow, "startTableRadio");
    manoeuvreTableRadio_ = option(coachRow, "manoeuvreTableRadio");
    legStatsTableRadio_ = option(coachRow, "legStatsTableRadio");
    coachRow->addStretch(1);
    timeTableRadio_->setChecked(true);
    exitButton_ = new QPushButton(tableKindBox_);
    exitButton_->setObjectName(QStringLiteral("dataViewExitButton"));
    legRow->addWidget(exitButton_);
    legRow->addStretch(1);
    box->addWidget(tableKindBox_);
    coachNote_ = named<QLabel>(dataView_, "coachTableNote");
    coachNote_->setWordWrap(true);
    coachNote_->setContentsMargins(4, 0, 4, 0);
    box->addWidget(coachNote_);
    coachTable_ = named<QTableWidget>(dataView_, "coachTable");
    coachTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    coachTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    coachTable_->setSelectionMode(QAbstractItemView::SingleSelection);
    coachTable_->verticalHeader()->hide();
    coachTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    coachTable_->setWordWrap(false);
    // The columns sort when their header is clicked, by the core's order (numbers as numbers,
    // empty cells last), not by the view's own comparison of texts.
    coachTable_->setSortingEnabled(false);
    coachTable_->horizontalHeader()->setSectionsClickable(true);
    coachTable_->horizontalHeader()->setSortIndicatorShown(true);
    coachTable_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    box->addWidget(coachTable_, 1);
    coachNote_->hide();
    coachTable_->hide();
    tableArea_ = new QScrollArea(dataView_);
    tableArea_->setObjectName(QStringLiteral("tableArea"));
    tableArea_->setWidgetResizable(false);
    tableArea_->setBackgroundRole(QPalette::Base);
    table_ = named<PictureWidget>(nullptr, "tablePicture");
    tableArea_->setWidget(table_);
    box->addWidget(tableArea_, 1);
    dataView_->hide();

    graphArea_ = new QScrollArea(form);
    graphArea_->setObjectName(QStringLiteral("speedGraphArea"));
    graphArea_->setWidgetResizable(false);
    graphPicture_ = named<PictureWidget>(nullptr, "speedGraphPicture");
    graphArea_->setWidget(graphPicture_);
    graphArea_->hide();
    graphPicture_->setOverlay([this](QPainter& p) { drawGraphOverlay(p); });

    applyRaceScreenCaptions(dataView_, settings_);
    applyUiFont(dataView_, settings_);
    for (QWidget* w :
         std::initializer_list<QWidget*>{timeTableRadio_, distanceTableRadio_, speedTableRadio_,
                                         factorTableRadio_, startTableRadio_, manoeuvreTableRadio_,
                                         legStatsTableRadio_, exitButton_, coachNote_, coachTable_})
        w->setFont(viewFont(w, settings_));
    // Rows as high as their text, so that a whole race's manoeuvres fit on fewer pages.
    coachTable_->verticalHeader()->setDefaultSectionSize(coachTable_->fontMetrics().height() + 6);

    connect(exitButton_, &QPushButton::clicked, this, &AnalysisViews::leaveDataView);
    connect(coachTable_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) {
                sortColumn_ = column;
                sortAscending_ = order == Qt::AscendingOrder;
                fillCoachRows();
            });
    connect(coachTable_, &QTableWidget::cellClicked, this,
            [this](int row, int) { coachRowClicked(row); });
    connect(coachTable_, &QTableWidget::cellActivated, this,
            [this](int row, int) { coachRowClicked(row); });
    connect(graphPicture_, &PictureWidget::mouseDown, this,
            [this](Qt::MouseButton b, Qt::KeyboardModifiers, double x, double y) {
                onGraphPressed(b, QPointF(x, y));
            });
    connect(graphPicture_, &PictureWidget::mouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, double x, double y) {
                onGraphMouseMoved(QPointF(x, y));
            });
    graphPicture_->installEventFilter(this);
}

bool AnalysisViews::eventFilter(QObject* watched, QEvent* e) {
    if (watched == graphPicture_ && e->type() == QEvent::Leave) {
        mouse_ = QPointF(-1, -1);
        graphPicture_->update();
    }
    return QObject::eventFilter(watched, e);
}

void AnalysisViews::raceShown(RaceSession& session, const DisplayOptions& boats) {
    session_ = &session;
    boats_ = boats;
    windEntryMode_ = false;
    windEntryCount_ = 0;
    windPointsEntered_ = false;
    periodMarked_ = false;
    windEntryButton_->setStyleSheet({});
    windEntryButton_->setVisible(settings_.EditionMode > 1);
    setDataViewAvailable(session.race().CourseCount >= kCourseEntriesForTable);
    prevViewMode_ = ViewModeKind::Map;
    showView(ViewModeKind::Map);
    trackViewRadio_->setChecked(true);
}

void AnalysisViews::raceGone() {
    session_ = nullptr;
    showView(ViewModeKind::Map);
    trackViewRadio_->setChecked(true);
}

void AnalysisViews::setDataViewAvailable(bool on) { dataViewRadio_->setEnabled(on); }

void AnalysisViews::place(const QRect& mapArea) {
    mapSize_ = mapArea.width();
    dataView_->setGeometry(mapArea);
    graphArea_->setGeometry(mapArea);
    if (mode_ == ViewModeKind::SpeedGraph) redrawSpeedGraph();
    if (mode_ == ViewModeKind::Analysis) redrawTable();
}

void AnalysisViews::boatsChanged(const DisplayOptions& boats) {
    boats_ = boats;
    if (mode_ == ViewModeKind::SpeedGraph) redrawSpeedGraph();
    if (mode_ == ViewModeKind::Analysis) redrawTable();
}

void AnalysisViews::periodChanged(bool marked) {
    periodMarked_ = marked;
    if (mode_ == ViewModeKind::SpeedGraph) redrawSpeedGraph();
}

void AnalysisViews::timeShown(double raceTime) {
    if (raceTime == cursorTime_) return;
    cursorTime_ = raceTime;
    if (mode_ == ViewModeKind::SpeedGraph) graphPicture_->update();
}

void AnalysisViews::windChanged() {
    if (mode_ == ViewModeKind::SpeedGraph) redrawSpeedGraph();
}

void AnalysisViews::showView(ViewModeKind mode) {
    mode_ = mode;
    // The graph and the tables use the whole map area; the window hides the map box.
    graphArea_->setVisible(mode == ViewModeKind::SpeedGraph);
    dataView_->setVisible(mode == ViewModeKind::Analysis);
    if (mode == ViewModeKind::SpeedGraph) graphArea_->raise();
    if (mode == ViewModeKind::Analysis) dataView_->raise();
    emit viewShown(mode);
}

void AnalysisViews::pauseForView() {
    emit replayWanted(false);
    emit viewChosen(ViewModeKind::Analysis);
}

void AnalysisViews::resumeUnlessStopped() {
    if (!windEntryMode_) emit replayWanted(true);
}

void AnalysisViews::showTrackView() {
    showView(ViewModeKind::Map);
    resumeUnlessStopped();
    emit viewChosen(ViewModeKind::Map);
}

void AnalysisViews::showSpeedGraph() {
    redrawSpeedGraph();
    showView(ViewModeKind::SpeedGraph);
    resumeUnlessStopped();
    emit viewChosen(ViewModeKind::SpeedGraph);
}

void AnalysisViews::showDataView() {
    if (!dataViewRadio_->isChecked()) return;
    pauseForView();
    redrawTable();
}

void AnalysisViews::leaveDataView() {
    const ViewModeKind back = prevViewMode_;
    if (back == ViewModeKind::SpeedGraph) {
        speedGraphRadio_->setChecked(true);
        showSpeedGraph();
    } else {
        trackViewRadio_->setChecked(true);
        showTrackView();
    }
}

void AnalysisViews::redrawTable() {
    if (mode_ != ViewModeKind::Analysis) prevViewMode_ = mode_;
    std::optional<CoachTableKind> coachKind;
    if (startTableRadio_->isChecked())
        coachKind = CoachTableKind::Start;
    else if (manoeuvreTableRadio_->isChecked())
        coachKind = CoachTableKind::Manoeuvres;
    else if (legStatsTableRadio_->isChecked())
        coachKind = CoachTableKind::Legs;
    tableArea_->setVisible(!coachKind);
    coachNote_->setVisible(coachKind.has_value());
    coachTable_->setVisible(coachKind.has_value());
    if (coachKind) {
        showView(ViewModeKind::Analysis);
        showCoachTable(*coachKind);
        return;
    }
    coachKind_.reset();
    TableKind kind = TableKind::Factor;
    if (timeTableRadio_->isChecked())
        kind = TableKind::Time;
    else if (distanceTableRadio_->isChecked())
        kind = TableKind::Dist;
    else if (speedTableRadio_->isChecked())
        kind = TableKind::Speed;
    showView(ViewModeKind::Analysis);
    RaceSession* s = session_;
    if (!s) return;
    s->ensureLegData();
    LegViewInput in;
    in.race = &s->race();
    in.roundings = &s->data().roundings;
    in.options = &boats_;
    in.boats = s->boatCount();
    in.kind = kind;
    in.english = settings_.english();
    in.font = viewFont(table_, settings_);
    const LegViewLayout l = layoutLegView(in, tableArea_->maximumViewportSize());
    table_->resize(l.size);
    table_->clear(Qt::white);
    QPainter p(&table_->picture());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawLegView(p, in, l);
    table_->update();
}

void AnalysisViews::showCoachTable(CoachTableKind kind) {
    // Another table starts in its own order; the same one keeps the order chosen.
    if (coachKind_ != kind) {
        sortColumn_ = -1;
        sortAscending_ = true;
    }
    coachKind_ = kind;
    RaceSession* s = session_;
    if (s) {
        s->ensureLegData();
        coach_ = buildCoachTable(kind, s->coach(), s->race(), &boats_, settings_.english());
    } else {
        coach_ =
            buildCoachTable(kind, CoachAnalysis{}, RaceDefinition{}, &boats_, settings_.english());
    }
    coachNote_->setText(QString::fromStdString(coach_.note));
    QStringList headers;
    for (const std::string& h : coach_.headers) headers << QString::fromStdString(h);
    coachTable_->setColumnCount(static_cast<int>(headers.size()));
    coachTable_->setHorizontalHeaderLabels(headers);
    {
        // The header shows the order the rows are in; setting it is not the user's click.
        const QSignalBlocker quiet(coachTable_->horizontalHeader());
        coachTable_->horizontalHeader()->setSortIndicator(
            sortColumn_, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    fillCoachRows();
}

void AnalysisViews::fillCoachRows() {
    coachOrder_ = sortedRowOrder(coach_, sortColumn_, sortAscending_);
    coachTable_->clearContents();
    coachTable_->setRowCount(static_cast<int>(coachOrder_.size()));
    const QColor doubtful(128, 128, 128);
    for (int r = 0; r < static_cast<int>(coachOrder_.size()); ++r) {
        const CoachRow& row = coach_.rows[static_cast<size_t>(coachOrder_[r])];
        for (int c = 0; c < static_cast<int>(row.cells.size()); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(row.cells[c].text));
            const bool number = c < static_cast<int>(coach_.numeric.size()) && coach_.numeric[c];
            item->setTextAlignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
            if (row.doubtful) item->setForeground(doubtful);
            // The boat's name in its colour, as in the boat list.
            if (c == 0 && row.boat >= 1 && row.boat <= kMaxBoats) {
                item->setBackground(toQColor(boats_.BoatColour[static_cast<size_t>(row.boat)]));
                item->setForeground(Qt::white);
            }
            coachTable_->setItem(r, c, item);
        }
    }
    coachTable_->resizeColumnsToContents();
}

void AnalysisViews::coachRowClicked(int row) {
    if (row < 0 || row >= static_cast<int>(coachOrder_.size())) return;
    const CoachRow& r = coach_.rows[static_cast<size_t>(coachOrder_[row])];
    if (r.moment) emit momentChosen(*r.moment, r.boat);
}

void AnalysisViews::redrawSpeedGraph() {
    const RaceSession* s = session_;
    const int viewportH = mapSize_ - 4;
    const int width = std::max<int>(viewportH, static_cast<int>(kGraphWidth));
    // A graph wider than the area gets a horizontal scroll bar; the height leaves room for it.
    const int height = width > viewportH
                           ? viewportH - graphArea_->horizontalScrollBar()->sizeHint().height()
                           : viewportH;
    graphPicture_->resize(width, std::max(height, 100));
    graphPicture_->clear(Qt::white);
    if (!s) return;
    const RaceDefinition& race = s->race();
    graphScale_ = speedGraphScaleFor(race, graphPicture_->height());
    SpeedGraphInput in;
    in.race = &race;
    in.tracks = &s->tracks();
    in.wind = &s->data().wind;
    in.options = &boats_;
    in.boats = s->boatCount();
    in.hasWind = s->data().WindShown || windPointsEntered_;
    in.periodFrom = s->clock().PeriodFrom;
    in.periodTo = s->clock().PeriodTo;
    in.periodLimited = periodMarked_;
    in.font = viewFont(graphPicture_, settings_);
    in.coach = &s->coach();
    in.estimatedLabel = tr2("推定", "estimated");
    QPainter p(&graphPicture_->picture());
    drawSpeedGraph(p, in, graphScale_, graphPicture_->size());
    graphPicture_->update();
}

void AnalysisViews::drawGraphOverlay(QPainter& p) {
    const RaceSession* s = session_;
    if (!s || !(graphScale_.PxPerSecond > 0)) return;
    // The current time's line.
    const double y = graphScale_.yForTime(cursorTime_);
    p.setPen(kCursorColour);
    p.drawLine(QPointF(kDirPanelLeft, y), QPointF(graphPicture_->width(), y));
    const double x = mouse_.x(), my = mouse_.y();
    if (x < kDirPanelLeft || x > (kDirPanelLeft + kDirPanelRight) / 2) return;
    // Close-hauled either side and downwind for a wind from the direction under the mouse.
    const double lay = s->race().UpwindLayAngle;
    double down = x + 180;
    if (down > kDirPanelRight) down -= 360;
    p.setPen(QPen(Qt::black, 2));
    for (double mx : {x - lay, x + lay, down})
        p.drawLine(QPointF(mx, my - kMarkerHalf), QPointF(mx, my + kMarkerHalf));
    // The read-out of time and direction where the wind data holds that time.
    if (!s->data().WindShown || s->race().WindFileName.empty()) return;
    const WindStore& w = s->data().wind;
    const double t = graphScale_.timeAtY(my);
    bool found = false;
    for (int k = 1; k < w.WindCount && k + 1 < static_cast<int>(w.WindSec.size()); ++k)
        if (w.WindSec[k] <= t && t < w.WindSec[k + 1]) found = true;
    if (!found) return;
    const double d = std::round(graphScale_.directionAtX(x) * 10) / 10;
    const QString text = clockAt(s->race().RaceStart, t) + QStringLiteral(" / ") +
                         QString::fromStdString(shortestDecimal(d));
    p.setFont(viewFont(graphPicture_, settings_));
    const QFontMetricsF fm(p.font());
    const double w0 = std::max<double>(kReadoutWidth, fm.horizontalAdvance(text) + 6);
    const QRectF box(std::max(5.0, x - kReadoutHalf), my - 30, w0,
                     std::max<double>(kReadoutHeight, fm.height()));
    p.fillRect(box, QColor(255, 255, 225));
    p.setPen(Qt::black);
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter, text);
}

void AnalysisViews::onGraphMouseMoved(QPointF pos) {
    mouse_ = pos;
    if (!windEntryMode_) resumeUnlessStopped();
    graphPicture_->update();
}

void AnalysisViews::onGraphPressed(Qt::MouseButton, QPointF pos) {
    RaceSession* s = session_;
    if (!s || !windEntryMode_ || pos.x() < kDirPanelLeft || pos.x() > kDirPanelRight) return;
    if (!(graphScale_.PxPerSecond > 0)) return;
    WindStore wind = s->data().wind;
    windEntryCount_ =
        enterWindPoint(wind, windEntryCount_, graphScale_.timeAtY(pos.y()),
                       graphScale_.directionAtX(std::round(pos.x())), s->race().RaceSeconds);
    s->setWindSamples(wind);
    windPointsEntered_ = true;
    redrawSpeedGraph();
}

void AnalysisViews::toggleWindEntry() {
    RaceSession* s = session_;
    if (!s) return;
    if (windEntryMode_ && windEntryCount_ > 2) {
        const Message ask{
            tr2("風データファイルを書き込みます", "Do you want to save Wind Data File ?")
                .toStdString(),
            tr2("風データの作成", "Create Wind Data File").toStdString(), MessageButtons::YesNo};
        if (sink_.show(ask) == MessageAnswer::Yes) {
            const WriteResult w = s->saveWindSamples();
            if (!w.ok) sink_.show({w.error, {}, MessageButtons::Ok});
        }
        windEntryMode_ = false;
    } else {
        windEntryMode_ = !windEntryMode_;
        if (windEntryMode_ && !s->race().WindFileName.empty()) {
            const Message ask{
                tr2("風データファイルを書き換えますか？", "Do you want to overwrite Wind File？")
                    .toStdString(),
                tr2("風データの作成", "Overwrite of wind file ").toStdString(),
                MessageButtons::YesNo};
            if (sink_.show(ask) != MessageAnswer::Yes) windEntryMode_ = false;
        }
    }
    windEntryButton_->setStyleSheet(
        windEntryMode_ ? QStringLiteral("QPushButton { background-color: yellow; }") : QString());
    windEntryCount_ = 0;
    if (windEntryMode_) {
        emit replayWanted(false);
        // Directions are entered on the graph.
        if (mode_ != ViewModeKind::SpeedGraph) {
            speedGraphRadio_->setChecked(true);
            showSpeedGraph();
            emit replayWanted(false);
        }
    } else {
        resumeUnlessStopped();
    }
}

void AnalysisViews::saveScreenPicture(ScreenPictureParts parts) {
    const RaceSession* s = session_;
    if (mode_ == ViewModeKind::SpeedGraph) parts.main = graphPicture_->grab().toImage();
    if (mode_ == ViewModeKind::Analysis)
        parts.main = (coachKind_ ? coachTable_->grab() : table_->grab()).toImage();
    parts.font.setPointSizeF(scaledPointSize(kViewPointSize, settings_));
    if (s) {
        parts.raceFile = QString::fromStdString(s->shownFile());
        for (int b = 1; b <= s->boatCount(); ++b) {
            const Rgb c = boats_.BoatColour[static_cast<size_t>(b)];
            parts.legend.push_back(
                {QString::fromStdString(s->race().Boats[b].BoatName), toQColor(c)});
        }
    } else {
        parts.dateTime.clear();
    }
    picturePath_ = resolvePath(settings_.AppPath, kPictureFile);
    QDir().mkpath(QFileInfo(QString::fromStdString(picturePath_)).absolutePath());
    const WriteResult w = saveBitmap(composeScreenPicture(parts), picturePath_);
    if (!w.ok) {
        sink_.show({(tr2("画像を保存できませんでした: ", "The picture could not be saved: ") +
                     QString::fromStdString(w.error))
                        .toStdString(),
                    {},
                    MessageButtons::Ok});
        return;
    }
    if (!platform_) return;
    const std::string failure = platform_->openDocument(picturePath_);
    if (!failure.empty()) sink_.show({failure, {}, MessageButtons::Ok});
}

}  // namespace brisko
