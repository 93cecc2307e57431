#include "kit/import/import_math.h"

namespace kvl::import {

Rotation rotationBetween(Vec3 from, Vec3 to) {
    const Vec3 a = normalise(from);
    const Vec3 b = normalise(to);
    const double c = dot(a, b);
    Vec3 axis = cross(a, b);
    if (length(axis) < 1e-9) {
        if (c > 0.0) return identityRotation();
        // Opposite directions: half a turn about any axis across them.
        axis = std::abs(a.x) < 0.9 ? cross(a, Vec3{1, 0, 0}) : cross(a, Vec3{0, 1, 0});
    }
    const Vec3 k = normalise(axis);
    const double angle = std::atan2(length(cross(a, b)), c);
    const double s = std::sin(angle);
    const double t = 1.0 - std::cos(angle);
    // Rodrigues' formula.
    return {{{t * k.x * k.x + (1 - t), t * k.x * k.y - s * k.z, t * k.x * k.z + s * k.y},
             {t * k.x * k.y + s * k.z, t * k.y * k.y + (1 - t), t * k.y * k.z - s * k.x},
             {t * k.x * k.z - s * k.y, t * k.y * k.z + s * k.x, t * k.z * k.z + (1 - t)}}};
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
            r.m[col * 4 + row] = sum;
        }
    }
    return r;
}

Matrix translation(Vec3 t) {
    Matrix r;
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

Matrix rotationMatrix(const Rotation& rot) {
    Matrix r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) r.m[col * 4 + row] = rot[row][col];
    return r;
}

Matrix fromTrs(Vec3 t, const std::array<double, 4>& q, Vec3 s) {
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double x = n > 0 ? q[0] / n : 0, y = n > 0 ? q[1] / n : 0, z = n > 0 ? q[2] / n : 0,
                 w = n > 0 ? q[3] / n : 1;
    const Rotation r{{{1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)},
                      {2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)},
                      {2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)}}};
    Matrix scale;
    scale.m[0] = s.x;
    scale.m[5] = s.y;
    scale.m[10] = s.z;
    return translation(t) * rotationMatrix(r) * scale;
}

}  // namespace kvl::import
