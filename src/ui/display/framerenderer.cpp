// The frame renderer (see framerenderer.h).
#include "ui/display/framerenderer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "ui/display/backgroundrenderer.h"
#include "util/angles.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr double kSmallBoatLength = 3;  // shorter boats get the dinghy hull
constexpr double kMinSymbol = 3;
constexpr double kSailFromSize = 5;  // smaller symbols have no sail
constexpr double kBoomTwist = 0.4;   // boom angle follows the wind by this share
constexpr double kNameDx = 5, kNameDy = -5, kNamePoints = 9;
constexpr double kWakeDot = 1;
constexpr int kWakeSamples = 4;
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

double FrameRenderer::symbolSize(double boatLength, double pxPerMetre, bool enlarge,
                                 double minEnlarged, bool& realSize) {
    double s = boatLength * pxPerMetre;
    if (!std::isfinite(s)) s = 0;
    realSize = true;
    if (enlarge && s < minEnlarged) {
        s = minEnlarged;
        realSize = false;
    }
    return std::max(s, kMinSymbol);
}

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

FrameResult FrameRenderer::drawFrame(const RaceScene& scene, QImage& kept) {
    FrameResult res;
    if (!scene.ready()) return res;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    const FrameState& fs = *scene.frame;
    const TrackStore& tracks = *scene.tracks;
    const double box = view.MapSize;
    const double t = scene.raceTime();
    clockText_ = QString::fromStdString(FrameState::clockText(t));
    clockColour_ = toQColor(FrameState::clockColour(t));
    countdownVisible_ = FrameState::countdownVisible(t);
    countdownText_ = QString::number(FrameState::countdownValue(t));
    countdownColour_ = toQColor(FrameState::countdownColour(t));

    const bool mapMode = opt.ViewMode == ViewModeKind::Map;
    const double boatLength = boatLengthOf(scene);
    const double s =
        symbolSize(boatLength, view.PxPerMetre, opt.Enlarge, opt.MinEnlargedSize, realSize_);
    const bool wakes = opt.AutoTrace || !opt.WakeOn;
    const bool namesAllowed = mapMode && opt.AutoTrace;

    QPainter p;
    const bool painting = mapMode && !kept.isNull() && p.begin(&kept);
    if (painting) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(BackgroundRenderer::labelFont(kNamePoints, opt.FontScale));
    }
    const QFontMetricsF fm(BackgroundRenderer::labelFont(kNamePoints, opt.FontScale));
    const int boats = std::min(fs.boatCount, kMaxBoats);
    bool inView = false;
    for (int k = 1; k <= boats; ++k) {
        const BoatFrame& bf = fs.Boats[k];
        size_[k] = 0;
        if (!bf.visible) continue;
        if (!mapMode) {
            inView = true;
            continue;
        }
        const ScreenPoint sp = view.toScreen(bf.lat, bf.lon);
        centre_[k] = QPointF(sp.x, sp.y);
        size_[k] = s;
        if (sp.x >= 0 && sp.x < box && sp.y >= 0 && sp.y <= box) inView = true;
        if (!painting) continue;
        const QColor colour = toQColor(opt.BoatColour[k]);
        if (wakes) {
            p.setPen(QPen(Qt::white, 1));
            QPointF prev(sp.x, sp.y);
            for (int j = bf.segment; j >= 1 && j > bf.segment - 1 - kWakeSamples; --j) {
                const ScreenPoint q = view.toScreen(tracks.TrkLat(k, j), tracks.TrkLon(k, j));
                const QPointF cur(q.x, q.y);
                p.drawLine(prev, cur);
                p.drawEllipse(cur, kWakeDot, kWakeDot);
                prev = cur;
                if (std::fabs(t - tracks.TrkSec(k, j)) > FrameState::kWakeMaxAge) break;
            }
        }
        if (namesAllowed && (opt.BoatNames || opt.BoatMarked[k]) && scene.race) {
            drawHaloText(p, QPointF(sp.x + s / 2 + kNameDx, sp.y + kNameDy + fm.ascent()),
                         boatLabel(scene.race->Boats[k].BoatName, bf.speed), colour);
        }
    }
    if (painting) p.end();

    // Speed panel values, written only while some boat is in view.
    res.anyBoatInView = inView;
    if (inView) {
        if (scene.race)
            timeOfDay_ =
                QString::fromStdString(FrameState::timeOfDayText(scene.race->RaceStart, t));
        for (int k = 1; k <= boats; ++k) {
            BoatPanelValues& row = panel_[k];
            const BoatFrame& bf = fs.Boats[k];
            row.speedChanged = false;
            if (bf.visible && bf.speed != shownSpeed_[k] && bf.speed > 0) {
                row.speedChanged = true;
                shownSpeed_[k] = bf.speed;
                QString text = QString::number(bf.speed, 'f', 2);
                if (text.startsWith("0.")) text.remove(0, 1);  // "##.#0" has no leading zero
                row.speedText = text;
            }
            if (bf.visible) row.twaText = QString::number(roundToInt(bf.twa));
            // The bar follows the speed last shown, and vanishes when the boat is unticked.
            row.barLength = opt.shown(k) ? scene.SpeedBarScale * shownSpeed_[k] : 0;
            if (!std::isfinite(row.barLength) || row.barLength < 0) row.barLength = 0;
        }
    }
    return res;
}

