#include "motion/track_evaluation.h"

#include <cmath>
#include <numbers>

#include "motion/pose_sampling.h"

namespace kavelune {

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;

float motionTime(float barPosition, const PoolMotion& motion) {
    return barPosition * TimeScale / static_cast<float>(motion.bars);
}

// Two slots continue one motion when the same motion simply goes on into another of its bars;
// an empty neighbour also ends the motion without a fade.
bool continuesWithoutFade(std::uint16_t motion, std::uint16_t bar, std::uint16_t otherMotion,
                          std::uint16_t otherBar) {
    return (otherMotion == motion && otherBar != bar) || otherMotion == NoMotion;
}

std::int16_t blendRootY(std::int16_t a, std::int16_t b, float weight) {
    return static_cast<std::int16_t>(static_cast<std::int32_t>(
        static_cast<double>(b) * weight + static_cast<double>(a) * (1.0 - weight)));
}

void sampleHand(const PoolMotion& motion, const FrameSegment& segment,
                const std::vector<std::int16_t>& key, const std::vector<std::int16_t>& next,
                HandPosePair& hand) {
    int i = segment.index;
    const std::vector<HandPose>& poses = motion.handPoses;
    hand.set = true;
    if (key[i] >= 0) {
        hand.first = poses[key[i]];
        hand.second = poses[key[i]];
        hand.weight = 0.0f;
        return;
    }
    int previous = i + key[i];
    int following = i + next[i];
    hand.first = poses[key[previous]];
    hand.second = poses[next[following]];
    hand.weight = (segment.x - static_cast<float>(previous) - 1.0f) /
                  static_cast<float>(following - previous - 1);
}

void offsetPoint(Vec3s& point, std::int16_t dx, std::int16_t dz) {
    point.x = static_cast<std::int16_t>(point.x + dx);
    point.z = static_cast<std::int16_t>(point.z + dz);
}

}  // namespace

void sampleObjectMotion(const PoolMotion& motion, float u, ObjectPose& object) {
    const std::vector<ObjectFrame>& frames = motion.objectFrames;
    FrameSegment segment = frameSegment(motion.frames, u);
    int i = segment.index;
    const ObjectFrame& here = frames[i];
    const ObjectFrame& there = frames[i + 1];

    if (here.record == there.record) {
        double a = segment.share;
        auto lerp = [a](std::int16_t from, std::int16_t to) {
            return static_cast<std::int16_t>(from +
                                             static_cast<std::int32_t>((to - from) * a));
        };
        object.position = {lerp(here.position.x, there.position.x),
                           lerp(here.position.y, there.position.y),
                           lerp(here.position.z, there.position.z)};
    } else {
        object.position = here.position;
    }
    object.rotation = objectRotationAt(motion, segment);

    // Segment start: frames count since the segment began modulo 256, so a longer segment is
    // found by stepping back 256 frames while the frame before still names the same record.
    std::uint8_t record = here.record;
    int since = here.framesSinceStart;
    int start = i - since;
    while (start > 0 && frames[start - 1].record == record) {
        start -= 256;
        since += 256;
    }
    if (record < motion.objectRecords.size()) {
        object.record = motion.objectRecords[record];
        object.hasRecord = true;
        object.time = static_cast<float>(since) + (segment.x - static_cast<float>(i));
    }

    // Snapshot of the segment's first frame, retaken whenever its record changes. This record
    // is counted from 1 (0 names none).
    const ObjectRecord* startRecord = nullptr;
    if (start >= 0 && start < static_cast<int>(motion.frames)) {
        std::uint8_t named = frames[start].record;
        if (named > 0 && named <= motion.objectRecords.size()) {
            startRecord = &motion.objectRecords[named - 1];
        }
    }
    if (startRecord == nullptr) {
        object.keptRecord.setFirstAsFloat(-1.0f);
        return;
    }
    bool differs = startRecord->firstAsFloat() != object.keptRecord.firstAsFloat();
    for (std::size_t v = 1; v < startRecord->values.size(); ++v) {
        differs = differs || startRecord->values[v] != object.keptRecord.values[v];
    }
    if (!differs) return;
    object.keptRecord = *startRecord;
    object.snapshotRoot = motion.rootPositions[start];
    object.snapshotObjectPosition = frames[start].position;
    const Quaternion* rotations = motion.rotationsOfFrame(start);
    for (int joint = 0; joint < JointCount; ++joint) {
        object.snapshotRotations[joint] = rotations[joint];
    }
}

