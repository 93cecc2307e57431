#pragma once

#include <optional>

#include "app/view/sprite_view_geometry.h"
#include "app/view/sprite_view_types.h"

namespace kavelune {

enum class MouseButton { Left, Right };

struct HeldButtons {
    bool left = false;
    bool right = false;
};

// A step of the view rotation, in degrees, to add to the scene's yaw and pitch.
struct TurnStep {
    float yawDegrees = 0.0f;
    float pitchDegrees = 0.0f;
};

// What one mouse event asks of the window and the scene. The geometry has already been updated
// when `placement` is set; the window then moves to the geometry's rectangle and the launch
// settings keep `placement`.
struct MouseOutcome {
    bool captureMouse = false;
    bool releaseMouse = false;
    bool beginTurn = false;  // the scene takes its reference point as the pivot
    bool endTurn = false;
    std::optional<TurnStep> turn;
    std::optional<StoredPlacement> placement;
    bool resized = false;  // the zoom changed the view's size (and so its projection)
    bool openMenu = false;
    ScreenPoint menuAt;
};

// A right press and release closer than this in both directions is a click, not a drag.
inline constexpr int kRightClickTolerance = 3;

bool isRightClick(ScreenPoint origin, ScreenPoint release);

// The left drag: a drag across the whole desktop width turns the character by 180 degrees, one
// across the whole height tilts it by 180 degrees.
TurnStep turnStep(ScreenPoint from, ScreenPoint to, DesktopSize desktop);

// The drag with both buttons: two pixels of size per pixel of upward travel, within 128 and the
// desktop height. Nothing when the mouse did not move vertically, or moved down at the minimum.
std::optional<int> zoomedSize(int currentSize, int previousY, int y, int desktopHeight);

// Mouse drags on the sprite window: left turns the character, right moves the window, both
// zoom, and a right click on the character asks for the menu. Points are screen pixels. Drags
// start only on the character (`hitsCharacter` is the window's pick result at the press).
class SpriteViewMouse {
public:
    explicit SpriteViewMouse(SpriteViewGeometry& geometry) : geometry_(geometry) {}

    MouseOutcome press(MouseButton button, ScreenPoint point, bool hitsCharacter);
    MouseOutcome move(ScreenPoint point, HeldButtons held);
    MouseOutcome release(MouseButton button, ScreenPoint point);

    bool dragActive() const { return dragActive_; }

private:
    SpriteViewGeometry& geometry_;
    bool dragActive_ = false;
    bool turning_ = false;
    ScreenPoint last_;
    std::optional<ScreenPoint> rightClickOrigin_;
};

}  // namespace kavelune
