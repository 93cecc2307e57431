#include "model/character_pose.h"

#include <algorithm>

#include "model/skinning.h"

namespace kavelune {

void applyFingerPoses(HandModel& hand, float sideSign, const HandPoseInput* input) {
    if (input == nullptr) {
        for (std::size_t k = 0; k < HandSegmentCount; ++k) {
            hand.localRotations[k] =
                k < hand.restRotations.size() ? hand.restRotations[k] : Quaternion::identity();
        }
        return;
    }
    const FingerPoseBytes* records[2] = {&input->first, &input->second};
    for (std::size_t slot = 0; slot < 2; ++slot) {
        const FingerPoseBytes& record = *records[slot];
        if (fingerPoseSkipped(record)) {
            continue;
        }
        if (hand.hasConverted[slot] && hand.convertedRecords[slot] == record) {
            continue;
        }
        convertFingerPose(record, sideSign, hand.convertedPoses[slot]);
        hand.convertedRecords[slot] = record;
        hand.hasConverted[slot] = true;
    }
    for (std::size_t k = 1; k < HandSegmentCount; ++k) {
        hand.localRotations[k] =
            slerp(hand.convertedPoses[0][k], hand.convertedPoses[1][k], input->weight);
    }
}

void poseCharacter(CharacterModel& model, const CharacterPose& pose) {
    std::copy(pose.rotations.begin(), pose.rotations.end(), model.localRotations.begin());
    model.root = pose.root;
    for (std::size_t h = 0; h < model.hands.size() && h < 2; ++h) {
        applyFingerPoses(model.hands[h], h == 0 ? 1.0f : -1.0f, pose.hands[h]);
    }
    poseBody(model);
    placeAttachment(model, pose.object);
}

}  // namespace kavelune
