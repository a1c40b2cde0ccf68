// The coach's tables of the data view; see coachtables.h.
#include "analysis/coachtables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "util/numbers.h"

namespace brisko {

namespace {

constexpr double kSecondsPerMinute = 60;

const char* pick(bool english, const char* en, const char* ja) { return english ? en : ja; }

// A value with a fixed number of decimals; empty without a finite value. A value that rounds
// to zero prints without its sign ("0.0", never "-0.0").
CoachCell fixed(std::optional<double> v, int decimals) {
    if (!v || !std::isfinite(*v)) return {};
    const double f = std::pow(10.0, decimals);
    double r = std::round(*v * f) / f;
    if (r == 0) r = 0;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
    return {buf, *v};
}

CoachCell whole(int v) { return {std::to_string(v), static_cast<double>(v)}; }

CoachCell text(std::string s) { return {std::move(s), std::nullopt}; }

CoachCell clock(std::optional<double> sec) {
    if (!sec || !std::isfinite(*sec)) return {};
    return {raceClockText(*sec), *sec};
}

// The boats a table lists: 1..n of the analysis that the race names, those shown.
int boatsOf(const CoachAnalysis& a, const RaceDefinition& race) {
    const size_t n = std::max({a.starts.size(), a.manoeuvres.size(), a.legs.size()});
    return std::min({static_cast<int>(n) - 1, race.BoatCount, kMaxBoats});
}

bool listed(int b, const DisplayOptions* shown) { return !shown || shown->shown(b); }

std::string boatName(const RaceDefinition& race, int b) {
    return b >= 1 && b <= kMaxBoats ? race.Boats[b].BoatName : std::string();
}

std::string windNote(const WindInForce& w, bool en) {
    switch (w.source) {
        case WindSource::File:
            return pick(en, "Wind: the wind file", "風: 風データファイル");
        case WindSource::Estimated:
            return pick(en, "Wind: estimated from the fleet's tacks and gybes",
                        "風: 艇団のタック・ジャイブから推定");
        case WindSource::RaceFile:
            break;
    }
    return pick(en, "Wind: the race file's mean direction", "風: レースファイルの平均風向");
}

std::string startNote(const CoachAnalysis& a, bool en) {
    if (!a.startLine)
        return pick(en, "The course does not begin at a start line",
                    "コースの最初がスタートラインではありません");
    const StartLineAnalysis& l = *a.startLine;
    const std::string sep = pick(en, ", ", "、");
    std::string s = std::string(pick(en, "Start line ", "スタートライン ")) +
                    fixed(l.lengthM, 0).text + " m" + sep + pick(en, "wind ", "風向 ") +
                    fixed(l.windDir, 0).text + "°" + sep + pick(en, "bias ", "バイアス ") +
                    fixed(l.biasDeg, 1).text + "°" + sep;
    if (!l.favouredEnd) return s + pick(en, "square to the wind", "風にほぼ直角");
    const std::string end = std::to_string(*l.favouredEnd);
    return s + (en ? "end " + end + " favoured by " : end + " 端が有利 ") +
           fixed(l.advantageM, 0).text + " m";
}

std::string legTypeText(LegType t, bool en) {
    switch (t) {
        case LegType::Upwind:
            return pick(en, "upwind", "上り");
        case LegType::Downwind:
            return pick(en, "downwind", "下り");
        case LegType::Reach:
            break;
    }
    return pick(en, "reach", "リーチ");
}

void startTable(CoachTable& t, const CoachAnalysis& a, const RaceDefinition& race,
                const DisplayOptions* shown, bool en) {
    t.headers = {pick(en, "Boat", "艇名"),
                 pick(en, "To line at gun (m)", "号砲時のライン距離 (m)"),
                 pick(en, "Along line", "ライン上の位置"),
                 pick(en, "Speed at gun (kn)", "号砲時の艇速 (kn)"),
                 "OCS",
                 pick(en, "Crossed", "ライン通過"),
                 pick(en, "Speed crossing (kn)", "通過時の艇速 (kn)")};
    t.numeric = {false, true, true, true, false, true, true};
    t.note = startNote(a, en);
    if (!a.startLine) return;
    const int n = std::min(boatsOf(a, race), static_cast<int>(a.starts.size()) - 1);
    for (int b = 1; b <= n; ++b) {
        if (!listed(b, shown)) continue;
        CoachRow r;
        r.boat = b;
        r.moment = 0;  // the gun, unless the boat's crossing is known
        const std::optional<BoatStart>& s = a.starts[b];
        r.cells = {text(boatName(race, b))};
        if (s) {
            r.cells.push_back(fixed(s->gunDistM, 1));
            r.cells.push_back(fixed(s->gunAlong, 2));
            r.cells.push_back(fixed(s->gunSpeed, 1));
            r.cells.push_back(s->ocs ? text("OCS") : CoachCell{});
            r.cells.push_back(clock(s->crossTime));
            r.cells.push_back(fixed(s->crossSpeed, 1));
            if (s->crossTime && std::isfinite(*s->crossTime)) r.moment = *s->crossTime;
        }
        r.cells.resize(t.headers.size());
        t.rows.push_back(std::move(r));
    }
}

void manoeuvreTable(CoachTable& t, const CoachAnalysis& a, const RaceDefinition& race,
                    const DisplayOptions* shown, bool en) {
    t.headers = {pick(en, "Boat", "艇名"),
                 pick(en, "Time", "時刻"),
                 pick(en, "Kind", "種類"),
                 pick(en, "Turn (°)", "転角 (°)"),
                 pick(en, "Duration (s)", "所要 (秒)"),
                 pick(en, "Speed in (kn)", "進入速度 (kn)"),
                 pick(en, "Lowest (kn)", "最低速度 (kn)"),
                 pick(en, "Speed out (kn)", "脱出速度 (kn)"),
                 pick(en, "Loss (m)", "損失 (m)"),
                 pick(en, "Loss (s)", "損失 (秒)")};
    t.numeric = {false, true, false, true, true, true, true, true, true, true};
    t.note = windNote(a.wind, en);
    const int n = std::min(boatsOf(a, race), static_cast<int>(a.manoeuvres.size()) - 1);
    for (int b = 1; b <= n; ++b) {
        if (!listed(b, shown)) continue;
        for (const Manoeuvre& m : a.manoeuvres[b]) {
            CoachRow r;
            r.boat = b;
            r.moment = m.time;
            r.doubtful = !m.confident;
            std::string kind = manoeuvreKindText(m.kind, en);
            if (!m.confident) kind += " ?";
            r.cells = {text(boatName(race, b)), clock(m.time),        text(kind),
                       fixed(m.turn, 0),        fixed(m.duration, 1), fixed(m.speedIn, 1),
                       fixed(m.speedMin, 1),    fixed(m.speedOut, 1), fixed(m.lossM, 1),
                       fixed(m.lossS, 1)};
            t.rows.push_back(std::move(r));
        }
    }
}

void legTable(CoachTable& t, const CoachAnalysis& a, const RaceDefinition& race,
              const DisplayOptions* shown, bool en) {
    t.headers = {pick(en, "Boat", "艇名"),
                 pick(en, "Leg", "レグ"),
                 pick(en, "Type", "種別"),
                 pick(en, "Sailed (nm)", "帆走距離 (nm)"),
                 pick(en, "Rhumb (nm)", "直線距離 (nm)"),
                 pick(en, "SOG (kn)", "対地速度 (kn)"),
                 pick(en, "VMG (kn)", "VMG (kn)"),
                 pick(en, "VMC (kn)", "VMC (kn)"),
                 pick(en, "Tacks", "タック"),
                 pick(en, "Gybes", "ジャイブ"),
                 pick(en, "Loss (m)", "損失 (m)")};
    t.numeric = {false, true, false, true, true, true, true, true, true, true, true};
    t.note = windNote(a.wind, en);
    const int n = std::min(boatsOf(a, race), static_cast<int>(a.legs.size()) - 1);
    for (int b = 1; b <= n; ++b) {
        if (!listed(b, shown)) continue;
        const auto& legs = a.legs[b];
        for (int k = 1; k < static_cast<int>(legs.size()); ++k) {
            if (!legs[k]) continue;
            const LegStats& l = *legs[k];
            CoachRow r;
            r.boat = b;
            // The leg is named by the course entry it ends at: "3 MK2".
            std::string leg = std::to_string(k);
            if (k <= kMaxCourse && !race.Course[k].empty()) leg += " " + race.Course[k];
            r.cells = {text(boatName(race, b)),
                       {leg, static_cast<double>(k)},
                       text(legTypeText(l.type, en)),
                       fixed(l.sailedNm, 2),
                       fixed(l.rhumbNm, 2),
                       fixed(l.sog, 2),
                       fixed(l.vmg, 2),
                       fixed(l.vmc, 2),
                       whole(l.tacks),
                       whole(l.gybes),
                       fixed(l.lossM, 1)};
            t.rows.push_back(std::move(r));
        }
    }
}

bool emptyCell(const CoachTable& t, const CoachCell& c, int column) {
    return t.numeric[column] ? !c.key : c.text.empty();
}

}  // namespace

std::string raceClockText(double seconds) {
    if (!std::isfinite(seconds)) return {};
    const double rounded = std::round(seconds);
    const long long whole = std::llround(std::min(std::fabs(rounded), 1e15));
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld", rounded < 0 ? "-" : "",
                  whole / static_cast<long long>(kSecondsPerMinute),
                  whole % static_cast<long long>(kSecondsPerMinute));
    return buf;
}

