// The frame renderer (see framerenderer.h).
#include "ui/display/framerenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/display/backgroundrenderer.h"
#include "util/angles.h"

namespace brisko {

namespace {
constexpr double kSmallBoatLength = 3;  // shorter boats get the dinghy hull
constexpr double kSailFromSize = 5;     // smaller symbols have no sail
constexpr double kBoomTwist = 0.4;      // boom angle follows the wind by this share
constexpr double kNameDx = 5, kNameDy = -5, kNamePoints = 9;
constexpr double kWakeDot = 1;
constexpr double kTimeBarMargin = 30;
constexpr double kListRow = 14, kListLeft = 16, kListRight = 98, kListTime = 105;

struct Vertex {
    double theta, r;
};
constexpr Vertex kSmallHull[] = {{10, 0.5},   {50, 0.3},   {120, 0.3}, {160, 0.5},
                                 {-160, 0.5}, {-120, 0.3}, {-50, 0.3}, {-10, 0.5}};
constexpr Vertex kHull[] = {{0, 0.5},    {60, 0.17},  {120, 0.2}, {165, 0.5},
                            {-165, 0.5}, {-120, 0.2}, {-60, 0.17}};
struct SailShape {
    double m, l1, l2, l3;
};
constexpr SailShape kSmallSail{0.3, 0.8, 0.35, 0.15};
constexpr SailShape kSail{0.1, 0.6, 0.25, 0.1};

QPointF dir(double deg) { return {std::sin(deg * kDegToRad), -std::cos(deg * kDegToRad)}; }
double boatLengthOf(const RaceScene& s) {
    return boatLengthOrDefault(s.race ? s.race->BoatLength : 0);
}
}  // namespace

QPolygonF FrameRenderer::hullPolygon(QPointF centre, double s, double a, bool smallBoat) {
    QPolygonF poly;
    const double c = s / 2;
    const QPointF origin(std::round(centre.x() - c), std::round(centre.y() - c));
    auto add = [&](const Vertex& v) {
        const QPointF d = dir(a + v.theta);
        poly << origin + QPointF(std::round(c + v.r * s * d.x()), std::round(c + v.r * s * d.y()));
    };
    if (smallBoat)
        for (const Vertex& v : kSmallHull) add(v);
    else
        for (const Vertex& v : kHull) add(v);
    return poly;
}

QPolygonF FrameRenderer::sailPolygon(QPointF centre, double s, double a, double heading,
                                     double windDir, bool smallBoat) {
    const SailShape& sh = smallBoat ? kSmallSail : kSail;
    const double c = s / 2;
    const QPointF origin(std::round(centre.x() - c), std::round(centre.y() - c));
    const double w = reduceAngle180(heading - windDir);
    const double side = w > 0 ? 1 : -1;
    const double b = a + 180 + kBoomTwist * w;
    const QPointF m = QPointF(c, c) + sh.m * s * dir(a);
    auto r = [](QPointF q) { return QPointF(std::round(q.x()), std::round(q.y())); };
    QPolygonF poly;
    poly << origin + r(m) << origin + r(m + sh.l1 * s * dir(b))
         << origin + r(m + sh.l2 * s * dir(b + 24 * side))
         << origin + r(m + sh.l3 * s * dir(b + 45 * side));
    return poly;
}

void FrameRenderer::drawBoat(QPainter& p, QPointF centre, double s, double heading,
                             double viewRotation, double windDir, bool smallBoat,
                             const QColor& colour, bool focusRing) {
    const double c = s / 2;
    const QRectF box(std::round(centre.x() - c), std::round(centre.y() - c), s, s);
    if (focusRing) {
        p.setPen(QPen(QColor(255, 0, 0), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box.center(), c - 1, c - 1);
    }
    const double a = reduceAngle180(heading - viewRotation);
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPolygon(hullPolygon(centre, s, a, smallBoat));
    if (s > kSailFromSize) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::white);
        p.drawPolygon(sailPolygon(centre, s, a, heading, windDir, smallBoat));
    }
    p.setBrush(Qt::NoBrush);
}

