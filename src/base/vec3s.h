#pragma once

#include <cstdint>

namespace kavelune {

// A point in model units: three signed 16-bit integers, y up, floor at y = 0.
struct Vec3s {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;

    bool operator==(const Vec3s&) const = default;
};

// Float to model-unit conversion truncates toward zero, as every stored coordinate does, and
// wraps to 16 bits like the stored coordinates. A value no 32-bit integer holds (a damaged file's
// rotation can scale a point that far, or make it NaN) gives 0 instead of undefined behaviour.
inline std::int16_t truncateToI16(float value) {
    if (!(value > -2147483648.0f && value < 2147483648.0f)) return 0;
    return static_cast<std::int16_t>(static_cast<std::int32_t>(value));
}

inline Vec3s truncateToVec3s(float x, float y, float z) {
    return {truncateToI16(x), truncateToI16(y), truncateToI16(z)};
}

}  // namespace kavelune