std::string manoeuvreKindText(ManoeuvreKind kind, bool en) {
    switch (kind) {
        case ManoeuvreKind::Tack:
            return pick(en, "tack", "タック");
        case ManoeuvreKind::Gybe:
            return pick(en, "gybe", "ジャイブ");
        case ManoeuvreKind::Penalty:
            break;
    }
    return pick(en, "penalty turn", "ペナルティターン");
}

std::string manoeuvreHintText(const std::string& boatName, const Manoeuvre& m, bool en) {
    std::string s = boatName + ": " + manoeuvreKindText(m.kind, en) + " " + raceClockText(m.time);
    const CoachCell metres = fixed(m.lossM, 1);
    const CoachCell seconds = fixed(m.lossS, 1);
    if (!metres.text.empty()) {
        s += std::string(pick(en, ", loss ", "、損失 ")) + metres.text + " m";
        if (!seconds.text.empty()) s += " (" + seconds.text + pick(en, " s)", " 秒)");
    }
    if (!m.confident) s += pick(en, " (doubtful)", "（不確か）");
    return s;
}

CoachTable buildCoachTable(CoachTableKind kind, const CoachAnalysis& a, const RaceDefinition& race,
                           const DisplayOptions* shown, bool english) {
    CoachTable t;
    t.kind = kind;
    switch (kind) {
        case CoachTableKind::Start:
            startTable(t, a, race, shown, english);
            break;
        case CoachTableKind::Manoeuvres:
            manoeuvreTable(t, a, race, shown, english);
            break;
        case CoachTableKind::Legs:
            legTable(t, a, race, shown, english);
            break;
    }
    return t;
}

std::vector<int> sortedRowOrder(const CoachTable& t, int column, bool ascending) {
    std::vector<int> order(t.rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column < 0 || column >= static_cast<int>(t.numeric.size())) return order;
    std::stable_sort(order.begin(), order.end(), [&](int i, int j) {
        const auto& ri = t.rows[i].cells;
        const auto& rj = t.rows[j].cells;
        const CoachCell none;
        const CoachCell& a = column < static_cast<int>(ri.size()) ? ri[column] : none;
        const CoachCell& b = column < static_cast<int>(rj.size()) ? rj[column] : none;
        const bool ea = emptyCell(t, a, column), eb = emptyCell(t, b, column);
        if (ea || eb) return !ea && eb;  // a value before an empty cell, either way round
        if (t.numeric[column]) return ascending ? *a.key < *b.key : *b.key < *a.key;
        return ascending ? a.text < b.text : b.text < a.text;
    });
    return order;
}

}  // namespace brisko
