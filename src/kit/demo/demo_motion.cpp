#include "kit/demo/demo_motion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "kit/demo/demo_mesh.h"

namespace kvl::demo {

namespace {

using kavelune::Quaternion;

constexpr double kDegrees = std::numbers::pi / 180.0;
constexpr double kBone = 1000.0;       // reference thigh and shin
constexpr double kHipDrop = 200.0;     // root to hip joints
constexpr double kHipHalfWidth = 210.0;
constexpr double kAnkleHeight = 200.0;

// Rotations in double precision while solving; stored as floats at the end.
struct Rotation {
    double x = 0.0, y = 0.0, z = 0.0, w = 1.0;
};

Rotation operator*(const Rotation& a, const Rotation& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Rotation inverse(const Rotation& q) { return {-q.x, -q.y, -q.z, q.w}; }

Rotation axisAngle(Vec3d axis, double degrees) {
    const Vec3d a = normalise(axis);
    const double half = 0.5 * degrees * kDegrees;
    const double s = std::sin(half);
    return {a.x * s, a.y * s, a.z * s, std::cos(half)};
}

Vec3d apply(const Rotation& q, Vec3d v) {
    const Vec3d u{q.x, q.y, q.z};
    const Vec3d t = cross(u, v) * 2.0;
    return v + t * q.w + cross(u, t);
}

// The rotation whose columns are the given orthonormal axes.
Rotation fromAxes(Vec3d x, Vec3d y, Vec3d z) {
    const double m00 = x.x, m10 = x.y, m20 = x.z;
    const double m01 = y.x, m11 = y.y, m21 = y.z;
    const double m02 = z.x, m12 = z.y, m22 = z.z;
    const double trace = m00 + m11 + m22;
    Rotation q;
    if (trace > 0.0) {
        const double s = 0.5 / std::sqrt(trace + 1.0);
        q = {(m21 - m12) * s, (m02 - m20) * s, (m10 - m01) * s, 0.25 / s};
    } else if (m00 > m11 && m00 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m00 - m11 - m22);
        q = {0.25 * s, (m01 + m10) / s, (m02 + m20) / s, (m21 - m12) / s};
    } else if (m11 > m22) {
        const double s = 2.0 * std::sqrt(1.0 + m11 - m00 - m22);
        q = {(m01 + m10) / s, 0.25 * s, (m12 + m21) / s, (m02 - m20) / s};
    } else {
        const double s = 2.0 * std::sqrt(1.0 + m22 - m00 - m11);
        q = {(m02 + m20) / s, (m12 + m21) / s, 0.25 * s, (m10 - m01) / s};
    }
    const double l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return {q.x / l, q.y / l, q.z / l, q.w / l};
}

// Local rotation of an upright body part (waist, chest, neck, head, pelvis).
Rotation uprightRotation(const BodyAngles& a) {
    return axisAngle({0, 1, 0}, a.turn) * axisAngle({1, 0, 0}, a.forward) * axisAngle({0, 0, 1}, -a.side);
}

// Local rotation of a hanging limb segment on side `sign` (+1 left, -1 right).
Rotation hangingRotation(const BodyAngles& a, double sign) {
    return axisAngle({0, 0, 1}, sign * a.side) * axisAngle({1, 0, 0}, -a.forward) *
           axisAngle({0, 1, 0}, sign * a.turn);
}

Quaternion stored(const Rotation& q) {
    // Keep w non-negative so neighbouring frames agree in sign as often as possible.
    const double s = q.w < 0.0 ? -1.0 : 1.0;
    return {static_cast<float>(q.x * s), static_cast<float>(q.y * s), static_cast<float>(q.z * s),
            static_cast<float>(q.w * s)};
}

// Two-bone leg reaching from `hip` to `ankle` with the knee towards `kneeHint`; returns the
// world rotations of thigh and shin (local -y along each bone).
void solveLeg(Vec3d hip, Vec3d ankle, Vec3d kneeHint, Rotation& thigh, Rotation& shin) {
    Vec3d toAnkle = ankle - hip;
    double reach = std::min(length(toAnkle), 2.0 * kBone - 1.0);
    const Vec3d along = normalise(toAnkle);
    Vec3d bendDirection = normalise(kneeHint - along * dot(kneeHint, along));
    const double opening = std::acos(std::clamp(reach / (2.0 * kBone), -1.0, 1.0));
    const Vec3d knee = hip + (along * std::cos(opening) + bendDirection * std::sin(opening)) * kBone;
    const Vec3d thighDirection = normalise(knee - hip);
    const Vec3d shinDirection = normalise(hip + along * reach - knee);
    // Local +z of both bones points where the knee points: forward of the bone, in the leg plane.
    auto frontOf = [&](Vec3d bone) { return normalise(bendDirection - bone * dot(bendDirection, bone)); };
    const Vec3d thighFront = frontOf(thighDirection);
    const Vec3d shinFront = frontOf(shinDirection);
    const Vec3d thighUp = thighDirection * -1.0;
    const Vec3d shinUp = shinDirection * -1.0;
    thigh = fromAxes(cross(thighUp, thighFront), thighUp, thighFront);
    shin = fromAxes(cross(shinUp, shinFront), shinUp, shinFront);
}

}  // namespace

FigurePose::FigurePose() {
    feet[0].x = kHipHalfWidth;
    feet[1].x = -kHipHalfWidth;
    arms[0].shoulder.side = 6.0;
    arms[1].shoulder.side = 6.0;
}

MotionFrame solveFrame(const FigurePose& pose) {
    std::array<Rotation, kavelune::JointCount> local{};
    const Rotation root = uprightRotation(pose.pelvis);
    local[0] = root;
    local[1] = uprightRotation(pose.waist);
    local[2] = uprightRotation(pose.chest);
    local[3] = uprightRotation(pose.neck);
    local[4] = uprightRotation(pose.head);
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        const int collar = side == 0 ? 5 : 9;
        const ArmPose& arm = pose.arms[side];
        local[collar] = axisAngle({0, 0, 1}, sign * arm.shrug);
        local[collar + 1] = hangingRotation(arm.shoulder, sign);
        local[collar + 2] = axisAngle({1, 0, 0}, -arm.elbow);
        local[collar + 3] = hangingRotation(arm.wrist, sign);
    }

