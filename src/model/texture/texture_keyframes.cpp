#include "model/texture/texture_keyframes.h"

namespace kavelune {

namespace {

const TextureKeyframe* lastBefore(std::span<const TextureKeyframe> keyframes, std::uint32_t t) {
    const TextureKeyframe* found = nullptr;
    for (const TextureKeyframe& keyframe : keyframes) {
        if (keyframe.timeMs < t) {
            found = &keyframe;
        }
    }
    return found;
}

}  // namespace

const TextureKeyframe* selectTextureKeyframe(std::span<const TextureKeyframe> keyframes,
                                             const TextureTimeline& timeline, std::uint32_t t) {
    if (keyframes.empty()) {
        return nullptr;
    }
    if (!timeline.animated) {
        return &keyframes.front();
    }
    if (timeline.loop) {
        const std::uint32_t c = timeline.lengthMs > 0 ? t % timeline.lengthMs : 0;
        return c == 0 ? &keyframes.front() : lastBefore(keyframes, c);
    }
    if (t > timeline.lengthMs) {
        return nullptr;
    }
    return t == 0 ? &keyframes.front() : lastBefore(keyframes, t);
}

}  // namespace kavelune
