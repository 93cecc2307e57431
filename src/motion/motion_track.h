#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/vec3s.h"
#include "motion/motion_constants.h"
#include "motion/pool_motion.h"
#include "motion/track_pose.h"

namespace kavelune {

// One body track of a dance: per slot (bar) which motion is danced and which of its bars.
struct MotionTrack {
    std::string tag = "MS";                 // "MS", "MU" or "M0", as read
    std::vector<std::uint16_t> slotMotion;  // index into motions; NoMotion = empty slot
    std::vector<std::uint16_t> slotBar;     // bar of that motion danced in the slot
    std::vector<Vec3s> slotOffset;          // ground offset at the start of each slot (y = 0)
    std::vector<PoolMotion> motions;        // the resolved references, in file order
    std::vector<AccessoryModel> accessories;
    bool hasObjectMotion = false;
    bool hasFingers = false;
    std::int16_t baseOffsetX = 0;  // subtracted from the slot offset when posing
    std::int16_t baseOffsetZ = 0;
    float transitionWidth = TransitionWidth;
    TrackPose pose;
    bool lastEvaluationOk = false;  // what the last evaluation returned

    std::size_t slotCount() const { return slotMotion.size(); }
};

// Fills in the slot offsets from the slots and the motions' last root positions: every new
// motion starts where the previous one ended on the ground. Slots must index valid motions.
void computeSlotOffsets(MotionTrack& track);

// Sets the has-object-motion and has-fingers flags from the motions.
void computeTrackFlags(MotionTrack& track);

}  // namespace kavelune
