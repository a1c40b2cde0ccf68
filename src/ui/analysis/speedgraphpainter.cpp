// The speed and course graph, the wind strip chart and the time bar strip; see
// speedgraphpainter.h.
#include "ui/analysis/speedgraphpainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "ui/display/framerenderer.h"
#include "ui/widgets/colour.h"
#include "util/angles.h"

namespace brisko {

namespace {
const QColor kGreen(0, 255, 0);
constexpr int kDirGridLines = 36;    // every 10 degrees
constexpr int kSpeedGridLines = 10;  // knots of boat speed
constexpr double kFiveMinutes = 300;

void textCentre(QPainter& p, double x, double y, const QString& t) {
    p.drawText(QRectF(x - 1000, y, 2000, 200), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               t);
}

bool drawnTime(double t, double raceSeconds) { return t >= -kPreStartShown && t < raceSeconds; }

// Adds a point unless it falls on the same pixel as the last one: a 2-hour log has several
// samples per pixel row, and the line drawn through them is the same without the repeats.
void addPoint(QPolygonF& line, QPointF pt) {
    if (!line.isEmpty()) {
        const QPointF& last = line.back();
        if (std::lround(last.x()) == std::lround(pt.x()) &&
            std::lround(last.y()) == std::lround(pt.y()))
            return;
    }
    line << pt;
}
}  // namespace

SpeedGraphScale speedGraphScaleFor(const RaceDefinition& race, double height) {
    double plus = race.RaceSecondsPlus, secs = race.RaceSeconds;
    if (plus <= 0) plus = secs + 240;
    return speedGraphScale(height, secs, plus, race.MeanWindDir);
}

void drawSpeedGraph(QPainter& p, const SpeedGraphInput& in, const SpeedGraphScale& s, QSize size) {
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    if (!in.race || !in.tracks) return;
    p.setFont(in.font);
    const QFontMetricsF fm(in.font);
    const double lh = fm.height();
    const double H = size.height();
    const double bottom = s.panelBottom();
    const bool wind = in.hasWind && in.wind && in.wind->WindCount > 0;
    const RaceDefinition& race = *in.race;

    // Panels, and the replay period when the user narrowed it.
    p.fillRect(
        QRectF(kDirPanelLeft, kGraphMargin, kDirPanelRight - kDirPanelLeft, bottom - kGraphMargin),
        Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(
        QRectF(kDirPanelLeft, kGraphMargin, kDirPanelRight - kDirPanelLeft, bottom - kGraphMargin));
    p.drawRect(QRectF(kSpeedPanelLeft, kGraphMargin, kSpeedPanelRight - kSpeedPanelLeft,
                      bottom - kGraphMargin));
    if (in.periodLimited && s.PxPerSecond > 0) {
        const QColor outside(236, 236, 236);
        const double yTo = std::clamp(s.yForTime(in.periodTo), kGraphMargin, bottom);
        const double yFrom = std::clamp(s.yForTime(in.periodFrom), kGraphMargin, bottom);
        for (double l : {kDirPanelLeft + 1, kSpeedPanelLeft + 1}) {
            const double w = (l < kSpeedPanelLeft ? kDirPanelRight : kSpeedPanelRight) - l;
            p.fillRect(QRectF(l, kGraphMargin + 1, w, yTo - kGraphMargin - 1), outside);
            p.fillRect(QRectF(l, yFrom, w, bottom - yFrom), outside);
        }
    }

    // Titles.
    p.setPen(Qt::black);
    textCentre(p, (kDirPanelLeft + kDirPanelRight) / 2, std::max(0.0, kGraphMargin - lh - 2),
               wind ? QStringLiteral("BCO (Mag) & TWD(Mag) ") : QStringLiteral("BCO (Mag)"));
    textCentre(p, (kSpeedPanelLeft + kSpeedPanelRight) / 2, std::max(0.0, kGraphMargin - lh - 2),
               wind ? QStringLiteral("BSP & TWS") : QStringLiteral("BSP"));
    if (!(s.PxPerSecond > 0)) return;

    // Wind speed, filled from the panel's left edge.
    if (wind) {
        const WindStore& w = *in.wind;
        const int n = std::min<int>(w.WindCount, static_cast<int>(w.WindSec.size()) - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 225, 225));
        for (int i = 2; i <= n; ++i) {
            const QPointF a(kSpeedPanelLeft + kWindSpeedPx * w.WindSpeed[i - 1],
                            s.yForTime(w.WindSec[i - 1]));
            const QPointF z(kSpeedPanelLeft + kWindSpeedPx * w.WindSpeed[i],
                            s.yForTime(w.WindSec[i]));
            if (!(a.y() < bottom)) continue;
            const QPointF quad[] = {z, a, {kSpeedPanelLeft, a.y()}, {kSpeedPanelLeft, z.y()}};
            p.drawPolygon(quad, 4);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QColor(255, 128, 128));
        for (int i = 2; i <= n; ++i) {
            const double ya = s.yForTime(w.WindSec[i - 1]);
            if (!(ya < bottom)) continue;
            p.drawLine(
                QPointF(kSpeedPanelLeft + kWindSpeedPx * w.WindSpeed[i - 1], ya),
                QPointF(kSpeedPanelLeft + kWindSpeedPx * w.WindSpeed[i], s.yForTime(w.WindSec[i])));
        }
    }

    // Direction grid every 10 degrees, labelled every 30.
    for (int k = 0; k < kDirGridLines; ++k) {
        const double x = s.xForDirection(10.0 * k);
        p.setPen(k % 3 == 0 ? QColor(96, 96, 255) : QColor(192, 192, 192));
        p.drawLine(QPointF(x, kGraphMargin), QPointF(x, bottom));
        if (k % 3 == 0) {
            p.setPen(Qt::black);
            textCentre(p, x, bottom + 4, QString::number(10 * k));
        }
    }
    // Speed grid: boat speed in knots, wind speed (twice as many knots) below it.
    for (int k = 0; k <= kSpeedGridLines; ++k) {
        const double x = kSpeedPanelLeft + kBoatSpeedPx * k;
        p.setPen(k % 5 == 0 ? QColor(128, 255, 128) : QColor(192, 192, 192));
        p.drawLine(QPointF(x, kGraphMargin), QPointF(x, bottom));
        p.setPen(Qt::black);
        textCentre(p, x, bottom + 4, QString::number(k));
        p.setPen(QColor(255, 128, 128));
        textCentre(p, x, bottom + 4 + lh, QString::number(2 * k));
    }
    // Time grid every five minutes; a label only where it clears the one above it.
    double lastLabelTop = 1e9;
    const int lines = static_cast<int>(std::floor(s.RaceSeconds / kFiveMinutes));
    for (int m = 0; m <= lines; ++m) {
        const double y = s.yForTime(kFiveMinutes * m);
        p.setPen(toQColor(graphTimeLineColour(m)));
        p.drawLine(QPointF(kDirPanelLeft + 1, y), QPointF(kDirPanelRight - 1, y));
        p.drawLine(QPointF(kSpeedPanelLeft + 1, y), QPointF(kSpeedPanelRight - 1, y));
        const double top = y - lh / 2;
        if (top + lh <= lastLabelTop) {
            p.setPen(Qt::black);
            p.drawText(QRectF(0, top, kDirPanelLeft - 2, lh), Qt::AlignRight | Qt::AlignVCenter,
                       QString::fromStdString(graphTimeLabel(m)));
            lastLabelTop = top;
        }
    }

    // Boats, the last first so that boat 1 lies on top.
    const TrackStore& t = *in.tracks;
    QPolygonF course, speed;
    for (int b = std::min(in.boats, t.boatCount()); b >= 1; --b) {
        if (!in.options || !in.options->shown(b)) continue;
        course.clear();
        speed.clear();
        const int n = t.TrkCount(b);
        for (int i = 1; i <= n; ++i) {
            const double sec = t.TrkSec(b, i);
            if (!drawnTime(sec, s.RaceSeconds)) continue;
            const double y = s.yForTime(sec);
            addPoint(course,
                     QPointF(s.xForDirection(t.TrkCourse(b, i) - race.MagneticVariation), y));
            addPoint(speed, QPointF(kSpeedPanelLeft + kBoatSpeedPx * t.TrkSpeed(b, i), y));
        }
        p.setPen(toQColor(in.options->BoatColour[static_cast<size_t>(b)]));
        p.drawPolyline(course);
        p.drawPolyline(speed);
    }

    // Wind direction and its reciprocal.
    if (wind) {
        const WindStore& w = *in.wind;
        const int n = std::min<int>(w.WindCount, static_cast<int>(w.WindSec.size()) - 1);
        for (int pass = 0; pass < 2; ++pass) {
            p.setPen(pass == 0 ? QColor(Qt::black) : QColor(128, 128, 128));
            QPolygonF line;
            for (int i = 1; i <= n; ++i) {
                if (!drawnTime(w.WindSec[i], s.RaceSeconds)) continue;
                line << QPointF(s.xForDirection(w.WindDir[i] + 180 * pass),
                                s.yForTime(w.WindSec[i]));
            }
            p.drawPolyline(line);
        }
    }

    // A wind estimated from the fleet's tacks and gybes: dashed, in its own colour, and named,
    // so that it is never taken for a measured one.
    if (in.coach && in.coach->wind.source == WindSource::Estimated) {
        p.save();
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen dashed(kEstimatedWindColour, 2, Qt::DashLine);
        dashed.setCapStyle(Qt::FlatCap);
        p.setPen(dashed);
        for (const auto& run : windDirectionRuns(in.coach->wind, race.MagneticVariation, s)) {
            QPolygonF line;
            for (const GraphPoint& g : run) line << QPointF(g.x, g.y);
            p.drawPolyline(line);
        }
        // The name on white at the panel's top right, clear of the boats' lines under it.
        const QString label = QStringLiteral("TWD (Mag) ") + in.estimatedLabel;
        const double w = fm.horizontalAdvance(label) + 6;
        const QRectF box(kDirPanelRight - 2 - w, kGraphMargin + 2, w, lh + 2);
        p.fillRect(box, Qt::white);
        p.setPen(kEstimatedWindColour);
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, label);
        p.restore();
    }

