// Cell texts, colours and chart labels of the leg analysis view; see tabletext.h.
#include "analysis/tabletext.h"

#include <algorithm>
#include <cmath>

#include "util/numbers.h"

namespace brisko {

namespace {
const char* pick(bool english, const char* en, const char* ja) { return english ? en : ja; }
}  // namespace

std::string cellText(const Cell& v) {
    if (!v || !std::isfinite(*v)) return {};
    return shortestDecimal(*v);
}

Rgb cumCellColour(const LegTable& t, int b, int k) { return t.cumBest(b, k) ? kTitleRed : kBlack; }

Rgb legCellColour(const LegTable& t, int b, int k) { return t.legBest(b, k) ? kTitleRed : kBlack; }

std::string chartGridLabel(const ChartScale& s, int t) {
    const double v = s.unit * t;
    if (!std::isfinite(v)) return {};
    // The unit is a power of ten: as many decimals as it has, no more.
    const int decimals = std::max(0, static_cast<int>(std::lround(-std::log10(s.unit))));
    const double f = std::pow(10.0, decimals);
    return shortestDecimal(std::round(v * f) / f);
}

std::string cumTableTitle(TableKind kind, bool en) {
    switch (kind) {
        case TableKind::Time:
            return pick(en, "<Mk rnd time : sec>", "<マーク通過時間 : 秒>");
        case TableKind::Dist:
            return pick(en, "<Acc sailed dist : m>", "<累計帆走距離：ｍ>");
        default:
            return pick(en, "<Acc Speed : Kts>", "<帆走速度：　ノット>");
    }
}

std::string legTableTitle(TableKind kind, bool en) {
    switch (kind) {
        case TableKind::Time:
            return pick(en, "< Time by leg : sec >", "<レグ毎の所要時間 : 秒 >");
        case TableKind::Dist:
            return pick(en, "< Sailed dist by leg : m >", "<レグ毎の帆走距離 : ｍ >");
        default:
            return pick(en, "< Speed by leg : Kts >", "<レグ毎の帆走速度：ノット>");
    }
}

std::string cumChartTitle(TableKind kind, bool en) {
    switch (kind) {
        case TableKind::Time:
            return pick(en, "( Diff of mk rnd time : sec)", "(マーク回航時間差：秒)");
        case TableKind::Dist:
            return pick(en, "( Diff of acc sailed dist : m)", "(累計帆走距離差：ｍ)");
        default:
            return pick(en, "( Diff of acc speed : KTS)", "（累積速度差：ノット)");
    }
}

std::string legChartTitle(TableKind kind, bool en) {
    switch (kind) {
        case TableKind::Time:
            return pick(en, "( Diff of time by leg : sec)", "(レグ毎の時間差：秒)");
        case TableKind::Dist:
            return pick(en, "( Diff of sailed dist by leg : m)", "(レグ毎の帆走距離差：ｍ)");
        default:
            return pick(en, "( Diff of speed by leg : Kts)", "(レグ毎の速度差：ノット)");
    }
}

}  // namespace brisko
