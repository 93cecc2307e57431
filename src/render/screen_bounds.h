#pragma once

namespace kavelune {

// The screen extent of the character in normalised device coordinates.
struct ScreenBounds {
    float minX = 0.0f;
    float maxX = 0.0f;
    float minY = 0.0f;
    float maxY = 0.0f;
};

}  // namespace kavelune
