#include "render/shadow_receiver.h"

namespace kavelune {

Matrix4 shadowProjectionMatrix(const Vec3f& light, const Plane& plane) {
    const float l[4] = {light.x, light.y, light.z, 1.0f};
    const float p[4] = {plane.a, plane.b, plane.c, plane.d};
    const float k = p[0] * l[0] + p[1] * l[1] + p[2] * l[2] + p[3];
    Matrix4 matrix;
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            matrix.at(row, column) = (row == column ? k : 0.0f) - l[row] * p[column];
        }
    }
    return matrix;
}

ShadowReceiver makeShadowReceiver(const Vec3f& light, const std::array<float, 4>& colour,
                                  const Plane& plane) {
    ShadowReceiver receiver;
    receiver.plane = plane;
    receiver.colour = colour;
    receiver.light = light;
    receiver.projection = shadowProjectionMatrix(light, plane);
    return receiver;
}

}  // namespace kavelune
