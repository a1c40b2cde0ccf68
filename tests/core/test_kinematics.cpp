// Boat kinematics: distances, speeds and courses, segments that go back in time, the reference
// speed with its fallbacks, and the same numbers from one thread or two.
#include <gtest/gtest.h>

#include "track/kinematics.h"

using namespace brisko;

namespace {

// A store whose plane has 1852 metres to the minute both ways, so a minute is a mile.
TrackStore plainStore() {
    TrackStore s;
    s.reset(1);
    s.MPerMinLat = kMetresPerNauticalMile;
    s.MPerMinLon = kMetresPerNauticalMile;
    s.LonFactor = 1;
    return s;
}

}  // namespace

TEST(Kinematics, DistancesSpeedsAndCourses) {
    TrackStore s = plainStore();
    BoatTrack& t = s.boats[1];
    t.append(2130, 8385, 0);
    t.append(2131, 8385, 60);    // 1 mile north in a minute: 60 knots
    t.append(2131, 8385, 90);    // standing still
    t.append(2131, 8386, 80);    // 1 mile east, back in time: speed 0, distance counts
    t.append(2131, 8386.5, 80);  // no time passes
    deriveKinematics(s);
    EXPECT_EQ(s.TrkDist(1, 1), 0);
    EXPECT_NEAR(s.TrkDist(1, 2), 1, 1e-12);
    EXPECT_NEAR(s.TrkSpeed(1, 1), 60, 1e-9);
    EXPECT_EQ(s.TrkCourse(1, 1), 0);
    EXPECT_EQ(s.TrkSpeed(1, 2), 0);
    EXPECT_EQ(s.TrkCourse(1, 2), 90);
    EXPECT_NEAR(s.TrkDist(1, 3), 1, 1e-12);
    EXPECT_EQ(s.TrkSpeed(1, 3), 0);
    EXPECT_EQ(s.TrkCourse(1, 3), 90);
    EXPECT_NEAR(s.TrkDist(1, 4), 2, 1e-12);
    EXPECT_EQ(s.TrkSpeed(1, 4), 0);
    EXPECT_NEAR(s.TrkDist(1, 5), 2.5, 1e-12);
    EXPECT_EQ(s.TrkSpeed(1, 5), 0);  // the last sample has no segment
    EXPECT_EQ(s.TrkCourse(1, 5), 0);

    // LonFactor shrinks east steps; MPerMinLat scales the distance.
    TrackStore w = plainStore();
    w.LonFactor = 0.5;
    w.MPerMinLat = 2 * kMetresPerNauticalMile;
    w.boats[1].append(0, 0, 0);
    w.boats[1].append(0, 2, 3600);
    deriveKinematics(w);
    EXPECT_NEAR(w.TrkDist(1, 2), 2, 1e-12);
    EXPECT_NEAR(w.TrkSpeed(1, 1), 2, 1e-12);
}

TEST(Kinematics, BoatsWithFewSamples) {
    TrackStore s = plainStore();
    s.reset(3);
    s.MPerMinLat = kMetresPerNauticalMile;
    s.boats[2].append(2130, 8385, 5);
    deriveKinematics(s);  // boat 1 and 3 empty, boat 2 one sample
    EXPECT_EQ(s.TrkCount(1), 0);
    EXPECT_EQ(s.TrkDist(2, 1), 0);
    EXPECT_EQ(s.TrkSpeed(2, 1), 0);
    EXPECT_EQ(referenceSpeed(s, 1320), kFallbackRefSpeed);
}

TEST(Kinematics, ReferenceSpeedFromTheFirstHalfOfTheRace) {
    TrackStore s = plainStore();
    BoatTrack& t = s.boats[1];
    // Sample every 100 s from -200 s, 0.5 miles per 100 s until 700 s.
    for (int i = 0; i <= 9; ++i) t.append(2130 + 0.5 * i, 8385, -200 + 100.0 * i);
    deriveKinematics(s);
    // Race of 1320 s: H = 600; start segment k = 3 (0..100), middle segment k = 9 (600..700).
    // TrkDist(9) - TrkDist(3) = 3 miles in 600 s: 18 knots.
    EXPECT_NEAR(referenceSpeed(s, 1320), 18, 1e-9);
    EXPECT_NEAR(speedBarScale(18), 70 / 28.8, 1e-12);

    // No half-race segment (race longer than the track): boat 1's mean speed over its track.
    EXPECT_NEAR(referenceSpeed(s, 5000), 4.5 / 900 * 3600, 1e-9);
    // A race of 120 s or less.
    EXPECT_NEAR(referenceSpeed(s, 120), 18, 1e-9);
    // A track starting after the gun.
    TrackStore late = plainStore();
    late.boats[1].append(2130, 8385, 10);
    late.boats[1].append(2131, 8385, 370);
    deriveKinematics(late);
    EXPECT_NEAR(referenceSpeed(late, 1320), 10, 1e-9);
    // A boat that never moved: no distance, so the fixed fallback.
    TrackStore still = plainStore();
    for (int i = 0; i < 20; ++i) still.boats[1].append(2130, 8385, -100 + 100.0 * i);
    deriveKinematics(still);
    EXPECT_EQ(referenceSpeed(still, 1320), kFallbackRefSpeed);
    EXPECT_GT(speedBarScale(0), 0);
}
