#pragma once

#include <cstdint>

#include "base/vec3s.h"

namespace kavelune {

// How the four 32-bit values of a motion's object record drive the prop. The motion side only
// selects and compares records; the placement reads them through this layout, and the content
// kit writes them with it.
//   value 0: the record key, a float; a change of key starts a new object segment
//   value 1: the object type: which joint carries the prop (1, 2, 4, 6, 8 or 16); the prop
//            follows the motion only when this equals the prop's anchor class
//   value 2: low 16 bits the flag word (0x10 joint rotation, 1 object rotation, 2 shift,
//            0x8000 no smoothing), high 16 bits the offset's z
//   value 3: low 16 bits the offset's x, high 16 bits its y
struct ObjectRecordFields {
    float key = 0.0f;
    std::int32_t type = 0;
    std::uint16_t flags = 0;
    Vec3s offset;
};

inline std::uint32_t packLowHigh(std::int16_t low, std::int16_t high) {
    return static_cast<std::uint16_t>(low) | (static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16);
}

inline std::int16_t lowHalf(std::uint32_t value) { return static_cast<std::int16_t>(value & 0xFFFF); }
inline std::int16_t highHalf(std::uint32_t value) { return static_cast<std::int16_t>(value >> 16); }

}  // namespace kavelune
