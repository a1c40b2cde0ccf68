// The map box widget: kept picture plus moving layer (see mappicture.h).
#include "ui/display/mappicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace brisko {

MapPicture::MapPicture(QWidget* parent) : QWidget(parent) {
    setObjectName("Picture1");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMapSize(1);
}

void MapPicture::setMapSize(int size) {
    size = std::max(1, size);
    if (kept_.width() != size || kept_.height() != size) {
        kept_ = QImage(size, size, QImage::Format_RGB32);
        kept_.fill(sea_);
    }
    setFixedSize(size, size);
    update();
}

void MapPicture::clear(const QColor& sea) {
    sea_ = sea;
    kept_.fill(sea_);
    update();
}

QImage MapPicture::composed() const {
    QImage out = kept_.copy();
    QPainter p(&out);
    if (overlay_) overlay_(p);
    return out;
}

void MapPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, kept_);
    if (overlay_) overlay_(p);
}

void MapPicture::mousePressEvent(QMouseEvent* e) {
    emit mouseDown(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

void MapPicture::mouseMoveEvent(QMouseEvent* e) {
    emit mouseMove(e->buttons(), e->modifiers(), e->position().x(), e->position().y());
}

void MapPicture::mouseReleaseEvent(QMouseEvent* e) {
    emit mouseUp(e->button(), e->modifiers(), e->position().x(), e->position().y());
}

}  // namespace brisko
