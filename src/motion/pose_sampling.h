#pragma once

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "motion/pool_motion.h"
#include "motion/track_pose.h"

namespace kavelune {

// Where normalised time u falls among F evenly spread frames: segment i (from frame i to i+1)
// and the share a of the way through it. u is in [0, 1); the segment is kept inside the motion.
struct FrameSegment {
    float x = 0.0f;  // (F - 1) * u
    int index = 0;
    float share = 0.0f;
    // True for the first and the last segment, which have no outer neighbour to shape a curve.
    bool atEdge = true;
};
FrameSegment frameSegment(int frames, float u);

// Squad through q1 and q2 with neighbours q0 (before q1) and q3 (after q2).
Quaternion squad(const Quaternion& q1, const Quaternion& q2, const Quaternion& q0,
                 const Quaternion& q3, float t);

// The inner control point squad gives `key` between its neighbours, each neighbour first taken
// on the key's side.
Quaternion keyControlPoint(const Quaternion& previous, const Quaternion& key, const Quaternion& next);

// Works out the control points of every inner joint key and object key of the motion, so that
// sampling only interpolates. Done once when a motion is loaded.
void computeControlPoints(PoolMotion& motion);

// Root position at u: linear in the first and last segment, a Catmull-Rom Hermite curve
// elsewhere; truncated toward zero. The motion must have at least 2 frames.
Vec3s rootAt(const PoolMotion& motion, float u);

// The 19 joint rotations at u: slerp in the first and last segment, squad elsewhere.
void rotationsAt(const PoolMotion& motion, float u, JointRotations& out);

// A cross-fade: per joint slerp(rotations of `a` at uA, rotations of `b` at uB, weight).
void blendedRotationsAt(const PoolMotion& a, float uA, const PoolMotion& b, float uB, float weight,
                        JointRotations& out);

// The object rotation at a segment of the motion's object frames, interpolated like a joint.
Quaternion objectRotationAt(const PoolMotion& motion, const FrameSegment& segment);

// Per joint slerp(a, b, weight).
void blendPoses(const JointRotations& a, const JointRotations& b, float weight,
                JointRotations& out);

}  // namespace kavelune
