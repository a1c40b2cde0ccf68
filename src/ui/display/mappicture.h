// The map box: a widget keeping a picture that the background, marks and wakes are drawn into,
// with the moving layer (boats, comparison lines, flags, finishing list) painted over it on every
// repaint without touching the kept picture. The start flags and the finishing list are its
// child widgets, following the frame state.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

namespace brisko {

class FinishList;
class FrameState;
class StartFlag;
struct RaceScene;

class MapPicture : public QWidget {
    Q_OBJECT
public:
    explicit MapPicture(QWidget* parent = nullptr);

    // Sets the square size (MapSize) and resizes the kept picture, cleared to the sea colour.
    void setMapSize(int size);
    int mapSize() const { return kept_.height(); }

    QImage& picture() { return kept_; }
    const QImage& picture() const { return kept_; }
    void clear(const QColor& sea);
    QColor background() const { return sea_; }

    // The moving layer, painted over the kept picture on every repaint.
    void setOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }

    // The picture as shown: the kept picture with the moving layer and the flags and finishing
    // list that are shown (for the screen picture).
    QImage composed() const;

    // Puts the flags and the finishing list where the frame state says (only what changed
    // is moved, shown or redrawn). A null scene hides them (no race shown). `keepClear` is what
    // lies over the map box (the time panel), in its pixels: the finishing list avoids it.
    void followFrame(const FrameState& frame, const RaceScene* scene, const QRect& keepClear = {});
    StartFlag* bluePeter() const { return bluePeter_; }
    StartFlag* sevenFlag() const { return sevenFlag_; }
    FinishList* finishList() const { return finishList_; }

signals:
    // Mouse events in map box pixels (the map mouse handlers are the window's).
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x, double y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, double x, double y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x, double y);
    // The wheel turned over the map: angle in eighths of a degree (120 a notch), up positive.
    void wheel(double x, double y, int angle);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    QImage kept_;
    QColor sea_{0, 180, 240};
    std::function<void(QPainter&)> overlay_;
    StartFlag* bluePeter_ = nullptr;
    StartFlag* sevenFlag_ = nullptr;
    FinishList* finishList_ = nullptr;
};

}  // namespace brisko
