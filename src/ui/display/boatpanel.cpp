// The boat panel; see boatpanel.h.
#include "ui/display/boatpanel.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <cmath>

#include "ui/widgets/colour.h"
#include "ui/widgets/named.h"

namespace brisko {

namespace {
constexpr double kRowPointSize = 8;
// Column lefts and widths at font scale 1.
constexpr int kMarkLeft = 0, kMarkWidth = 16;
constexpr int kNameLeft = 16, kNameWidth = 112;
constexpr int kSpeedLeft = 130, kSpeedWidth = 38;
constexpr int kTwaLeft = 170, kTwaWidth = 30;
constexpr int kBarsLeft = 202;
constexpr int kBarsWidth = 90;  // the bars reach 70 pixels at 1.6 times the reference speed

}  // namespace

// The speed bars, one per row, level with the name boxes.
class SpeedBarPicture : public QWidget {
public:
    SpeedBarPicture(BoatPanel* panel, QWidget* parent) : QWidget(parent), panel_(panel) {
        setObjectName(QStringLiteral("speedBars"));
    }
    int pitch = BoatPanel::kRowPitch;
    int rows = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QColor face = palette().color(QPalette::Button);
        p.fillRect(rect(), face);
        for (int i = 0; i < rows; ++i) {
            const double len = panel_->barLength(i + 1);
            if (len <= 0) continue;
            const int y0 = i * pitch + 1;
            p.fillRect(QRectF(BoatPanel::kBarLeft, y0, std::min(len, double(width())),
                              BoatPanel::kBarHeight),
                       panel_->barColour(i + 1));
        }
    }

private:
    BoatPanel* panel_;
};

BoatPanel::BoatPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BoatPanel"));
    allLabel_ = new QLabel(this);
    allLabel_->setObjectName(QStringLiteral("allBoatsLabel"));
    allLabel_->setCursor(Qt::PointingHandCursor);
    allLabel_->installEventFilter(this);
    const char* headingNames[] = {"HeadingSpeed", "HeadingTwa", "HeadingBar"};
    for (int i = 0; i < 3; ++i) {
        headings_[i] = new QLabel(this);
        headings_[i]->setObjectName(QString::fromLatin1(headingNames[i]));
    }
    bars_ = new SpeedBarPicture(this, this);
    rows_.push_back(makeRow(0));
    placeRow(0);
}

BoatPanel* BoatPanel::inScrollArea(QWidget* sidePanel) {
    auto* scroll = named<QScrollArea>(sidePanel, "boatScroll");
    auto* panel = new BoatPanel;
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::StyledPanel);
    return panel;
}

QCheckBox* BoatPanel::nameBox(int i) const {
    return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[i].nameBox : nullptr;
}
QCheckBox* BoatPanel::markBox(int i) const {
    return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[i].markBox : nullptr;
}
QLabel* BoatPanel::speedLabel(int i) const {
    return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[i].speed : nullptr;
}
QLabel* BoatPanel::twaLabel(int i) const {
    return i >= 0 && i < static_cast<int>(rows_.size()) ? rows_[i].twa : nullptr;
}
QWidget* BoatPanel::speedBars() const { return bars_; }

bool BoatPanel::shown(int boat) const {
    return boat >= 1 && boat <= rowCount() && rows_[boat - 1].nameBox->isChecked();
}

bool BoatPanel::marked(int boat) const {
    return boat >= 1 && boat <= rowCount() && rows_[boat - 1].markBox->isChecked();
}

BoatPanel::Row BoatPanel::makeRow(int index) {
    Row r;
    r.markBox = new QCheckBox(this);
    r.markBox->setObjectName(QStringLiteral("boatMark_%1").arg(index));
    r.nameBox = new QCheckBox(this);
    r.nameBox->setObjectName(QStringLiteral("boatName_%1").arg(index));
    r.speed = new QLabel(this);
    r.speed->setObjectName(QStringLiteral("boatSpeed_%1").arg(index));
    r.speed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    r.twa = new QLabel(this);
    r.twa->setObjectName(QStringLiteral("boatTwa_%1").arg(index));
    r.twa->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    r.nameBox->installEventFilter(this);
    connect(r.markBox, &QCheckBox::clicked, this,
            [this, index](bool on) { markToggled(index + 1, on); });
    for (QWidget* w : {static_cast<QWidget*>(r.markBox), static_cast<QWidget*>(r.nameBox),
                       static_cast<QWidget*>(r.speed), static_cast<QWidget*>(r.twa)}) {
        QFont f = w->font();
        f.setPointSizeF(kRowPointSize * fontScale_);
        w->setFont(f);
        w->show();
    }
    return r;
}

