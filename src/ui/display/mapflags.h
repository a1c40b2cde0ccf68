// The start flags and the finishing list over the map box: child widgets of the map that follow
// the frame state (only what changed is moved, shown or redrawn).
#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace brisko {

class FinishList;
class FrameState;
class StartFlag;
struct RaceScene;

class MapFlags : public QObject {
    Q_OBJECT
public:
    // The flags and the list are made as children of `map`, a square map box.
    explicit MapFlags(QWidget* map);

    // Puts the flags and the finishing list where the frame state says. A null scene hides them
    // (no race shown). `keepClear` is what lies over the map box (the time panel), in its
    // pixels: the finishing list avoids it.
    void followFrame(const FrameState& frame, const RaceScene* scene, const QRect& keepClear = {});
    StartFlag* bluePeter() const { return bluePeter_; }
    StartFlag* sevenFlag() const { return sevenFlag_; }
    FinishList* finishList() const { return finishList_; }

private:
    QWidget* map_;
    StartFlag* bluePeter_ = nullptr;
    StartFlag* sevenFlag_ = nullptr;
    FinishList* finishList_ = nullptr;
};

}  // namespace brisko
