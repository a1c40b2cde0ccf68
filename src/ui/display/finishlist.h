// The finishing list picture over the map box: shown once the first boat has
// finished, one row per finisher (height 14 x FinishCount + 5), at the top right where the start
// flags were (the time panel covers the top left). Held by MapFlags.
#pragma once

#include <QWidget>
#include <array>

#include "display/framestate.h"

namespace brisko {

struct RaceScene;

class FinishList : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRightMargin = 10, kTop = 10;
    static constexpr int kRowHeight = 14, kExtraHeight = 5;

    explicit FinishList(QWidget* mapBox);
    static int heightFor(int finishCount) { return kRowHeight * finishCount + kExtraHeight; }

    // Follows the frame's finishing list; resizes and redraws only when the list changed.
    // A null scene hides the list. mapSize is the map box's side. On a map too narrow for the
    // list beside `keepClear` (the time panel, in map box pixels) the list moves below it, so
    // that neither hides the other.
    void follow(const FrameState& frame, const RaceScene* scene, int mapSize,
                const QRect& keepClear = {});
    int shownCount() const { return shownCount_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const RaceScene* scene_ = nullptr;
    int shownCount_ = 0;                      // rows in the list as last drawn (0 while hidden)
    std::array<int, kMaxBoats + 1> order_{};  // the boats listed, as last drawn
};

}  // namespace brisko