QString FrameRenderer::boatLabel(const std::string& name, double speed) {
    return QString::fromStdString(name + " (" + shortestDecimal(std::round(speed * 100) / 100) +
                                  ")");
}

int FrameRenderer::boatAt(double x, double y) const {
    for (int k = kMaxBoats; k >= 1; --k) {
        const double half = size_[k] / 2;
        if (size_[k] > 0 && std::fabs(x - centre_[k].x()) <= half &&
            std::fabs(y - centre_[k].y()) <= half)
            return k;
    }
    return 0;
}

void FrameRenderer::resetForRace() {
    shownSpeed_.fill(0);
    panel_.fill(BoatPanelValues{});
    size_.fill(0);
}

void FrameRenderer::drawMovingLayer(QPainter& p, const RaceScene& scene) const {
    if (!scene.ready() || scene.options->ViewMode != ViewModeKind::Map) return;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    const FrameState& fs = *scene.frame;
    const double box = view.MapSize;
    const double wind = scene.windDirNow();
    const bool smallBoat = boatLengthOf(scene) < kSmallBoatLength;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);

    // Cross-wind comparison lines, in wind-up only.
    if (opt.CompareLines && view.windUp()) {
        const double d = reduceAngle180(wind - view.ViewRotation);
        for (int k = 1; k <= std::min(fs.boatCount, kMaxBoats); ++k) {
            if (!fs.Boats[k].visible) continue;
            const QPointF c = centre_[k];
            p.setPen(QPen(toQColor(opt.BoatColour[k]), 1));
            if (std::fabs(d) == 90) {
                p.drawLine(QPointF(c.x(), 0), QPointF(c.x(), box));
            } else {
                const double slope = std::tan(d * kDegToRad);
                const double y0 = c.y() - c.x() * slope;
                p.drawLine(QPointF(0, y0), QPointF(box, y0 + box * slope));
            }
        }
    }
    // The boat symbols are painted here rather than moved as one child widget per boat: up to
    // 50 widgets moved every tick would cost more than painting them. The start flags and the
    // finishing list are the map box's own child widgets (StartFlag, FinishList).
    for (int k = 1; k <= std::min(fs.boatCount, kMaxBoats); ++k) {
        const BoatFrame& bf = fs.Boats[k];
        if (!bf.visible || size_[k] <= 0) continue;
        drawBoat(p, centre_[k], size_[k], bf.heading, view.ViewRotation, wind, smallBoat,
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
