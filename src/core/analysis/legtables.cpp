// The leg analysis numbers: tables, column extremes, chart scales and points, factor analysis,
// and their CSV form.
#include "analysis/legtables.h"

#include <algorithm>
#include <cmath>

#include "track/kinematics.h"
#include "util/numbers.h"

namespace brisko {

namespace {

// The factor analysis looks for the reference time below this start value.
constexpr double kReferenceTimeStart = 100000;

double metres(double nm) { return std::floor(kMetresPerNauticalMile * nm + 0.5); }

// Knots to 0.001: rounded for the cumulative table, truncated for legs.
double speedRounded(double nm, double sec) {
    return std::floor(1000 * kSecondsPerHour * nm / sec + 0.5) / 1000;
}
double speedTruncated(double nm, double sec) {
    return std::floor(1000 * kSecondsPerHour * nm / sec) / 1000;
}

CellGrid emptyGrid(int boats, int columns) {
    return CellGrid(static_cast<size_t>(boats) + 1,
                    std::vector<Cell>(static_cast<size_t>(columns) + 1));
}

// Smallest value above 0 and largest value of one column, replaced only by strictly better
// values, from the start values.
void columnExtremes(const CellGrid& g, int k, double& lo, double& hi) {
    lo = kColumnMinStart;
    hi = kColumnMaxStart;
    for (size_t b = 1; b < g.size(); ++b) {
        const Cell& v = g[b][k];
        if (!v) continue;
        if (*v > 0 && *v < lo) lo = *v;
        if (*v > hi) hi = *v;
    }
}

double clampRatio(double r) { return std::clamp(r, -kRatioClamp, kRatioClamp); }

}  // namespace

double columnPitch(int columns) {
    if (columns <= 0) return kMaxColumnPitch;
    return std::min(kTableWidth / columns, kMaxColumnPitch);
}

ChartScale chartScale(double spread) {
    ChartScale s;
    if (!(spread > 0) || !std::isfinite(spread)) return s;
    int e = static_cast<int>(std::floor(std::log10(spread)));
    // log10 may land a hair off at exact powers of ten; settle the exponent on the value.
    if (std::pow(10.0, e + 1) <= spread) ++e;
    if (std::pow(10.0, e) > spread) --e;
    s.unit = std::pow(10.0, e);
    int lead = static_cast<int>(std::floor(spread / s.unit * (1 + 1e-12)));
    s.steps = std::clamp(lead, 1, 9) + 1;
    s.range = s.unit * s.steps;
    s.pxPerUnit = kChartPlotHeight / s.range;
    return s;
}

bool LegTable::cumBest(int b, int k) const {
    if (b < 1 || b > boats || k < 1 || k > columns || !cum[b][k]) return false;
    return kind == TableKind::Speed ? *cum[b][k] == CumMax[k] : *cum[b][k] == CumMin[k];
}

bool LegTable::legBest(int b, int k) const {
    if (b < 1 || b > boats || k < 2 || k > columns || !leg[b][k]) return false;
    return kind == TableKind::Speed ? *leg[b][k] == LegMax[k] : *leg[b][k] == LegMin[k];
}

LegTable buildLegTable(TableKind kind, const RoundingResults& r) {
    LegTable t;
    t.kind = kind;
    const int n = t.columns = r.entryCount;
    const int nb = t.boats = r.boatCount;
    t.cum = t.leg = t.cumY = t.legY = emptyGrid(nb, n);
    t.cumJoined = t.legJoined = std::vector<std::vector<bool>>(
        static_cast<size_t>(nb) + 1, std::vector<bool>(static_cast<size_t>(n) + 1, false));
    t.CumMin = t.LegMin = std::vector<double>(static_cast<size_t>(n) + 1, kColumnMinStart);
    t.CumMax = t.LegMax = std::vector<double>(static_cast<size_t>(n) + 1, kColumnMaxStart);

    // Cumulative and by-leg values.
    for (int b = 1; b <= nb; ++b) {
        for (int k = 1; k <= n; ++k) {
            const double rt = r.RoundTime(k, b), ld = r.LegDist(k, b);
            switch (kind) {
                case TableKind::Time:
                    t.cum[b][k] = rt;
                    break;
                case TableKind::Dist:
                    t.cum[b][k] = metres(ld);
                    break;
                default:
                    if (rt > 0) t.cum[b][k] = speedRounded(ld, rt);
                    break;
            }
            if (k < 2 || rt <= 0) continue;
            const double legTime = rt - r.RoundTime(k - 1, b);
            const double legDist = ld - r.LegDist(k - 1, b);
            switch (kind) {
                case TableKind::Time:
                    t.leg[b][k] = legTime;
                    break;
                case TableKind::Dist:
                    t.leg[b][k] = metres(legDist);
                    break;
                default:
                    if (legTime != 0) t.leg[b][k] = speedTruncated(legDist, legTime);
                    break;
            }
        }
    }

    // Column extremes and spreads; the speed table's first column (the start) has no spread.
    const int firstSpread = kind == TableKind::Speed ? 2 : 1;
    for (int k = 1; k <= n; ++k) {
        columnExtremes(t.cum, k, t.CumMin[k], t.CumMax[k]);
        if (k >= firstSpread) t.CumSpread = std::max(t.CumSpread, t.CumMax[k] - t.CumMin[k]);
        if (k < 2) continue;
        columnExtremes(t.leg, k, t.LegMin[k], t.LegMax[k]);
        t.LegSpread = std::max(t.LegSpread, t.LegMax[k] - t.LegMin[k]);
    }
    t.cumScale = chartScale(t.CumSpread);
    t.legScale = chartScale(t.LegSpread);

    // Chart points. A boat that did not pass a position has no point there, and a segment
    // joins two points only when both exist.
    const double pc = t.cumScale.pxPerUnit, pl = t.legScale.pxPerUnit;
    for (int b = 1; b <= nb; ++b) {
        for (int k = 1; k <= n; ++k) {
            const double rt = r.RoundTime(k, b), ld = r.LegDist(k, b);
            if (rt > 0) {
                if (kind == TableKind::Time)
                    t.cumY[b][k] = kChartBottomLine - pc * (rt - t.CumMin[k]);
                else if (kind == TableKind::Dist && ld > 0)
                    t.cumY[b][k] =
                        kChartBottomLine - pc * (kMetresPerNauticalMile * ld - t.CumMin[k]);
                else if (kind == TableKind::Speed && k >= 2 && t.cum[b][k] && *t.cum[b][k] > 0)
                    t.cumY[b][k] = kChartTopLine + pc * (t.CumMax[k] - *t.cum[b][k]);
            }
            const int firstJoin = kind == TableKind::Speed ? 3 : 2;
            t.cumJoined[b][k] =
                k >= firstJoin && t.cumY[b][k] && t.cumY[b][k - 1] && *t.cumY[b][k - 1] >= 0;

            if (k < 2 || !t.leg[b][k]) continue;
            const double legTime = rt - r.RoundTime(k - 1, b);
            const double legDist = ld - r.LegDist(k - 1, b);
            if (kind == TableKind::Time) {
                t.legY[b][k] = kChartBottomLine - pl * (legTime - t.LegMin[k]);
            } else if (kind == TableKind::Dist) {
                if (ld > 0)
                    t.legY[b][k] =
                        kChartBottomLine - pl * (kMetresPerNauticalMile * legDist - t.LegMin[k]);
            } else {
                const double speed = speedRounded(legDist, legTime);
                if (speed > 0) t.legY[b][k] = kChartTopLine + pl * (t.LegMax[k] - speed);
            }
            t.legJoined[b][k] = k > 2 && t.legY[b][k] && t.legY[b][k - 1] && *t.legY[b][k - 1] >= 0;
        }
    }
    return t;
}

FactorTable buildFactorTable(const RoundingResults& r) {
    FactorTable f;
    const int n = f.columns = r.entryCount;
    const int nb = f.boats = r.boatCount;
    f.referenceBoat.assign(static_cast<size_t>(n) + 1, 0);
    f.cells.assign(static_cast<size_t>(nb) + 1,
                   std::vector<std::optional<FactorRatios>>(static_cast<size_t>(n) + 1));
    if (n == 0) return f;

    for (int col = 1; col <= n; ++col) {
        const bool total = col == 1;
        const int k = total ? n : col;
        auto passed = [&](int b) { return r.RoundTime(k, b) > 0; };
        auto timeOf = [&](int b) {
            return total ? r.RoundTime(n, b) : r.RoundTime(k, b) - r.RoundTime(k - 1, b);
        };
        auto distOf = [&](int b) {
            return total ? r.LegDist(n, b) : r.LegDist(k, b) - r.LegDist(k - 1, b);
        };
        auto speedOf = [&](int b) {
            return total ? kSecondsPerHour * distOf(b) / timeOf(b)
                         : speedTruncated(distOf(b), timeOf(b));
        };

        // The reference: the smallest positive time of a boat that passed; the first of equals.
        int ref = 0;
        double refTime = kReferenceTimeStart;
        for (int b = 1; b <= nb; ++b) {
            const double tm = timeOf(b);
            if (passed(b) && tm > 0 && tm < refTime) {
                refTime = tm;
                ref = b;
            }
        }
        f.referenceBoat[col] = ref;
        const double refDist = ref ? metres(distOf(ref)) : 0;
        const double refSpeed = ref ? speedOf(ref) : 0;

        for (int b = 1; b <= nb; ++b) {
            if (!passed(b)) continue;
            FactorRatios q;
            const double tm = timeOf(b);
            if (ref) q.time = clampRatio(tm / refTime - 1);
            if (refDist != 0) q.dist = clampRatio(metres(distOf(b)) / refDist - 1);
            if (refSpeed != 0 && tm > 0) q.speed = clampRatio(speedOf(b) / refSpeed - 1);
            f.cells[b][col] = q;
        }
    }
    return f;
}

double factorBarLength(double ratio, double pitch) { return kBarPitchesPerUnit * pitch * ratio; }

std::string csvCell(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

std::string legTableCsv(TableKind kind, const RaceDefinition& def, const RoundingResults& r) {
    const int n = r.entryCount;
    auto entry = [&](int k) { return std::string(trimBlanks(def.Course[k])); };
    auto number = [](const std::optional<double>& v) {
        return v ? shortestDecimal(*v) : std::string();
    };
    auto boatName = [&](int b) {
        return csvCell(b <= kMaxBoats ? def.Boats[b].BoatName : std::string());
    };
    std::string out = "Boat";
    if (kind == TableKind::Factor) {
        // Three numbers per column, each in a cell of its own, so that a spreadsheet can sort
        // and sum them: the whole race ("TTL") first, then the leg to each later entry.
        for (int k = 1; k <= n; ++k) {
            const std::string column = k == 1 ? std::string("TTL") : entry(k);
            for (const char* ratio : {" time", " dist", " speed"})
                out += "," + csvCell(column + ratio);
        }
        out += "\n";
        const FactorTable f = buildFactorTable(r);
        for (int b = 1; b <= f.boats; ++b) {
            out += boatName(b);
            for (int k = 1; k <= n; ++k) {
                const auto& c = f.cells[b][k];
                out += "," + (c ? number(c->time) : std::string());
                out += "," + (c ? number(c->dist) : std::string());
                out += "," + (c ? number(c->speed) : std::string());
            }
            out += "\n";
        }
        return out;
    }
    for (int k = 1; k <= n; ++k) out += "," + csvCell(entry(k));
    out += "\n";

    const LegTable t = buildLegTable(kind, r);
    for (int b = 1; b <= t.boats; ++b) {
        out += boatName(b);
        // A mark the boat never rounded has no time or distance: the tables print 0 there,
        // but a spreadsheet would sort and sum that 0 as a real value, so the cell stays empty.
        // A negative start time (over early, never returned) is a value and is kept.
        for (int k = 1; k <= n; ++k) {
            const bool rounded = r.RoundTime(k, b) != 0;
            out += "," + (rounded ? number(t.cum[b][k]) : std::string());
        }
        out += "\n";
    }
    return out;
}

}  // namespace brisko
