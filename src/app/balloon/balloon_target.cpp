#include "app/balloon/balloon_target.h"

#include <algorithm>
#include <cmath>

namespace kavelune::balloon {

namespace {

// Normalised coordinate -1 .. 1 onto the pixels from `low` to `high`, cut to that span.
int toPixel(float ndc, int low, int high, bool flipped) {
    const float fraction = std::clamp((flipped ? 1.0f - ndc : ndc + 1.0f) / 2.0f, 0.0f, 1.0f);
    return low + static_cast<int>(std::lround(fraction * static_cast<float>(high - low)));
}

}  // namespace

ScreenRect characterOnScreen(const ProjectedBounds& b, const ScreenRect& window) {
    const bool usable = std::isfinite(b.minX) && std::isfinite(b.maxX) && std::isfinite(b.minY) &&
                        std::isfinite(b.maxY) && b.minX <= b.maxX && b.minY <= b.maxY;
    if (!usable) {
        return window;
    }
    return ScreenRect{toPixel(b.minX, window.left, window.right, false),
                      toPixel(b.maxY, window.top, window.bottom, true),
                      toPixel(b.maxX, window.left, window.right, false),
                      toPixel(b.minY, window.top, window.bottom, true)};
}

}  // namespace kavelune::balloon
