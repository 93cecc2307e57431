#pragma once

// Rotation interpolation four joints at a time. A pose is 19 joints, each interpolated with the
// same weights, so the joints go through their slerps side by side: one lane per joint, one
// vector per quaternion component. The arccosine, sine and cosine are polynomials (accurate to
// a few units in the last place) instead of library calls, so a slerp runs inline in vector
// registers from start to end. Internal to pose sampling.

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/quaternion.h"

namespace kavelune::sampling {

// Four floats, and the all-ones or all-zeros lanes that comparing them gives (GCC and Clang
// vector extensions: arithmetic and comparisons work lane by lane; casts between vectors of one
// size keep the bits).
typedef float Lanes __attribute__((vector_size(16)));
typedef int LaneMask __attribute__((vector_size(16)));

// Constants are whole vectors, so they are loaded as they are instead of spread from one float.
constexpr Lanes lanes(float value) { return Lanes{value, value, value, value}; }
constexpr LaneMask kSignBits = {static_cast<int>(0x80000000u), static_cast<int>(0x80000000u),
                                static_cast<int>(0x80000000u), static_cast<int>(0x80000000u)};

inline Lanes splat(float value) { return Lanes{value, value, value, value}; }

inline Lanes select(LaneMask mask, Lanes ifSet, Lanes otherwise) {
    return (Lanes)(((LaneMask)ifSet & mask) | ((LaneMask)otherwise & ~mask));
}

// Flips the sign bit of the lanes where `signs` has it.
inline Lanes flipSigns(Lanes v, LaneMask signs) { return (Lanes)((LaneMask)v ^ signs); }

inline Lanes squareRoot(Lanes v) {
#if defined(__SSE2__)
    return _mm_sqrt_ps(v);
#else
    return Lanes{std::sqrt(v[0]), std::sqrt(v[1]), std::sqrt(v[2]), std::sqrt(v[3])};
#endif
}

// arccos of values in [0, 1] (a slerp's cosine after it has taken the short way). Above 0.5
// through the half-angle identity acos x = 2 asin(sqrt((1 - x) / 2)), which keeps the accuracy
// near 1 where small angles live; below it as pi/2 - asin x. asin on [0, 0.5] is a minimax
// polynomial with a relative error below 3e-7, evaluated in two halves at once (Estrin) to
// keep the chain of dependent steps short.
[[gnu::always_inline]] inline Lanes arcCosine(Lanes x) {
    const LaneMask upper = x > lanes(0.5f);
    const Lanes half = (lanes(1.0f) - x) * lanes(0.5f);
    const Lanes s = select(upper, squareRoot(half), x);
    const Lanes z = select(upper, half, x * x);
    const Lanes z2 = z * z;
    const Lanes low = lanes(7.4953002686e-2f) * z + lanes(1.6666752422e-1f);
    const Lanes high = (lanes(4.2163199048e-2f) * z + lanes(2.4181311049e-2f)) * z + lanes(4.5470025998e-2f);
    const Lanes p = high * z2 + low;
    const Lanes arcSine = s + (s * z) * p;
    return select(upper, arcSine + arcSine, lanes(1.5707963267948966f) - arcSine);
}

// Sine and cosine of angles in [0, pi/2], the only ones a slerp with a weight in [0, 1] asks
// for: taken about pi/4, where minimax polynomials on [-pi/4, pi/4] hold, and turned back
// with sin(r + pi/4) = (sin r + cos r) / sqrt 2 and cos(r + pi/4) = (cos r - sin r) / sqrt 2.
[[gnu::always_inline]] inline void sineAndCosine(Lanes angle, Lanes& sine, Lanes& cosine) {
    const Lanes r = angle - lanes(0.78539816339744831f);
    const Lanes r2 = r * r;
    const Lanes r4 = r2 * r2;
    const Lanes sinTail = (lanes(-1.9515295891e-4f) * r2 + lanes(8.3321608736e-3f)) * r4 -
                          lanes(1.6666654611e-1f) * r2;
    const Lanes s = r + r * sinTail;
    const Lanes cosTail = (lanes(2.443315711809948e-5f) * r2 - lanes(1.388731625493765e-3f)) * r2 +
                          lanes(4.166664568298827e-2f);
    const Lanes c = (lanes(1.0f) - lanes(0.5f) * r2) + r4 * cosTail;
    const Lanes halfRootTwo = lanes(0.70710678118654752f);
    sine = (s + c) * halfRootTwo;
    cosine = (c - s) * halfRootTwo;
}

// One quaternion component per vector: lane j holds joint j's rotation.
struct QuaternionLanes {
    Lanes x, y, z, w;
};

inline Lanes dot(const QuaternionLanes& a, const QuaternionLanes& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

inline QuaternionLanes flipSigns(const QuaternionLanes& q, LaneMask signs) {
    return {flipSigns(q.x, signs), flipSigns(q.y, signs), flipSigns(q.z, signs), flipSigns(q.w, signs)};
}

// slerp(p, q, t) for t in [0, 1] lane by lane, as Quaternion's slerp: the short way round,
// linear weights where 1 - cos theta is not above 0.0001, the result not renormalised. The end
// weight is sin(t theta) / sin theta and the start weight, from sin((1 - t) theta) = sin theta
// cos(t theta) - cos theta sin(t theta), is cos(t theta) - cos theta times the end weight;
// sin theta is sqrt((1 - c)(1 + c)), exact enough near c = 1.
[[gnu::always_inline]] inline QuaternionLanes slerp(const QuaternionLanes& p,
                                                    const QuaternionLanes& qIn, Lanes t) {
    const Lanes dotted = dot(p, qIn);
    const LaneMask flip = (dotted < lanes(0.0f)) & kSignBits;
    const QuaternionLanes q = flipSigns(qIn, flip);
    const Lanes cosTheta = flipSigns(dotted, flip);
    const LaneMask curved = (lanes(1.0f) - cosTheta) > lanes(0.0001f);
    // Lanes that blend linearly still go through the curve's arithmetic, with a cosine of 0.
    const Lanes c = (Lanes)((LaneMask)cosTheta & curved);
    const Lanes theta = arcCosine(c);
    // Worked out beside the arccosine, off the chain of steps that leads to the result.
    const Lanes inverseSinTheta = lanes(1.0f) / squareRoot((lanes(1.0f) - c) * (lanes(1.0f) + c));
    Lanes sine;
    Lanes cosine;
    sineAndCosine(t * theta, sine, cosine);
    const Lanes end = sine * inverseSinTheta;
    const Lanes start = cosine - c * end;
    const Lanes a = select(curved, start, lanes(1.0f) - t);
    const Lanes b = select(curved, end, t);
    return {a * p.x + b * q.x, a * p.y + b * q.y, a * p.z + b * q.z, a * p.w + b * q.w};
}

// Four consecutive quaternions into lanes and back. `count` below 4 fills the spare lanes with
// identity and leaves memory past the count alone.
inline QuaternionLanes loadLanes(const Quaternion* q, int count = 4) {
    Quaternion four[4] = {Quaternion::identity(), Quaternion::identity(), Quaternion::identity(),
                          Quaternion::identity()};
    if (count < 4) {
        std::memcpy(four, q, sizeof(Quaternion) * static_cast<std::size_t>(count));
        q = four;
    }
#if defined(__SSE2__)
    __m128 r0 = _mm_loadu_ps(&q[0].x);
    __m128 r1 = _mm_loadu_ps(&q[1].x);
    __m128 r2 = _mm_loadu_ps(&q[2].x);
    __m128 r3 = _mm_loadu_ps(&q[3].x);
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    return {r0, r1, r2, r3};
#else
    return {Lanes{q[0].x, q[1].x, q[2].x, q[3].x}, Lanes{q[0].y, q[1].y, q[2].y, q[3].y},
            Lanes{q[0].z, q[1].z, q[2].z, q[3].z}, Lanes{q[0].w, q[1].w, q[2].w, q[3].w}};
#endif
}

inline void storeLanes(const QuaternionLanes& values, Quaternion* q, int count = 4) {
    Quaternion four[4];
    Quaternion* target = count < 4 ? four : q;
#if defined(__SSE2__)
    __m128 r0 = values.x, r1 = values.y, r2 = values.z, r3 = values.w;
    _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
    _mm_storeu_ps(&target[0].x, r0);
    _mm_storeu_ps(&target[1].x, r1);
    _mm_storeu_ps(&target[2].x, r2);
    _mm_storeu_ps(&target[3].x, r3);
#else
    for (int j = 0; j < 4; ++j) {
        target[j] = {values.x[j], values.y[j], values.z[j], values.w[j]};
    }
#endif
    if (count < 4) {
        std::memcpy(q, four, sizeof(Quaternion) * static_cast<std::size_t>(count));
    }
}

}  // namespace kavelune::sampling
