#pragma once

#include <cstdint>

#include "motion/motion_track.h"

namespace kavelune {

// Poses a track at (slot, fraction) into track.pose: root and rotations, with a cross-fade on
// either side of a boundary between two different motions, then object motion and fingers.
// False for a slot past the track, a track without motions or an empty slot (which zeroes only
// the root position). Allocates nothing.
bool evaluateTrack(MotionTrack& track, std::uint16_t slot, float fraction);

// Samples the object of `motion` at u into `object` (position, rotation, record, time and the
// segment snapshot). Positions are the motion's own, without slot offsets.
void sampleObjectMotion(const PoolMotion& motion, float u, ObjectPose& object);

// Samples both hands' finger keys of `motion` at u.
void sampleFingers(const PoolMotion& motion, float u, HandPosePair& left, HandPosePair& right);

}  // namespace kavelune
