// The start-sequence flag pictures, the blue peter and the flag with the 7 (class flag), at the
// top right of the map box: shown, lowered and put back as the frame state says. Held by
// MapFlags.
#pragma once

#include <QWidget>

#include "display/framestate.h"

namespace brisko {

class StartFlag : public QWidget {
    Q_OBJECT
public:
    enum class Kind { BlueP, Seven };
    static constexpr int kWidth = 24, kHeight = 16;
    static constexpr int kRightMargin = 10;  // from the map box's right edge

    StartFlag(Kind kind, QWidget* mapBox);
    Kind kind() const { return kind_; }

    // The flag's left edge in a map box of side mapSize.
    static int leftIn(int mapSize) { return mapSize - kWidth - kRightMargin; }
    // Follows the frame's flag state; moves and shows only when something changed.
    void follow(const FlagState& state, int mapSize);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Kind kind_;
};

}  // namespace brisko
