// A small drawing surface that keeps its picture (the wind panel, the overview map): drawing goes
// into the kept image, an optional overlay is painted over it on every repaint.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

namespace brisko {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    QImage& picture() { return kept_; }
    const QImage& picture() const { return kept_; }
    void clear(const QColor& background);
    QColor background() const { return background_; }
    void setOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos);
    void mouseMoved(QPointF pos);
    void resized();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    QImage kept_;
    QColor background_{0, 255, 255};
    std::function<void(QPainter&)> overlay_;
};

}  // namespace brisko
