// The map's background layer (see backgroundrenderer.h).
#include "ui/display/backgroundrenderer.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QVector>
#include <algorithm>
#include <cmath>
#include <vector>

namespace brisko {

namespace {
constexpr double kPointsToPixels = 96.0 / 72.0;
constexpr double kLabelPoints = 9, kLinePoints = 12, kElapsedPoints = 16;
constexpr double kDotRadius = 3;
constexpr double kLabelDx = 8, kLabelDy = -5, kElapsedDy = -50;
constexpr double kScaleBarLeft = 40, kScaleBarFromBottom = 20, kScaleTick = 5, kScaleLabelGap = 3;
constexpr int kCoastPen = 2;
constexpr QColor kLineYellow{255, 255, 0};

QPointF qp(ScreenPoint s) { return {s.x, s.y}; }

// Whether thin opaque lines may be written straight into the painter's image: a 32-bit image
// painted without transform, clipping or blending. The many track and coastline segments are
// then set pixel by pixel, several times faster than through the paint engine.
QImage* directImage(QPainter& p, const QColor& colour) {
    if (p.device() == nullptr || p.device()->devType() != QInternal::Image) return nullptr;
    auto* img = static_cast<QImage*>(p.device());
    const auto f = img->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 &&
        f != QImage::Format_ARGB32_Premultiplied)
        return nullptr;
    if (!p.transform().isIdentity() || p.hasClipping() || colour.alpha() != 255 ||
        p.compositionMode() != QPainter::CompositionMode_SourceOver || !img->isDetached() ||
        p.opacity() < 1.0)
        return nullptr;
    return img;
}

// Clips the segment a-b to the image (Liang-Barsky) and sets its pixels (Bresenham).
void plotLine(QImage& img, QPoint a, QPoint b, QRgb rgb) {
    const double xmax = img.width() - 1, ymax = img.height() - 1;
    double x0 = a.x(), y0 = a.y(), x1 = b.x(), y1 = b.y();
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    auto clip = [&](double pp, double q) {
        if (pp == 0) return q >= 0;
        const double r = q / pp;
        if (pp < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!clip(-dx, x0) || !clip(dx, xmax - x0) || !clip(-dy, y0) || !clip(dy, ymax - y0)) return;
    int ax = static_cast<int>(std::lround(x0 + t0 * dx)),
        ay = static_cast<int>(std::lround(y0 + t0 * dy));
    const int bx = static_cast<int>(std::lround(x0 + t1 * dx)),
              by = static_cast<int>(std::lround(y0 + t1 * dy));
    const int sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    const int ddx = std::abs(bx - ax), ddy = -std::abs(by - ay);
    int err = ddx + ddy;
    uchar* bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    const int w = img.width(), h = img.height();
    for (;;) {
        if (ax >= 0 && ax < w && ay >= 0 && ay < h)
            reinterpret_cast<QRgb*>(bits + ay * stride)[ax] = rgb;
        if (ax == bx && ay == by) break;
        const int e2 = 2 * err;
        if (e2 >= ddy) {
            err += ddy;
            ax += sx;
        }
        if (e2 <= ddx) {
            err += ddx;
            ay += sy;
        }
    }
}

// Collects polylines in whole pixels, dropping points on the same pixel as the one before, and
// draws them with a thin pen (a 2-pixel pen is drawn as offset 1-pixel passes, which the raster
// engine does far faster than a stroked wide pen).
class PolylineBatch {
public:
    void segment(ScreenPoint a, ScreenPoint b) {
        const QPoint pa = toPixel(a), pb = toPixel(b);
        if (run_.empty())
            run_.push_back(pa);
        else if (run_.back() != pa) {
            breakRun();
            run_.push_back(pa);
        }
        if (pb != run_.back())
            run_.push_back(pb);
        else if (run_.size() == 1)
            run_.push_back(pb);  // a dot still shows
    }
    void point(ScreenPoint a) {
        const QPoint pa = toPixel(a);
        if (run_.empty() || run_.back() != pa) run_.push_back(pa);
    }
    void breakRun() {
        if (run_.size() >= 2) runs_.push_back(std::move(run_));
        run_.clear();
    }
    void draw(QPainter& p, const QColor& colour, int penWidth, bool dashed = false) {
        breakRun();
        const QPoint offsets[] = {{0, 0}, {1, 0}, {0, 1}};
        const int passes = penWidth >= 2 ? 3 : 1;
        QImage* img = dashed ? nullptr : directImage(p, colour);
        if (img) {
            const QRgb rgb = colour.rgb();
            for (int k = 0; k < passes; ++k)
                for (const auto& r : runs_)
                    for (size_t i = 1; i < r.size(); ++i)
                        plotLine(*img, r[i - 1] + offsets[k], r[i] + offsets[k], rgb);
            runs_.clear();
            return;
        }
        p.setPen(QPen(colour, 1, dashed ? Qt::DashLine : Qt::SolidLine));
        for (int k = 0; k < passes; ++k) {
            if (k > 0) {
                p.save();
                p.translate(offsets[k]);
            }
            for (const auto& r : runs_) p.drawPolyline(r.data(), static_cast<int>(r.size()));
            if (k > 0) p.restore();
        }
        runs_.clear();
    }

private:
    static QPoint toPixel(ScreenPoint s) {
        // Far-off points are held well outside the box so the integer conversion stays defined.
        constexpr double kLimit = 1e6;
        return {static_cast<int>(std::floor(std::clamp(s.x, -kLimit, kLimit) + 0.5)),
                static_cast<int>(std::floor(std::clamp(s.y, -kLimit, kLimit) + 0.5))};
    }
    std::vector<QPoint> run_;
    std::vector<std::vector<QPoint>> runs_;
};

// Draws text with its left edge and top at (x, y).
void textAt(QPainter& p, double x, double y, const QString& text) {
    const QFontMetricsF fm(p.font());
    p.drawText(QPointF(x, y + fm.ascent()), text);
}
}  // namespace


QFont BackgroundRenderer::labelFont(double points, double fontScale) {
    QFont f;
    const double scale = (fontScale > 0 && std::isfinite(fontScale)) ? fontScale : 1;
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(points * scale * kPointsToPixels))));
    return f;
}

