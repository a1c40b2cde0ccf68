// Mark roundings and leg distances: when each boat crossed the start line, rounded each mark and
// crossed a gate or the finish, and how far it had sailed by then. Read by the time bar, the
// frame renderer's finishing list, the leg analysis tables and brisko-analyse.
#pragma once

#include <array>
#include <vector>

#include "race/racedefinition.h"
#include "track/trackstore.h"

namespace brisko {

// At most this many course entries take part in the roundings; later entries are left out.
constexpr int kMaxRoundingEntries = 20;
// LeadTime of a course entry that no boat passed.
constexpr double kNoLeadTime = 1000000;

// Results of one run, numbered from 1: course entry 1..entryCount, boat 1..boatCount.
// Reads outside the computed range give 0 (LeadTime: kNoLeadTime), never an out-of-range read.
struct RoundingResults {
    RoundingResults() { leadTime_.fill(kNoLeadTime); }  // nothing computed: nobody leads

    int entryCount = 0;  // min(CourseCount, kMaxRoundingEntries)
    int boatCount = 0;   // min(BoatCount, boats in the track store, kMaxBoats)

    // Seconds from RaceStart at which the boat passed the entry; 0 = not found. The start line
    // may give a negative time (a boat that crossed before the gun and never came back).
    double RoundTime(int entry, int boat) const;
    // The earliest positive RoundTime of the entry that is later than the previous entry's
    // LeadTime; kNoLeadTime when there is none.
    double LeadTime(int entry) const;
    // Nautical miles sailed from the start gun to RoundTime, rounded to 0.001.
    double LegDist(int entry, int boat) const;

    // Working values of the course geometry, entries 1..entryCount. A missing mark or line has
    // pointKnown false; its legs have a NaN course.
    std::array<double, kMaxRoundingEntries + 1> PointLat{}, PointLon{}, RoundDir{};
    std::array<bool, kMaxRoundingEntries + 1> pointKnown{};
    // LegCourse(t), bearing from point t to t + 1, t = 1..entryCount - 1 (element 0 unused).
    std::array<double, kMaxRoundingEntries + 1> LegCourse{};

    void clear();
    // For callers that build results by hand (tests, tables); out-of-range writes are ignored.
    void setRoundTime(int entry, int boat, double sec);
    void setLeadTime(int entry, double sec);
    void setLegDist(int entry, int boat, double nm);

private:
    static bool inRange(int entry, int boat) {
        return entry >= 1 && entry <= kMaxRoundingEntries && boat >= 1 && boat <= kMaxBoats;
    }
    std::array<std::array<double, kMaxBoats + 1>, kMaxRoundingEntries + 1> roundTime_{};
    std::array<std::array<double, kMaxBoats + 1>, kMaxRoundingEntries + 1> legDist_{};
    std::array<double, kMaxRoundingEntries + 1> leadTime_{};
};

// Detects every boat's passing of every course entry taking part and the leaders; writes
// RoundTime, LeadTime, the course geometry and LegCourse. The detection window of the entries
// after the first ends at def.RaceSecondsPlus. Clears LegDist.
void computeRoundings(const RaceDefinition& def, const TrackStore& store, RoundingResults& out);

// Fills LegDist from RoundTime and the boats' TrkDist. Run right after computeRoundings.
void computeLegDistances(const RaceDefinition& def, const TrackStore& store, RoundingResults& out);

// Bearings from course point t to t + 1 for t = 1..n - 1 (n = entries taking part), as a
// plain list: element i is leg i + 1. A leg touching a missing mark or line is NaN.
std::vector<double> legCourses(const RaceDefinition& def, const TrackStore& store);

// The distance boat b had sailed at second s (nautical miles from its first sample): linear
// between the samples around s; before the first sample or after the last, that sample's value.
double distanceSailedAt(const TrackStore& store, int b, double s);

}  // namespace brisko
