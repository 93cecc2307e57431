#pragma once

#include <array>

#include "render/matrix4.h"

namespace kavelune {

// A plane a·x + b·y + c·z + d = 0.
struct Plane {
    float a = 0.0f;
    float b = 1.0f;
    float c = 0.0f;
    float d = 0.0f;
};

// A surface that catches the flat shadow of the models: its plane, the shadow colour, the
// light that casts it and the matrix that flattens geometry onto the plane from the light.
struct ShadowReceiver {
    Plane plane;
    std::array<float, 4> colour{0.0f, 0.0f, 0.0f, 0.5f};
    Vec3f light;
    Matrix4 projection;
};

// M = k·I − L·Pᵀ with k = P·L, for a point light L (w = 1) and plane P; column-major.
Matrix4 shadowProjectionMatrix(const Vec3f& light, const Plane& plane);

ShadowReceiver makeShadowReceiver(const Vec3f& light, const std::array<float, 4>& colour,
                                  const Plane& plane);

}  // namespace kavelune
