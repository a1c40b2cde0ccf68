// A small drawing surface that keeps its picture; see picturebox.h.
#include "ui/race/picturebox.h"

#include <QMouseEvent>
#include <QPainter>

namespace brisko {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::clear(const QColor& background) {
    background_ = background;
    const QSize s = size().expandedTo(QSize(1, 1));
    if (kept_.size() != s) kept_ = QImage(s, QImage::Format_RGB32);
    kept_.fill(background_);
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    if (!kept_.isNull()) p.drawImage(0, 0, kept_);
    if (overlay_) overlay_(p);
}

void PictureBox::resizeEvent(QResizeEvent*) {
    // Keep what was drawn where it still fits; the owner redraws on `resized`.
    QImage grown(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    grown.fill(background_);
    if (!kept_.isNull()) {
        QPainter p(&grown);
        p.drawImage(0, 0, kept_);
    }
    kept_ = grown;
    emit resized();
}

void PictureBox::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->modifiers(), e->position());
}

void PictureBox::mouseMoveEvent(QMouseEvent* e) { emit mouseMoved(e->position()); }

}  // namespace brisko
