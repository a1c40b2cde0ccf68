// The time panel; see timepanel.h.
#include "ui/display/timepanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace brisko {

namespace {
constexpr double kClockPointSize = 18;
constexpr double kCountdownPointSize = 18;
constexpr double kTimeOfDayPointSize = 10;

void setColour(QLabel* label, const QColor& colour) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, colour);
    label->setPalette(pal);
}
}  // namespace

TimePanel::TimePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("timePanel"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    setCursor(Qt::SizeVerCursor);

    clockLabel = new QLabel(QStringLiteral("00:00:00"), this);
    clockLabel->setObjectName(QStringLiteral("clockLabel"));
    countdownLabel = new QLabel(this);
    countdownLabel->setObjectName(QStringLiteral("countdownLabel"));
    countdownLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    countdownLabel->setMinimumWidth(40);
    countdownLabel->hide();
    timeOfDayLabel = new QLabel(this);
    timeOfDayLabel->setObjectName(QStringLiteral("timeOfDayLabel"));

    auto* top = new QHBoxLayout;
    top->addWidget(clockLabel);
    top->addStretch(1);
    top->addWidget(countdownLabel);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(6, 2, 6, 2);
    box->setSpacing(0);
    box->addLayout(top);
    box->addWidget(timeOfDayLabel);
    for (QLabel* l : {clockLabel, countdownLabel, timeOfDayLabel})
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
    setFontScale(1.0);
}

void TimePanel::setFontScale(double fontScale) {
    const double s = fontScale > 0 ? fontScale : 1.0;
    auto sized = [&](QLabel* l, double pt, bool bold) {
        QFont f = l->font();
        f.setPointSizeF(pt * s);
        f.setBold(bold);
        l->setFont(f);
    };
    sized(clockLabel, kClockPointSize, true);
    sized(countdownLabel, kCountdownPointSize, true);
    sized(timeOfDayLabel, kTimeOfDayPointSize, false);
}

void TimePanel::setClock(const QString& text, const QColor& colour) {
    if (clockLabel->text() != text) clockLabel->setText(text);
    setColour(clockLabel, colour);
}

void TimePanel::setCountdown(bool visible, const QString& text, const QColor& colour) {
    const bool shownBefore = !countdownLabel->isHidden();
    if (visible) {
        if (countdownLabel->text() != text) countdownLabel->setText(text);
        setColour(countdownLabel, colour);
    }
    if (visible == shownBefore) return;
    countdownLabel->setVisible(visible);
    // The panel sits over the map outside any layout: it grows to take the countdown beside
    // the clock, and shrinks back when the countdown goes.
    if (layout()) {
        layout()->invalidate();
        layout()->activate();
    }
    adjustSize();
}

void TimePanel::setTimeOfDay(const QString& text) {
    if (!text.isEmpty() && timeOfDayLabel->text() != text) timeOfDayLabel->setText(text);
}

int TimePanel::draggedTop(int startTop, int dy, int panelHeight, int parentHeight) {
    const int maxTop = std::max(kMinTop, parentHeight - panelHeight);
    return std::clamp(startTop + dy, kMinTop, maxTop);
}

void TimePanel::mousePressEvent(QMouseEvent* e) {
    dragging_ = e->button() == Qt::LeftButton;
    pressGlobalY_ = static_cast<int>(e->globalPosition().y());
    pressTop_ = y();
}

void TimePanel::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_ || !parentWidget()) return;
    const int dy = static_cast<int>(e->globalPosition().y()) - pressGlobalY_;
    move(x(), draggedTop(pressTop_, dy, height(), parentWidget()->height()));
}

void TimePanel::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

}  // namespace brisko
