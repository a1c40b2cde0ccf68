// What a coach asks after the leg tables: the wind in force (from the wind file, estimated from
// the fleet's tacks and gybes, or the race file's mean direction), every boat's tacks, gybes and
// penalty turns with what each cost, the start, each leg's angles and speeds, and the gaps to the
// first boat at every course entry. Computed once when a race opens; read by the race screen's
// tables, chart and graphs and by brisko-analyse.
//
// Times are race seconds (TrkSec: 0 = the start gun, negative before it). Speeds in knots,
// distances in metres unless a name says nautical miles, angles in degrees true (where the wind
// comes from, clockwise from north). A value that does not exist (no fix at that time, a zero
// time or speed to divide by) is an empty optional, never NaN or infinite.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "race/racedefinition.h"
#include "track/rounding.h"
#include "track/trackstore.h"
#include "track/windfile.h"

namespace brisko {

// ---------------------------------------------------------------------------------------------
// The wind in force

enum class WindSource {
    File,       // the wind file's samples, magnetic directions made true
    Estimated,  // from the fleet's tacks and gybes
    RaceFile,   // the race file's mean wind direction only
};
// "file", "estimated", "race file": the words brisko-analyse prints.
const char* windSourceName(WindSource s);

struct WindSample {
    double sec = 0;  // race seconds
    double dir = 0;  // degrees true, where the wind comes from, [0, 360)
};

struct WindInForce {
    WindSource source = WindSource::RaceFile;
    double meanDir = 0;                // the race file's mean wind direction (true)
    std::vector<WindSample> samples;   // time order: file samples made true, or the estimate
    // The true wind direction at race second s: between samples the shorter way round the
    // circle, before the first and after the last that sample's value; meanDir without samples.
    double dirAt(double sec) const;
};

// The wind file's samples made true with the race's magnetic variation (true = magnetic + MG,
// west negative), as the wind indicator shows them; source File. Without samples: RaceFile.
WindInForce windFromFile(const RaceDefinition& race, const WindStore& wind);

// ---------------------------------------------------------------------------------------------
// Manoeuvres

enum class ManoeuvreKind { Tack, Gybe, Penalty };
// "tack", "gybe", "penalty".
const char* manoeuvreKindName(ManoeuvreKind k);

struct Manoeuvre {
    double time = 0;  // the moment of fastest turning
    ManoeuvreKind kind = ManoeuvreKind::Tack;
    double lat = 0, lon = 0;  // minutes of arc, as in the track store
    double duration = 0;      // seconds from entry to exit
    double turn = 0;          // degrees, positive = to starboard (clockwise)
    double speedIn = 0, speedMin = 0, speedOut = 0;  // knots at entry, lowest, at exit
    std::optional<double> lossM;  // metres lost against sailing on at the entry speed and course
    std::optional<double> lossS;  // lossM over the velocity made good at entry
    bool confident = true;        // false when the entry or exit search hit its limit
    double entryTime = 0, exitTime = 0;
};

// Every tack, gybe and penalty turn of one boat, in time order, judged against `wind`.
std::vector<Manoeuvre> findManoeuvres(const TrackStore& store, int boat, const WindInForce& wind);

// The wind in force for the race: the file's when it has samples, else estimated from the
// fleet's tacks and gybes (a sliding median over a few minutes), else the race file's mean.
WindInForce windInForce(const RaceDefinition& race, const TrackStore& store, const WindStore& wind);

// ---------------------------------------------------------------------------------------------
// The start

struct StartLineAnalysis {
    double lengthM = 0;
    double windDir = 0;   // true wind at the gun
    double biasDeg = 0;   // angle to the perpendicular of the wind; positive = end 2 to windward
    std::optional<int> favouredEnd;  // 1 or 2; empty when square to 0.5 degrees
    double advantageM = 0;           // windward distance between the ends
};

struct BoatStart {
    std::optional<double> gunDistM;   // signed distance to the line at the gun; < 0 course side
    std::optional<double> gunAlong;   // 0 at end 1, 1 at end 2, outside beyond an end
    std::optional<double> gunSpeed;   // knots at the gun
    bool ocs = false;                 // on the course side at the gun
    std::optional<double> crossTime;  // RoundTime of entry 1; empty when 0
    std::optional<double> crossSpeed;
    std::optional<double> crossAlong;
};

// ---------------------------------------------------------------------------------------------
// Legs and gaps

enum class LegType { Upwind, Downwind, Reach };
// "upwind", "downwind", "reach".
const char* legTypeName(LegType t);

struct LegStats {
    LegType type = LegType::Reach;
    double sailedNm = 0;           // distance sailed from the rounding of entry k-1 to entry k
    double rhumbNm = 0;            // straight line from course point k-1 to k
    std::optional<double> sog;     // mean speed over ground, knots
    std::optional<double> vmg;     // mean velocity made good to the wind; empty on a reach
    std::optional<double> vmc;     // mean velocity made good toward course point k
    int tacks = 0, gybes = 0;
    double lossM = 0;              // summed loss of the leg's manoeuvres
};

struct Gap {
    double timeS = 0;  // behind the first boat at the entry
    double distM = 0;  // windward (or along-the-leg) distance behind it when it passed
};

// ---------------------------------------------------------------------------------------------
// Everything together

struct CoachAnalysis {
    WindInForce wind;
    std::optional<StartLineAnalysis> startLine;  // empty when course entry 1 is not a line
    // Per boat, numbered from 1 (element 0 unused), boats 1..store.boatCount().
    std::vector<std::optional<BoatStart>> starts;         // empty without a start line
    std::vector<std::vector<Manoeuvre>> manoeuvres;
    // legs[b][k], k = 1..entryCount (element 0 empty): the leg ending at entry k.
    std::vector<std::vector<std::optional<LegStats>>> legs;
    // gaps[b][k], k = 1..entryCount (element 0 empty): empty when the boat did not pass entry k.
    std::vector<std::vector<std::optional<Gap>>> gaps;
};

// Runs every analysis above. The roundings are those computeRoundings and computeLegDistances
// found for the same race and store.
CoachAnalysis analyseRace(const RaceDefinition& race, const TrackStore& store,
                          const RoundingResults& roundings, const WindStore& wind);

}  // namespace brisko
