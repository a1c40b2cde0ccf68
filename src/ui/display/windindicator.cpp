// The wind panel (see windindicator.h).
#include "ui/display/windindicator.h"

#include <QPainter>
#include <cmath>

#include "ui/display/backgroundrenderer.h"
#include "util/angles.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr double kCentreDrop = 10;   // the circle's centre lies 10 px below half the width
constexpr double kArrowShare = 0.6;  // north arrow length as a share of the radius
constexpr double kBarbShare = 0.6;   // barb length as a share of the arrow
constexpr double kTriangleTip = 23;  // just outside the circle
constexpr double kTriangleSide = 10;
constexpr int kArrowPen = 5;

QPointF dirAt(double cx, double cy, double deg, double len) {
    return {cx + len * std::sin(deg * kDegToRad), cy - len * std::cos(deg * kDegToRad)};
}
}  // namespace

QPolygonF WindIndicator::windTriangle(double cx, double cy, double windDir, double viewRotation) {
    const double w = windDir - viewRotation;
    const QPointF tip = dirAt(cx, cy, w, kTriangleTip);
    QPolygonF poly;
    poly << tip << dirAt(tip.x(), tip.y(), w + 30, kTriangleSide)
         << dirAt(tip.x(), tip.y(), w - 30, kTriangleSide);
    return poly;
}

void WindIndicator::draw(QPainter& p, const RaceScene& scene, double panelWidth,
                         const QColor& background) {
    if (!scene.view) return;
    const MapView& view = *scene.view;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.fillRect(p.viewport(), background);
    const double cx = panelWidth / 2, cy = cx + kCentreDrop;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(cx, cy), kRadius, kRadius);

    // North arrow, turned with the map.
    const double n = -view.ViewRotation;
    const double len = kArrowShare * kRadius;
    const QPointF tip = dirAt(cx, cy, n, len);
    p.setPen(QPen(Qt::black, kArrowPen));
    p.drawLine(tip, dirAt(cx, cy, n + 180, len));
    p.drawLine(tip, dirAt(tip.x(), tip.y(), n + 120, kBarbShare * len));
    p.drawLine(tip, dirAt(tip.x(), tip.y(), n + 240, kBarbShare * len));

    if (scene.windShown && scene.windNow) {
        dirText_ = QString::number(roundToIntDeg(scene.windNow->WindDirFile));
        speedText_ = QString::number(scene.windNow->WindSpeedNow, 'f', 1);
    }
    const QColor red(255, 0, 0);
    p.setPen(QPen(red, 1));
    p.setBrush(red);
    p.drawPolygon(windTriangle(cx, cy, scene.windDirNow(), view.ViewRotation));
    p.restore();
}

int WindIndicator::roundToIntDeg(double deg) {
    const long r = std::lround(std::isfinite(deg) ? deg : 0);
    return static_cast<int>(r % 360);
}

}  // namespace brisko
