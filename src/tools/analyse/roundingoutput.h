// brisko-analyse's rounding keys: lead_time and leg_course of the race, round_time and
// leg_dist of each boat, the leg-analysis tables, and the tables as CSV (--csv KIND).
#pragma once

#include <string>

#include "analysis/legtables.h"
#include "jsonwriter.h"
#include "session/openrace.h"

namespace brisko {

// "lead_time" and "leg_course", per course entry taking part and per leg.
void writeLegResultKeys(JsonWriter& w, const RaceDefinition& race, const RaceData& data);

// "round_time" and "leg_dist" of boat b, inside the boat's object.
void writeBoatRoundingKeys(JsonWriter& w, const RaceData& data, int b);

// "tables": "time", "dist", "speed" and "factor".
void writeLegTablesKey(JsonWriter& w, const RaceData& data);

// The table kind a --csv argument names ("time", "dist", "speed", "factor").
bool csvTableKind(const std::string& name, TableKind& kind);

}  // namespace brisko
