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

    Text11 = new QLabel(QStringLiteral("00:00:00"), this);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text4 = new QLabel(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text4->setMinimumWidth(40);
    Text4->hide();
    Text1 = new QLabel(this);
    Text1->setObjectName(QStringLiteral("Text1"));

    auto* top = new QHBoxLayout;
    top->addWidget(Text11);
    top->addStretch(1);
    top->addWidget(Text4);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(6, 2, 6, 2);
    box->setSpacing(0);
    box->addLayout(top);
    box->addWidget(Text1);
    for (QLabel* l : {Text11, Text4, Text1}) l->setAttribute(Qt::WA_TransparentForMouseEvents);
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
    sized(Text11, kClockPointSize, true);
    sized(Text4, kCountdownPointSize, true);
    sized(Text1, kTimeOfDayPointSize, false);
}

void TimePanel::setClock(const QString& text, const QColor& colour) {
    if (Text11->text() != text) Text11->setText(text);
    setColour(Text11, colour);
}

void TimePanel::setCountdown(bool visible, const QString& text, const QColor& colour) {
    const bool shownBefore = !Text4->isHidden();
    if (visible) {
        if (Text4->text() != text) Text4->setText(text);
        setColour(Text4, colour);
    }
    if (visible == shownBefore) return;
    Text4->setVisible(visible);
    // The panel sits over the map outside any layout: it grows to take the countdown beside
    // the clock, and shrinks back when the countdown goes.
    if (layout()) {
        layout()->invalidate();
        layout()->activate();
    }
    adjustSize();
}

void TimePanel::setTimeOfDay(const QString& text) {
    if (!text.isEmpty() && Text1->text() != text) Text1->setText(text);
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
