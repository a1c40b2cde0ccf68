// The start flags and the finishing list over the map box; see mapflags.h.
#include "ui/display/mapflags.h"

#include <QWidget>

#include "display/framestate.h"
#include "ui/display/finishlist.h"
#include "ui/display/startflag.h"

namespace brisko {

MapFlags::MapFlags(QWidget* map) : QObject(map), map_(map) {
    bluePeter_ = new StartFlag(StartFlag::Kind::BlueP, map);
    sevenFlag_ = new StartFlag(StartFlag::Kind::Seven, map);
    finishList_ = new FinishList(map);
}

void MapFlags::followFrame(const FrameState& frame, const RaceScene* scene,
                           const QRect& keepClear) {
    const int mapSize = map_->height();
    if (!scene) {
        bluePeter_->hide();
        sevenFlag_->hide();
        finishList_->follow(frame, nullptr, mapSize);
        return;
    }
    bluePeter_->follow(frame.BlueP, mapSize);
    sevenFlag_->follow(frame.Seven, mapSize);
    finishList_->follow(frame, scene, mapSize, keepClear);
}

}  // namespace brisko
