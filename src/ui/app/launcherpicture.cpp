// The launcher's artwork: a dusk sky over a chart-blue sea, a sloop heeling to the breeze, two
// GPS wakes rounding a mark, and a compass rose; drawn with QPainter at any size.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "ui/app/launcher.h"

namespace brisko {

namespace {

void drawCompassRose(QPainter& p, QPointF c, double r) {
    p.save();
    p.translate(c);
    p.setPen(QPen(QColor(230, 230, 210, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), r, r);
    p.drawEllipse(QPointF(0, 0), r * 0.72, r * 0.72);
    for (int i = 0; i < 32; ++i) {
        p.save();
        p.rotate(i * 11.25);
        p.drawLine(QPointF(0, -r), QPointF(0, -r * (i % 4 == 0 ? 0.82 : 0.92)));
        p.restore();
    }
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.rotate(i * 90);
        QPainterPath point;
        point.moveTo(0, -r * 0.95);
        point.lineTo(r * 0.13, 0);
        point.lineTo(-r * 0.13, 0);
        point.closeSubpath();
        p.setBrush(i == 0 ? QColor(200, 40, 40, 220) : QColor(235, 235, 220, 200));
        p.drawPath(point);
        p.restore();
    }
    p.restore();
}

void drawWake(QPainter& p, const QPolygonF& pts, QColor c) {
    QPainterPath path(pts.first());
    for (int i = 1; i + 1 < pts.size(); i += 2) path.quadTo(pts[i], pts[i + 1]);
    p.setPen(QPen(c, 2, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    // Fixes along the wake, as the receiver logged them.
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (const QPointF& q : pts) p.drawEllipse(q, 2.2, 2.2);
}

void drawSloop(QPainter& p, QPointF at, double s) {
    p.save();
    p.translate(at);
    p.rotate(-8);  // heeling
    QPainterPath hull;
    hull.moveTo(-40 * s, 0);
    hull.quadTo(0, 16 * s, 46 * s, -2 * s);
    hull.lineTo(-40 * s, -2 * s);
    hull.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 245, 240));
    p.drawPath(hull);
    p.setPen(QPen(QColor(60, 60, 60), 1.5 * s));
    p.drawLine(QPointF(0, -2 * s), QPointF(0, -96 * s));  // mast
    QPainterPath main;
    main.moveTo(-2 * s, -92 * s);
    main.quadTo(-22 * s, -50 * s, -36 * s, -8 * s);
    main.lineTo(-2 * s, -8 * s);
    main.closeSubpath();
    QLinearGradient sail(QPointF(-36 * s, 0), QPointF(0, 0));
    sail.setColorAt(0, QColor(255, 255, 255));
    sail.setColorAt(1, QColor(215, 222, 230));
    p.setPen(QPen(QColor(150, 150, 150), 0.8));
    p.setBrush(sail);
    p.drawPath(main);
    QPainterPath jib;
    jib.moveTo(3 * s, -86 * s);
    jib.quadTo(26 * s, -46 * s, 40 * s, -6 * s);
    jib.lineTo(4 * s, -8 * s);
    jib.closeSubpath();
    p.setBrush(QColor(235, 120, 60));
    p.drawPath(jib);
    p.restore();
}

}  // namespace

QImage Launcher::coverPicture(int width, int height) {
    QImage img(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = img.width(), h = img.height();
    const double horizon = h * 0.36;

    QLinearGradient sky(QPointF(0, 0), QPointF(0, horizon));
    sky.setColorAt(0, QColor(22, 38, 78));
    sky.setColorAt(0.65, QColor(120, 92, 120));
    sky.setColorAt(1, QColor(236, 160, 92));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    QRadialGradient sun(QPointF(w * 0.72, horizon), w * 0.22);
    sun.setColorAt(0, QColor(255, 225, 150, 230));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.fillRect(QRectF(0, 0, w, horizon), sun);

    QLinearGradient sea(QPointF(0, horizon), QPointF(0, h));
    sea.setColorAt(0, QColor(40, 92, 128));
    sea.setColorAt(1, QColor(10, 40, 70));
    p.fillRect(QRectF(0, horizon, w, h - horizon), sea);
    // A headland on the horizon.
    QPainterPath land;
    land.moveTo(0, horizon);
    land.cubicTo(w * 0.10, horizon - 18, w * 0.22, horizon - 26, w * 0.34, horizon);
    land.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 52, 48));
    p.drawPath(land);
    // Glitter on the water.
    p.setPen(QPen(QColor(255, 220, 160, 110), 1));
    for (int i = 0; i < 14; ++i) {
        const double y = horizon + 6 + i * i * 0.9;
        const double half = 6 + i * 2.2;
        p.drawLine(QPointF(w * 0.72 - half, y), QPointF(w * 0.72 + half, y));
    }
    // Chart grid over the sea.
    p.setPen(QPen(QColor(180, 210, 230, 40), 1));
    for (double x = 0; x < w; x += w / 8) p.drawLine(QPointF(x, horizon), QPointF(x, h));
    for (double y = horizon; y < h; y += w / 8) p.drawLine(QPointF(0, y), QPointF(w, y));

    // Two boats' wakes racing to a windward mark and away.
    const QPointF mark(w * 0.20, h * 0.50);
    drawWake(p,
             QPolygonF({QPointF(w * 0.50, h * 0.95), QPointF(w * 0.05, h * 0.80),
                        QPointF(w * 0.16, h * 0.52), QPointF(w * 0.30, h * 0.45),
                        QPointF(w * 0.42, h * 0.62)}),
             QColor(255, 210, 70));
    drawWake(p,
             QPolygonF({QPointF(w * 0.60, h * 0.97), QPointF(w * 0.30, h * 0.72),
                        QPointF(w * 0.23, h * 0.55), QPointF(w * 0.12, h * 0.47),
                        QPointF(w * 0.28, h * 0.60)}),
             QColor(120, 230, 160));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(255, 120, 0));
    p.drawEllipse(mark, 5, 5);

    drawCompassRose(p, QPointF(w * 0.18, h * 0.88), w * 0.11);
    drawSloop(p, QPointF(w * 0.70, horizon + 40), std::min(w, h) / 360.0);
    return img;
}

}  // namespace brisko
