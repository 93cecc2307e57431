#pragma once

#include <array>

#include "base/quaternion.h"

namespace kavelune {

// A 4 x 4 float matrix stored column by column, as GL keeps its matrices.
struct Matrix4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& at(int row, int column) { return m[column * 4 + row]; }
    float at(int row, int column) const { return m[column * 4 + row]; }
    const float* data() const { return m.data(); }
    float* data() { return m.data(); }
};

struct Vec4f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

Matrix4 operator*(const Matrix4& a, const Matrix4& b);
Vec4f operator*(const Matrix4& a, const Vec4f& v);

// The inverse of a general matrix; false (and `inverse` untouched) when it is singular.
bool invert(const Matrix4& matrix, Matrix4& inverse);

}  // namespace kavelune
