#include "model/finger_pose.h"

#include <cmath>
#include <numbers>

namespace kavelune {

namespace {

constexpr float kHalfDegree = std::numbers::pi_v<float> / 360.0f;

// The i16 at a byte offset of the record, in hundredths of a degree, as degrees.
float degreesAt(const FingerPoseBytes& record, std::size_t offset) {
    auto raw = static_cast<std::uint16_t>(record[offset] | (record[offset + 1] << 8));
    return static_cast<float>(static_cast<std::int16_t>(raw)) / 100.0f;
}

Quaternion halfAngleRotation(float degrees, int axis) {
    float half = degrees * kHalfDegree;
    float s = std::sin(half);
    Quaternion q{0.0f, 0.0f, 0.0f, std::cos(half)};
    (axis == 0 ? q.x : axis == 1 ? q.y : q.z) = s;
    return q;
}

}  // namespace

Quaternion eulerRotation(float xDegrees, float yDegrees, float zDegrees) {
    Quaternion qx = halfAngleRotation(xDegrees, 0);
    Quaternion qy = halfAngleRotation(yDegrees, 1);
    Quaternion qz = halfAngleRotation(zDegrees, 2);
    return normalized(qz * qx * qy);
}

bool fingerPoseSkipped(const FingerPoseBytes& record) { return record[0] != 0 || record[1] != 0; }

void convertFingerPose(const FingerPoseBytes& record, float sideSign,
                       std::array<Quaternion, 16>& rotations) {
    const float s = sideSign;
    rotations[1] = eulerRotation(degreesAt(record, 2), s * degreesAt(record, 4),
                                 s * degreesAt(record, 6));
    rotations[2] = eulerRotation(0.0f, s * degreesAt(record, 8), 0.0f);
    rotations[3] = eulerRotation(0.0f, s * degreesAt(record, 10), 0.0f);
    for (std::size_t finger = 1; finger <= 4; ++finger) {
        std::size_t base = 12 + (finger - 1) * 8;
        std::size_t segment = 3 * finger;
        rotations[segment + 1] =
            eulerRotation(0.0f, s * degreesAt(record, base), s * degreesAt(record, base + 2));
        rotations[segment + 2] = eulerRotation(0.0f, 0.0f, s * degreesAt(record, base + 4));
        rotations[segment + 3] = eulerRotation(0.0f, 0.0f, s * degreesAt(record, base + 6));
    }
}

}  // namespace kavelune
