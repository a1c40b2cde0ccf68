// GPS track files (".trk" / ".dtr", and GPX or NMEA logs told apart by their content): the
// parser that turns one boat's log into its samples and settles the race times from the fixes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "race/racetimes.h"
#include "track/trackstore.h"
#include "util/datetime.h"

namespace brisko {

// Files of this size or smaller are not track logs worth reading.
constexpr std::size_t kMinTrackFileBytes = 500;
// A track line holds at most this many fields; further ones are ignored.
constexpr int kMaxTrackFields = 20;

// How the numbers of the following track lines are packed; a "U" line chooses it.
enum class CoordinateForm {
    DegreesMinutes,        // DDMM.mmmm / DDDMM.mmmm (the default)
    DecimalDegrees,        // DD.dddd ("U ... DEG")
    DegreesMinutesSeconds  // DDMMSS.s / DDDMMSS.s ("U ... DMS")
};

// Reads a coordinate field with its hemisphere mark ("N3535.1234", "S35.5", "+3530.1",
// "-13945.1234", "E13945.1234") in the given form. The mark is looked for in this field only:
// N/S for a latitude, E/W for a longitude, or a leading "+" / "-". A field without a mark is
// read as a signed number. Returns signed minutes of arc; a field without digits is no
// position and gives NaN (the fix is then left out as unreadable).
double readCoordinate(std::string_view field, bool latitude, CoordinateForm form);

// Reads a date field ("11-08-05", "11-AUG-05", "2005/08/11", "11/08/2005") as days since
// 1970-01-01. `yearFirst` is the file's date form; a four-digit part marks the year whatever
// the form. Two-digit years 00-79 are 20yy, 80-99 are 19yy. nullopt when it is not a date.
std::optional<std::int64_t> readTrackDate(std::string_view field, bool yearFirst);

// Reads a time of day "h:mm:ss" (a fraction of a second is dropped); seconds of the day or
// nullopt.
std::optional<int> readTrackTime(std::string_view field);

// Whether the file's name lets it be read: ending in "TRK", "DTR", "trk" or "dtr" exactly (the
// track files of hand-held receivers), or in ".gpx", ".nmea", ".nma" or ".log" in any case
// (the logs of today's watches, phones and chartplotters).
bool isReadableTrackName(std::string_view path);

// What a log holds, told by its first bytes whatever its name says.
enum class TrackFileKind {
    Track,  // lines of "T" fixes (also anything that is neither of the others)
    Gpx,    // XML: the first thing after blanks (and a byte order mark) is "<"
    Nmea,   // NMEA 0183 sentences: a "$..RMC," or "$..GGA," line comes before any "T" line
};
TrackFileKind detectTrackKind(std::string_view head);

// Why a track file was not read at all.
enum class TrackFileRefusal {
    None,
    WrongExtension,  // the name does not end in TRK, DTR, trk or dtr
    NotReadable,     // missing, a folder, or no permission
    TooSmall,        // 500 bytes or fewer
};

struct GpsTrackStats {
    bool accepted = false;  // false: missing, too small or another extension; nothing was read
    TrackFileKind kind = TrackFileKind::Track;                 // how the file was read
    TrackFileRefusal refusal = TrackFileRefusal::NotReadable;  // why, when not accepted
    std::size_t bytes = 0;  // the file's size, when it could be read
    // Lines starting with "T" that had at least 6 fields; in a GPX file its track points, in an
    // NMEA log its RMC and GGA sentences.
    int trackLines = 0;
    int kept = 0;           // samples stored
    int unreadable = 0;     // track lines skipped for a date, time or position that can't be read
    int tooFewFields = 0;   // lines starting with "T" with fewer than 6 fields
    int outsideWindow = 0;  // readable fixes outside ViewStart..ViewEnd
    int sameSecond = 0;     // readable fixes in the window at the second of the fix kept before
    int badChecksum = 0;    // NMEA: RMC / GGA sentences whose checksum is missing or wrong
    int noFix = 0;          // NMEA: sentences the receiver marks as no fix (status V, quality 0)
    int undated = 0;        // NMEA: GGA fixes with no RMC date anywhere in the log
    std::string damage;     // GPX: where and why the XML stops being readable (empty: whole)
};

// Parses the bytes of one track file and appends its kept fixes to `track` (TrkLat, TrkLon,
// TrkSec). Reads RaceStart, RaceEnd, ViewStart, ViewEnd and TimeDiff of `race` and may write
// RaceStart, RaceEnd, ViewStart, ViewEnd, FirstFix and LastFix. One pass, no allocation per line.
GpsTrackStats parseGpsTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track);

// Parses the bytes of a log of any kind: a GPX file, an NMEA log or a track file, told by the
// content. The size rule of track files is not applied here.
GpsTrackStats parseAnyTrack(std::string_view bytes, RaceTimes& race, BoatTrack& track);

// Applies the file acceptance rules (existence, extension, and for track files the size), then
// parses the file by its content; a GPX file is read in pieces, never whole. The
// extension rule applies to `writtenName` (the name as the race gives it) when it is not empty.
// `buffer`, when given, holds the file's bytes and keeps its room for the next file.
GpsTrackStats readGpsTrackFile(const std::string& path, RaceTimes& race, BoatTrack& track,
                               std::string_view writtenName = {}, std::string* buffer = nullptr);

}  // namespace brisko
