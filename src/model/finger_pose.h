#pragma once

#include <array>
#include <cstdint>

#include "base/quaternion.h"

namespace kavelune {

// One finger pose of one hand as stored in the motion data: 22 little-endian i16 values, angles
// in hundredths of a degree. Offset 0 is the skip flag, offsets 2..10 the thumb (t0..t4),
// 12, 20, 28 and 36 the four fingers (f0..f3 each).
constexpr std::size_t FingerPoseSize = 44;
using FingerPoseBytes = std::array<std::uint8_t, FingerPoseSize>;

// What a dance track supplies for one hand each frame: two poses and the weight between them.
struct HandPoseInput {
    FingerPoseBytes first{};
    FingerPoseBytes second{};
    float weight = 0.0f;
};

// Rotation from Euler angles in degrees: qz ⊗ qx ⊗ qy, normalised.
Quaternion eulerRotation(float xDegrees, float yDegrees, float zDegrees);

// True when the record asks not to be converted (its first value is non-zero).
bool fingerPoseSkipped(const FingerPoseBytes& record);

// Converts a record into rotations of hand segments 1..15 (slot 0 is left untouched).
// `sideSign` is +1 for the first hand and -1 for the second.
void convertFingerPose(const FingerPoseBytes& record, float sideSign,
                       std::array<Quaternion, 16>& rotations);

}  // namespace kavelune