    // The shown boats' manoeuvres on the time axis, inside the left edge of both panels.
    if (in.coach && in.options) {
        const double half = kManoeuvreTickSize / 2;
        for (const ManoeuvreTick& t : manoeuvreTicks(*in.coach, *in.options, in.boats, s)) {
            if (!(t.y < bottom)) continue;
            ManoeuvreMark mark;
            mark.kind = t.kind;
            mark.y = t.y;
            const QColor colour = toQColor(in.options->BoatColour[static_cast<size_t>(t.boat)]);
            for (double left : {kDirPanelLeft, kSpeedPanelLeft}) {
                mark.x = left + half + 1;
                FrameRenderer::drawManoeuvreMark(p, mark, colour, kManoeuvreTickSize);
            }
        }
    }

    // Start and finish.
    p.setPen(kGreen);
    for (double t0 : {0.0, s.RaceSeconds}) {
        const double y = s.yForTime(t0);
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    }
    (void)H;
}

void drawWindStrip(QPainter& p, const WindStore& wind, const RaceDefinition& race, int width,
                   const QFont& font) {
    const double W = width, H = width;
    p.fillRect(QRectF(0, 0, W, H), QColor(0, 0, 96));
    p.fillRect(QRectF(5, 15, W - 10, H - 20), QColor(225, 225, 0));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(30, 0, W - 30, 15), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("TWD (mag)"));
    double plus = race.RaceSecondsPlus;
    if (plus <= 0) plus = race.RaceSeconds + 240;
    const WindStripScale s = windStripScale(wind, W, H, plus);
    p.save();
    p.setClipRect(QRectF(5, 15, W - 10, H - 20));
    // Grid every 10 degrees.
    p.setPen(Qt::white);
    for (int k = 0; k < kDirGridLines; ++k) {
        const double x = s.xForDirection(10.0 * k);
        if (x > 4 && x < W - 5) p.drawLine(QPointF(x, 16), QPointF(x, H - 5));
    }
    p.setPen(QColor(0, 0, 255));
    const int n = std::min<int>(wind.WindCount, static_cast<int>(wind.WindSec.size()) - 1);
    QPointF prev;
    bool havePrev = false;
    for (int i = 1; i <= n; ++i) {
        const QPointF pt(s.xForDirection(wind.WindDir[i]),
                         15 + s.yScale * (race.RaceSeconds - wind.WindSec[i]));
        if (wind.WindSec[i] >= -kPreStartShown && wind.WindSec[i] < race.RaceSeconds && havePrev)
            p.drawLine(prev, pt);
        prev = pt;
        havePrev = pt.x() > 0;
    }
    p.restore();
    p.setPen(kGreen);
    for (double y : {15 + s.yScale * race.RaceSeconds, 25.0})
        p.drawLine(QPointF(0, y), QPointF(W, y));
}

void drawTimeBarStrip(QPainter& p, const TrackStore& tracks, const RaceDefinition& race,
                      const TimeBarScale& scale, QSize size) {
    const double finish = scale.yForTime(scale.RaceSeconds);
    const double top = finish + 20;
    if (tracks.boatCount() >= 1) {
        const int n = tracks.TrkCount(1);
        for (int i = 2; i <= n; ++i) {
            const double y = scale.yForTime(tracks.TrkSec(1, i));
            if (!std::isfinite(y)) continue;
            const bool down = sailingDownwind(race.MeanWindDir, tracks.TrkCourse(1, i));
            p.fillRect(QRectF(QPointF(8, std::min(y, top)), QPointF(20, std::max(y, top))),
                       down ? QColor(255, 255, 255) : QColor(192, 192, 192));
        }
    }
    p.setPen(QPen(kGreen, 1));
    for (double y : {scale.yForTime(0), finish})
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
}

}  // namespace brisko