void FrameRenderer::drawManoeuvreMark(QPainter& p, const ManoeuvreMark& m, const QColor& colour,
                                      double size) {
    const double h = size / 2;
    const QPointF c(m.x, m.y);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(0, 0, 0), 1));
    p.setBrush(m.confident ? QBrush(colour) : QBrush(Qt::NoBrush));
    switch (m.kind) {
        case ManoeuvreKind::Tack: {
            const QPointF up[] = {c + QPointF(0, -h), c + QPointF(h, h), c + QPointF(-h, h)};
            p.drawPolygon(up, 3);
            break;
        }
        case ManoeuvreKind::Gybe: {
            const QPointF down[] = {c + QPointF(0, h), c + QPointF(h, -h), c + QPointF(-h, -h)};
            p.drawPolygon(down, 3);
            break;
        }
        case ManoeuvreKind::Penalty:
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(colour, 2));
            p.drawEllipse(c, h - 1, h - 1);
            p.setPen(QPen(QColor(0, 0, 0), 1));
            p.drawEllipse(c, h, h);
            break;
    }
    p.restore();
}

void FrameRenderer::paintManoeuvres(QPainter& p, const RaceScene& scene,
                                    const std::vector<ManoeuvreMark>& marks) const {
    if (!scene.ready() || scene.options->ViewMode != ViewModeKind::Map) return;
    const DisplayOptions& opt = *scene.options;
    for (const ManoeuvreMark& m : marks)
        drawManoeuvreMark(p, m, toQColor(opt.BoatColour[std::clamp(m.boat, 0, kMaxBoats)]));
}

void FrameRenderer::drawHaloText(QPainter& p, QPointF at, const QString& text,
                                 const QColor& colour) {
    constexpr int kDarkText = 128;
    const QColor halo = colour.lightness() < kDarkText ? QColor(Qt::white) : QColor(Qt::black);
    p.setPen(halo);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            if (dx != 0 || dy != 0) p.drawText(at + QPointF(dx, dy), text);
    p.setPen(colour);
    p.drawText(at, text);
}

double FrameRenderer::timeBarCursorY(double raceTime, double pxPerSecond, double raceSeconds) {
    return kTimeBarMargin + pxPerSecond * (raceSeconds - raceTime);
}

void FrameRenderer::paint(QPainter& p, const RaceScene& scene, const FrameLayout& layout) const {
    if (!scene.options || !layout.mapMode) return;
    const DisplayOptions& opt = *scene.options;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = BackgroundRenderer::labelFont(kNamePoints, opt.FontScale);
    p.setFont(font);
    const QFontMetricsF fm(font);
    for (int k = 1; k <= layout.boatCount; ++k) {
        const BoatPlace& b = layout.boats[k];
        if (!b.drawn) continue;
        if (b.wakePoints > 0) {
            p.setPen(QPen(Qt::white, 1));
            QPointF prev(b.wake[0].x, b.wake[0].y);
            for (int j = 1; j < b.wakePoints; ++j) {
                const QPointF cur(b.wake[j].x, b.wake[j].y);
                p.drawLine(prev, cur);
                p.drawEllipse(cur, kWakeDot, kWakeDot);
                prev = cur;
            }
        }
        if (!b.label.empty())
            drawHaloText(p, QPointF(b.x + b.size / 2 + kNameDx, b.y + kNameDy + fm.ascent()),
                         QString::fromStdString(b.label), toQColor(opt.BoatColour[k]));
    }
    p.restore();
}

QString FrameRenderer::boatLabel(const std::string& name, double speed) {
    return QString::fromStdString(boatLabelText(name, speed));
}

