// brisko-analyse's coach keys and tables.
#include "coachoutput.h"

#include <algorithm>

#include "analysis/legtables.h"
#include "util/numbers.h"

namespace brisko {

namespace {

void writeOptional(JsonWriter& w, const std::optional<double>& v) {
    w.valueOrNull(v.has_value(), v.value_or(0));
}

void writeStart(JsonWriter& w, const std::optional<BoatStart>& s) {
    w.key("start");
    if (!s) {
        w.null();
        return;
    }
    w.beginObject();
    writeOptional(w.key("gun_dist_m"), s->gunDistM);
    writeOptional(w.key("gun_along"), s->gunAlong);
    writeOptional(w.key("gun_speed"), s->gunSpeed);
    w.key("ocs").value(s->ocs);
    writeOptional(w.key("cross_time"), s->crossTime);
    writeOptional(w.key("cross_speed"), s->crossSpeed);
    writeOptional(w.key("cross_along"), s->crossAlong);
    w.endObject();
}

void writeManoeuvre(JsonWriter& w, const Manoeuvre& m) {
    w.beginObject();
    w.key("time").value(m.time);
    w.key("kind").value(manoeuvreKindName(m.kind));
    w.key("lat").value(m.lat);
    w.key("lon").value(m.lon);
    w.key("duration").value(m.duration);
    w.key("turn").value(m.turn);
    w.key("speed_in").value(m.speedIn);
    w.key("speed_min").value(m.speedMin);
    w.key("speed_out").value(m.speedOut);
    writeOptional(w.key("loss_m"), m.lossM);
    writeOptional(w.key("loss_s"), m.lossS);
    w.key("confident").value(m.confident);
    w.endObject();
}

void writeLeg(JsonWriter& w, const LegStats& l) {
    w.beginObject();
    w.key("type").value(legTypeName(l.type));
    w.key("sailed_nm").value(l.sailedNm);
    w.key("rhumb_nm").value(l.rhumbNm);
    writeOptional(w.key("sog"), l.sog);
    writeOptional(w.key("vmg"), l.vmg);
    writeOptional(w.key("vmc"), l.vmc);
    w.key("tacks").value(l.tacks);
    w.key("gybes").value(l.gybes);
    w.key("loss_m").value(l.lossM);
    w.endObject();
}

// Element k of a per-boat list, or nothing when the list is shorter.
template <class T>
const T* elementOf(const std::vector<T>& v, int k) {
    return k >= 0 && k < static_cast<int>(v.size()) ? &v[static_cast<size_t>(k)] : nullptr;
}

std::string cell(const std::optional<double>& v) { return v ? shortestDecimal(*v) : std::string(); }
std::string cell(double v) { return shortestDecimal(v); }
std::string cell(bool v) { return v ? "true" : "false"; }

}  // namespace

void writeCoachRaceKeys(JsonWriter& w, const CoachAnalysis& a) {
    w.key("wind_source").value(windSourceName(a.wind.source));
    w.key("wind_estimate");
    w.beginArray();
    if (a.wind.source == WindSource::Estimated) {
        for (const WindSample& s : a.wind.samples) {
            w.beginArray();
            w.value(s.sec);
            w.value(s.dir);
            w.endArray();
        }
    }
    w.endArray();
    w.key("start_line");
    if (!a.startLine) {
        w.null();
        return;
    }
    const StartLineAnalysis& l = *a.startLine;
    w.beginObject();
    w.key("length_m").value(l.lengthM);
    w.key("wind_dir").value(l.windDir);
    w.key("bias_deg").value(l.biasDeg);
    w.key("favoured_end");
    if (l.favouredEnd)
        w.value(*l.favouredEnd);
    else
        w.null();
    w.key("advantage_m").value(l.advantageM);
    w.endObject();
}

void writeCoachBoatKeys(JsonWriter& w, const CoachAnalysis& a, int b, int entries) {
    const auto* start = elementOf(a.starts, b);
    writeStart(w, start ? *start : std::nullopt);

    w.key("manoeuvres");
    w.beginArray();
    if (const auto* ms = elementOf(a.manoeuvres, b))
        for (const Manoeuvre& m : *ms) writeManoeuvre(w, m);
    w.endArray();

    // The leg to the first entry does not exist: its element is always null.
    w.key("legs");
    w.beginArray();
    const auto* legs = elementOf(a.legs, b);
    for (int k = 1; k <= entries; ++k) {
        const auto* leg = legs ? elementOf(*legs, k) : nullptr;
        if (leg && *leg)
            writeLeg(w, **leg);
        else
            w.null();
    }
    w.endArray();

    w.key("gaps");
    w.beginArray();
    const auto* gaps = elementOf(a.gaps, b);
    for (int k = 1; k <= entries; ++k) {
        const auto* gap = gaps ? elementOf(*gaps, k) : nullptr;
        if (gap && *gap) {
            w.beginArray();
            w.value((*gap)->timeS);
            w.value((*gap)->distM);
            w.endArray();
        } else {
            w.null();
        }
    }
    w.endArray();
}

bool coachCsvKind(const std::string& name, CoachCsvKind& kind) {
    if (name == "start")
        kind = CoachCsvKind::Start;
    else if (name == "manoeuvres")
        kind = CoachCsvKind::Manoeuvres;
    else if (name == "legs")
        kind = CoachCsvKind::Legs;
    else
        return false;
    return true;
}

std::string coachCsv(CoachCsvKind kind, const RaceDefinition& race,
                     const RoundingResults& roundings, const CoachAnalysis& a) {
    const int boats = static_cast<int>(a.starts.size()) - 1;
    auto boatName = [&](int b) {
        return csvCell(b <= kMaxBoats ? race.Boats[b].BoatName : std::string());
    };
    auto row = [](std::string& out, std::initializer_list<std::string> cells) {
        for (const std::string& c : cells) out += "," + c;
        out += "\n";
    };
    std::string out;
    switch (kind) {
        case CoachCsvKind::Start:
            out = "Boat,gun_dist_m,gun_along,gun_speed,ocs,cross_time,cross_speed,cross_along\n";
            for (int b = 1; b <= boats; ++b) {
                out += boatName(b);
                const std::optional<BoatStart>& s = a.starts[static_cast<size_t>(b)];
                if (!s) {
                    row(out, {"", "", "", "", "", "", ""});
                    continue;
                }
                row(out, {cell(s->gunDistM), cell(s->gunAlong), cell(s->gunSpeed), cell(s->ocs),
                          cell(s->crossTime), cell(s->crossSpeed), cell(s->crossAlong)});
            }
            break;
        case CoachCsvKind::Manoeuvres:
            out =
                "Boat,time,kind,lat,lon,duration,turn,speed_in,speed_min,speed_out,loss_m,loss_s,"
                "confident\n";
            for (int b = 1; b <= boats; ++b) {
                const auto* ms = elementOf(a.manoeuvres, b);
                if (!ms) continue;
                for (const Manoeuvre& m : *ms) {
                    out += boatName(b);
                    row(out, {cell(m.time), manoeuvreKindName(m.kind), cell(m.lat), cell(m.lon),
                              cell(m.duration), cell(m.turn), cell(m.speedIn), cell(m.speedMin),
                              cell(m.speedOut), cell(m.lossM), cell(m.lossS), cell(m.confident)});
                }
            }
            break;
        case CoachCsvKind::Legs:
            out = "Boat,Entry,type,sailed_nm,rhumb_nm,sog,vmg,vmc,tacks,gybes,loss_m\n";
            for (int b = 1; b <= boats; ++b) {
                const auto* legs = elementOf(a.legs, b);
                for (int k = 2; k <= roundings.entryCount; ++k) {
                    out += boatName(b) + "," + csvCell(std::string(trimBlanks(race.Course[k])));
                    const auto* leg = legs ? elementOf(*legs, k) : nullptr;
                    if (!leg || !*leg) {
                        row(out, {"", "", "", "", "", "", "", "", ""});
                        continue;
                    }
                    const LegStats& l = **leg;
                    row(out, {legTypeName(l.type), cell(l.sailedNm), cell(l.rhumbNm), cell(l.sog),
                              cell(l.vmg), cell(l.vmc), std::to_string(l.tacks),
                              std::to_string(l.gybes), cell(l.lossM)});
                }
            }
            break;
    }
    return out;
}

}  // namespace brisko
