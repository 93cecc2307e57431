#include "base/quaternion.h"

#include <cmath>

namespace kavelune {

namespace {

constexpr float kSlerpThreshold = 0.0001f;

// The sine weights shared by slerp and the partial rotation: a for the start, b for the end.
void sineWeights(float cosTheta, float t, float& a, float& b) {
    if (1.0f - cosTheta > kSlerpThreshold) {
        float theta = std::acos(cosTheta);
        float sinTheta = std::sin(theta);
        a = std::sin((1.0f - t) * theta) / sinTheta;
        b = std::sin(t * theta) / sinTheta;
    } else {
        a = 1.0f - t;
        b = t;
    }
}

}  // namespace

float Quaternion::dot(const Quaternion& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }

Quaternion operator*(const Quaternion& a, const Quaternion& b) {
    return {
        a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
        a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
        a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
    };
}

Vec3f rotate(const Quaternion& q, const Vec3f& v) {
    Quaternion r = q * Quaternion{v.x, v.y, v.z, 0.0f} * q.conjugate();
    return {r.x, r.y, r.z};
}

Vec3s rotateAndTranslate(const Quaternion& q, const Vec3s& point, const Vec3s& translation) {
    Vec3f r = rotate(q, {static_cast<float>(point.x), static_cast<float>(point.y),
                         static_cast<float>(point.z)});
    return truncateToVec3s(r.x + translation.x, r.y + translation.y, r.z + translation.z);
}

Quaternion partialRotation(const Quaternion& target, float t) {
    Quaternion q = target;
    if (q.w < 0.0f) {
        q = {-q.x, -q.y, -q.z, -q.w};
    }
    float a = 0.0f;
    float b = 0.0f;
    sineWeights(q.w, t, a, b);
    return {b * q.x, b * q.y, b * q.z, a + b * q.w};
}

Quaternion slerp(const Quaternion& p, const Quaternion& target, float t) {
    Quaternion q = target;
    float cosTheta = p.dot(q);
    if (cosTheta < 0.0f) {
        q = {-q.x, -q.y, -q.z, -q.w};
        cosTheta = -cosTheta;
    }
    float a = 0.0f;
    float b = 0.0f;
    sineWeights(cosTheta, t, a, b);
    return {a * p.x + b * q.x, a * p.y + b * q.y, a * p.z + b * q.z, a * p.w + b * q.w};
}

Quaternion fromAxisAngle(float ax, float ay, float az, float radians) {
    float length = std::sqrt(ax * ax + ay * ay + az * az);
    if (length == 0.0f) {
        return Quaternion::identity();
    }
    float s = std::sin(radians * 0.5f) / length;
    return {ax * s, ay * s, az * s, std::cos(radians * 0.5f)};
}

Quaternion normalized(const Quaternion& q) {
    float length = std::sqrt(q.dot(q));
    if (length == 0.0f) {
        return Quaternion::identity();
    }
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

Quaternion quaternionLog(const Quaternion& q) {
    float vectorLength = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (vectorLength < 1e-7f) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    float w = q.w > 1.0f ? 1.0f : (q.w < -1.0f ? -1.0f : q.w);
    float angle = std::acos(w);
    float s = angle / vectorLength;
    return {q.x * s, q.y * s, q.z * s, 0.0f};
}

Quaternion quaternionExp(const Quaternion& q) {
    float angle = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
    if (angle < 1e-7f) {
        return {q.x, q.y, q.z, 1.0f};
    }
    float s = std::sin(angle) / angle;
    return {q.x * s, q.y * s, q.z * s, std::cos(angle)};
}

}  // namespace kavelune