void BackgroundRenderer::drawBackground(QPainter& p, const RaceScene& scene) {
    if (!scene.view || !scene.options) return;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRectF(0, 0, view.MapSize, view.MapSize), toQColor(opt.SeaColour));
    const ScaleStep step = view.scaleStep();
    const QColor ink = toQColor(opt.InkColour);
    if (opt.MapOn) drawCoastline(p, scene.coast, view, ink, kCoastPen, view.MapSize, view.MapSize);
    if (opt.AutoTrace) drawGrid(p, view, step.pixels);
    if (opt.WakeOn && !opt.AutoTrace && scene.tracks)
        drawTracks(p, *scene.tracks, opt, view, scene.periodFrom(), scene.periodTo(), false);
    drawScaleBar(p, view, ink, opt.FontScale);
    p.restore();
}

void BackgroundRenderer::drawCoastline(QPainter& p, const CoastPoints& coast, const MapView& view,
                                       const QColor& ink, int penWidth, double width,
                                       double height) {
    const int n = std::min<int>(coast.count,
                                static_cast<int>(std::min(coast.lat.size(), coast.lon.size())) - 1);
    if (n < 1) return;
    auto inside = [&](const ScreenPoint& s) {
        return s.x > 0 && s.x < width && s.y > 0 && s.y < height;
    };
    // Runs of consecutive drawn segments become one polyline; points falling on the pixel of
    // the point before are left out (dense coastlines have many per pixel at a wide view).
    PolylineBatch batch;
    ScreenPoint prev{};
    bool prevIn = false;
    const bool flagged = coast.start.size() > static_cast<size_t>(n);
    for (int i = 1; i <= n; ++i) {
        // A polyline's first point has its latitude stored negated; no segment leads to it.
        // Without start flags (northern data only) a latitude not above 0 marks it.
        const bool start = flagged ? coast.start[i] != 0 : !(coast.lat[i] > 0);
        const double lat =
            flagged ? (start ? -coast.lat[i] : coast.lat[i]) : std::fabs(coast.lat[i]);
        const ScreenPoint cur = view.toScreen(lat, coast.lon[i]);
        const bool curIn = inside(cur);
        if (!start && i > 1 && (prevIn || curIn))
            batch.segment(prev, cur);
        else
            batch.breakRun();
        prev = cur;
        prevIn = curIn;
    }
    batch.breakRun();
    batch.draw(p, ink, penWidth);
}

