#include "motion/pose_sampling.h"

#include <cmath>

namespace kavelune {

namespace {

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

}  // namespace

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
    FrameSegment segment = frameSegment(motion.frames, u);
    for (int joint = 0; joint < JointCount; ++joint) {
        out[joint] = interpolateRotation(segment, [&](int frame) {
            return motion.rotations[static_cast<std::size_t>(frame) * JointCount + joint];
        });
    }
}

void blendPoses(const JointRotations& a, const JointRotations& b, float weight,
                JointRotations& out) {
    for (int joint = 0; joint < JointCount; ++joint) {
        out[joint] = slerp(a[joint], b[joint], weight);
    }
}

}  // namespace kavelune
