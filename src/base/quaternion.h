#pragma once

#include "base/vec3s.h"

namespace kavelune {

// A rotation as four single-precision floats, w last (w is the cosine of half the angle).
// All arithmetic stays in float on purpose: poses computed here must match the stored motion
// data bit for bit wherever the formats round-trip through floats.
struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;

    static constexpr Quaternion identity() { return {0.0f, 0.0f, 0.0f, 1.0f}; }

    Quaternion conjugate() const { return {-x, -y, -z, w}; }
    float dot(const Quaternion& other) const;

    bool operator==(const Quaternion&) const = default;
};

struct Vec3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool operator==(const Vec3f&) const = default;
};

// Hamilton product a ⊗ b.
Quaternion operator*(const Quaternion& a, const Quaternion& b);

// Vector part of q ⊗ (v, 0) ⊗ conjugate(q).
Vec3f rotate(const Quaternion& q, const Vec3f& v);

// Rotates the integer point as floats, adds the translation, truncates each coordinate toward
// zero.
Vec3s rotateAndTranslate(const Quaternion& q, const Vec3s& point, const Vec3s& translation);

// Spherical interpolation from identity toward q by t in [0, 1] (q taken on the short way).
Quaternion partialRotation(const Quaternion& q, float t);

// Spherical interpolation from p to q by t, the shorter way round; linear weights when the
// two are closer than the 0.0001 threshold. The result is not renormalised.
Quaternion slerp(const Quaternion& p, const Quaternion& q, float t);

// Axis-angle helper (axis need not be normalised; a zero axis gives identity).
Quaternion fromAxisAngle(float ax, float ay, float az, float radians);

Quaternion normalized(const Quaternion& q);

// Logarithm and exponential of unit quaternions (pure quaternions in and out).
Quaternion quaternionLog(const Quaternion& q);
Quaternion quaternionExp(const Quaternion& q);

}  // namespace kavelune