void BoatPanel::placeRow(int i) {
    const double s = fontScale_;
    const int y = headerHeight_ + i * pitch_;
    auto px = [s](int v) { return static_cast<int>(std::lround(v * s)); };
    Row& r = rows_[i];
    r.markBox->setGeometry(px(kMarkLeft), y, px(kMarkWidth), pitch_);
    r.nameBox->setGeometry(px(kNameLeft), y, px(kNameWidth), pitch_);
    r.speed->setGeometry(px(kSpeedLeft), y, px(kSpeedWidth), pitch_);
    r.twa->setGeometry(px(kTwaLeft), y, px(kTwaWidth), pitch_);
}

void BoatPanel::buildRows(const RaceDefinition& race, const DisplayOptions& start,
                          const AppSettings& settings) {
    clearRows();
    fontScale_ = settings.FontScale > 0 ? settings.FontScale : 1.0;
    pitch_ = std::max(kRowPitch, static_cast<int>(std::lround(kRowPitch * fontScale_)));
    headerHeight_ = pitch_ + 4;
    allLabel_->setText(QString::fromUtf8(settings.tr("▼ 全艇", "▼ All boats")));
    // The "all boats" label heads the name column; the other columns get their own headings.
    auto px = [this](int v) { return static_cast<int>(std::lround(v * fontScale_)); };
    allLabel_->setGeometry(0, 0, px(kSpeedLeft), headerHeight_);
    const QStringList headings = {QString::fromUtf8(settings.tr("艇速", "Speed")),
                                  QString::fromUtf8(settings.tr("風角", "TWA")),
                                  QString::fromUtf8(settings.tr("速度バー", "Speed bar"))};
    const int lefts[] = {kSpeedLeft, kTwaLeft, kBarsLeft};
    const int widths[] = {kSpeedWidth, kTwaWidth, kBarsWidth};
    for (int i = 0; i < 3; ++i) {
        headings_[i]->setText(headings[i]);
        headings_[i]->setGeometry(px(lefts[i]), 0, px(widths[i]), headerHeight_);
    }
    const int n = std::clamp(race.BoatCount, 1, kMaxBoats);
    for (int k = 2; k <= n; ++k) rows_.push_back(makeRow(k - 1));
    for (int k = 1; k <= n; ++k) {
        Row& r = rows_[k - 1];
        placeRow(k - 1);
        const bool named = k <= race.BoatCount;
        r.colour = toQColor(start.BoatColour[k]);
        r.nameBox->setText(named ? QString::fromStdString(race.Boats[k].BoatName) : QString());
        r.nameBox->setStyleSheet(QStringLiteral("QCheckBox { background-color: %1; color: white; }")
                                     .arg(r.colour.name()));
        r.nameBox->setChecked(start.BoatShown[k]);
        r.markBox->setChecked(start.BoatMarked[k]);
        r.speed->clear();
        r.twa->clear();
        r.bar = 0;
    }
    bars_->pitch = pitch_;
    bars_->rows = n;
    const int barsLeft = static_cast<int>(std::lround(kBarsLeft * fontScale_));
    bars_->setGeometry(barsLeft, headerHeight_,
                       static_cast<int>(std::lround(kBarsWidth * fontScale_)), n * pitch_);
    bars_->update();
    setMinimumHeight(headerHeight_ + n * pitch_ + 2);
    built_ = true;
}

