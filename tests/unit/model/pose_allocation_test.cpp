// Posing runs every frame and must not touch the heap. This test program counts every
// allocation while a pose runs.
#include <gtest/gtest.h>

#include "model/attachment.h"
#include "model/character_pose.h"
#include "model/model_setup.h"
#include "support/allocation_counter.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

TEST(PoseAllocation, AFrameWithHandsFingersAndAPropAllocatesNothing) {
    CharacterModel model = testing::makeFigure(testing::FigureOptions{.hands = true});
    prepareLoadedModel(model);
    auto prop = std::make_unique<CharacterModel>(testing::makeFigure());
    prop->propMode = 1;
    prepareLoadedModel(*prop);
    bindAttachment(model, std::move(prop), 8, Vec3s{1, 2, 3});

    HandPoseInput hand;
    ObjectState object;
    object.objectClass = 4;
    object.type = 6;
    object.flags = 0x13;
    CharacterPose pose;
    pose.hands[0] = &hand;
    pose.hands[1] = &hand;

    const long before = testing::allocationsSoFar();
    for (int frame = 0; frame < 20; ++frame) {
        for (std::size_t s = 0; s < JointCount; ++s) {
            pose.rotations[s] = fromAxisAngle(1.0f, 0.2f * frame, 0.5f, 0.05f * static_cast<float>(s));
        }
        hand.first[4] = static_cast<std::uint8_t>(frame);  // a new finger record each frame
        object.recordKey = static_cast<float>(frame / 5);
        object.transition = static_cast<float>(frame % 12);
        pose.object = frame % 2 == 0 ? &object : nullptr;
        poseCharacter(model, pose);
    }
    EXPECT_EQ(testing::allocationsSoFar() - before, 0);
}

}  // namespace
}  // namespace kavelune
