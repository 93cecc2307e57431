#pragma once

#include <cstdint>

#include "base/skeleton.h"

namespace kavelune {

// Joint rotations per body pose: JointCount, from base/skeleton.h.

// Slot value meaning "no motion (or camera) in this slot".
constexpr std::uint16_t NoMotion = 0xFFFF;

// A stored rotation component n stands for n * RotationScale.
constexpr float RotationScale = 0.0001f;

// Every normalised motion time is multiplied by this so sampling never reaches the last key.
constexpr float TimeScale = 0.999f;

// Share of a bar on each side of a boundary between two different motions that is cross-faded.
constexpr float TransitionWidth = 0.09f;

// Size of one finger pose record as stored and as handed to the hand model.
constexpr int HandPoseBytes = 44;

}  // namespace kavelune
