// Turns of one boat's course over ground, found without knowing the wind: every change of course
// of some size between a steady course before and a steady course after, with its entry and
// exit, its speeds and the distance it cost. The manoeuvre finder tells tacks, gybes and penalty
// turns among them by the wind in force; the wind estimate takes the bisectors of their courses.
#pragma once

#include <optional>
#include <vector>

#include "track/trackstore.h"

namespace brisko {

// Tracks are looked at on a grid of this step in seconds: fixes a second apart (the common log)
// fall on it, denser fixes are thinned and sparser ones interpolated, so that every window below
// holds a fixed number of grid points and the whole search stays linear in the track's length.
constexpr double kTurnGridStep = 1;
// A gap longer than this (seconds) between two fixes, or a fix earlier than the one before, ends
// a stretch of track: nothing is interpolated, smoothed or turned across it.
constexpr double kTurnMostGap = 10;
// The course and speed at a moment are taken between the mean positions of this many seconds of
// track before and after it: GPS positions wander a few metres, so a course from fixes a second
// apart swings by tens of degrees at dinghy speeds, while a tack still shows as one turn.
constexpr int kTurnSmoothingSeconds = 4;
// Below this speed (knots) the course over ground is GPS noise; it is held at its last value.
constexpr double kTurnLeastSpeed = 0.8;
// A course changing faster than this (degrees a second, after smoothing) is turning. Slow enough
// for a keelboat's gybe, fast enough that GPS noise on a straight line seldom reaches it.
constexpr double kTurningRate = 2.5;
// Turning of the same direction resumed within this many seconds is the same turn: a boat that
// hangs head to wind for a moment, or turns in two steps, makes one tack.
constexpr double kTurnMergeGap = 3;
// The course is steady when over kSteadySeconds it stays within kSteadyTolerance degrees of
// itself: loose enough for noise and a boat settling on its new course, tight enough that a
// boat still turning is not taken as steady.
constexpr int kSteadySeconds = 5;
constexpr double kSteadyTolerance = 10;
// The smallest change of course (degrees) between the steady courses that is a turn at all;
// wobbles on waves and steering to shifts stay below it.
constexpr double kLeastTurn = 50;
// The steady course before and after a turn is looked for at most this many seconds before
// its first and after its last turning moment; a turn whose search ends here is not confident.
constexpr double kTurnSearchLimit = 30;

struct CourseTurn {
    double time = 0;  // race seconds of the fastest turning
    double entryTime = 0, exitTime = 0;
    double lat = 0, lon = 0;             // minutes of arc at `time`
    double courseIn = 0, courseOut = 0;  // degrees, [0, 360), steady course before and after
    double turn = 0;                     // degrees, positive to starboard (clockwise)
    double speedIn = 0, speedMin = 0, speedOut = 0;  // knots
    std::optional<double> lossM;                     // metres lost against sailing on at entry
    std::optional<double> lossS;                     // lossM over the velocity made good at entry
    bool confident = true;  // false when a search for a steady course hit its limit
};

// Every turn of at least kLeastTurn degrees of boat `boat`, in time order. Positions are turned
// into metres with the store's MPerMinLat and MPerMinLon.
std::vector<CourseTurn> findCourseTurns(const TrackStore& store, int boat);

// The direction halfway between a turn's steady courses, on the side the boat turned through
// when the turn is under 180 degrees: the wind's eye of a tack, dead downwind of a gybe.
double turnBisector(const CourseTurn& t);

}  // namespace brisko
