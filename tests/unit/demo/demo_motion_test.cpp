// Moves are authored by placing the feet; the solved rotations must put the reference figure's
// ankles exactly there, or the dancers' feet slide and sink.
#include <gtest/gtest.h>

#include <cmath>

#include "kit/demo/demo_motion.h"

namespace kvl::demo {
namespace {

using kavelune::Quaternion;
using kavelune::Vec3f;

Vec3f add(Vec3f a, Vec3f b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// Forward kinematics of the reference leg the characters' leg fitting assumes: hips 200 below
// the root and 210 to each side, thigh and shin 1000 each.
struct ReferenceLeg {
    Vec3f ankle;
    Quaternion foot;
};

ReferenceLeg referenceLeg(const MotionFrame& frame, int side) {
    const int hip = side == 0 ? 13 : 16;
    const float sign = side == 0 ? 1.0f : -1.0f;
    const auto& r = frame.rotations;
    const Quaternion thigh = r[0] * r[hip];
    const Quaternion shin = thigh * r[hip + 1];
    Vec3f point{static_cast<float>(frame.root.x), static_cast<float>(frame.root.y), static_cast<float>(frame.root.z)};
    point = add(point, kavelune::rotate(r[0], {sign * 210.0f, -200.0f, 0.0f}));
    point = add(point, kavelune::rotate(thigh, {0.0f, -1000.0f, 0.0f}));
    point = add(point, kavelune::rotate(shin, {0.0f, -1000.0f, 0.0f}));
    return {point, shin * r[hip + 2]};
}

void expectNear(Vec3f actual, Vec3f expected, float tolerance, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
    EXPECT_NEAR(actual.z, expected.z, tolerance) << what;
}

TEST(DemoMotionSolve, StandingPutsBothAnklesAtTheirHeightUnderTheHips) {
    const MotionFrame frame = solveFrame(FigurePose{});
    expectNear(referenceLeg(frame, 0).ankle, {210.0f, 200.0f, 0.0f}, 2.0f, "left");
    expectNear(referenceLeg(frame, 1).ankle, {-210.0f, 200.0f, 0.0f}, 2.0f, "right");
}

TEST(DemoMotionSolve, PlacedFeetStayPutWhileTheBodyMovesAndTurns) {
    FigurePose pose;
    pose.x = 140.0;
    pose.z = -60.0;
    pose.height = 2250.0;
    pose.pelvis.turn = 35.0;
    pose.pelvis.side = 6.0;
    pose.feet[0] = {380.0, 120.0, 0.0, 20.0, 0.0};
    pose.feet[1] = {-150.0, -90.0, 240.0, -10.0, 0.0};
    const MotionFrame frame = solveFrame(pose);
    expectNear(referenceLeg(frame, 0).ankle, {380.0f, 200.0f, 120.0f}, 2.0f, "planted left");
    expectNear(referenceLeg(frame, 1).ankle, {-150.0f, 440.0f, -90.0f}, 2.0f, "lifted right");
}

TEST(DemoMotionSolve, FeetPointWhereAskedAndStayFlat) {
    FigurePose pose;
    pose.pelvis.turn = 50.0;
    pose.feet[0].turn = 30.0;
    const MotionFrame frame = solveFrame(pose);
    const Quaternion foot = referenceLeg(frame, 0).foot;
    const Vec3f forward = kavelune::rotate(foot, {0.0f, 0.0f, 1.0f});
    const float radians = 30.0f * 3.14159265f / 180.0f;
    expectNear(forward, {std::sin(radians), 0.0f, std::cos(radians)}, 0.01f, "toes");
    expectNear(kavelune::rotate(foot, {0.0f, 1.0f, 0.0f}), {0.0f, 1.0f, 0.0f}, 0.01f, "sole");
}

TEST(DemoMotionSolve, KneesBendForwardWhenTheBodyDips) {
    FigurePose pose;
    pose.height = 2200.0;
    const MotionFrame frame = solveFrame(pose);
    const Quaternion thigh = frame.rotations[0] * frame.rotations[13];
    const Vec3f knee = kavelune::rotate(thigh, {0.0f, -1000.0f, 0.0f});
    EXPECT_GT(knee.z, 100.0f);
}

TEST(DemoMotionSample, SpreadsFramesOverTheBarsWithRotationsOnOneSideOfTheSphere) {
    // A full turn: the stored rotations pass through w < 0 and must still follow on smoothly.
    const auto motion = sampleMove(2, 4, 4, [](double beat) {
        FigurePose pose;
        pose.pelvis.turn = 360.0 * beat / 8.0;
        return pose;
    });
    EXPECT_EQ(motion.bars, 2);
    ASSERT_EQ(motion.frames, 2 * 4 * 4 + 1);
    ASSERT_EQ(motion.rotations.size(), static_cast<std::size_t>(motion.frames) * kavelune::JointCount);
    ASSERT_EQ(motion.rootPositions.size(), static_cast<std::size_t>(motion.frames));
    for (int f = 1; f < motion.frames; ++f) {
        for (int s = 0; s < kavelune::JointCount; ++s) {
            const Quaternion& a = motion.rotations[(f - 1) * kavelune::JointCount + s];
            const Quaternion& b = motion.rotations[f * kavelune::JointCount + s];
            EXPECT_GT(a.dot(b), 0.0f) << "frame " << f << " joint " << s;
        }
    }
    EXPECT_EQ(kavelune::motionDefect(motion), nullptr);
}

}  // namespace
}  // namespace kvl::demo
