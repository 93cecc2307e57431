#pragma once

#include <vector>

#include <optional>

#include "app/view/sprite_view_types.h"

namespace kavelune {

// The geometry of the sprite window: one fixed, desktop-sized perspective projection whose
// optical axis passes through a screen point (the anchor), and the window as a movable porthole
// onto it. Moving the window together with the character moves the anchor; fitting the window
// to the character moves the window but not the anchor, so the character stays where it is on
// the screen. Pure arithmetic: the window that shows the view applies the results.
class SpriteViewGeometry {
public:
    static constexpr int kWidthStep = 32;
    static constexpr int kHeightStep = 16;
    static constexpr int kMinimumSize = 128;  // also the zoom's lower limit
    static constexpr float kScaleUnit = 256.0f;

    explicit SpriteViewGeometry(DesktopSize desktop);

    // Where a new window stands: the launch size clamped to the desktop and, when x or y is -1
    // (not given), centred in `workArea` (the desktop without panels and task bars).
    static ScreenRect initialWindowRect(int launchWidth, int launchHeight, int x, int y,
                                        DesktopSize desktop, const ScreenRect& workArea);

    // A window whose centre lies on none of `screens` (a place saved on a monitor that is gone)
    // is centred in `workArea` instead, keeping its size; any other stays where it is.
    static ScreenRect onAScreen(const ScreenRect& window, const std::vector<ScreenRect>& screens,
                                const ScreenRect& workArea);

    // Sets the view up for a window standing at `window`, made from the launch size: nominal
    // sizes, scale, near and far planes, the anchor at the window's centre and the frustum.
    void load(const ScreenRect& window, int launchWidth, int launchHeight);

    // Moves the window to `window`: the frustum becomes the window's part of the projection
    // plane. Returns the values the launch settings keep (storedPlacement).
    StoredPlacement place(const ScreenRect& window);

    // The fit test after a frame: when the character's outline leaves the window on a side that
    // does not touch the desktop edge, the window is re-centred on it and grown to at least the
    // nominal size. Nothing when the window fits (or the bounds are unusable).
    std::optional<FitRequest> fitTest(const ProjectedBounds& bounds) const;

    // Applies a fit request: shifts and resizes the window, keeping its top on the desktop.
    StoredPlacement fit(const FitRequest& request);

    // Sets the view's size (the size command and the zoom drag): scale, planes and nominal size
    // follow `size`, and the window scales about the anchor, clamped to the desktop. Nothing
    // when the window would be empty; the scale still changes then.
    std::optional<StoredPlacement> setSize(int size);

    // Moves window and anchor together by a mouse step (the right drag). A window dragged above
    // the desktop's top edge keeps its top at 0 and gets shorter.
    StoredPlacement moveBy(int dx, int dy);

    // The view's size as the zoom sees it: truncate(scale × 256).
    int currentSize() const;

    const ScreenRect& window() const { return window_; }
    DesktopSize desktop() const { return desktop_; }
    const Frustum& frustum() const { return frustum_; }
    int nominalWidth() const { return nominalWidth_; }
    int nominalHeight() const { return nominalHeight_; }
    float scale() const { return scale_; }
    float nearPlane() const { return near_; }
    float farPlane() const { return far_; }
    float anchorX() const { return anchorX_; }
    // Counted upward from the desktop's bottom edge.
    float anchorY() const { return anchorY_; }

    // What the launch settings keep so that the next start shows the same picture: the
    // nominal size, and a window of that size centred on the anchor.
    StoredPlacement storedPlacement() const;

private:
    void setScale(int size);

    DesktopSize desktop_;
    ScreenRect window_;
    Frustum frustum_;
    int nominalWidth_ = kMinimumSize;
    int nominalHeight_ = kMinimumSize;
    float scale_ = 0.5f;
    float near_ = 0.0f;
    float far_ = 0.0f;
    float anchorX_ = 0.0f;
    float anchorY_ = 0.0f;
};

// `value` rounded up to the next multiple of `step` (step > 0).
int roundUpToMultiple(int value, int step);

}  // namespace kavelune
