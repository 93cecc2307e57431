#pragma once

#include "render/screen_bounds.h"

namespace kavelune {

// Plain values the sprite view's geometry trades with the window that shows it. Screen values
// are pixels, counted from the desktop's top-left corner, y downward.

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

// The desktop always starts at (0, 0); only its size matters.
struct DesktopSize {
    int width = 0;
    int height = 0;
};

// The window's part of the projection plane, in pixels relative to the anchor, y upward.
struct Frustum {
    float left = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    float top = 0.0f;
};

// What the launch settings keep of the view: a launch size and position that give the same
// nominal size and anchor at the next start.
struct StoredPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const StoredPlacement&) const = default;
};

// The character's outline on screen, in normalised device coordinates of the current view: the
// extent the renderer measures.
using ProjectedBounds = ScreenBounds;

// A request to shift the window by (dx, dy) and give it a new size.
struct FitRequest {
    int dx = 0;
    int dy = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FitRequest&) const = default;
};

}  // namespace kavelune
