// Pose evaluation of one track whose motions carry fingers and object motion, at times spread
// over the dance so that plain sampling and both cross-fade sides are all exercised.
#include <benchmark/benchmark.h>

#include <cmath>

#include "motion/dance_update.h"
#include "motion/motion_track.h"
#include "motion/pose_sampling.h"
#include "motion/track_evaluation.h"

namespace {

using namespace kavelune;

PoolMotion richMotion(std::uint8_t bars, std::uint16_t frames, float phase) {
    PoolMotion motion;
    motion.bars = bars;
    motion.frames = frames;
    for (int f = 0; f < frames; ++f) {
        motion.rootPositions.push_back({static_cast<std::int16_t>(10 * f), 900, 0});
        for (int joint = 0; joint < JointCount; ++joint) {
            motion.rotations.push_back(fromAxisAngle(1.0f, 0.3f * joint, 0.1f, phase + 0.02f * f));
        }
        motion.objectFrames.push_back({static_cast<std::uint8_t>(f / 20 % 2),
                                       static_cast<std::uint8_t>(f % 20),
                                       {static_cast<std::int16_t>(f), 100, 0},
                                       fromAxisAngle(0, 1, 0, 0.05f * f)});
    }
    motion.objectRecords.resize(3);
    motion.objectRecords[1].values = {1, 2, 3, 4};
    motion.handPoses.resize(4);
    for (auto* keys : {&motion.fingerKeys.leftKey, &motion.fingerKeys.rightKey}) {
        keys->assign(frames, 0);
    }
    motion.fingerKeys.leftNext.assign(frames, 0);
    motion.fingerKeys.rightNext.assign(frames, 0);
    // Key frames every 8 frames, poses cycling through the four.
    for (int f = 0; f < frames; ++f) {
        int key = f / 8 * 8;
        int next = std::min<int>(key + 8, frames - 1);
        auto& fk = motion.fingerKeys;
        if (f == key || f == frames - 1) {
            fk.leftKey[f] = fk.leftNext[f] = fk.rightKey[f] = fk.rightNext[f] =
                static_cast<std::int16_t>((f / 8) % 4);
        } else {
            fk.leftKey[f] = fk.rightKey[f] = static_cast<std::int16_t>(key - f);
            fk.leftNext[f] = fk.rightNext[f] = static_cast<std::int16_t>(next - f);
        }
    }
    return motion;
}

MotionTrack richTrack() {
    MotionTrack track;
    track.motions = {richMotion(2, 64, 0.0f), richMotion(1, 32, 0.7f)};
    // As the motion pool does when it loads a motion.
    for (PoolMotion& motion : track.motions) computeControlPoints(motion);
    for (int slot = 0; slot < 32; ++slot) {
        bool first = slot % 3 != 2;
        track.slotMotion.push_back(first ? 0 : 1);
        track.slotBar.push_back(first ? static_cast<std::uint16_t>(slot % 3) : 0);
    }
    computeSlotOffsets(track);
    computeTrackFlags(track);
    return track;
}

void BM_EvaluateTrack(benchmark::State& state) {
    MotionTrack track = richTrack();
    std::uint32_t step = 0;
    for (auto _ : state) {
        // 997 positions per bar: a prime, so the fractions wander through the fade zones.
        std::uint16_t slot = static_cast<std::uint16_t>((step / 997) % track.slotCount());
        float fraction = static_cast<float>(step % 997) / 997.0f;
        benchmark::DoNotOptimize(evaluateTrack(track, slot, fraction));
        benchmark::DoNotOptimize(track.pose.rotations[0]);
        step += 13;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["evaluations_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EvaluateTrack);

void BM_UpdateDanceFrame(benchmark::State& state) {
    DanceSequence dance;
    dance.tracks.push_back(richTrack());
    dance.beatMap.bars.assign(32, {480, 480, 480, 480});
    std::uint32_t length = danceLength(dance);
    std::uint32_t time = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(updateDance(dance, time, {}));
        time = (time + 17) % length;  // about one rendered frame apart
    }
    state.counters["frames_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_UpdateDanceFrame);

}  // namespace

BENCHMARK_MAIN();
