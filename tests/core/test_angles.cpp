// Angles and bearings: the bearing of a step in every direction and at the quadrant edges, the
// two reductions of angle differences and where they part, and the degree factor.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "util/angles.h"

using namespace brisko;

TEST(Angles, BearingInEveryDirection) {
    EXPECT_EQ(bearingDegrees(0, 0), 90);  // no movement reads as due east
    EXPECT_EQ(bearingDegrees(1, 0), 0);
    EXPECT_EQ(bearingDegrees(-1, 0), 180);
    EXPECT_EQ(bearingDegrees(0, 1), 90);
    EXPECT_EQ(bearingDegrees(0, -1), 270);
    EXPECT_EQ(bearingDegrees(0, -0.0), 90);  // a negative zero east step is no step west
    EXPECT_DOUBLE_EQ(bearingDegrees(1, 1), 45);
    EXPECT_DOUBLE_EQ(bearingDegrees(-1, 1), 135);
    EXPECT_DOUBLE_EQ(bearingDegrees(-1, -1), 225);
    EXPECT_DOUBLE_EQ(bearingDegrees(1, -1), 315);
    // Just west of north: close to 360 but never 360 itself.
    EXPECT_NEAR(bearingDegrees(1, -1e-12), 360, 1e-6);
    EXPECT_LT(bearingDegrees(1, -1e-12), 360);
    EXPECT_GT(bearingDegrees(1, 1e-12), 0);
    // Only the direction counts, not the length of the step.
    EXPECT_DOUBLE_EQ(bearingDegrees(3e-7, 4e-7), bearingDegrees(3e5, 4e5));
}

TEST(Angles, BearingAgreesWithTheFullArctangent) {
    // Over random steps of every size and direction: within [0, 360) and the same direction as
    // atan2 gives, to rounding.
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < 100000; ++i) {
        const double dN = u(rng) * std::pow(10, i % 7 - 3), dE = u(rng);
        const double b = bearingDegrees(dN, dE);
        ASSERT_GE(b, 0);
        ASSERT_LT(b, 360);
        double want = std::atan2(dE, dN) / kDegToRad;
        if (want < 0) want += 360;
        const double gap = std::fabs(b - want);
        ASSERT_LT(std::min(gap, 360 - gap), 1e-9) << dN << " " << dE;
    }
}

TEST(Angles, ReductionsOfDifferences) {
    EXPECT_EQ(reduceAngle180(180), 180);
    EXPECT_EQ(reduceAngle180(-180), 180);  // the half-open range keeps +180
    EXPECT_EQ(reduceAngle180(10 - 350), 20);
    EXPECT_EQ(reduceAngle180(725), 5);
    EXPECT_EQ(reduceAngle180(-725), -5);
    EXPECT_EQ(reduceAngle180(std::nan("")), 0);
    EXPECT_EQ(reduceAngle180(INFINITY), 0);
    EXPECT_EQ(normalizeAngle360(-4), 356);
    EXPECT_EQ(normalizeAngle360(720), 0);
    EXPECT_EQ(normalizeAngle360(359.5), 359.5);
    EXPECT_EQ(normalizeAngle360(-1e-20), 0);  // 360 - tiny rounds to 360, which is brought to 0
    EXPECT_EQ(normalizeAngle360(-INFINITY), 0);

    // The bearing difference is folded once and keeps -180: a straight-on course (back bearing
    // 180, next leg 0) turns by -180, not +180.
    EXPECT_EQ(foldBearingDifference(0 - 180), -180);
    EXPECT_EQ(foldBearingDifference(180), 180);
    EXPECT_EQ(foldBearingDifference(350 - 10), -20);
    EXPECT_EQ(foldBearingDifference(10 - 350), 20);
    // Within (-180, 180) both reductions agree.
    for (double a = -359.75; a < 360; a += 0.5)
        if (std::fabs(a) != 180) {
            EXPECT_EQ(foldBearingDifference(a), reduceAngle180(a)) << a;
        }
}

TEST(Angles, DegreeFactorIsPiOver180) {
    EXPECT_EQ(kDegToRad, 4.0 * std::atan(1.0) / 180.0);
    EXPECT_EQ(kDegToRad, M_PI / 180);
    EXPECT_DOUBLE_EQ(std::sin(30 * kDegToRad), 0.5);
}
