// The coach's tables as the data view lists them: the start (each boat at the gun and where it
// crossed the line), every tack, gybe and penalty turn with what it cost, and each boat's legs
// with their distances, speeds and manoeuvres. Cell texts in the user's language, with the
// values the columns sort by; the window only shows them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/coach.h"
#include "display/displayoptions.h"
#include "race/racedefinition.h"

namespace brisko {

enum class CoachTableKind { Start, Manoeuvres, Legs };

struct CoachCell {
    std::string text;  // empty where the value does not exist
    // What a numeric column sorts by; empty where the cell is empty.
    std::optional<double> key;
};

struct CoachRow {
    int boat = 0;  // 1-based
    std::vector<CoachCell> cells;
    // The race second a click on the row takes the replay to: the manoeuvre's time, the start
    // line crossing or else the gun; empty for a row with no moment of its own (a leg).
    std::optional<double> moment;
    // A manoeuvre whose entry or exit search hit its limit: its numbers are doubtful.
    bool doubtful = false;
};

struct CoachTable {
    CoachTableKind kind = CoachTableKind::Start;
    std::vector<std::string> headers;
    std::vector<bool> numeric;  // per column: sorted by the keys (else by the texts)
    std::vector<CoachRow> rows;
    // A line over the table: the start line's length, bias and favoured end, or the wind the
    // manoeuvres and legs were judged against.
    std::string note;
};

// The table of one kind for the boats shown (`shown` null: every boat), in boat order and, for
// each boat, in time or leg order. Boat names from the race; english: Lang > 0.
CoachTable buildCoachTable(CoachTableKind kind, const CoachAnalysis& analysis,
                           const RaceDefinition& race, const DisplayOptions* shown, bool english);

// The order of the table's rows sorted by a column: numbers by value, texts by their bytes,
// ties in the table's own order, and empty cells last whichever way it is sorted.
std::vector<int> sortedRowOrder(const CoachTable& table, int column, bool ascending);

// Race seconds as minutes and seconds, "m:ss", negative before the gun ("-0:05"); the minutes
// run on past the hour ("75:10"). Empty for a value that is not finite.
std::string raceClockText(double seconds);

// The hint of a manoeuvre on the chart: the boat, the kind, the time and what it cost,
// "Orca: tack 12:34, loss 15.2 m (3.1 s)".
std::string manoeuvreHintText(const std::string& boatName, const Manoeuvre& m, bool english);

// The kind in the user's language: "tack" / "タック".
std::string manoeuvreKindText(ManoeuvreKind kind, bool english);

}  // namespace brisko
