// The vertical time bar; see timebar.h.
#include "ui/display/timebar.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/race/racecaptions.h"
#include "util/datetime.h"

namespace brisko {

namespace {
const QColor kBarBackground(224, 224, 224);
const QColor kStripColour(255, 255, 255);
const QColor kStartFinishColour(0, 160, 0);
const QColor kCursorColour(255, 0, 0);
const QColor kDragColour(255, 255, 0);
const QColor kPeriodColour(255, 140, 0);
const QColor kTickColour(64, 64, 64);
constexpr int kTickLength = 4;
constexpr int kLabelPixels = 9;
constexpr double kMinTickGap = 14;  // pixels between ticks, room for a label
constexpr double kSecondsPerMinute = 60;
}  // namespace

void TimeBar::setPeriod(double from, double to, bool limited) {
    periodFrom_ = from;
    periodTo_ = to;
    periodLimited_ = limited;
    stripCleared_ = false;
    update();
}

int TimeBar::tickMinutes(const TimeBarScale& scale) {
    const double px = scale.pxPerSecond();
    for (int m : {1, 2, 5, 10, 15, 30, 60})
        if (px * m * kSecondsPerMinute >= kMinTickGap) return m;
    return 0;  // too short a bar for any scale
}

void TimeBar::drawTicks(QPainter& p) const {
    const int step = tickMinutes(scale_);
    if (step <= 0) return;
    QFont f = p.font();
    f.setPixelSize(kLabelPixels);
    p.setFont(f);
    p.setPen(kTickColour);
    // Minutes from the start, the start itself at 0; before it the countdown's minutes.
    const double stepSeconds = step * kSecondsPerMinute;
    const double first = -(scale_.RaceSecondsPlus - scale_.RaceSeconds);
    const int from = static_cast<int>(std::ceil(first / stepSeconds));
    const int to = static_cast<int>(std::floor(scale_.RaceSeconds / stepSeconds));
    for (int i = from; i <= to; ++i) {
        const double y = scale_.yForTime(i * stepSeconds);
        p.drawLine(QPointF(width() - kTickLength, y), QPointF(width(), y));
        p.drawText(QRectF(kDragStripWidth + 1, y - kLabelPixels, width() - kDragStripWidth - 1,
                          kLabelPixels + 1),
                   Qt::AlignLeft | Qt::AlignBottom, QString::number(i * step));
    }
}

TimeBar::TimeBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("timeBar"));
    setMouseTracking(true);
    setFixedWidth(kWidth);
    painter_ = &TimeBar::defaultStrip;
}

void TimeBar::setRace(double raceSeconds, double raceSecondsPlus) {
    scale_.RaceSeconds = raceSeconds;
    scale_.RaceSecondsPlus = raceSecondsPlus;
    scale_.Height = height();
    dragStartY_ = -1;
    stripCleared_ = false;
    repaintStrip();
}

void TimeBar::setCursorTime(double raceTime) {
    if (raceTime == cursorTime_) return;
    const double oldY = scale_.yForTime(cursorTime_);
    cursorTime_ = raceTime;
    const double newY = scale_.yForTime(cursorTime_);
    if (std::isfinite(oldY)) update(0, static_cast<int>(oldY) - 2, width(), 5);
    if (std::isfinite(newY)) update(0, static_cast<int>(newY) - 2, width(), 5);
}

void TimeBar::setStripPainter(StripPainter painter) {
    painter_ = painter ? std::move(painter) : StripPainter(&TimeBar::defaultStrip);
    repaintStrip();
}

void TimeBar::repaintStrip() {
    scale_.Height = height();
    strip_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    strip_.fill(kBarBackground);
    QPainter p(&strip_);
    if (scale_.usable()) {
        painter_(p, scale_, size());
        drawTicks(p);
    }
    update();
}

void TimeBar::defaultStrip(QPainter& p, const TimeBarScale& scale, QSize size) {
    const double top = scale.yForTime(scale.RaceSeconds);
    const double bottom = scale.yForTime(-(scale.RaceSecondsPlus - scale.RaceSeconds));
    p.fillRect(QRectF(kDragStripWidth, top, size.width() - kDragStripWidth, bottom - top),
               kStripColour);
    p.setPen(QPen(kStartFinishColour, 2));
    for (double t : {0.0, scale.RaceSeconds}) {
        const double y = scale.yForTime(t);
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    }
}

QString TimeBar::hoverText(double t, const RaceTime& raceStart, const AppSettings& settings) {
    const auto time = raceStart ? addSeconds(*raceStart, t) : RaceTime();
    const std::string at = formatRaceTime(time);
    QString first = at.size() >= 19 ? QString::fromStdString(at.substr(11, 8)) : QString();
    first += QStringLiteral("   (%1 Sec)").arg(static_cast<long long>(std::llround(t)));
    QStringList lines{first};
    lines += timeBarHelp(settings);
    return lines.join(QLatin1Char('\n'));
}

void TimeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, strip_);
    if (stripCleared_) p.fillRect(QRect(0, 0, kDragStripWidth, height()), kBarBackground);
    if (periodLimited_ && !dragging() && scale_.usable()) {
        const double y0 = scale_.yForTime(periodTo_), y1 = scale_.yForTime(periodFrom_);
        p.fillRect(QRectF(0, y0, kDragStripWidth, std::max(1.0, y1 - y0)), kPeriodColour);
    }
    if (dragging() && dragY_ >= 0) {
        const int y0 = std::min(dragStartY_, dragY_), y1 = std::max(dragStartY_, dragY_);
        p.fillRect(QRect(0, y0, kDragStripWidth, y1 - y0 + 1), kDragColour);
    }
    if (scale_.usable()) {
        const double y = scale_.yForTime(cursorTime_);
        p.setPen(QPen(kCursorColour, 2));
        p.drawLine(QPointF(0, y), QPointF(kWidth, y));
    }
}

void TimeBar::resizeEvent(QResizeEvent*) { repaintStrip(); }

void TimeBar::mousePressEvent(QMouseEvent* e) {
    const int y = static_cast<int>(e->position().y());
    if (!(e->modifiers() & Qt::ShiftModifier)) {
        if (scale_.usable()) emit timeClicked(scale_.timeAtY(y));
        return;
    }
    stripCleared_ = true;
    if (e->button() == Qt::LeftButton) {
        dragStartY_ = y;
        dragY_ = y;
    } else {
        dragStartY_ = -1;
        emit periodCancelled();
    }
    update();
}

void TimeBar::mouseMoveEvent(QMouseEvent* e) {
    const int y = static_cast<int>(e->position().y());
    if (dragging()) {
        dragY_ = std::clamp(y, 0, height() - 1);
        update(0, 0, kDragStripWidth, height());
    }
    if (scale_.usable()) emit previewTime(scale_.timeAtY(y), e->globalPosition().toPoint());
}

void TimeBar::mouseReleaseEvent(QMouseEvent* e) {
    if (!dragging()) return;
    const int start = dragStartY_;
    const int y = std::clamp(static_cast<int>(e->position().y()), 0, height() - 1);
    dragStartY_ = -1;
    dragY_ = -1;
    update();
    if (e->button() != Qt::LeftButton || y == start || !scale_.usable()) return;
    double from = scale_.timeAtY(start), to = scale_.timeAtY(y);
    if (from > to) std::swap(from, to);
    if (from == to) return;  // a drag within one second chooses no period
    emit periodChosen(from, to);
}

void TimeBar::leaveEvent(QEvent*) { emit previewEnded(); }

}  // namespace brisko
