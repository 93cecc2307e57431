#pragma once

#include <array>
#include <cstdint>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "motion/pool_motion.h"

namespace kavelune {

using JointRotations = std::array<Quaternion, JointCount>;

// Object results of a track: where the prop is and which object record drives it.
struct ObjectPose {
    Vec3s position;
    Quaternion rotation;
    ObjectRecord record;       // the record of the current object segment
    bool hasRecord = false;    // false until a frame has named a record in range
    float time = 0.0f;         // frames since the object segment began (with fraction)

    // The record of the current segment's first frame as last compared, and the frame of that
    // segment start as it was when the record changed. The first value is -1.0 with no record.
    ObjectRecord keptRecord = initialKeptRecord();
    Vec3s snapshotRoot;
    Vec3s snapshotObjectPosition;
    JointRotations snapshotRotations = identityRotations();

    static ObjectRecord initialKeptRecord() {
        ObjectRecord record;
        record.setFirstAsFloat(-1.0f);
        return record;
    }
    static JointRotations identityRotations() {
        JointRotations rotations;
        rotations.fill(Quaternion::identity());
        return rotations;
    }
};

// Two finger poses of one hand and the weight by which the hand mixes them.
struct HandPosePair {
    HandPose first{};
    HandPose second{};
    float weight = 0.0f;
    bool set = false;  // false until a motion with finger data has been sampled
};

// What one evaluation of a track produces. Characters keep a reference to it.
struct TrackPose {
    Vec3s root;
    JointRotations rotations = ObjectPose::identityRotations();
    ObjectPose object;
    HandPosePair leftHand;
    HandPosePair rightHand;
};

}  // namespace kavelune
