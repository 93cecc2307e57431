#include "base/quaternion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavelune {
namespace {

constexpr float kPi = 3.14159265358979f;

void expectNear(const Quaternion& actual, const Quaternion& expected, float tolerance = 1e-5f) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
    EXPECT_NEAR(actual.w, expected.w, tolerance);
}

TEST(QuaternionTest, HamiltonProductOfBasisElements) {
    Quaternion i{1, 0, 0, 0}, j{0, 1, 0, 0}, k{0, 0, 1, 0};
    expectNear(i * j, k);
    expectNear(j * k, i);
    expectNear(k * i, j);
    expectNear(j * i, {0, 0, -1, 0});
    expectNear(i * i, {0, 0, 0, -1});
    // Hand-worked: (1,2,3,4) ⊗ (5,6,7,8).
    expectNear(Quaternion{1, 2, 3, 4} * Quaternion{5, 6, 7, 8}, {24, 48, 48, -6});
}

TEST(QuaternionTest, RotatesVectorsAndTruncatesTowardZero) {
    Quaternion quarterTurnY = fromAxisAngle(0, 1, 0, kPi / 2);
    Vec3f r = rotate(quarterTurnY, {1, 0, 0});
    EXPECT_NEAR(r.x, 0, 1e-6);
    EXPECT_NEAR(r.z, -1, 1e-6);

    // (10, 0, 0) rotated 45° about z is (7.07, 7.07); adding (-20, 0, 0) gives -12.93 → -12.
    Quaternion eighthTurnZ = fromAxisAngle(0, 0, 1, kPi / 4);
    Vec3s p = rotateAndTranslate(eighthTurnZ, {10, 0, 0}, {-20, 0, 0});
    EXPECT_EQ(p, (Vec3s{-12, 7, 0}));
}

TEST(QuaternionTest, PartialRotationTakesTheShortWayAndFallsBackNearIdentity) {
    Quaternion half = fromAxisAngle(1, 0, 0, kPi / 2);
    expectNear(partialRotation(half, 0.5f), fromAxisAngle(1, 0, 0, kPi / 4));
    expectNear(partialRotation(half, 0.0f), Quaternion::identity());
    // The negated quaternion is the same rotation and must give the same result.
    Quaternion negated{-half.x, -half.y, -half.z, -half.w};
    expectNear(partialRotation(negated, 0.5f), fromAxisAngle(1, 0, 0, kPi / 4));
    // Within the 0.0001 threshold the weights are linear: (t·x, t·y, t·z, 1 − t + t·w).
    Quaternion tiny{0.001f, 0, 0, 0.9999995f};
    Quaternion result = partialRotation(tiny, 0.25f);
    EXPECT_FLOAT_EQ(result.x, 0.25f * 0.001f);
    EXPECT_FLOAT_EQ(result.w, 0.75f + 0.25f * 0.9999995f);
}

TEST(QuaternionTest, SlerpInterpolatesTheShorterWayWithoutRenormalising) {
    Quaternion a = fromAxisAngle(0, 0, 1, 0.2f);
    Quaternion b = fromAxisAngle(0, 0, 1, 1.0f);
    expectNear(slerp(a, b, 0.5f), fromAxisAngle(0, 0, 1, 0.6f));
    expectNear(slerp(a, b, 0.0f), a);
    expectNear(slerp(a, b, 1.0f), b);
    Quaternion bNegated{-b.x, -b.y, -b.z, -b.w};
    expectNear(slerp(a, bNegated, 0.5f), fromAxisAngle(0, 0, 1, 0.6f));
    // Linear fallback with unnormalised input stays unnormalised.
    Quaternion doubled{0, 0, 0, 2};
    expectNear(slerp(Quaternion::identity(), doubled, 0.5f), {0, 0, 0, 1.5f});
}

TEST(QuaternionTest, LogAndExpAreInverse) {
    Quaternion q = normalized({0.3f, -0.2f, 0.5f, 0.8f});
    expectNear(quaternionExp(quaternionLog(q)), q);
    expectNear(quaternionExp(quaternionLog(Quaternion::identity())), Quaternion::identity());
}

TEST(Vec3sTest, ConversionTruncatesTowardZero) {
    EXPECT_EQ(truncateToVec3s(1.9f, -1.9f, -0.5f), (Vec3s{1, -1, 0}));
    EXPECT_EQ(truncateToI16(40000.0f), -25536);  // wraps like a stored coordinate
    // Values no integer holds (from a damaged file's rotations) come out as 0, not as whatever
    // the processor makes of an out-of-range conversion.
    EXPECT_EQ(truncateToI16(1e30f), 0);
    EXPECT_EQ(truncateToI16(-1e30f), 0);
    EXPECT_EQ(truncateToI16(std::nanf("")), 0);
}

}  // namespace
}  // namespace kavelune
