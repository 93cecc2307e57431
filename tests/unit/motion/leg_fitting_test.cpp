#include "motion/leg_fitting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavelune {
namespace {

CharacterLegs straightLegs(std::int16_t thigh, std::int16_t shin) {
    CharacterLegs legs;
    legs.hip = {Vec3s{-100, -50, 0}, Vec3s{100, -50, 0}};
    legs.thigh = {Vec3s{0, static_cast<std::int16_t>(-thigh), 0},
                  Vec3s{0, static_cast<std::int16_t>(-thigh), 0}};
    legs.shin = {Vec3s{0, static_cast<std::int16_t>(-shin), 0},
                 Vec3s{0, static_cast<std::int16_t>(-shin), 0}};
    legs.foot = {Vec3s{0, -80, 60}, Vec3s{0, -80, 60}};
    return legs;
}

// A pose with both legs bent: thighs forward, knees back, feet turned a little.
JointRotations bentPose() {
    JointRotations pose;
    pose.fill(Quaternion::identity());
    pose[0] = fromAxisAngle(0, 1, 0, 0.3f);
    pose[13] = fromAxisAngle(1, 0, 0.2f, -0.6f);
    pose[14] = fromAxisAngle(1, 0, 0, 0.9f);
    pose[15] = fromAxisAngle(0, 1, 0, 0.4f);
    pose[16] = fromAxisAngle(1, 0, -0.1f, -0.3f);
    pose[17] = fromAxisAngle(1, 0, 0, 0.5f);
    pose[18] = fromAxisAngle(1, 0, 0, -0.2f);
    return pose;
}

Vec3f scaled(Vec3f v, float s) { return {v.x * s, v.y * s, v.z * s}; }
float dot(Vec3f a, Vec3f b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f minus(Vec3f a, Vec3f b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

const Vec3f kDown{0, -1, 0};
const Vec3f kForward{0, 0, 1};

TEST(LegFittingTest, LegsShapedLikeTheReferenceKeepTheMotionAndScaleTheRoot) {
    LegFitting fitting(straightLegs(500, 500));
    EXPECT_DOUBLE_EQ(fitting.legFactor(), 0.5);
    JointRotations motion = bentPose();
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {101, 900, -51}, fitted, root);
    for (int joint = 0; joint < JointCount; ++joint) {
        EXPECT_NEAR(std::fabs(fitted[joint].dot(motion[joint])), 1.0f, 1e-5f) << joint;
    }
    // Root: trunc(motion * 0.5) + L0 * (0, -((-50 - 50) / 2 + 100), 0) - trunc((-80 - 80) / 2 + 100).
    EXPECT_EQ(root.x, 50);
    EXPECT_EQ(root.y, 450 - 50 - 20);
    EXPECT_EQ(root.z, -25);
}

TEST(LegFittingTest, TheRootDropIsTurnedWithTheRootRotation) {
    LegFitting fitting(straightLegs(1000, 1000));
    JointRotations motion = bentPose();
    motion[0] = fromAxisAngle(0, 0, 1, 1.5707964f);  // lying on its side
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {0, 0, 0}, fitted, root);
    // The 150-unit drop to the hips now points along x.
    EXPECT_NEAR(root.x, 150, 1);
    EXPECT_EQ(root.y, -120);
}

TEST(LegFittingTest, TheKneeIsPlacedOnTheMotionsEllipseAtTheCharactersRatio) {
    const float thigh = 600.0f;
    const float shin = 1000.0f;
    LegFitting fitting(straightLegs(600, 1000));
    JointRotations motion = bentPose();
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {}, fitted, root);
    float reference = 1000.0f * static_cast<float>(fitting.legFactor());
    for (int leg = 0; leg < 2; ++leg) {
        int hip = leg == 0 ? 13 : 16;
        Vec3f motionKnee = scaled(rotate(motion[hip], kDown), reference);
        Vec3f ankle = {motionKnee.x + reference * rotate(motion[hip] * motion[hip + 1], kDown).x,
                       motionKnee.y + reference * rotate(motion[hip] * motion[hip + 1], kDown).y,
                       motionKnee.z + reference * rotate(motion[hip] * motion[hip + 1], kDown).z};
        // The fitted thigh and shin directions must reach the same ankle target from the hip:
        // ankle = s1 * d1 + s2 * d2 with positive s1 and s2.
        Vec3f d1 = rotate(fitted[hip], kDown);
        Vec3f d2 = rotate(fitted[hip] * fitted[hip + 1], kDown);
        float a11 = dot(d1, d1), a12 = dot(d1, d2), a22 = dot(d2, d2);
        float b1 = dot(d1, ankle), b2 = dot(d2, ankle);
        float det = a11 * a22 - a12 * a12;
        float s1 = (b1 * a22 - b2 * a12) / det;
        float s2 = (a11 * b2 - a12 * b1) / det;
        Vec3f reached = {s1 * d1.x + s2 * d2.x, s1 * d1.y + s2 * d2.y, s1 * d1.z + s2 * d2.z};
        EXPECT_NEAR(reached.x, ankle.x, 0.5f);
        EXPECT_NEAR(reached.y, ankle.y, 0.5f);
        EXPECT_NEAR(reached.z, ankle.z, 0.5f);
        ASSERT_GT(s1, 0.0f);
        ASSERT_GT(s2, 0.0f);
        // Along the hip-ankle line the knee sits at (T^2 - S^2) / 4h from the middle.
        float h = std::sqrt(dot(ankle, ankle)) / 2.0f;
        Vec3f axis = scaled(ankle, 1.0f / (2.0f * h));
        Vec3f knee = scaled(d1, s1);
        float along = dot(minus(knee, scaled(ankle, 0.5f)), axis);
        float spread = h >= std::fabs(thigh - shin) ? h : (h + std::fabs(thigh - shin)) / 2.0f;
        EXPECT_NEAR(along, (thigh * thigh - shin * shin) / (4.0f * spread), 0.5f);
        // And it stays on the side the motion's knee bends to.
        Vec3f side = minus(motionKnee, scaled(axis, dot(motionKnee, axis)));
        EXPECT_GT(dot(side, minus(knee, scaled(axis, dot(knee, axis)))), 0.0f);
    }
}

