// The time panel: the race clock, the start countdown beside it and the time of day under them.
// The user can drag it up and down the window to uncover what lies beneath it.
#pragma once

#include <QFrame>

class QLabel;

namespace brisko {

class TimePanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int kMinTop = 5;

    explicit TimePanel(QWidget* parent = nullptr);
    void setFontScale(double fontScale);

    void setClock(const QString& text, const QColor& colour);
    void setCountdown(bool visible, const QString& text, const QColor& colour);
    void setTimeOfDay(const QString& text);

    // The top a drag would give: the start top moved by dy, kept at 5 or more and inside the
    // parent.
    static int draggedTop(int startTop, int dy, int panelHeight, int parentHeight);

    QLabel* clockLabel = nullptr;
    QLabel* countdownLabel = nullptr;
    QLabel* timeOfDayLabel = nullptr;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool dragging_ = false;
    int pressGlobalY_ = 0;
    int pressTop_ = 0;
};

}  // namespace brisko