void BackgroundRenderer::drawGrid(QPainter& p, const MapView& view, double step) {
    if (!(step >= 1) || !std::isfinite(step)) return;  // a step under a pixel would fill the box
    const double size = view.MapSize;
    const ScreenPoint g = view.toScreen(view.GridAnchorLat, view.GridAnchorLon);
    QVector<QLineF> lines;
    auto addRange = [&](double anchor, bool horizontal) {
        auto add = [&](double v) {
            lines.append(horizontal ? QLineF(0, v, size, v) : QLineF(v, 0, v, size));
        };
        // Towards the far edge, including the first line at or beyond it.
        if (anchor < size) {
            double v = anchor;
            // Skip the stretch before the box when the anchor lies far above/left of it.
            if (v < 0) v += std::floor(-v / step) * step;
            for (;; v += step) {
                add(v);
                if (v >= size) break;
            }
        }
        // Towards 0, including the first line at or before it.
        if (anchor > 0) {
            double v = anchor - step;
            if (v > size) v -= std::floor((v - size) / step) * step;
            for (;; v -= step) {
                add(v);
                if (v <= 0) break;
            }
        }
    };
    addRange(g.y, true);
    addRange(g.x, false);
    p.setPen(QPen(toQColor(kGridColour), 1));
    p.drawLines(lines);
}

void BackgroundRenderer::trackRange(const TrackStore& tracks, int boat, double periodFrom,
                                    double periodTo, int& first, int& last) {
    first = 1;
    last = 0;
    if (tracks.TrkCount(boat) < 2) return;
    const auto& sec = tracks.boats[boat].TrkSec;
    const int n = std::min(tracks.TrkCount(boat), static_cast<int>(sec.size()) - 1);
    if (n < 2) return;
    const auto begin = sec.begin() + 1, end = sec.begin() + n + 1;
    // The sample whose segment holds a time t: the last sample at or before t.
    auto sampleAt = [&](double t) {
        return static_cast<int>(std::upper_bound(begin, end, t) - sec.begin()) - 1;
    };
    if (periodFrom >= sec[n]) {  // the period starts after the track: nothing
        first = n;
        last = n - 1;
        return;
    }
    first = std::max(1, sampleAt(periodFrom));  // a track starting later is drawn from sample 1
    // The period's end within a segment draws that segment; past the track's end the whole rest.
    last = periodTo >= sec[n] ? n : sampleAt(periodTo);
}

void BackgroundRenderer::drawTracks(QPainter& p, const TrackStore& tracks,
                                    const DisplayOptions& options, const MapView& view,
                                    double periodFrom, double periodTo, bool allBoats) {
    for (int b = 1; b <= std::min(tracks.boatCount(), kMaxBoats); ++b) {
        if (!allBoats && !options.shown(b)) continue;
        int s = 1, e = 0;
        if (allBoats)
            e = tracks.TrkCount(b);
        else
            trackRange(tracks, b, periodFrom, periodTo, s, e);
        if (e <= s) continue;
        PolylineBatch batch;
        const BoatTrack& t = tracks.boats[b];
        e = std::min(e, static_cast<int>(std::min(t.TrkLat.size(), t.TrkLon.size())) - 1);
        for (int i = s; i <= e; ++i) batch.point(view.toScreen(t.TrkLat[i], t.TrkLon[i]));
        // A track in the coastline's colour (the black boat on the light sea) is dashed, so
        // that it does not read as coast.
        const Rgb c = options.BoatColour[b], ink = options.InkColour;
        const int nearInk = std::abs(c.r - ink.r) + std::abs(c.g - ink.g) + std::abs(c.b - ink.b);
        constexpr int kSameAsInk = 96;
        batch.draw(p, toQColor(c), 1, nearInk < kSameAsInk);
    }
}

