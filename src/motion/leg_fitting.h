#pragma once

#include <array>

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "motion/track_pose.h"

namespace kavelune {

// The parts of a character's skeleton that leg fitting needs, taken from its pivots (joint
// offsets from the parent joint) and its foot offsets when the character is set up.
struct CharacterLegs {
    std::array<Vec3s, 2> hip;    // pivots 13 and 16: hip joints from the root joint
    std::array<Vec3s, 2> thigh;  // pivots 14 and 17: knee from hip
    std::array<Vec3s, 2> shin;   // pivots 15 and 18: ankle from knee
    std::array<Vec3s, 2> foot;   // foot offsets A and B
};

// Fits motions, authored for a reference figure whose thigh and shin are each 1000 units long
// and hang straight down, to a character's own legs: the knee keeps the motion's bend while its
// place along the leg follows the character's thigh and shin, the root is scaled by the leg
// factor and lowered to the character's hips and feet, and each foot keeps the direction the
// motion gives it.
class LegFitting {
public:
    explicit LegFitting(const CharacterLegs& legs);

    // Turns the motion's rotations and root into the character's local rotations and root.
    // Allocates nothing.
    void fit(const JointRotations& motionRotations, const Vec3s& motionRoot,
             JointRotations& rotations, Vec3s& root) const;

    double legFactor() const { return legFactor_; }
    float thighLength() const { return thighLength_; }
    float shinLength() const { return shinLength_; }

private:
    void fitLeg(int leg, const JointRotations& motion, JointRotations& rotations) const;
    void correctAnkle(int leg, const JointRotations& motion, JointRotations& rotations) const;

    float thighLength_ = 0.0f;
    float shinLength_ = 0.0f;
    double legFactor_ = 1.0;
    std::array<Quaternion, 2> shinAlignment_{};
    std::array<float, 2> hipHeight_{};
    std::array<float, 2> footHeight_{};
};

// The rotation that turns direction a onto direction b (identity when either is too short or
// they are parallel).
Quaternion rotationBetween(const Vec3f& a, const Vec3f& b);

}  // namespace kavelune
