#include <gtest/gtest.h>

#include <numbers>

#include "model/character_pose.h"
#include "model/finger_pose.h"
#include "model/model_setup.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

constexpr float kDegree = std::numbers::pi_v<float> / 180.0f;

void expectNear(const Vec3f& a, const Vec3f& b) {
    EXPECT_NEAR(a.x, b.x, 1e-5f);
    EXPECT_NEAR(a.y, b.y, 1e-5f);
    EXPECT_NEAR(a.z, b.z, 1e-5f);
}

void expectSameRotation(const Quaternion& a, const Quaternion& b) {
    EXPECT_NEAR(std::abs(a.dot(b)), 1.0f, 1e-6f);
}

FingerPoseBytes recordWith(std::initializer_list<std::pair<std::size_t, std::int16_t>> values) {
    FingerPoseBytes record{};
    for (auto [offset, value] : values) {
        auto raw = static_cast<std::uint16_t>(value);
        record[offset] = static_cast<std::uint8_t>(raw & 0xFF);
        record[offset + 1] = static_cast<std::uint8_t>(raw >> 8);
    }
    return record;
}

HandModel preparedHand(float side) {
    CharacterModel model = testing::makeFigure(testing::FigureOptions{.hands = true});
    prepareLoadedModel(model);
    return std::move(model.hands[side > 0 ? 0 : 1]);
}

TEST(EulerRotation, AppliesYThenXThenZWithHalfAngles) {
    Quaternion q = eulerRotation(30.0f, 40.0f, 50.0f);
    Vec3f v{0.3f, -0.5f, 0.8f};
    Vec3f stepwise = rotate(fromAxisAngle(0, 0, 1, 50 * kDegree),
                            rotate(fromAxisAngle(1, 0, 0, 30 * kDegree),
                                   rotate(fromAxisAngle(0, 1, 0, 40 * kDegree), v)));
    expectNear(rotate(q, v), stepwise);
    expectNear(rotate(eulerRotation(90.0f, 0.0f, 0.0f), Vec3f{0, 1, 0}), Vec3f{0, 0, 1});
    EXPECT_NEAR(q.dot(q), 1.0f, 1e-6f);
}

TEST(FingerPoseConversion, FieldsLandOnTheirSegmentsWithTheSideSign) {
    FingerPoseBytes record = recordWith({{2, 2000}, {4, 1000}, {6, -500}, {8, 4500}, {10, 900},
                                         {20, 3000}, {22, 1500}, {24, 700}, {26, -800}});
    std::array<Quaternion, 16> first{};
    std::array<Quaternion, 16> second{};
    convertFingerPose(record, 1.0f, first);
    convertFingerPose(record, -1.0f, second);

    expectSameRotation(first[1], eulerRotation(20, 10, -5));
    expectSameRotation(second[1], eulerRotation(20, -10, 5));  // t0 keeps its sign
    expectSameRotation(first[2], eulerRotation(0, 45, 0));
    expectSameRotation(second[3], eulerRotation(0, -9, 0));
    // Finger 2 starts at byte 20 and drives segments 7, 8, 9.
    expectSameRotation(first[7], eulerRotation(0, 30, 15));
    expectSameRotation(second[7], eulerRotation(0, -30, -15));
    expectSameRotation(first[8], eulerRotation(0, 0, 7));
    expectSameRotation(first[9], eulerRotation(0, 0, -8));
    expectSameRotation(first[4], Quaternion::identity());
}

TEST(FingerPoses, RecordsAreConvertedOnlyWhenTheirBytesChange) {
    HandModel hand = preparedHand(1.0f);
    HandPoseInput input;
    input.first = recordWith({{12, 1000}});
    input.second = recordWith({{12, 3000}});
    input.weight = 0.25f;
    applyFingerPoses(hand, 1.0f, &input);
    expectSameRotation(hand.convertedPoses[0][4], eulerRotation(0, 10, 0));
    EXPECT_EQ(hand.localRotations[4],
              slerp(hand.convertedPoses[0][4], hand.convertedPoses[1][4], 0.25f));

    // Same bytes again: the cached conversion is used as it stands.
    Quaternion marker = fromAxisAngle(1, 0, 0, 1.0f);
    hand.convertedPoses[0][4] = marker;
    applyFingerPoses(hand, 1.0f, &input);
    EXPECT_EQ(hand.convertedPoses[0][4], marker);

    input.first = recordWith({{12, 1001}});
    applyFingerPoses(hand, 1.0f, &input);
    expectSameRotation(hand.convertedPoses[0][4], eulerRotation(0, 10.01f, 0));
}

TEST(FingerPoses, SkippedRecordsKeepTheLastConversion) {
    HandModel hand = preparedHand(-1.0f);
    HandPoseInput input;
    input.first = recordWith({{14, 2000}});
    input.second = input.first;
    applyFingerPoses(hand, -1.0f, &input);
    Quaternion converted = hand.convertedPoses[0][4];
    input.first = recordWith({{0, 1}, {14, 9000}});
    applyFingerPoses(hand, -1.0f, &input);
    EXPECT_EQ(hand.convertedPoses[0][4], converted);
    expectSameRotation(converted, eulerRotation(0, 0, -20));
}

TEST(FingerPoses, WithoutFingerDataTheHandRests) {
    HandModel hand = preparedHand(1.0f);
    HandPoseInput input;
    input.first = recordWith({{2, 4000}});
    applyFingerPoses(hand, 1.0f, &input);
    ASSERT_NE(hand.localRotations[1], hand.restRotations[1]);
    applyFingerPoses(hand, 1.0f, nullptr);
    for (std::size_t k = 0; k < HandSegmentCount; ++k) {
        EXPECT_EQ(hand.localRotations[k], hand.restRotations[k]);
    }
}

TEST(FingerPoses, PoseCharacterGivesTheSecondHandTheMirroredSide) {
    CharacterModel model = testing::makeFigure(testing::FigureOptions{.hands = true});
    prepareLoadedModel(model);
    HandPoseInput input;
    input.first = recordWith({{4, 1000}});
    input.second = input.first;
    CharacterPose pose;
    pose.hands[0] = &input;
    pose.hands[1] = &input;
    poseCharacter(model, pose);
    expectSameRotation(model.hands[0].localRotations[1], eulerRotation(0, 10, 0));
    expectSameRotation(model.hands[1].localRotations[1], eulerRotation(0, -10, 0));
}

}  // namespace
}  // namespace kavelune
