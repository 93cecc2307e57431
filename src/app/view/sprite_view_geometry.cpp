#include "app/view/sprite_view_geometry.h"

#include <algorithm>
#include <cmath>

namespace kavelune {

namespace {

// The near plane sits at 2048 scale units, the far plane 128 times further: the character's
// size on screen follows the nominal height.
constexpr float kNearUnits = 2048.0f;
constexpr float kFarOverNear = 128.0f;

// A launch file without a usable size would give a view with a zero scale; such a view starts
// at the smallest size the zoom allows instead.
int usableLaunchSize(int value) { return value < 1 ? SpriteViewGeometry::kMinimumSize : value; }

// Pixel offsets far outside the desktop mean a degenerate projection (a corner behind the eye);
// they are cut before they become integers so that no conversion overflows.
float limitPixels(float value, float limit) { return std::clamp(value, -limit, limit); }

// The multiple of `step` nearest to `value`, at least one step: a size the zoom left between
// two steps comes back as close as the rounding up at start allows.
int nearestMultiple(int value, int step) { return std::max((value + step / 2) / step, 1) * step; }

// The near edge of a window of `size` whose centre is `centre`, the centre kept on the desktop so
// that a character dragged off it comes back within reach. Never -1, which a launch file takes
// for "centre the window".
int edgeCentredOn(float centre, int size, int desktopSize) {
    const float onDesktop = std::clamp(centre, 0.0f, static_cast<float>(desktopSize));
    const int edge = static_cast<int>(std::lround(onDesktop - static_cast<float>(size) / 2.0f));
    return edge == -1 ? 0 : edge;
}

}  // namespace

int roundUpToMultiple(int value, int step) {
    int quotient = value / step;
    if (value % step > 0) {
        ++quotient;
    }
    return quotient * step;
}

SpriteViewGeometry::SpriteViewGeometry(DesktopSize desktop) : desktop_(desktop) {
    setScale(kMinimumSize);
}

ScreenRect SpriteViewGeometry::initialWindowRect(int launchWidth, int launchHeight, int x, int y,
                                                 DesktopSize desktop, const ScreenRect& workArea) {
    int width = std::min(usableLaunchSize(launchWidth), desktop.width);
    int height = std::min(usableLaunchSize(launchHeight), desktop.height);
    if (x == -1 || y == -1) {
        x = workArea.left + workArea.width() / 2 - width / 2;
        y = workArea.top + workArea.height() / 2 - height / 2;
    }
    return ScreenRect{x, y, x + width, y + height};
}

ScreenRect SpriteViewGeometry::onAScreen(const ScreenRect& window, const std::vector<ScreenRect>& screens,
                                         const ScreenRect& workArea) {
    const int centreX = (window.left + window.right) / 2;
    const int centreY = (window.top + window.bottom) / 2;
    for (const ScreenRect& screen : screens) {
        if (centreX >= screen.left && centreX < screen.right && centreY >= screen.top && centreY < screen.bottom) {
            return window;
        }
    }
    const int left = workArea.left + workArea.width() / 2 - window.width() / 2;
    const int top = workArea.top + workArea.height() / 2 - window.height() / 2;
    return ScreenRect{left, top, left + window.width(), top + window.height()};
}

void SpriteViewGeometry::setScale(int size) {
    scale_ = static_cast<float>(size) / kScaleUnit;
    near_ = scale_ * kNearUnits;
    far_ = near_ * kFarOverNear;
}

void SpriteViewGeometry::load(const ScreenRect& window, int launchWidth, int launchHeight) {
    nominalWidth_ =
        roundUpToMultiple(std::min(usableLaunchSize(launchWidth), desktop_.width), kWidthStep);
    nominalHeight_ =
        roundUpToMultiple(std::min(usableLaunchSize(launchHeight), desktop_.height), kHeightStep);
    setScale(nominalHeight_);
    anchorX_ = static_cast<float>(window.left + window.right) / 2.0f;
    anchorY_ = static_cast<float>(desktop_.height) -
               static_cast<float>(window.top + window.bottom) / 2.0f;
    place(window);
}

StoredPlacement SpriteViewGeometry::place(const ScreenRect& window) {
    window_ = window;
    frustum_.left = static_cast<float>(window.left) - anchorX_;
    frustum_.right = frustum_.left + static_cast<float>(window.width());
    frustum_.bottom =
        static_cast<float>(desktop_.height - window.top - window.height()) - anchorY_;
    frustum_.top = frustum_.bottom + static_cast<float>(window.height());
    return storedPlacement();
}

StoredPlacement SpriteViewGeometry::storedPlacement() const {
    // The next start rounds the stored size up to the nominal size and puts the anchor at the
    // centre of the window it opens; storing the view rather than the window it shows through
    // brings back the same picture, however far the fit has grown the window since.
    StoredPlacement stored;
    stored.width = nearestMultiple(nominalWidth_, kWidthStep);
    stored.height = nearestMultiple(nominalHeight_, kHeightStep);
    stored.x = edgeCentredOn(anchorX_, stored.width, desktop_.width);
    stored.y = edgeCentredOn(static_cast<float>(desktop_.height) - anchorY_, stored.height,
                             desktop_.height);
    return stored;
}

std::optional<FitRequest> SpriteViewGeometry::fitTest(const ProjectedBounds& bounds) const {
    if (!std::isfinite(bounds.minX) || !std::isfinite(bounds.maxX) ||
        !std::isfinite(bounds.minY) || !std::isfinite(bounds.maxY)) {
        return std::nullopt;
    }
    const int viewportWidth = window_.width();
    const int viewportHeight = window_.height();
    const float halfWidth = static_cast<float>(viewportWidth) / 2.0f;
    const float halfHeight = static_cast<float>(viewportHeight) / 2.0f;
    const float limit = 4.0f * static_cast<float>(std::max(desktop_.width, desktop_.height));
    const float minX = limitPixels(bounds.minX * halfWidth, limit);
    const float maxX = limitPixels(bounds.maxX * halfWidth, limit);
    const float minY = limitPixels(bounds.minY * halfHeight, limit);
    const float maxY = limitPixels(bounds.maxY * halfHeight, limit);

    // A side that already touches the desktop edge never asks for growth.
    const bool needed = (minX < -halfWidth && window_.left > 0) ||
                        (maxX > halfWidth && window_.right < desktop_.width) ||
                        (minY < -halfHeight && window_.bottom < desktop_.height) ||
                        (maxY > halfHeight && window_.top > 0);
    if (!needed) {
        return std::nullopt;
    }

    const int boxWidth = std::max(static_cast<int>(maxX - minX), nominalWidth_);
    const int boxHeight = std::max(static_cast<int>(maxY - minY), nominalHeight_);
    FitRequest request;
    request.width = roundUpToMultiple(boxWidth, kWidthStep);
    request.height = roundUpToMultiple(boxHeight, kHeightStep);
    request.dx = static_cast<int>(
        ((minX + maxX) - static_cast<float>(request.width - viewportWidth)) / 2.0f);
    request.dy = static_cast<int>(
        -(static_cast<float>(request.height - viewportHeight) + (maxY + minY)) / 2.0f);
    if (window_.left + request.dx < 0) {
        request.dx = -window_.left;
    }
    if (window_.top + request.dy < 0) {
        request.dy = -window_.top;
    }
    request.height = std::min(request.height, desktop_.height);
    // Never wider than the desktop either: a character seen from very close would otherwise
    // ask for a window of any size.
    request.width = std::min(request.width, desktop_.width);
    return request;
}

StoredPlacement SpriteViewGeometry::fit(const FitRequest& request) {
    int left = window_.left + request.dx;
    int top = window_.top + request.dy;
    int height = request.height;
    if (top < 0) {
        height += top;
        top = 0;
        height = std::min(height, desktop_.height);
    }
    const int width = std::max(request.width, 1);
    height = std::max(height, 1);
    return place(ScreenRect{left, top, left + width, top + height});
}

int SpriteViewGeometry::currentSize() const { return static_cast<int>(scale_ * kScaleUnit); }

std::optional<StoredPlacement> SpriteViewGeometry::setSize(int size) {
    if (size < 1) {
        return std::nullopt;
    }
    const float oldScale = scale_;
    setScale(size);
    nominalWidth_ = size;
    nominalHeight_ = size;
    const float ratio = oldScale > 0.0f ? scale_ / oldScale : 1.0f;

    // The anchor's height is counted upward from the desktop bottom; the window's edges are
    // counted downward from the top, so the anchor is turned top-down before scaling about it.
    // That keeps the character where it stands while the window grows or shrinks around it.
    const float anchorTop = static_cast<float>(desktop_.height) - anchorY_;
    auto scaleAbout = [ratio](int edge, float anchor) {
        return static_cast<int>(anchor + (static_cast<float>(edge) - anchor) * ratio);
    };
    ScreenRect scaled{scaleAbout(window_.left, anchorX_), scaleAbout(window_.top, anchorTop),
                      scaleAbout(window_.right, anchorX_), scaleAbout(window_.bottom, anchorTop)};

    auto clampEdges = [](int& low, int& high, int desktopEdge) {
        if (low < 0) {
            low = 0;
        } else if (low > desktopEdge) {
            low = desktopEdge - 1;
        }
        if (high < 0) {
            high = 1;
        } else if (high > desktopEdge) {
            high = desktopEdge;
        }
    };
    clampEdges(scaled.left, scaled.right, desktop_.width);
    clampEdges(scaled.top, scaled.bottom, desktop_.height);
    if (scaled.width() < 1 || scaled.height() < 1) {
        return std::nullopt;
    }
    return place(scaled);
}

StoredPlacement SpriteViewGeometry::moveBy(int dx, int dy) {
    anchorX_ += static_cast<float>(dx);
    anchorY_ -= static_cast<float>(dy);
    const int left = window_.left + dx;
    int top = window_.top + dy;
    int height = window_.height();
    if (top < 0) {
        height = std::max(height + top, 1);
        top = 0;
    }
    return place(ScreenRect{left, top, left + window_.width(), top + height});
}

}  // namespace kavelune
