#include "motion/clip_overlay.h"

#include <cmath>
#include <numbers>

#include "motion/dance_update.h"
#include "motion/track_evaluation.h"

namespace kavelune {

namespace {

std::int16_t mix(std::int16_t clip, std::int16_t own, float weight) {
    return static_cast<std::int16_t>(static_cast<std::int32_t>(
        static_cast<double>(weight) * clip + (1.0 - static_cast<double>(weight)) * own));
}

}  // namespace

bool ClipOverlay::start(std::vector<DanceSequence>& clips, std::size_t index,
                        std::uint32_t rampMs, std::uint32_t startTime, MotionTrack& target) {
    if (running() || index >= clips.size() || clips[index].tracks.empty()) return false;
    clip_ = &clips[index];
    target_ = &target;
    startTime_ = startTime;
    length_ = danceLength(*clip_);
    ramp_ = (std::uint64_t{rampMs} * 2 < length_) ? rampMs : length_ / 2;
    weight_ = 0.0f;
    placed_ = false;
    rampedIn_ = false;
    return true;
}

float ClipOverlay::weightAt(std::uint32_t clipTime) const {
    if (ramp_ == 0) return 1.0f;
    const double pi = std::numbers::pi;
    if (clipTime < ramp_) return static_cast<float>(0.5 - 0.5 * std::cos(pi * clipTime / ramp_));
    if (clipTime > length_ - ramp_) {
        return static_cast<float>(0.5 - 0.5 * std::cos(pi * (length_ - clipTime) / ramp_));
    }
    return 1.0f;
}

void ClipOverlay::update(std::uint32_t time) {
    if (!running()) return;
    if (time < startTime_ || std::uint64_t{time} > std::uint64_t{startTime_} + length_) {
        stop();
        return;
    }
    std::uint32_t clipTime = time - startTime_;
    MotionTrack& clipTrack = clip_->tracks.front();
    BeatPosition position = lookupBeat(clip_->beatMap, clipTime);
    if (position.found) {
        clip_->currentSlot = position.slot;
        clip_->currentFraction = position.fraction;
        evaluateTrack(clipTrack, position.slot, position.fraction);
    }
    TrackPose& own = target_->pose;
    const TrackPose& clipPose = clipTrack.pose;

    // The clip is placed where the dancer stands when it starts, so it starts without a jump.
    if (!placed_) {
        placeX_ = static_cast<std::int16_t>(own.root.x - clipPose.root.x);
        placeZ_ = static_cast<std::int16_t>(own.root.z - clipPose.root.z);
        placed_ = true;
    }
    Vec3s clipRoot = clipPose.root;
    clipRoot.x = static_cast<std::int16_t>(clipRoot.x + placeX_);
    clipRoot.z = static_cast<std::int16_t>(clipRoot.z + placeZ_);

    weight_ = weightAt(clipTime);
    if (weight_ == 1.0f && !rampedIn_) {
        // Move the dancer's own ground position under the clip once it has full weight, so the
        // dance goes on from where the clip has taken the dancer.
        target_->baseOffsetX = static_cast<std::int16_t>(target_->baseOffsetX + own.root.x -
                                                         clipRoot.x);
        target_->baseOffsetZ = static_cast<std::int16_t>(target_->baseOffsetZ + own.root.z -
                                                         clipRoot.z);
        rampedIn_ = true;
    }

    if (weight_ == 1.0f) {
        own.rotations = clipPose.rotations;
        own.root = clipRoot;
    } else if (weight_ > 0.0f) {
        for (int joint = 0; joint < JointCount; ++joint) {
            own.rotations[joint] = slerp(own.rotations[joint], clipPose.rotations[joint], weight_);
        }
        own.root = {mix(clipRoot.x, own.root.x, weight_), mix(clipRoot.y, own.root.y, weight_),
                    mix(clipRoot.z, own.root.z, weight_)};
    }
}

}  // namespace kavelune
