#include "render/view_transform.h"

#include <cmath>
#include <numbers>

namespace kavelune {

namespace {

constexpr float kStageLift = -900.0f;

float radians(float degrees) { return degrees * std::numbers::pi_v<float> / 180.0f; }

Matrix4 translation(float x, float y, float z) {
    Matrix4 matrix;
    matrix.at(0, 3) = x;
    matrix.at(1, 3) = y;
    matrix.at(2, 3) = z;
    return matrix;
}

// The matrix glRotatef(degrees, axis) multiplies by, for one of the three axes.
Matrix4 axisRotation(int axis, float degrees) {
    const float c = std::cos(radians(degrees));
    const float s = std::sin(radians(degrees));
    Matrix4 matrix;
    const int a = (axis + 1) % 3;
    const int b = (axis + 2) % 3;
    matrix.at(a, a) = c;
    matrix.at(a, b) = -s;
    matrix.at(b, a) = s;
    matrix.at(b, b) = c;
    return matrix;
}

Vec3f transformPoint(const Matrix4& matrix, const Vec3f& point) {
    const Vec4f result = matrix * Vec4f{point.x, point.y, point.z, 1.0f};
    return {result.x, result.y, result.z};
}

}  // namespace

Matrix4 viewPitchYaw(float pitchDegrees, float yawDegrees) {
    return axisRotation(0, pitchDegrees) * axisRotation(1, yawDegrees);
}

void settleViewRotation(ViewRotation& rotation, Vec3f& translation) {
    if (!rotation.changed) {
        return;
    }
    const Vec3f turned = transformPoint(viewPitchYaw(rotation.pitch, rotation.yaw), rotation.pivot);
    if (rotation.dragActive) {
        translation = {translation.x - turned.x, translation.y - turned.y, translation.z - turned.z};
    } else {
        translation = {translation.x + turned.x, translation.y + turned.y, translation.z + turned.z};
        rotation.pivot = {};
    }
    rotation.changed = false;
}

Matrix4 viewTransformMatrix(const ViewRotation* rotation, const Vec3f& t) {
    Matrix4 matrix;
    if (rotation != nullptr) {
        matrix = translation(t.x, t.y, t.z) * axisRotation(0, rotation->pitch) *
                 axisRotation(1, rotation->yaw) * axisRotation(2, rotation->roll);
        if (rotation->dragActive) {
            matrix = matrix * translation(rotation->pivot.x, rotation->pivot.y, rotation->pivot.z);
        }
    }
    return matrix * translation(0.0f, kStageLift, 0.0f);
}

Matrix4 modelPlacementMatrix(const Vec3s& stage, float turnDegrees, const Vec3s& root) {
    return translation(stage.x, stage.y, stage.z) * axisRotation(1, turnDegrees) *
           translation(root.x, root.y, root.z);
}

Vec3f toModelFrame(const Vec3f& point, const Vec3s& stage, float turnDegrees, const Vec3s& root) {
    const Vec3f moved{point.x - stage.x, point.y - stage.y, point.z - stage.z};
    const Vec3f turned = transformPoint(axisRotation(1, -turnDegrees), moved);
    return {turned.x - root.x, turned.y - root.y, turned.z - root.z};
}

}  // namespace kavelune
