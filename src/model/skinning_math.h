#pragma once

// The arithmetic of the per-frame skinning loops, inline so that the loops make no calls:
// rotation matrices from quaternions, the partial rotations of one segment for several
// weights, and the transform of a vertex and its normal. With SSE2 a vertex is transformed in
// whole registers; elsewhere the same arithmetic runs on single floats.

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/quaternion.h"
#include "base/vec3s.h"
#include "model/character_model.h"
#include "model/skinning_plan.h"

namespace kavelune::skinning {

// The rotation q ⊗ v ⊗ conjugate(q) as a matrix. Written out for any q, not only unit ones:
// the poses' rotations come from slerps that are not renormalised.
inline RotationMatrix rotationMatrixOf(const Quaternion& q) {
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z, ww = q.w * q.w;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    RotationMatrix m;
    m.column[0][0] = ww + xx - yy - zz;
    m.column[0][1] = 2.0f * (xy + wz);
    m.column[0][2] = 2.0f * (xz - wy);
    m.column[0][3] = 0.0f;
    m.column[1][0] = 2.0f * (xy - wz);
    m.column[1][1] = ww - xx + yy - zz;
    m.column[1][2] = 2.0f * (yz + wx);
    m.column[1][3] = 0.0f;
    m.column[2][0] = 2.0f * (xz + wy);
    m.column[2][1] = 2.0f * (yz - wx);
    m.column[2][2] = ww - xx - yy + zz;
    m.column[2][3] = 0.0f;
    return m;
}

// Partial rotations from identity toward one target for several weights, as partialRotation
// computes them, with the angle's arccosine and sine taken once for all weights.
class PartialRotations {
public:
    explicit PartialRotations(const Quaternion& target)
        : q_(target.w < 0.0f ? Quaternion{-target.x, -target.y, -target.z, -target.w} : target) {
        // The same threshold as every slerp: nearly identity blends linearly.
        curved_ = 1.0f - q_.w > 0.0001f;
        if (curved_) {
            theta_ = std::acos(q_.w);
            sinTheta_ = std::sin(theta_);
        }
    }

    Quaternion at(float t) const {
        float a = 1.0f - t;
        float b = t;
        if (curved_) {
            a = std::sin((1.0f - t) * theta_) / sinTheta_;
            b = std::sin(t * theta_) / sinTheta_;
        }
        return {b * q_.x, b * q_.y, b * q_.z, a + b * q_.w};
    }

private:
    Quaternion q_;
    bool curved_ = false;
    float theta_ = 0.0f;
    float sinTheta_ = 0.0f;
};

// A joint position as the fourth column of the transform: (x, y, z, 1), so the transformed
// vertex comes out with w = 1.
struct alignas(16) Translation {
    float v[4] = {0, 0, 0, 1};
};

inline Translation translationOf(const Vec3s& joint) {
    return {{static_cast<float>(joint.x), static_cast<float>(joint.y), static_cast<float>(joint.z), 1.0f}};
}

#if defined(__SSE2__)

// m · (x, y, z) for a vector given in the low three lanes.
inline __m128 rotateLanes(const RotationMatrix& m, __m128 v) {
    const __m128 x = _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0));
    const __m128 y = _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1));
    const __m128 z = _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2));
    return _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_load_ps(m.column[0]), x),
                                 _mm_mul_ps(_mm_load_ps(m.column[1]), y)),
                      _mm_mul_ps(_mm_load_ps(m.column[2]), z));
}

// R·base + joint, each coordinate truncated toward zero and wrapped to 16 bits. The conversion
// gives 0x80000000 for a value no 32-bit integer holds (or NaN), whose low 16 bits are 0: the
// same 0 that truncateToI16 gives.
inline void transformVertex(const RotationMatrix& m, const Translation& joint, const Vertex4s& base,
                            Vertex4s& out) {
    const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&base));
    const __m128i wide = _mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16);
    const __m128 point = _mm_add_ps(rotateLanes(m, _mm_cvtepi32_ps(wide)), _mm_load_ps(joint.v));
    __m128i truncated = _mm_cvttps_epi32(point);
    truncated = _mm_srai_epi32(_mm_slli_epi32(truncated, 16), 16);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out), _mm_packs_epi32(truncated, truncated));
}

inline void transformNormal(const RotationMatrix& m, const Vec3f& normal, Vec3f& out) {
    const __m128 rotated = rotateLanes(m, _mm_setr_ps(normal.x, normal.y, normal.z, 0.0f));
    _mm_storel_pi(reinterpret_cast<__m64*>(&out.x), rotated);
    _mm_store_ss(&out.z, _mm_movehl_ps(rotated, rotated));
}

// (b − a) × (c − a) of three deformed vertices, the differences taken in integers first.
inline void crossOfEdges(const Vertex4s& a, const Vertex4s& b, const Vertex4s& c, Vec3f& out) {
    auto widen = [](const Vertex4s& v) {
        const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&v));
        return _mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16);
    };
    const __m128i wa = widen(a);
    const __m128 u = _mm_cvtepi32_ps(_mm_sub_epi32(widen(b), wa));
    const __m128 v = _mm_cvtepi32_ps(_mm_sub_epi32(widen(c), wa));
    // u·v.yzx − u.yzx·v holds the cross product's z, x, y; one more turn puts them in place.
    const __m128 uYzx = _mm_shuffle_ps(u, u, _MM_SHUFFLE(3, 0, 2, 1));
    const __m128 vYzx = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 0, 2, 1));
    const __m128 zxy = _mm_sub_ps(_mm_mul_ps(u, vYzx), _mm_mul_ps(uYzx, v));
    const __m128 n = _mm_shuffle_ps(zxy, zxy, _MM_SHUFFLE(3, 0, 2, 1));
    _mm_storel_pi(reinterpret_cast<__m64*>(&out.x), n);
    _mm_store_ss(&out.z, _mm_movehl_ps(n, n));
}

#else

inline void transformVertex(const RotationMatrix& m, const Translation& joint, const Vertex4s& base,
                            Vertex4s& out) {
    const float x = base.x, y = base.y, z = base.z;
    float p[3];
    for (int row = 0; row < 3; ++row) {
        p[row] = m.column[0][row] * x + m.column[1][row] * y + m.column[2][row] * z + joint.v[row];
    }
    out = {truncateToI16(p[0]), truncateToI16(p[1]), truncateToI16(p[2]), 1};
}

inline void transformNormal(const RotationMatrix& m, const Vec3f& normal, Vec3f& out) {
    float r[3];
    for (int row = 0; row < 3; ++row) {
        r[row] = m.column[0][row] * normal.x + m.column[1][row] * normal.y +
                 m.column[2][row] * normal.z;
    }
    out = {r[0], r[1], r[2]};
}

inline void crossOfEdges(const Vertex4s& a, const Vertex4s& b, const Vertex4s& c, Vec3f& out) {
    const float ux = static_cast<float>(b.x - a.x), uy = static_cast<float>(b.y - a.y),
                uz = static_cast<float>(b.z - a.z);
    const float vx = static_cast<float>(c.x - a.x), vy = static_cast<float>(c.y - a.y),
                vz = static_cast<float>(c.z - a.z);
    out = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
}

#endif

}  // namespace kavelune::skinning
