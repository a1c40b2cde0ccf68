// A drawing surface that keeps its picture: drawing goes into the kept image, as large as the
// widget; an optional overlay is painted over it on every repaint without touching it; the mouse
// over it is told in its own pixels. The race screen's map box, overview, wind dial and strip,
// and the analysis graph and tables are such pictures.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;

namespace brisko {

class PictureWidget : public QWidget {
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr,
                           const QColor& background = QColor(0, 255, 255));

    QImage& picture() { return kept_; }
    const QImage& picture() const { return kept_; }
    QColor background() const { return background_; }
    // The picture cleared to `background`, at the widget's size.
    void clear(const QColor& background);
    // Sets the widget's size, fixed, and its picture's at once: a hidden widget is told of a
    // new size only when it is shown, and drawing may come before. What was drawn stays where
    // it still fits.
    void setPictureSize(QSize size);

    // Painted over the kept picture on every repaint (the moving boats, a cursor line).
    void setOverlay(std::function<void(QPainter&)> overlay) { overlay_ = std::move(overlay); }
    // The picture as shown: the kept picture, the overlay and the child widgets shown over it.
    QImage composed() const;

signals:
    // Mouse events in the picture's pixels.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x, double y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, double x, double y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, double x, double y);
    // The wheel turned over the picture: angle in eighths of a degree (120 a notch), up
    // positive. Taken only while something listens; else it goes on to the parent (a picture in
    // a scroll area scrolls).
    void wheel(double x, double y, int angle);
    // The widget's size changed; the picture kept what fits.
    void resized();

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void fitPicture(QSize size);

    QImage kept_;
    QColor background_;
    std::function<void(QPainter&)> overlay_;
};

}  // namespace brisko
