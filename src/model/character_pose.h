#pragma once

#include <array>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "model/attachment.h"
#include "model/character_model.h"
#include "model/finger_pose.h"

namespace kavelune {

// One frame's input for a character: the 19 local rotations and the root position after the
// motion side's leg fitting, and, when the track has them, finger poses and object state.
struct CharacterPose {
    std::array<Quaternion, JointCount> rotations{};
    Vec3s root;
    const HandPoseInput* hands[2] = {nullptr, nullptr};  // null: that hand rests
    const ObjectState* object = nullptr;                 // null: no current object state
};

// Sets a hand's finger rotations R[1..15] from the track's poses, converting a record only when
// its bytes changed; without input the hand returns to its rest rotations. sideSign: +1 first
// hand, -1 second.
void applyFingerPoses(HandModel& hand, float sideSign, const HandPoseInput* input);

// The whole frame for one model: copies rotations and root, sets the fingers, poses the body
// (with its hands) and places the attachment. Allocates nothing.
void poseCharacter(CharacterModel& model, const CharacterPose& pose);

}  // namespace kavelune