void BackgroundRenderer::drawScaleBar(QPainter& p, const MapView& view, const QColor& ink,
                                      double fontScale) {
    const ScaleStep step = view.scaleStep();
    const double x1 = kScaleBarLeft, x2 = kScaleBarLeft + step.pixels + 1;
    const double y = view.MapSize - kScaleBarFromBottom;
    p.setPen(QPen(ink, 1));
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    for (int j = 0; j <= step.digit; ++j) {
        const double x = x1 + j * (x2 - x1) / step.digit;
        p.drawLine(QPointF(x, y - kScaleTick), QPointF(x, y));
    }
    p.setFont(labelFont(kLabelPoints, fontScale));
    const QString label = QString::fromStdString(step.label);
    const double w = QFontMetricsF(p.font()).horizontalAdvance(label);
    textAt(p, (x1 + x2) / 2 - w / 2, y + kScaleLabelGap, label);
}

QColor BackgroundRenderer::layLineColour(Rgb sea) {
    // Lavender shows on the darker seas; on the light cyan it has almost no contrast.
    const double luminance = 0.299 * sea.r + 0.587 * sea.g + 0.114 * sea.b;
    constexpr double kLightSea = 150;
    return luminance > kLightSea ? QColor(64, 64, 192) : toQColor(kLayLineColour);
}

void BackgroundRenderer::drawLayLines(QPainter& p, const MapView& view, QPointF from,
                                      double windDir, double angleHalf, bool downwindSet,
                                      const QColor& colour) {
    const double len = view.PxPerMinLat * view.TrackSpan / 2;
    const double centre = downwindSet ? windDir : windDir + 180;
    const double bearings[3] = {centre, windDir + 180 - angleHalf, windDir + 180 + angleHalf};
    p.setPen(QPen(colour, 1));
    for (double b : bearings) {
        const ScreenPoint end = view.alongBearing({from.x(), from.y()}, b, len);
        p.drawLine(from, qp(end));
    }
}

QColor BackgroundRenderer::timeMarkColour(int minuteIndex) {
    static const QColor cycle[] = {QColor(255, 0, 0),   QColor(255, 255, 255), QColor(0, 0, 255),
                                   QColor(255, 255, 0), QColor(0, 255, 0),     QColor(0, 0, 0)};
    constexpr int n = sizeof cycle / sizeof cycle[0];
    return cycle[((minuteIndex % n) + n) % n];
}

void BackgroundRenderer::drawTimeMarks(QPainter& p, const RaceScene& scene) {
    if (!scene.ready()) return;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    const TrackStore& tracks = *scene.tracks;
    const double from = scene.periodFrom(), to = scene.periodTo();
    if (!std::isfinite(from) || !std::isfinite(to) || to < from) return;
    constexpr double kMinute = 60, kMarkRadius = 4;
    constexpr int kMaxMarksPerBoat = 100000;  // a period of more than two months is cut short
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int b = 1; b <= std::min(tracks.boatCount(), kMaxBoats); ++b) {
        if (!opt.shown(b)) continue;
        if (tracks.TrkCount(b) < 2) continue;
        const auto& sec = tracks.boats[b].TrkSec;
        const int n = std::min(tracks.TrkCount(b), static_cast<int>(sec.size()) - 1);
        if (n < 2) continue;
        p.setPen(QPen(toQColor(opt.BoatColour[b]), 1));
        int idx = 0;
        for (double t = from; t <= to && idx < kMaxMarksPerBoat; t = from + kMinute * ++idx) {
            const auto it = std::upper_bound(sec.begin() + 1, sec.begin() + n + 1, t);
            const int i = static_cast<int>(it - sec.begin()) - 1;
            if (i < 1 || i > n - 1) continue;  // no segment holds this minute
            const double f = (t - sec[i]) / (sec[i + 1] - sec[i]);
            const double lat =
                tracks.TrkLat(b, i) + f * (tracks.TrkLat(b, i + 1) - tracks.TrkLat(b, i));
            const double lon =
                tracks.TrkLon(b, i) + f * (tracks.TrkLon(b, i + 1) - tracks.TrkLon(b, i));
            p.setBrush(timeMarkColour(idx));
            p.drawEllipse(qp(view.toScreen(lat, lon)), kMarkRadius, kMarkRadius);
        }
    }
    p.restore();
}