void sampleFingers(const PoolMotion& motion, float u, HandPosePair& left, HandPosePair& right) {
    FrameSegment segment = frameSegment(motion.frames, u);
    const FingerKeys& keys = motion.fingerKeys;
    sampleHand(motion, segment, keys.leftKey, keys.leftNext, left);
    sampleHand(motion, segment, keys.rightKey, keys.rightNext, right);
}

namespace {

bool poseTrack(MotionTrack& track, std::uint16_t slot, float fraction);

}  // namespace

bool evaluateTrack(MotionTrack& track, std::uint16_t slot, float fraction) {
    track.lastEvaluationOk = poseTrack(track, slot, fraction);
    return track.lastEvaluationOk;
}

namespace {

bool poseTrack(MotionTrack& track, std::uint16_t slot, float fraction) {
    if (slot >= track.slotCount() || track.motions.empty()) return false;
    TrackPose& pose = track.pose;
    std::uint16_t m = track.slotMotion[slot];
    std::uint16_t b = track.slotBar[slot];
    if (m == NoMotion) {
        pose.root = {};
        return false;
    }
    const PoolMotion& motion = track.motions[m];
    float u = motionTime(static_cast<float>(b) + fraction, motion);
    pose.root = rootAt(motion, u);

    const float w = track.transitionWidth;
    bool faded = false;
    if (slot + 1u < track.slotCount() && fraction > 1.0f - w) {
        std::uint16_t nextMotion = track.slotMotion[slot + 1];
        std::uint16_t nextBar = track.slotBar[slot + 1];
        if (!continuesWithoutFade(m, b, nextMotion, nextBar)) {
            // Fade out: both motions run at half speed through the zone.
            const PoolMotion& incoming = track.motions[nextMotion];
            float into = fraction - (1.0f - w);
            float o = (1.0f - w) + into / 2.0f;
            float uA = motionTime(static_cast<float>(b) + o, motion);
            float uB = motionTime(static_cast<float>(nextBar) + o - (1.0f - w), incoming);
            float v = 0.5f - 0.5f * std::cos((into / w) * kHalfPi);
            blendedRotationsAt(motion, uA, incoming, uB, v, pose.rotations);
            pose.root.y = blendRootY(rootAt(motion, uA).y, rootAt(incoming, uB).y, v);
            faded = true;
        }
    } else if (slot > 0 && fraction < w) {
        std::uint16_t previousMotion = track.slotMotion[slot - 1];
        std::uint16_t previousBar = track.slotBar[slot - 1];
        if (!continuesWithoutFade(m, b, previousMotion, previousBar)) {
            // Fade in from the motion of the slot before.
            const PoolMotion& outgoing = track.motions[previousMotion];
            float o = w - (w - fraction) / 2.0f;
            float uA = motionTime(static_cast<float>(previousBar) + (1.0f - w) + o, outgoing);
            float uB = motionTime(static_cast<float>(b) + o, motion);
            float v = 0.5f + 0.5f * std::sin((fraction / w) * kHalfPi);
            blendedRotationsAt(outgoing, uA, motion, uB, v, pose.rotations);
            pose.root.y = blendRootY(rootAt(outgoing, uA).y, rootAt(motion, uB).y, v);
            faded = true;
        }
    }
    if (!faded) rotationsAt(motion, u, pose.rotations);

    bool objectSampled = track.hasObjectMotion && motion.hasObjectMotion();
    if (objectSampled) sampleObjectMotion(motion, u, pose.object);
    if (track.hasFingers && motion.hasFingers()) {
        sampleFingers(motion, u, pose.leftHand, pose.rightHand);
    }

    const Vec3s& slotOffset = track.slotOffset[slot];
    auto dx = static_cast<std::int16_t>(slotOffset.x - track.baseOffsetX);
    auto dz = static_cast<std::int16_t>(slotOffset.z - track.baseOffsetZ);
    offsetPoint(pose.root, dx, dz);
    // Only a freshly sampled object position is moved: one kept from an earlier evaluation
    // already carries its offset.
    if (objectSampled) offsetPoint(pose.object.position, dx, dz);
    return true;
}

}  // namespace

}  // namespace kavelune
