#include "app/view/click_region.h"

#include <algorithm>
#include <cmath>

namespace kavelune {

namespace {

int floorToCell(float value, int cell) { return static_cast<int>(std::floor(value / static_cast<float>(cell))) * cell; }
int ceilToCell(float value, int cell) { return static_cast<int>(std::ceil(value / static_cast<float>(cell))) * cell; }

}  // namespace

ScreenRect clickRegion(const ProjectedBounds& bounds, int width, int height, int cell) {
    if (width <= 0 || height <= 0 || cell <= 0) return {};
    // Normalised device coordinates run from -1 to 1 with y upward.
    const float left = (bounds.minX + 1.0f) * 0.5f * static_cast<float>(width);
    const float right = (bounds.maxX + 1.0f) * 0.5f * static_cast<float>(width);
    const float top = (1.0f - bounds.maxY) * 0.5f * static_cast<float>(height);
    const float bottom = (1.0f - bounds.minY) * 0.5f * static_cast<float>(height);
    ScreenRect region{std::max(0, floorToCell(left, cell) - cell), std::max(0, floorToCell(top, cell) - cell),
                      std::min(width, ceilToCell(right, cell) + cell), std::min(height, ceilToCell(bottom, cell) + cell)};
    if (region.right <= region.left || region.bottom <= region.top) return {};
    return region;
}

}  // namespace kavelune