void BackgroundRenderer::drawMarksAndLines(QPainter& p, const RaceScene& scene) {
    if (!scene.view || !scene.options || !scene.race) return;
    const MapView& view = *scene.view;
    const DisplayOptions& opt = *scene.options;
    const RaceDefinition& race = *scene.race;
    const QColor layColour = layLineColour(opt.SeaColour);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor ink = toQColor(opt.InkColour);
    const double wind = scene.windDirNow();

    // The course entry rounded last by the leader, shown in auto trace.
    CourseTarget lastRounded{};
    bool showElapsed = false;
    const int lastIndex = scene.clock ? scene.clock->LastRoundedIndex : 0;
    const std::string lastText = scene.clock ? scene.clock->LastRoundedText : std::string();
    if (opt.AutoTrace && lastIndex >= 1 && lastIndex <= kMaxCourse &&
        lastIndex <= race.CourseCount && !lastText.empty()) {
        lastRounded = resolveCourseEntry(race.Course[lastIndex]);
        showElapsed = lastRounded.number > 0;
    }
    auto elapsed = [&](QPointF at, bool isLine, int number) {
        if (!showElapsed || lastRounded.isLine != isLine || lastRounded.number != number) return;
        p.setFont(labelFont(kElapsedPoints, opt.FontScale));
        p.setPen(QColor(255, 0, 0));
        const QString text = QString::fromStdString(lastText);
        const double w = QFontMetricsF(p.font()).horizontalAdvance(text);
        textAt(p, at.x() - w / 2, at.y() + kElapsedDy, text);
    };
    auto dot = [&](QPointF at, const QColor& outline) {
        p.setPen(QPen(outline, 1));
        p.setBrush(kLineYellow);
        p.drawEllipse(at, kDotRadius, kDotRadius);
        p.setBrush(Qt::NoBrush);
    };

    const int marks = std::clamp(race.MarkCount, 0, kMaxMarks);
    for (int i = 1; i <= marks; ++i) {
        const QPointF pt = qp(view.toScreen(race.Marks[i].MarkLat, race.Marks[i].MarkLon));
        if (opt.LayLines) {
            drawLayLines(p, view, pt, wind, race.UpwindLayAngle, false, layColour);
            drawLayLines(p, view, pt, wind, race.DownwindLayAngle, true, layColour);
        }
        dot(pt, opt.LayLines ? layColour : QColor(Qt::black));
        p.setFont(labelFont(kLabelPoints, opt.FontScale));
        p.setPen(ink);
        textAt(p, pt.x() + kLabelDx, pt.y() + kLabelDy, QStringLiteral("MK%1").arg(i));
        elapsed(pt, false, i);
    }
    const int lines = std::clamp(race.LineCount, 0, kMaxLines);
    for (int i = 1; i <= lines; ++i) {
        const LineEntry& l = race.Lines[i];
        const QPointF a = qp(view.toScreen(l.LineLat1, l.LineLon1));
        const QPointF b = qp(view.toScreen(l.LineLat2, l.LineLon2));
        p.setPen(QPen(kLineYellow, 1));
        p.drawLine(a, b);
        if (opt.LayLines) {
            drawLayLines(p, view, a, wind, race.UpwindLayAngle, false, layColour);
            drawLayLines(p, view, b, wind, race.UpwindLayAngle, false, layColour);
            p.setPen(QPen(kLineYellow, 1));
            p.drawLine(a, b);
        }
        dot(a, kLineYellow);
        dot(b, kLineYellow);
        p.setFont(labelFont(kLinePoints, opt.FontScale));
        p.setPen(ink);
        textAt(p, a.x() + kLabelDx, a.y() + kLabelDy, QStringLiteral("L%1").arg(i));
        elapsed(a, true, i);
    }
    p.restore();
}

}  // namespace brisko
