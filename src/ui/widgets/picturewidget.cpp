// A drawing surface that keeps its picture; see picturewidget.h.
#include "ui/widgets/picturewidget.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace brisko {

PictureWidget::PictureWidget(QWidget* parent, const QColor& background)
    : QWidget(parent), background_(background) {
    setMouseTracking(true);
    // Not marked opaque, though the picture covers it: when a child moves (a start flag over
    // the map), Qt repaints an opaque parent of the moved widget on its own, as if nothing lay
    // over it, and a panel over the picture's corner would lose its border and background.
    fitPicture(size());
}

void PictureWidget::fitPicture(QSize s) {
    s = s.expandedTo(QSize(1, 1));
    if (kept_.size() == s) return;
    QImage fitted(s, QImage::Format_RGB32);
    fitted.fill(background_);
    if (!kept_.isNull()) {
        QPainter p(&fitted);
        p.drawImage(0, 0, kept_);
    }
    kept_ = fitted;
}

void PictureWidget::clear(const QColor& background) {
    background_ = background;
    fitPicture(size());
    kept_.fill(background_);
    update();
}

void PictureWidget::setPictureSize(QSize s) {
    setFixedSize(s.expandedTo(QSize(1, 1)));
    fitPicture(size());
    update();
}

QImage PictureWidget::composed() const {
    QImage out = kept_.copy();
    QPainter p(&out);
    if (overlay_) overlay_(p);
    p.end();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isHidden() && !child->isWindow())
            child->render(&out, child->pos(), QRegion(), QWidget::DrawChildren);
    return out;
}

void PictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (kept_.width() < width() || kept_.height() < height()) p.fillRect(rect(), background_);
    p.drawImage(0, 0, kept_);
    if (overlay_) overlay_(p);
}

void PictureWidget::resizeEvent(QResizeEvent*) {
    fitPicture(size());
    emit resized();
}

void PictureWidget::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->buttons(), e->modifiers(), e->position().x(), e->position().y());
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

void PictureWidget::wheelEvent(QWheelEvent* e) {
    if (!isSignalConnected(QMetaMethod::fromSignal(&PictureWidget::wheel))) {
        e->ignore();
        return;
    }
    emit wheel(e->position().x(), e->position().y(), e->angleDelta().y());
    e->accept();
}

}  // namespace brisko
