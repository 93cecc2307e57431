#pragma once

#include <cstdint>
#include <span>

namespace kavelune {

// One step of a texture timeline: from `timeMs` on, the part shows image `baseId` with
// environment image `environmentId` (-1 = none).
struct TextureKeyframe {
    std::uint32_t timeMs = 0;
    int baseId = -1;
    int environmentId = -1;
};

struct TextureTimeline {
    bool animated = false;
    bool loop = false;
    std::uint32_t lengthMs = 0;  // the largest keyframe time
};

// The keyframe that applies at dance time `t`, or null for none.
// - Not animated: the first keyframe.
// - Looping: c = t mod length; at c = 0 (or length 0) the first keyframe, else the last
//   keyframe (in list order) whose time is below c.
// - Not looping: nothing beyond the length; at t = 0 the first keyframe (a stopped dance sits
//   at 0 and should show its first picture), else the last keyframe whose time is below t.
// A timeline without keyframes selects nothing at every time.
const TextureKeyframe* selectTextureKeyframe(std::span<const TextureKeyframe> keyframes,
                                             const TextureTimeline& timeline, std::uint32_t t);

}  // namespace kavelune
