#pragma once

#include <cstdint>
#include <vector>

namespace kavelune {

// Decoded pixels: 8 bits per component, rows top to bottom, tightly packed.
// Components: 1 luminance, 2 luminance and alpha, 3 RGB, 4 RGBA.
struct Image {
    int width = 0;
    int height = 0;
    int components = 0;
    std::vector<std::uint8_t> pixels;

    bool empty() const { return pixels.empty(); }
    bool hasAlpha() const { return components == 4; }
};

}  // namespace kavelune
