#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "motion/dance_file.h"
#include "motion/motion_pool_file.h"
#include "motion/pool_motion.h"

namespace kavelune::testing {

// A rotation whose components are whole multiples of the stored rotation scale, so it survives
// a trip through a pool file unchanged.
Quaternion storedRotation(float ax, float ay, float az, float radians);

// A motion of `frames` frames over `bars` bars: the root walks `step` units along x per frame
// and bobs in y; every joint turns a little further about its own axis each frame, starting at
// `phase` radians.
PoolMotion walkingMotion(std::uint8_t bars, std::uint16_t frames, std::int16_t step = 100,
                         float phase = 0.0f);

// A pool file content with the given sub-motions and no accessories.
MotionPoolContent poolOf(std::int32_t poolId, std::vector<PoolMotion> motions);

// A dance of `bars` bars of four 500 ms beats (start offset `start`) with one track.
DanceFile danceOf(TrackRecord track, std::size_t bars, std::uint16_t start = 0);

// Finger keys for `frames` frames with key frames at the listed frames holding the listed
// pose numbers, in the layout the pool file stores (both hands alike).
FingerKeys fingerKeysFor(std::uint16_t frames, const std::vector<int>& keyFrames,
                         const std::vector<int>& poses);

}  // namespace kavelune::testing
