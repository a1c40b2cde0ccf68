// The loading progress message and bar; see loadingprogress.h.
#include "ui/race/loadingprogress.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>

namespace brisko {

namespace {
constexpr int kMessageHeight = 34;
const QColor kBarColour(0, 0, 255);
}  // namespace

class LoadingProgress::Bar : public QWidget {
public:
    explicit Bar(QWidget* parent) : QWidget(parent) {}
    double length = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.fillRect(QRectF(0, 0, length, height()), kBarColour);
    }
};

LoadingProgress::LoadingProgress(int barOffset, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("LoadingProgress"));
    message_ = new QLabel(this);
    message_->setAlignment(Qt::AlignCenter);
    message_->setAutoFillBackground(true);
    message_->setGeometry(0, 0, kBarWidth, kMessageHeight);
    bar_ = new Bar(this);
    bar_->setGeometry(0, std::max(barOffset, kMessageHeight), kBarWidth, kBarHeight);
    resize(kBarWidth, bar_->geometry().bottom() + 1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

double LoadingProgress::barLengthFor(int boat, int count) {
    if (count <= 0) return 0;
    return kBarWidth * static_cast<double>(std::clamp(boat, 0, count)) / count;
}

void LoadingProgress::setProgress(int boat, int count, const QString& line1, const QString& line2) {
    message_->setText(line1 + QLatin1Char('\n') + line2);
    barLength_ = barLengthFor(boat, count);
    bar_->length = barLength_;
    bar_->update();
    message_->repaint();
    bar_->repaint();
}

QString LoadingProgress::message() const { return message_->text(); }

}  // namespace brisko
