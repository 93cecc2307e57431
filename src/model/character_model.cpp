#include "model/character_model.h"

namespace kavelune {

const std::array<int, JointCount> BodySegmentParent = {
    -1, 0, 1, 2, 3, 2, 5, 6, 7, 2, 9, 10, 11, 0, 13, 14, 0, 16, 17,
};

const std::array<int, HandSegmentCount> HandSegmentParent = {
    -1, 0, 1, 2, 0, 4, 5, 0, 7, 8, 0, 10, 11, 0, 13, 14,
};

namespace {

void sizePoseState(SkinnedMesh& mesh, int segments) {
    mesh.localRotations.assign(segments, Quaternion::identity());
    mesh.worldRotations.assign(segments, Quaternion::identity());
    mesh.joints.assign(segments, Vec3s{});
}

}  // namespace

HandModel::HandModel() {
    sizePoseState(*this, HandSegmentCount);
    for (auto& pose : convertedPoses) {
        pose.fill(Quaternion::identity());
    }
}

CharacterModel::CharacterModel() { sizePoseState(*this, JointCount); }

}  // namespace kavelune
