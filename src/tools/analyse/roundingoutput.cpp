// brisko-analyse's rounding and leg-analysis keys.
#include "roundingoutput.h"

namespace brisko {

namespace {

void writeCell(JsonWriter& w, const Cell& c) { w.valueOrNull(c.has_value(), c.value_or(0)); }

// Per boat of the race, per course entry taking part: one row of cells.
void writeGrid(JsonWriter& w, const CellGrid& g, int boats, int columns) {
    w.beginArray();
    for (int b = 1; b <= boats; ++b) {
        w.beginArray();
        for (int k = 1; k <= columns; ++k) {
            if (b < static_cast<int>(g.size()))
                writeCell(w, g[b][k]);
            else
                w.null();
        }
        w.endArray();
    }
    w.endArray();
}

// Per course entry; the leg lists have no element for the first entry.
void writeColumnValues(JsonWriter& w, const std::vector<double>& v, int columns, bool legs) {
    w.beginArray();
    for (int k = 1; k <= columns; ++k) {
        if (legs && k == 1)
            w.null();
        else
            w.value(v[k]);
    }
    w.endArray();
}

void writeTable(JsonWriter& w, const LegTable& t, int boats) {
    w.beginObject();
    w.key("cum");
    writeGrid(w, t.cum, boats, t.columns);
    w.key("leg");
    writeGrid(w, t.leg, boats, t.columns);
    w.key("cum_min");
    writeColumnValues(w, t.CumMin, t.columns, false);
    w.key("cum_max");
    writeColumnValues(w, t.CumMax, t.columns, false);
    w.key("leg_min");
    writeColumnValues(w, t.LegMin, t.columns, true);
    w.key("leg_max");
    writeColumnValues(w, t.LegMax, t.columns, true);
    w.key("cum_spread").value(t.CumSpread);
    w.key("leg_spread").value(t.LegSpread);
    w.endObject();
}

void writeOptional(JsonWriter& w, const std::optional<double>& v) {
    w.valueOrNull(v.has_value(), v.value_or(0));
}

void writeFactor(JsonWriter& w, const FactorTable& f, int boats) {
    w.beginArray();
    for (int b = 1; b <= boats; ++b) {
        w.beginArray();
        for (int k = 1; k <= f.columns; ++k) {
            const auto* cell = b <= f.boats ? &f.cells[b][k] : nullptr;
            if (!cell || !*cell) {
                w.null();
                continue;
            }
            w.beginArray();
            writeOptional(w, (*cell)->time);
            writeOptional(w, (*cell)->dist);
            writeOptional(w, (*cell)->speed);
            w.endArray();
        }
        w.endArray();
    }
    w.endArray();
}

}  // namespace

void writeLegResultKeys(JsonWriter& w, const RaceDefinition& race, const RaceData& data) {
    const RoundingResults& r = data.roundings;
    w.key("lead_time");
    w.beginArray();
    for (int t = 1; t <= r.entryCount; ++t) w.value(r.LeadTime(t));
    w.endArray();
    // A leg touching a mark or line that does not exist has no bearing: null.
    w.key("leg_course");
    w.beginArray();
    for (double c : legCourses(race, data.tracks)) w.value(c);
    w.endArray();
}

void writeBoatRoundingKeys(JsonWriter& w, const RaceData& data, int b) {
    const RoundingResults& r = data.roundings;
    w.key("round_time");
    w.beginArray();
    for (int t = 1; t <= r.entryCount; ++t) w.value(r.RoundTime(t, b));
    w.endArray();
    w.key("leg_dist");
    w.beginArray();
    for (int t = 1; t <= r.entryCount; ++t) w.value(r.LegDist(t, b));
    w.endArray();
}

void writeLegTablesKey(JsonWriter& w, const RaceData& data) {
    const RoundingResults& r = data.roundings;
    const int boats = data.tracks.boatCount();
    w.key("tables");
    w.beginObject();
    w.key("time");
    writeTable(w, buildLegTable(TableKind::Time, r), boats);
    w.key("dist");
    writeTable(w, buildLegTable(TableKind::Dist, r), boats);
    w.key("speed");
    writeTable(w, buildLegTable(TableKind::Speed, r), boats);
    w.key("factor");
    writeFactor(w, buildFactorTable(r), boats);
    w.endObject();
}

bool csvTableKind(const std::string& name, TableKind& kind) {
    if (name == "time")
        kind = TableKind::Time;
    else if (name == "dist")
        kind = TableKind::Dist;
    else if (name == "speed")
        kind = TableKind::Speed;
    else if (name == "factor")
        kind = TableKind::Factor;
    else
        return false;
    return true;
}

}  // namespace brisko
