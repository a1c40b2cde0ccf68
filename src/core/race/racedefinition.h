// The race definition: what a race control file holds, plus the values derived from it when it
// is read. One instance lives for the process; opening another race overwrites it in place.
// Lists are numbered from 1 (element 0 is never used) with fixed capacities.
#pragma once

#include <array>
#include <cmath>
#include <string>

#include "race/racetimes.h"

namespace brisko {

// The boat length, in metres, when the race gives none: a dinghy's.
constexpr double kDefaultBoatLength = 4.7;
// A race's BoatLength when it can be drawn (positive and finite), else the default.
inline double boatLengthOrDefault(double metres) {
    return (metres > 0 && std::isfinite(metres)) ? metres : kDefaultBoatLength;
}

constexpr int kMaxBoats = 50;
constexpr int kMaxMarks = 30;
constexpr int kMaxLines = 10;
constexpr int kMaxCourse = 50;
constexpr int kMaxCoastTiles = 20;
constexpr int kMaxAttachments = 50;

struct BoatEntry {
    std::string GpsFile;   // file name in \gpsdat\ (".trk" or ".dtr")
    std::string BoatName;  // the name shown on the map and in the tables
};

struct MarkEntry {
    double MarkLat = 0;  // minutes of arc, north positive
    double MarkLon = 0;  // minutes of arc, east positive
    // False when the race file gave no position that can be used (no digits, not finite, off
    // the globe): the mark keeps its number but no course entry can be rounded at it.
    bool PositionKnown = true;
};

struct LineEntry {
    double LineLat1 = 0, LineLon1 = 0;  // first end, minutes of arc
    double LineLat2 = 0, LineLon2 = 0;  // second end
    bool PositionKnown = true;          // false: an end is not a position (see MarkEntry)
};

// What a course entry designates: "MK" + number is a mark, "L" + number a line.
struct CourseTarget {
    bool isLine = false;
    int number = 0;  // 0 or out of range when the entry names nothing
};

// The race times are held in the RaceTimes base, so that the track readers can be given them
// alone.
struct RaceDefinition : RaceTimes {
    std::string RaceFileName;  // file name inside \raceadmin\; not reset by reading

    std::string Title1, Title2, Title3;
    std::string WindFileName;
    double MagneticVariation = 0;  // degrees, west negative
    double BoatLength = 0;         // metres
    double MeanWindDir = 0;        // degrees, where the wind comes from
    double NorthUp = 0;            // > 0: north-up map
    double UpwindLayAngle = 45;
    double DownwindLayAngle = 160;
    double PreStartMinutes = 3;

    // Derived when the file is read.
    double PreStartSeconds = 180;
    double ViewRotation = 0;
    double WindDirNow = 0;
    double RaceSeconds = 0;
    double RaceSecondsPlus = 0;

    int BoatCount = 0;
    std::array<BoatEntry, kMaxBoats + 1> Boats{};
    int MarkCount = 0;
    std::array<MarkEntry, kMaxMarks + 1> Marks{};
    int LineCount = 0;
    std::array<LineEntry, kMaxLines + 1> Lines{};
    int CourseCount = 0;
    std::array<std::string, kMaxCourse + 1> Course{};
    int CoastTileCount = 0;
    std::array<std::string, kMaxCoastTiles + 1> CoastTiles{};
    int AttachmentCount = 0;
    std::array<std::string, kMaxAttachments + 1> Attachments{};
};

// Resolves a course entry by its first character: "L" + number is a line, anything else a
// mark numbered from the third character on ("MK12" is mark 12).
CourseTarget resolveCourseEntry(const std::string& entry);

}  // namespace brisko
