#pragma once

#include <array>
#include <cmath>

#include "kit/vec3d.h"

// Double-precision vectors, rotations and affine matrices for reposing an imported skeleton.
namespace kvl::import {

using Vec3 = kvl::Vec3d;

inline Vec3 normalise(Vec3 a) {
    const double l = length(a);
    return l > 1e-12 ? a * (1.0 / l) : Vec3{};
}

// Row-major 3x3 rotation.
using Rotation = std::array<std::array<double, 3>, 3>;

inline Rotation identityRotation() { return {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}; }

inline Vec3 operator*(const Rotation& r, Vec3 v) {
    return {r[0][0] * v.x + r[0][1] * v.y + r[0][2] * v.z, r[1][0] * v.x + r[1][1] * v.y + r[1][2] * v.z,
            r[2][0] * v.x + r[2][1] * v.y + r[2][2] * v.z};
}

inline Rotation operator*(const Rotation& a, const Rotation& b) {
    Rotation m{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    return m;
}

// The shortest rotation that turns direction `from` into direction `to` (both non-zero).
Rotation rotationBetween(Vec3 from, Vec3 to);

// Column-major 4x4 affine matrix, as glTF stores them.
struct Matrix {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    Vec3 transformPoint(Vec3 p) const {
        return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
    }
    Vec3 origin() const { return {m[12], m[13], m[14]}; }
};

Matrix operator*(const Matrix& a, const Matrix& b);
Matrix translation(Vec3 t);
Matrix rotationMatrix(const Rotation& r);
// Translation, rotation (quaternion x, y, z, w) and scale, composed as T * R * S.
Matrix fromTrs(Vec3 t, const std::array<double, 4>& q, Vec3 s);

}  // namespace kvl::import
