#include "motion_fixtures.h"

#include <cmath>

namespace kavelune::testing {

Quaternion storedRotation(float ax, float ay, float az, float radians) {
    Quaternion q = fromAxisAngle(ax, ay, az, radians);
    auto stored = [](float v) { return static_cast<float>(std::lround(v / 0.0001f)) * 0.0001f; };
    return {stored(q.x), stored(q.y), stored(q.z), stored(q.w)};
}

PoolMotion walkingMotion(std::uint8_t bars, std::uint16_t frames, std::int16_t step, float phase) {
    PoolMotion motion;
    motion.bars = bars;
    motion.frames = frames;
    for (int f = 0; f < frames; ++f) {
        motion.rootPositions.push_back({static_cast<std::int16_t>(step * f),
                                        static_cast<std::int16_t>(900 + (f % 2) * 40),
                                        static_cast<std::int16_t>(-f * 3)});
        for (int joint = 0; joint < JointCount; ++joint) {
            float angle = phase + 0.05f * f + 0.01f * joint;
            motion.rotations.push_back(
                storedRotation(1.0f, 0.5f * (joint % 3), 0.25f * (joint % 5), angle));
        }
    }
    return motion;
}

MotionPoolContent poolOf(std::int32_t poolId, std::vector<PoolMotion> motions) {
    MotionPoolContent content;
    content.poolId = poolId;
    for (PoolMotion& motion : motions) {
        MotionPoolContent::Entry entry;
        entry.motion = std::move(motion);
        content.entries.push_back(std::move(entry));
    }
    return content;
}

DanceFile danceOf(TrackRecord track, std::size_t bars, std::uint16_t start) {
    DanceFile dance;
    dance.version = 1;
    dance.soundName = "song.mp3";
    BeatMap map;
    map.startOffset = start;
    map.bars.assign(bars, std::vector<std::uint16_t>{500, 500, 500, 500});
    dance.beatMap = map;
    dance.tracks.push_back(std::move(track));
    return dance;
}

FingerKeys fingerKeysFor(std::uint16_t frames, const std::vector<int>& keyFrames,
                         const std::vector<int>& poses) {
    std::vector<std::int16_t> key(frames, 0);
    std::vector<std::int16_t> next(frames, 0);
    for (std::size_t k = 0; k < keyFrames.size(); ++k) {
        key[keyFrames[k]] = static_cast<std::int16_t>(poses[k]);
        next[keyFrames[k]] = static_cast<std::int16_t>(poses[k]);
        if (k + 1 < keyFrames.size()) {
            for (int f = keyFrames[k] + 1; f < keyFrames[k + 1]; ++f) {
                key[f] = static_cast<std::int16_t>(keyFrames[k] - f);
                next[f] = static_cast<std::int16_t>(keyFrames[k + 1] - f);
            }
        }
    }
    return {key, next, key, next};
}

}  // namespace kavelune::testing
