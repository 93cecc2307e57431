#include "motion/pose_sampling.h"

#include <algorithm>
#include <cmath>

#include "motion/pose_sampling_lanes.h"

namespace kavelune {

namespace {

using sampling::QuaternionLanes;
using sampling::splat;

Quaternion negated(const Quaternion& q) { return {-q.x, -q.y, -q.z, -q.w}; }

Quaternion addPure(const Quaternion& a, const Quaternion& b, float scale) {
    return {(a.x + b.x) * scale, (a.y + b.y) * scale, (a.z + b.z) * scale, 0.0f};
}

// The inner control point of key q with neighbours a and b.
Quaternion controlPoint(const Quaternion& q, const Quaternion& a, const Quaternion& b) {
    Quaternion inverse = q.conjugate();
    Quaternion sum = addPure(quaternionLog(inverse * a), quaternionLog(inverse * b), -0.25f);
    return q * quaternionExp(sum);
}

std::int16_t wrap16(double value) {
    return static_cast<std::int16_t>(static_cast<std::int32_t>(value));
}

// The joints go through in groups of four lanes; the last group holds the three left over.
constexpr int kLanes = 4;

// Where the keys around a segment and their control points are, for one rotation channel
// laid out key after key with `stride` rotations per key.
struct KeyRows {
    const Quaternion* keys = nullptr;
    const Quaternion* controls = nullptr;  // null: work them out from the keys
    int stride = JointCount;
};

// The lanes of the inner control points of keys i and i + 1 for joints first .. first + count
// - 1: from the table, or, for a motion without one, worked out from the neighbouring keys.
void controlLanes(const KeyRows& rows, int i, int first, int count, QuaternionLanes& s1,
                  QuaternionLanes& s2) {
    const int at = i * rows.stride + first;
    if (rows.controls != nullptr) {
        s1 = sampling::loadLanes(rows.controls + at, count);
        s2 = sampling::loadLanes(rows.controls + at + rows.stride, count);
        return;
    }
    Quaternion before[kLanes];
    Quaternion after[kLanes];
    for (int j = 0; j < count; ++j) {
        auto key = [&](int k) { return rows.keys[k * rows.stride + first + j]; };
        before[j] = keyControlPoint(key(i - 1), key(i), key(i + 1));
        after[j] = keyControlPoint(key(i), key(i + 1), key(i + 2));
    }
    s1 = sampling::loadLanes(before, count);
    s2 = sampling::loadLanes(after, count);
}

// Rotations of `groups` groups of lanes from joint 0 at the segment: slerp in the first and
// last segment, squad elsewhere. Squad's slerps go round by round over all groups, so that
// slerps that do not wait for each other stand side by side for the processor to overlap.
// Squad takes q2 on q1's side; the keys need no turning here, since every slerp takes the
// short way anyway, and the control point squad would compute for a negated q2 is exactly the
// negated stored one (negating a key and its neighbours negates its control point), which the
// slerp from s1 treats alike.
template <int groups>
void interpolateGroups(const KeyRows& rows, const FrameSegment& segment, int jointCount,
                       QuaternionLanes (&out)[groups]) {
    const int i = segment.index;
    const sampling::Lanes t = splat(segment.share);
    QuaternionLanes inner[groups];
    for (int g = 0; g < groups; ++g) {
        const int first = g * kLanes;
        const int count = std::min(kLanes, jointCount - first);
        const QuaternionLanes q1 = sampling::loadLanes(rows.keys + i * rows.stride + first, count);
        const QuaternionLanes q2 =
            sampling::loadLanes(rows.keys + (i + 1) * rows.stride + first, count);
        out[g] = sampling::slerp(q1, q2, t);
        if (segment.atEdge) {
            continue;
        }
        QuaternionLanes s1;
        QuaternionLanes s2;
        controlLanes(rows, i, first, count, s1, s2);
        inner[g] = sampling::slerp(s1, s2, t);
    }
    if (segment.atEdge) {
        return;
    }
    const sampling::Lanes between = splat(2.0f * segment.share * (1.0f - segment.share));
    for (int g = 0; g < groups; ++g) {
        out[g] = sampling::slerp(out[g], inner[g], between);
    }
}

constexpr int kJointGroups = (JointCount + kLanes - 1) / kLanes;

void storeJoints(const QuaternionLanes (&groups)[kJointGroups], JointRotations& out) {
    for (int g = 0; g < kJointGroups; ++g) {
        const int first = g * kLanes;
        sampling::storeLanes(groups[g], &out[first], std::min(kLanes, JointCount - first));
    }
}

KeyRows jointRows(const PoolMotion& motion) {
    const bool planned = motion.rotationControls.size() == motion.rotations.size();
    return {motion.rotations.data(), planned ? motion.rotationControls.data() : nullptr, JointCount};
}

}  // namespace

Quaternion keyControlPoint(const Quaternion& previous, const Quaternion& key, const Quaternion& next) {
    // The neighbours on the key's side, as squad takes them.
    const Quaternion after = key.dot(next) < 0.0f ? negated(next) : next;
    const Quaternion before = key.dot(previous) < 0.0f ? negated(previous) : previous;
    return controlPoint(key, after, before);
}

void computeControlPoints(PoolMotion& motion) {
    const int frames = motion.frames;
    motion.rotationControls.clear();
    motion.objectControls.clear();
    if (frames < 2 || motion.rotations.size() != static_cast<std::size_t>(frames) * JointCount) {
        return;
    }
    // The first and last keys are only ever slerped from, so their control points stay identity.
    motion.rotationControls.assign(motion.rotations.size(), Quaternion::identity());
    for (int k = 1; k + 1 < frames; ++k) {
        const Quaternion* before = motion.rotationsOfFrame(k - 1);
        const Quaternion* key = motion.rotationsOfFrame(k);
        const Quaternion* after = motion.rotationsOfFrame(k + 1);
        for (int joint = 0; joint < JointCount; ++joint) {
            motion.rotationControls[k * JointCount + joint] =
                keyControlPoint(before[joint], key[joint], after[joint]);
        }
    }
    if (motion.objectFrames.size() == static_cast<std::size_t>(frames)) {
        motion.objectControls.assign(motion.objectFrames.size(), Quaternion::identity());
        for (int k = 1; k + 1 < frames; ++k) {
            motion.objectControls[k] = keyControlPoint(motion.objectFrames[k - 1].rotation,
                                                       motion.objectFrames[k].rotation,
                                                       motion.objectFrames[k + 1].rotation);
        }
    }
}

FrameSegment frameSegment(int frames, float u) {
    FrameSegment segment;
    segment.x = static_cast<float>(frames - 1) * u;
    int index = static_cast<int>(segment.x);
    // TimeScale keeps u below the last frame; the clamp only guards against a caller's u of 1
    // or more (or below 0) reading past the frames.
    if (index > frames - 2) index = frames - 2;
    if (index < 0) index = 0;
    segment.index = index;
    segment.share = segment.x - static_cast<float>(index);
    segment.atEdge = index == 0 || index + 1 == frames - 1;
    return segment;
}

Quaternion squad(const Quaternion& q1, const Quaternion& q2In, const Quaternion& q0In,
                 const Quaternion& q3In, float t) {
    Quaternion q2 = q1.dot(q2In) < 0.0f ? negated(q2In) : q2In;
    Quaternion q0 = q1.dot(q0In) < 0.0f ? negated(q0In) : q0In;
    Quaternion q3 = q2.dot(q3In) < 0.0f ? negated(q3In) : q3In;
    Quaternion s1 = controlPoint(q1, q2, q0);
    Quaternion s2 = controlPoint(q2, q1, q3);
    return slerp(slerp(q1, q2, t), slerp(s1, s2, t), 2.0f * t * (1.0f - t));
}

Vec3s rootAt(const PoolMotion& motion, float u) {
    FrameSegment segment = frameSegment(motion.frames, u);
    const std::vector<Vec3s>& pos = motion.rootPositions;
    int i = segment.index;
    double a = segment.share;
    const Vec3s& p1 = pos[i];
    const Vec3s& p2 = pos[i + 1];
    if (segment.atEdge) {
        return {static_cast<std::int16_t>(p1.x + wrap16((p2.x - p1.x) * a)),
                static_cast<std::int16_t>(p1.y + wrap16((p2.y - p1.y) * a)),
                static_cast<std::int16_t>(p1.z + wrap16((p2.z - p1.z) * a))};
    }
    const Vec3s& p0 = pos[i - 1];
    const Vec3s& p3 = pos[i + 2];
    double a2 = a * a;
    double a3 = a2 * a;
    double h00 = 2 * a3 - 3 * a2 + 1;
    double h01 = -2 * a3 + 3 * a2;
    double h10 = a3 - 2 * a2 + a;
    double h11 = a3 - a2;
    auto hermite = [&](double v0, double v1, double v2, double v3) {
        double t1 = 0.5 * (v2 - v0);
        double t2 = 0.5 * (v3 - v1);
        return wrap16(h00 * v1 + h01 * v2 + h10 * t1 + h11 * t2);
    };
    return {hermite(p0.x, p1.x, p2.x, p3.x), hermite(p0.y, p1.y, p2.y, p3.y),
            hermite(p0.z, p1.z, p2.z, p3.z)};
}

void rotationsAt(const PoolMotion& motion, float u, JointRotations& out) {
    QuaternionLanes groups[kJointGroups];
    interpolateGroups(jointRows(motion), frameSegment(motion.frames, u), JointCount, groups);
    storeJoints(groups, out);
}

void blendedRotationsAt(const PoolMotion& a, float uA, const PoolMotion& b, float uB, float weight,
                        JointRotations& out) {
    QuaternionLanes from[kJointGroups];
    QuaternionLanes to[kJointGroups];
    interpolateGroups(jointRows(a), frameSegment(a.frames, uA), JointCount, from);
    interpolateGroups(jointRows(b), frameSegment(b.frames, uB), JointCount, to);
    for (int g = 0; g < kJointGroups; ++g) {
        from[g] = sampling::slerp(from[g], to[g], splat(weight));
    }
    storeJoints(from, out);
}

Quaternion objectRotationAt(const PoolMotion& motion, const FrameSegment& segment) {
    // Object keys sit inside the object frames, so the keys around the segment (and their
    // control points) are gathered into rows of their own first: from key i - 1 inside the
    // motion, from key i in the first and last segment, which need no neighbours.
    const int first = segment.atEdge ? segment.index : segment.index - 1;
    const int used = segment.atEdge ? 2 : 4;
    const bool planned = motion.objectControls.size() == motion.objectFrames.size();
    Quaternion keys[4];
    Quaternion controls[4];
    for (int k = 0; k < used; ++k) {
        keys[k] = motion.objectFrames[first + k].rotation;
        if (planned) controls[k] = motion.objectControls[first + k];
    }
    FrameSegment local = segment;
    local.index = segment.index - first;
    QuaternionLanes lanes[1];
    interpolateGroups(KeyRows{keys, planned ? controls : nullptr, 1}, local, 1, lanes);
    Quaternion result;
    sampling::storeLanes(lanes[0], &result, 1);
    return result;
}

void blendPoses(const JointRotations& a, const JointRotations& b, float weight,
                JointRotations& out) {
    QuaternionLanes blended[kJointGroups];
    for (int g = 0; g < kJointGroups; ++g) {
        const int first = g * kLanes;
        const int count = std::min(kLanes, JointCount - first);
        blended[g] = sampling::slerp(sampling::loadLanes(&a[first], count),
                                     sampling::loadLanes(&b[first], count), splat(weight));
    }
    storeJoints(blended, out);
}

}  // namespace kavelune
