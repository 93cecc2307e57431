#include "motion/leg_fitting.h"

#include <cmath>

namespace kavelune {

namespace {

constexpr float kDegenerate = 1e-7f;
constexpr int kHip[2] = {13, 16};
constexpr int kKnee[2] = {14, 17};
constexpr int kAnkle[2] = {15, 18};

Vec3f toFloat(const Vec3s& v) {
    return {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}
Vec3f add(const Vec3f& a, const Vec3f& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3f sub(const Vec3f& a, const Vec3f& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3f scale(const Vec3f& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float dot(const Vec3f& a, const Vec3f& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f cross(const Vec3f& a, const Vec3f& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float length(const Vec3f& a) { return std::sqrt(dot(a, a)); }

const Vec3f kDown{0.0f, -1.0f, 0.0f};
const Vec3f kForward{0.0f, 0.0f, 1.0f};

}  // namespace

Quaternion rotationBetween(const Vec3f& a, const Vec3f& b) {
    float lengths = length(a) * length(b);
    if (lengths < kDegenerate) return Quaternion::identity();
    Vec3f axis = cross(a, b);
    float sine = length(axis) / lengths;
    float cosine = dot(a, b) / lengths;
    if (length(axis) < kDegenerate) return Quaternion::identity();
    return fromAxisAngle(axis.x, axis.y, axis.z, std::atan2(sine, cosine));
}

LegFitting::LegFitting(const CharacterLegs& legs) {
    thighLength_ = length(toFloat(legs.thigh[0]));
    shinLength_ = length(toFloat(legs.shin[0]));
    legFactor_ = (static_cast<double>(thighLength_) + shinLength_) * 0.0005;
    for (int leg = 0; leg < 2; ++leg) {
        shinAlignment_[leg] = rotationBetween(toFloat(legs.shin[leg]), {0.0f, -shinLength_, 0.0f});
        hipHeight_[leg] = legs.hip[leg].y;
        footHeight_[leg] = legs.foot[leg].y;
    }
}

void LegFitting::fitLeg(int leg, const JointRotations& motion, JointRotations& rotations) const {
    const Quaternion& hipRotation = motion[kHip[leg]];
    const Quaternion& kneeRotation = motion[kKnee[leg]];
    const float reference = static_cast<float>(1000.0 * legFactor_);

    // The motion's own leg in the hip's parent frame, from the hip joint: the knee at the end of
    // the reference thigh and the ankle target at the end of the reference shin.
    Vec3f knee = rotate(hipRotation, scale(kDown, reference));
    Vec3f ankle = add(knee, rotate(hipRotation * kneeRotation, scale(kDown, reference)));

    // The leg's frame: origin halfway to the ankle, y toward the ankle, x toward the knee.
    float reach = length(ankle);
    float h = reach / 2.0f;
    if (h < kDegenerate) return;
    Vec3f yAxis = scale(ankle, 1.0f / reach);
    Vec3f middle = scale(ankle, 0.5f);
    Vec3f fromMiddle = sub(knee, middle);
    float along = dot(fromMiddle, yAxis);
    Vec3f sideways = sub(fromMiddle, scale(yAxis, along));
    float side = length(sideways);
    if (side < kDegenerate) return;  // a straight leg spans no plane
    Vec3f xAxis = scale(sideways, 1.0f / side);

    // The ellipse with foci at hip and ankle through the motion's knee.
    float major = (length(knee) + length(sub(knee, ankle))) / 2.0f;
    float minor = std::sqrt(std::fmax(major * major - h * h, 0.0f));
    float t = thighLength_;
    float s = shinLength_;
    float difference = std::fabs(t - s);
    float spread = h >= difference ? h : (h + difference) / 2.0f;
    float m = (t * t - s * s) / (4.0f * spread);
    // Past either end of the ellipse there is no knee on it (the square root below would have
    // no value); the leg then keeps the motion's rotations.
    if (major < kDegenerate || m > major || m < -major) return;
    float distance = minor * std::sqrt(1.0f - (m * m) / (major * major));
    // The knee's first local coordinate is positive by the choice of x, so the new knee lies on
    // its side.
    Vec3f newKnee = add(middle, add(scale(xAxis, distance), scale(yAxis, m)));
    Vec3f newShin = sub(ankle, newKnee);

    Quaternion hip = rotationBetween(knee, newKnee) * hipRotation;
    // The knee rotation works in the hip's frame: turn the motion's shin there onto the solved
    // shin seen from the new hip, then line the character's own shin pivot up with it.
    Vec3f motionShin = rotate(kneeRotation, kDown);
    Vec3f solvedShin = rotate(hip.conjugate(), newShin);
    Quaternion kneeFitted = rotationBetween(motionShin, solvedShin) * kneeRotation *
                            shinAlignment_[leg];
    rotations[kHip[leg]] = hip;
    rotations[kKnee[leg]] = kneeFitted;
}

void LegFitting::correctAnkle(int leg, const JointRotations& motion,
                              JointRotations& rotations) const {
    Quaternion ownKnee = rotations[0] * rotations[kHip[leg]] * rotations[kKnee[leg]];
    Vec3f own = rotate(ownKnee * rotations[kAnkle[leg]], kForward);
    Vec3f wanted =
        rotate(motion[0] * motion[kHip[leg]] * motion[kKnee[leg]] * motion[kAnkle[leg]], kForward);
    // Both directions taken into the knee's frame, so the correction goes in front of the
    // ankle's local rotation.
    Quaternion toKnee = ownKnee.conjugate();
    Quaternion correction = rotationBetween(rotate(toKnee, own), rotate(toKnee, wanted));
    rotations[kAnkle[leg]] = correction * rotations[kAnkle[leg]];
}

void LegFitting::fit(const JointRotations& motionRotations, const Vec3s& motionRoot,
                     JointRotations& rotations, Vec3s& root) const {
    rotations = motionRotations;
    for (int leg = 0; leg < 2; ++leg) fitLeg(leg, motionRotations, rotations);

    double k = legFactor_;
    Vec3f scaled{static_cast<float>(static_cast<std::int32_t>(motionRoot.x * k)),
                 static_cast<float>(static_cast<std::int32_t>(motionRoot.y * k)),
                 static_cast<float>(static_cast<std::int32_t>(motionRoot.z * k))};
    double hipDrop = (static_cast<double>(hipHeight_[0]) + hipHeight_[1]) / 2.0 + 200.0 * k;
    Vec3f drop = rotate(rotations[0], {0.0f, static_cast<float>(-hipDrop), 0.0f});
    auto truncated = [](float v) { return static_cast<float>(static_cast<std::int32_t>(v)); };
    Vec3f lowered = add(scaled, {truncated(drop.x), truncated(drop.y), truncated(drop.z)});
    double footLift = (static_cast<double>(footHeight_[0]) + footHeight_[1]) / 2.0 + 200.0 * k;
    lowered.y -= static_cast<float>(static_cast<std::int32_t>(footLift));
    root = truncateToVec3s(lowered.x, lowered.y, lowered.z);

    for (int leg = 0; leg < 2; ++leg) correctAnkle(leg, motionRotations, rotations);
}

}  // namespace kavelune
