// brisko-analyse's coach keys: the wind in force and the start line of the race, each boat's
// start, manoeuvres, legs and gaps, and the start, manoeuvres and legs as CSV (--csv KIND).
#pragma once

#include <string>

#include "analysis/coach.h"
#include "jsonwriter.h"

namespace brisko {

// "wind_source", "wind_estimate" and "start_line".
void writeCoachRaceKeys(JsonWriter& w, const CoachAnalysis& a);

// "start", "manoeuvres", "legs" and "gaps" of boat b, inside the boat's object; the legs and
// gaps per course entry taking part (`entries` of them).
void writeCoachBoatKeys(JsonWriter& w, const CoachAnalysis& a, int b, int entries);

enum class CoachCsvKind { Start, Manoeuvres, Legs };

// The coach table a --csv argument names ("start", "manoeuvres", "legs").
bool coachCsvKind(const std::string& name, CoachCsvKind& kind);

// The table as CSV under a header row named as the JSON keys: the start one row per boat, the
// manoeuvres one row per manoeuvre, the legs one row per boat and leg (course entries 2..n).
// The boat's name comes first, and for the legs the course entry; an empty cell where a value
// does not exist.
std::string coachCsv(CoachCsvKind kind, const RaceDefinition& race,
                     const RoundingResults& roundings, const CoachAnalysis& a);

}  // namespace brisko