void BoatPanel::clearRows() {
    while (rows_.size() > 1) {
        Row r = rows_.back();
        rows_.pop_back();
        for (QWidget* w : {static_cast<QWidget*>(r.markBox), static_cast<QWidget*>(r.nameBox),
                           static_cast<QWidget*>(r.speed), static_cast<QWidget*>(r.twa)})
            w->deleteLater();
    }
    Row& first = rows_.front();
    first.nameBox->setText(QString());
    first.speed->clear();
    first.twa->clear();
    first.bar = 0;
    bars_->rows = 0;
    bars_->update();
    built_ = false;
}

void BoatPanel::setSpeed(int boat, const QString& text) {
    if (QLabel* l = speedLabel(boat - 1); l && l->text() != text) l->setText(text);
}

void BoatPanel::setTwa(int boat, const QString& text) {
    if (QLabel* l = twaLabel(boat - 1); l && l->text() != text) l->setText(text);
}

void BoatPanel::setBar(int boat, double length) {
    if (boat < 1 || boat > static_cast<int>(rows_.size())) return;
    if (!std::isfinite(length) || length < 0) length = 0;
    if (rows_[boat - 1].bar == length) return;
    rows_[boat - 1].bar = length;
    bars_->update(0, (boat - 1) * pitch_, bars_->width(), pitch_);
}

double BoatPanel::barLength(int boat) const {
    if (boat < 1 || boat > static_cast<int>(rows_.size())) return 0;
    const Row& r = rows_[boat - 1];
    return r.nameBox->isChecked() ? r.bar : 0;
}

QColor BoatPanel::barColour(int boat) const {
    return boat >= 1 && boat <= static_cast<int>(rows_.size()) ? rows_[boat - 1].colour
                                                               : QColor(Qt::black);
}

void BoatPanel::syncChecks() {
    const int n = rowCount();
    bool any = false;
    for (int k = 1; k <= n; ++k) any = any || rows_[k - 1].nameBox->isChecked();
    if (!any && n > 0) rows_[0].nameBox->setChecked(true);
    for (int k = 1; k <= n; ++k)
        if (rows_[k - 1].markBox->isChecked()) rows_[k - 1].nameBox->setChecked(true);
    bars_->update();
}

void BoatPanel::nameReleased(int boat, Qt::MouseButton button) {
    if (boat < 1 || boat > rowCount()) return;
    if (button != Qt::LeftButton)
        for (int k = 1; k <= rowCount(); ++k) rows_[k - 1].nameBox->setChecked(k == boat);
    syncChecks();
    emit shownBoatsChanged();
}

void BoatPanel::markToggled(int boat, bool) {
    if (boat < 1 || boat > rowCount()) return;
    std::vector<bool> before(rowCount());
    for (int k = 1; k <= rowCount(); ++k) before[k - 1] = rows_[k - 1].nameBox->isChecked();
    syncChecks();
    emit markedBoatsChanged();
    // Marking a hidden boat shows it: what depends on the shown boats is drawn again.
    for (int k = 1; k <= rowCount(); ++k)
        if (rows_[k - 1].nameBox->isChecked() != before[k - 1]) {
            emit shownBoatsChanged();
            break;
        }
}

void BoatPanel::showAll() {
    for (int k = 1; k <= rowCount(); ++k) rows_[k - 1].nameBox->setChecked(true);
    syncChecks();
    emit shownBoatsChanged();
}

void BoatPanel::markOnly(int boat) {
    if (boat < 1 || boat > rowCount()) return;
    for (int k = 1; k <= rowCount(); ++k) rows_[k - 1].markBox->setChecked(k == boat);
    markToggled(boat, true);
}

int BoatPanel::boatOf(QObject* o) const {
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].nameBox == o) return static_cast<int>(i) + 1;
    return 0;
}

bool BoatPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == allLabel_) {
        if (event->type() == QEvent::MouseButtonRelease) showAll();
        return false;
    }
    const int boat = boatOf(watched);
    if (boat == 0) return false;
    if (event->type() == QEvent::Enter) {
        emit boatHovered(boat);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            // Let the box toggle first, then apply the list rules to what the user left.
            QMetaObject::invokeMethod(
                this, [this, boat] { nameReleased(boat, Qt::LeftButton); }, Qt::QueuedConnection);
        } else {
            nameReleased(boat, me->button());
            return true;
        }
    }
    return false;
}

}  // namespace brisko