TEST(LegFittingTest, EachFootKeepsTheDirectionTheMotionGivesIt) {
    LegFitting fitting(straightLegs(400, 900));
    JointRotations motion = bentPose();
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {}, fitted, root);
    for (int hip : {13, 16}) {
        Vec3f wanted = rotate(motion[0] * motion[hip] * motion[hip + 1] * motion[hip + 2], kForward);
        Vec3f own = rotate(fitted[0] * fitted[hip] * fitted[hip + 1] * fitted[hip + 2], kForward);
        EXPECT_NEAR(own.x, wanted.x, 1e-4f);
        EXPECT_NEAR(own.y, wanted.y, 1e-4f);
        EXPECT_NEAR(own.z, wanted.z, 1e-4f);
    }
}

TEST(LegFittingTest, AStraightLegKeepsTheMotionsHipAndKnee) {
    LegFitting fitting(straightLegs(400, 900));
    JointRotations motion = bentPose();
    motion[14] = Quaternion::identity();  // leg 1 straight
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {}, fitted, root);
    EXPECT_EQ(fitted[13], motion[13]);
    EXPECT_EQ(fitted[14], motion[14]);
}

TEST(LegFittingTest, AShinPivotOffTheVerticalIsAlignedOntoIt) {
    CharacterLegs legs = straightLegs(1000, 1000);
    legs.shin[0] = {0, -800, 600};  // length 1000, leaning forward
    LegFitting fitting(legs);
    JointRotations motion = bentPose();
    JointRotations fitted;
    Vec3s root;
    fitting.fit(motion, {}, fitted, root);
    // The character's own shin pivot ends up where the motion's shin points.
    Vec3f own = rotate(fitted[13] * fitted[14], {0, -800, 600});
    Vec3f wanted = rotate(motion[13] * motion[14], {0, -1000, 0});
    EXPECT_NEAR(own.x, wanted.x, 0.5f);
    EXPECT_NEAR(own.y, wanted.y, 0.5f);
    EXPECT_NEAR(own.z, wanted.z, 0.5f);
}

TEST(RotationBetweenTest, TurnsOneDirectionOntoTheOther) {
    Quaternion q = rotationBetween({1, 0, 0}, {0, 2, 0});
    Vec3f turned = rotate(q, {1, 0, 0});
    EXPECT_NEAR(turned.x, 0.0f, 1e-6f);
    EXPECT_NEAR(turned.y, 1.0f, 1e-6f);
    EXPECT_EQ(rotationBetween({1, 0, 0}, {3, 0, 0}), Quaternion::identity());
    EXPECT_EQ(rotationBetween({0, 0, 0}, {3, 0, 0}), Quaternion::identity());
}

}  // namespace
}  // namespace kavelune
