// The data view's tables, difference charts and factor analysis; see legviewpainter.h.
#include "ui/analysis/legviewpainter.h"
#include "ui/widgets/colour.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "analysis/tabletext.h"
#include "util/numbers.h"

namespace brisko {

namespace {
constexpr double kNameLeft = 8;
constexpr double kTitleX = 120, kTitleY = 45;
constexpr double kFactorTitleY = 25;
constexpr double kColumnGap = 6;  // pixels between neighbouring texts
constexpr double kLegGap = 47;    // between the cumulative table's last column and the legs
constexpr double kChartGap = 20;  // between the rows and the charts
constexpr double kPlotTop = 25, kPlotBottom = 310, kChartLabelY = 316;
constexpr double kFactorRowPitch = 36;
constexpr double kLegendSwatch = 40;
const QColor kPaleCyan(192, 255, 255);
const QColor kDarkRed(192, 0, 0);

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Texts placed by their top: left-aligned at x, right-aligned ending at x, or centred on x.
void textLeft(QPainter& p, double x, double y, const QString& t) {
    p.drawText(QRectF(x, y, 4000, 200), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, t);
}
void textRight(QPainter& p, double x, double y, const QString& t) {
    p.drawText(QRectF(x - 4000, y, 4000, 200), Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
               t);
}
void textCentre(QPainter& p, double x, double y, const QString& t) {
    p.drawText(QRectF(x - 2000, y, 4000, 200), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
               t);
}

QString entryName(const LegViewInput& in, int k) {
    return qs(std::string(trimBlanks(in.race->Course[static_cast<size_t>(k)])));
}
QString boatName(const LegViewInput& in, int b) {
    return b <= kMaxBoats ? qs(in.race->Boats[static_cast<size_t>(b)].BoatName) : QString();
}
bool ticked(const LegViewInput& in, int b) { return in.options && in.options->shown(b); }
QColor boatColour(const LegViewInput& in, int b) {
    return in.options ? toQColor(in.options->BoatColour[static_cast<size_t>(b)]) : QColor(Qt::black);
}

QString nameHeader(bool en) {
    return en ? QStringLiteral("   Boat Name") : QStringLiteral("　　　艇　名");
}

double colEnd(const LegViewLayout& l, int k) { return l.colWidth * k + l.nameRight - 7; }
double legEnd(const LegViewLayout& l, int k) {
    return l.legX0 + l.colWidth * (k - 2) + std::max(30.0, l.cellWidth);
}

struct FactorTexts {
    QString title, time, dist, speed, total;
};
FactorTexts factorTexts(bool en) {
    if (en)
        return {QStringLiteral("<Speed and Dist factor>  <Time＝Dist/SPD>"),
                QStringLiteral("= elapse time by each leg : %  <lesser the better>  (best "
                               "boat＝100%)"),
                QStringLiteral("= Ratio of sailed dist : %  <shorter the better>"),
                QStringLiteral("= Ratio of boat speed : %  <faster the better>"),
                QStringLiteral("TTL")};
    return {
        QStringLiteral("<速度、帆走距離の要因分析>  <時間＝距離／速度>"),
        QStringLiteral("= レグ毎の所要時間比率 : %    <少ないほど良い>　（ベストタイム艇＝100%）"),
        QStringLiteral("= レグ毎帆走距離比率:％  　  <少ないほど良い>"),
        QStringLiteral("= レグ毎の速度比率:％　　　　<大きいほど良い>"), QStringLiteral("総合")};
}

// One difference chart: background, grid, columns and the boats' curves.
void drawChart(QPainter& p, const LegViewInput& in, const LegViewLayout& l, const LegTable& t,
               bool byLeg) {
    const bool speed = t.kind == TableKind::Speed;
    const int n = t.columns;
    const double left = byLeg ? l.legChartLeft : 0;
    const double plotLeft = left + (byLeg ? l.legAxis : l.cumAxis);
    const int firstCol = byLeg ? 2 : 1;
    const double plotWidth = l.colWidth * (byLeg ? n - 1 : n);
    auto xOf = [&](int k) { return plotLeft + l.colWidth * (byLeg ? k - 1 : k) - 20; };
    const ChartScale& s = byLeg ? t.legScale : t.cumScale;
    const double zero = speed ? kChartTopLine : kChartBottomLine;

    p.setPen(kDarkRed);
    textLeft(p, left + 50, 10 - l.lineHeight / 2,
             qs(byLeg ? legChartTitle(t.kind, in.english) : cumChartTitle(t.kind, in.english)));
    p.fillRect(QRectF(plotLeft, kPlotTop, plotWidth, kPlotBottom - kPlotTop), kPaleCyan);
    for (int g = 0; g <= s.steps; ++g) {
        const double y = zero + (speed ? 1 : -1) * s.pxPerUnit * s.unit * g;
        p.setPen(Qt::white);
        p.drawLine(QPointF(plotLeft, y), QPointF(plotLeft + plotWidth, y));
        p.setPen(Qt::black);
        textRight(p, plotLeft - 5, y - l.lineHeight / 2, qs(chartGridLabel(s, g)));
    }
    for (int k = firstCol; k <= n; ++k) {
        p.setPen(Qt::white);
        p.drawLine(QPointF(xOf(k), kPlotTop), QPointF(xOf(k), kPlotBottom));
        p.setPen(Qt::black);
        textCentre(p, xOf(k), kChartLabelY, entryName(in, k));
    }
    // Curves, boat 1 last so that it lies on top; ticked boats in a wide pen.
    p.save();
    p.setClipRect(QRectF(plotLeft - 3, kPlotTop - 3, plotWidth + 6, kPlotBottom - kPlotTop + 6));
    const CellGrid& ys = byLeg ? t.legY : t.cumY;
    const auto& joined = byLeg ? t.legJoined : t.cumJoined;
    for (int b = std::min(in.boats, t.boats); b >= 1; --b) {
        const QColor c = boatColour(in, b);
        p.setPen(QPen(c, ticked(in, b) ? 4 : 1));
        p.setBrush(c);
        for (int k = firstCol + 1; k <= n; ++k) {
            if (!joined[b][k] || !ys[b][k] || !ys[b][k - 1]) continue;
            const QPointF a(xOf(k - 1), *ys[b][k - 1]), z(xOf(k), *ys[b][k]);
            if (!std::isfinite(a.y()) || !std::isfinite(z.y())) continue;
            p.drawLine(a, z);
            p.drawEllipse(a, 2, 2);
            p.drawEllipse(z, 2, 2);
        }
    }
    p.restore();
    p.setBrush(Qt::NoBrush);
}

void drawTables(QPainter& p, const LegViewInput& in, const LegViewLayout& l) {
    const LegTable t = buildLegTable(in.kind, *in.roundings);
    const int n = l.columns;
    const int rows = std::min(in.boats, t.boats);
    p.setPen(kDarkRed);
    textLeft(p, kTitleX, kTitleY, qs(cumTableTitle(in.kind, in.english)));
    textLeft(p, l.legX0 + 20, kTitleY, qs(legTableTitle(in.kind, in.english)));
    p.setPen(Qt::black);
    textLeft(p, 15, l.headerY, nameHeader(in.english));
    for (int k = 1; k <= n; ++k) textRight(p, colEnd(l, k), l.headerY, entryName(in, k));
    for (int k = 2; k <= n; ++k)
        textLeft(p, l.legX0 + l.colWidth * (k - 2), l.headerY,
                 QStringLiteral(">") + entryName(in, k));

    for (int b = 1; b <= rows; ++b) {
        const double y = l.headerY + l.rowPitch * b;
        const QRectF swatch(kNameLeft, y - 1, l.nameRight - kNameLeft, l.rowPitch - 1);
        p.fillRect(swatch, boatColour(in, b));
        p.setPen(Qt::white);
        p.drawText(swatch.adjusted(2, 0, 0, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, boatName(in, b));
        if (ticked(in, b)) {
            p.fillRect(QRectF(colEnd(l, 1) - l.cellWidth - 3, y - 1,
                              colEnd(l, n) - colEnd(l, 1) + l.cellWidth + 6, l.rowPitch - 4),
                       kPaleCyan);
            if (n >= 2)
                p.fillRect(QRectF(l.legX0 - 3, y - 1, legEnd(l, n) - l.legX0 + 6, l.rowPitch - 4),
                           kPaleCyan);
        }
        for (int k = 1; k <= n; ++k) {
            p.setPen(toQColor(cumCellColour(t, b, k)));
            textRight(p, colEnd(l, k), y, qs(cellText(t.cum[b][k])));
        }
        for (int k = 2; k <= n; ++k) {
            p.setPen(toQColor(legCellColour(t, b, k)));
            textRight(p, legEnd(l, k), y, qs(cellText(t.leg[b][k])));
        }
    }

    p.save();
    p.translate(0, l.chartTop);
    drawChart(p, in, l, t, false);
    if (n >= 2) drawChart(p, in, l, t, true);
    p.restore();
}

double factorRowTop(const LegViewLayout& l, int b) {
    return l.headerY + l.lineHeight + 5 + kFactorRowPitch * (b - 1);
}

void drawFactor(QPainter& p, const LegViewInput& in, const LegViewLayout& l) {
    const FactorTable f = buildFactorTable(*in.roundings);
    const FactorTexts tx = factorTexts(in.english);
    const int n = l.columns;
    const double pitch = 2 * l.colWidth;
    const double dx = l.nameRight - 100;
    auto base = [&](int k) { return pitch * k + 93 + dx; };

    p.setPen(kDarkRed);
    textLeft(p, kTitleX, kFactorTitleY, tx.title);
    const double legendStep = std::max(20.0, l.lineHeight + 3);
    const QColor swatches[] = {Qt::black, Qt::red, Qt::blue};
    const QString texts[] = {tx.time, tx.dist, tx.speed};
    for (int i = 0; i < 3; ++i) {
        const double y = kFactorTitleY + legendStep * (i + 1);
        p.fillRect(QRectF(50, y, kLegendSwatch, 10), swatches[i]);
        textLeft(p, 100, y - (l.lineHeight - 10) / 2, texts[i]);
    }
    p.setPen(Qt::black);
    textLeft(p, 15, l.headerY, nameHeader(in.english));
    for (int k = 1; k <= n; ++k)
        textRight(p, base(k), l.headerY, k == 1 ? tx.total : entryName(in, k));

    const int rows = std::min(in.boats, f.boats);
    for (int b = 1; b <= rows; ++b) {
        const double y = factorRowTop(l, b);
        const QColor c = boatColour(in, b);
        p.setPen(c);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(kNameLeft, y - 1, l.nameRight - kNameLeft, 32));
        textLeft(p, kNameLeft + 2, y, boatName(in, b));
        if (ticked(in, b))
            p.fillRect(QRectF(l.nameRight + 25, y - 1, base(n) + 62 - l.nameRight - 25, 32),
                       kPaleCyan);
        for (int k = 1; k <= n; ++k) {
            const auto& cell = f.cells[b][k];
            const double x = base(k);
            if (cell) {
                const std::optional<double> ratios[] = {cell->time, cell->dist, cell->speed};
                for (int i = 0; i < 3; ++i) {
                    if (!ratios[i] || !std::isfinite(*ratios[i])) continue;
                    const double len = factorBarLength(*ratios[i], l.colWidth);
                    const double top = y + 2 + 8 * i;
                    p.fillRect(QRectF(std::min(x, x + len), top, std::max(1.0, std::abs(len)), 6),
                               swatches[i]);
                }
            }
            p.setPen(QColor(0, 255, 255));
            p.drawLine(QPointF(x, y + 2), QPointF(x, y + 32));
        }
    }
}

}  // namespace

LegViewLayout layoutLegView(const LegViewInput& in, QSize minimum) {
    LegViewLayout l;
    const QFontMetricsF fm(in.font);
    auto w = [&](const QString& s) { return fm.horizontalAdvance(s); };
    const RoundingResults& r = *in.roundings;
    const int n = l.columns = r.entryCount;
    const int rows = std::min(in.boats, r.boatCount);
    l.lineHeight = fm.height();
    l.rowPitch = std::max(18.0, std::ceil(l.lineHeight) + 2);

    double nameW = w(nameHeader(in.english)) + 7;
    for (int b = 1; b <= rows; ++b) nameW = std::max(nameW, w(boatName(in, b)) + 4);
    l.nameRight = std::max(100.0, kNameLeft + nameW);

    // The widest text of any column: headers and every cell of the kind shown.
    double cell = 0;
    for (int k = 1; k <= n; ++k) cell = std::max(cell, w(QStringLiteral(">") + entryName(in, k)));
    LegTable t;
    if (in.kind != TableKind::Factor) {
        t = buildLegTable(in.kind, r);
        for (int b = 1; b <= rows; ++b)
            for (int k = 1; k <= n; ++k) {
                cell = std::max(cell, w(qs(cellText(t.cum[b][k]))));
                cell = std::max(cell, w(qs(cellText(t.leg[b][k]))));
            }
    } else {
        cell = std::max(cell, w(factorTexts(in.english).total));
    }
    l.cellWidth = cell;
    l.colWidth = std::max(columnPitch(n), cell + kColumnGap);

    if (in.kind == TableKind::Factor) {
        const FactorTexts tx = factorTexts(in.english);
        l.headerY = std::max(
            105.0, kFactorTitleY + 3 * std::max(20.0, l.lineHeight + 3) + l.lineHeight + 4);
        const double right = std::max({2 * l.colWidth * n + 160 + l.nameRight - 100,
                                       100 + std::max({w(tx.time), w(tx.dist), w(tx.speed)}) + 10,
                                       kTitleX + w(tx.title) + 10});
        const double bottom = factorRowTop(l, rows + 1) + 5;
        l.size = QSize(static_cast<int>(std::ceil(std::max<double>(minimum.width(), right))),
                       static_cast<int>(std::ceil(std::max<double>(minimum.height(), bottom))));
        return l;
    }

    l.headerY = std::max(65.0, kTitleY + l.lineHeight + 2);
    const double cumTitleW = w(qs(cumTableTitle(in.kind, in.english)));
    l.legX0 = std::max(colEnd(l, n) + kLegGap, kTitleX + cumTitleW + 10 - 20);
    const double tableRight =
        std::max(legEnd(l, std::max(n, 2)) + 10,
                 l.legX0 + 20 + w(qs(legTableTitle(in.kind, in.english))) + 10);

    // Charts: room for the widest grid label left of each plot, and for the cumulative title.
    auto axisFor = [&](const ChartScale& s) {
        double widest = 0;
        for (int g = 0; g <= s.steps; ++g) widest = std::max(widest, w(qs(chartGridLabel(s, g))));
        return std::max(40.0, widest + 10);
    };
    l.cumAxis = axisFor(t.cumScale);
    l.legAxis = axisFor(t.legScale);
    l.legChartLeft = std::max(l.cumAxis + l.colWidth * n + 20,
                              50 + w(qs(cumChartTitle(in.kind, in.english))) + 10);
    const double chartRight =
        std::max(l.legChartLeft + l.legAxis + l.colWidth * std::max(n - 1, 0) + 10,
                 l.legChartLeft + 50 + w(qs(legChartTitle(in.kind, in.english))) + 10);
    l.chartTop = l.headerY + l.rowPitch * (rows + 1) + kChartGap;
    const double bottom = l.chartTop + kChartLabelY + l.lineHeight + 5;
    l.size = QSize(
        static_cast<int>(std::ceil(std::max({double(minimum.width()), tableRight, chartRight}))),
        static_cast<int>(std::ceil(std::max<double>(minimum.height(), bottom))));
    return l;
}

void drawLegView(QPainter& p, const LegViewInput& in, const LegViewLayout& l) {
    p.fillRect(QRect(QPoint(0, 0), l.size), Qt::white);
    if (!in.race || !in.roundings || l.columns < 1) return;
    p.setFont(in.font);
    if (in.kind == TableKind::Factor)
        drawFactor(p, in, l);
    else
        drawTables(p, in, l);
}

}  // namespace brisko
