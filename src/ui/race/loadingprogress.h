// The loading progress while a race's tracks are read: a two-line message and a blue bar 333
// pixels long at the full count. Shown on the splash for the first race, over the map later.
#pragma once

#include <QWidget>

class QLabel;

namespace brisko {

class LoadingProgress : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBarWidth = 333;
    static constexpr int kBarHeight = 15;

    // barOffset: pixels from the message's top to the bar's top.
    explicit LoadingProgress(int barOffset, QWidget* parent = nullptr);

    // Boat `boat` of `count` is being read.
    void setProgress(int boat, int count, const QString& line1, const QString& line2);
    double barLength() const { return barLength_; }
    QString message() const;
    static double barLengthFor(int boat, int count);

    QLabel* messageLabel() const { return message_; }

private:
    class Bar;
    QLabel* message_ = nullptr;
    Bar* bar_ = nullptr;
    double barLength_ = 0;
};

}  // namespace brisko