void FrameRenderer::paintMovingLayer(QPainter& p, const RaceScene& scene,
                                     const FrameLayout& layout) const {
    if (!scene.ready() || scene.options->ViewMode != ViewModeKind::Map) return;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    const double box = view.MapSize;
    const double wind = scene.windDirNow();
    const bool smallBoat = boatLengthOf(scene) < kSmallBoatLength;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    // Cross-wind comparison lines, in wind-up only.
    if (opt.CompareLines && view.windUp()) {
        const double d = reduceAngle180(wind - view.ViewRotation);
        for (int k = 1; k <= layout.boatCount; ++k) {
            const BoatPlace& b = layout.boats[k];
            if (!b.drawn) continue;
            p.setPen(QPen(toQColor(opt.BoatColour[k]), 1));
            if (std::fabs(d) == 90) {
                p.drawLine(QPointF(b.x, 0), QPointF(b.x, box));
            } else {
                const double slope = std::tan(d * kDegToRad);
                const double y0 = b.y - b.x * slope;
                p.drawLine(QPointF(0, y0), QPointF(box, y0 + box * slope));
            }
        }
    }
    // The boat symbols are painted here rather than moved as one child widget per boat: up to
    // 50 widgets moved every tick would cost more than painting them. The start flags and the
    // finishing list are the map box's own child widgets (StartFlag, FinishList).
    for (int k = 1; k <= layout.boatCount; ++k) {
        const BoatPlace& b = layout.boats[k];
        if (!b.drawn || b.size <= 0) continue;
        drawBoat(p, QPointF(b.x, b.y), b.size, b.heading, view.ViewRotation, wind, smallBoat,
                 toQColor(opt.BoatColour[k]), opt.focused(k));
    }
    p.restore();
}

double FrameRenderer::finishNameRight(const RaceScene& scene) {
    if (!scene.frame || !scene.options || !scene.race) return kListRight;
    const FrameState& fs = *scene.frame;
    const QFontMetricsF fm(BackgroundRenderer::labelFont(kNamePoints, scene.options->FontScale));
    // The coloured name box grows to the longest name listed, so that no name is cut off.
    double right = kListRight;
    for (int j = 1; j <= std::min(fs.FinishCount, kMaxBoats); ++j) {
        const int k = std::clamp(fs.FinishOrder[j], 0, kMaxBoats);
        const QString name = QString::fromStdString(scene.race->Boats[k].BoatName);
        right = std::max(right, kListLeft + 1 + fm.horizontalAdvance(name) + 3);
    }
    return std::ceil(right);
}

double FrameRenderer::finishListWidth(const RaceScene& scene) {
    const double timeLeft = finishNameRight(scene) + (kListTime - kListRight);
    if (!scene.frame || !scene.options) return timeLeft;
    const FrameState& fs = *scene.frame;
    const FinishInputs finish = scene.finishInputs();
    const QFontMetricsF fm(BackgroundRenderer::labelFont(kNamePoints, scene.options->FontScale));
    double width = timeLeft;
    for (int j = 1; j <= std::min(fs.FinishCount, kMaxBoats); ++j)
        width = std::max(
            width, timeLeft +
                       fm.horizontalAdvance(QString::fromStdString(fs.finishRowText(j, finish))) +
                       4);
    return width;
}

void FrameRenderer::drawFinishList(QPainter& p, const RaceScene& scene, QPointF topLeft) {
    if (!scene.frame || !scene.options) return;
    const FrameState& fs = *scene.frame;
    const FinishInputs finish = scene.finishInputs();
    const int count = std::clamp(fs.FinishCount, 0, kMaxBoats);
    const double nameRight = finishNameRight(scene);
    const double timeLeft = nameRight + (kListTime - kListRight);
    p.save();
    p.translate(topLeft);
    QFont f = BackgroundRenderer::labelFont(kNamePoints, scene.options->FontScale);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const QRectF frame(0, 0, std::ceil(finishListWidth(scene)), kListRow * count + 5);
    p.fillRect(frame, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(frame.adjusted(0, 0, -1, -1));  // the border inside the list's own box
    for (int j = 1; j <= count; ++j) {
        const int k = fs.FinishOrder[j];
        const double y = kListRow * (j - 1) + 2;
        const QColor colour = toQColor(scene.options->BoatColour[std::clamp(k, 0, kMaxBoats)]);
        p.fillRect(QRectF(kListLeft, y, nameRight - kListLeft, 12), colour);
        const std::string name =
            scene.race && k >= 1 && k <= kMaxBoats ? scene.race->Boats[k].BoatName : std::string();
        // White names on the lighter boat colours need the same halo as on the map.
        drawHaloText(p, QPointF(kListLeft + 1, y + 1 + fm.ascent()), QString::fromStdString(name),
                     colour.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black));
        p.setPen(Qt::black);
        p.drawText(QPointF(3, y + 1 + fm.ascent()), QString::number(j));
        p.drawText(QPointF(timeLeft, y + 1 + fm.ascent()),
                   QString::fromStdString(fs.finishRowText(j, finish)));
    }
    p.restore();
}

}  // namespace brisko