    const Vec3d rootPosition{pose.x, pose.height, pose.z};
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        const int hipSegment = side == 0 ? 13 : 16;
        const FootPlacement& foot = pose.feet[side];
        const Vec3d hip = rootPosition + apply(root, {sign * kHipHalfWidth, -kHipDrop, 0.0});
        const Vec3d ankle{foot.x, kAnkleHeight + foot.lift, foot.z};
        // Knees point where the toes point, a little outward.
        const Vec3d kneeHint = apply(axisAngle({0, 1, 0}, foot.turn + sign * 8.0), {0.0, 0.0, 1.0});
        Rotation thigh, shin;
        solveLeg(hip, ankle, kneeHint, thigh, shin);
        local[hipSegment] = inverse(root) * thigh;
        local[hipSegment + 1] = inverse(thigh) * shin;
        const Rotation footWorld = axisAngle({0, 1, 0}, foot.turn) * axisAngle({1, 0, 0}, foot.point);
        local[hipSegment + 2] = inverse(shin) * footWorld;
    }

    MotionFrame frame;
    frame.root = {static_cast<std::int16_t>(std::lround(pose.x)), static_cast<std::int16_t>(std::lround(pose.height)),
                  static_cast<std::int16_t>(std::lround(pose.z))};
    for (int s = 0; s < kavelune::JointCount; ++s) {
        frame.rotations[s] = stored(local[s]);
    }
    return frame;
}

kavelune::PoolMotion sampleMove(int bars, int beatsPerBar, int framesPerBeat,
                                const std::function<FigurePose(double beat)>& pose) {
    kavelune::PoolMotion motion;
    motion.bars = static_cast<std::uint8_t>(bars);
    const int beats = bars * beatsPerBar;
    const int frames = beats * framesPerBeat + 1;
    motion.frames = static_cast<std::uint16_t>(frames);
    Quaternion previous[kavelune::JointCount];
    for (int f = 0; f < frames; ++f) {
        const MotionFrame frame = solveFrame(pose(static_cast<double>(f) / framesPerBeat));
        motion.rootPositions.push_back(frame.root);
        for (int s = 0; s < kavelune::JointCount; ++s) {
            Quaternion q = frame.rotations[s];
            // Neighbouring keys on the same side of the sphere interpolate the short way.
            if (f > 0 && q.dot(previous[s]) < 0.0f) {
                q = {-q.x, -q.y, -q.z, -q.w};
            }
            previous[s] = q;
            motion.rotations.push_back(q);
        }
    }
    return motion;
}

}  // namespace kvl::demo
