#include "app/view/sprite_view_mouse.h"

#include <algorithm>
#include <cstdlib>

namespace kavelune {

bool isRightClick(ScreenPoint origin, ScreenPoint release) {
    return std::abs(release.x - origin.x) < kRightClickTolerance &&
           std::abs(release.y - origin.y) < kRightClickTolerance;
}

TurnStep turnStep(ScreenPoint from, ScreenPoint to, DesktopSize desktop) {
    const float width = static_cast<float>(std::max(desktop.width, 1));
    const float height = static_cast<float>(std::max(desktop.height, 1));
    // Both positions on the -1 .. 1 scale of the desktop, y upward; 90 degrees per unit.
    auto across = [width](int x) { return 2.0f * static_cast<float>(x) / width - 1.0f; };
    auto up = [height](int y) { return 1.0f - 2.0f * static_cast<float>(y) / height; };
    TurnStep step;
    step.yawDegrees = (across(to.x) - across(from.x)) * 90.0f;
    step.pitchDegrees = -(up(to.y) - up(from.y)) * 90.0f;
    return step;
}

std::optional<int> zoomedSize(int currentSize, int previousY, int y, int desktopHeight) {
    constexpr int kMinimum = SpriteViewGeometry::kMinimumSize;
    if (y == previousY) {
        return std::nullopt;
    }
    // At (or below) the minimum, shrinking does nothing; it must not jump up to the minimum.
    if (currentSize <= kMinimum && y > previousY) {
        return std::nullopt;
    }
    const int size = currentSize + 2 * (previousY - y);
    return std::clamp(size, kMinimum, std::max(desktopHeight, kMinimum));
}

MouseOutcome SpriteViewMouse::press(MouseButton button, ScreenPoint point, bool hitsCharacter) {
    MouseOutcome outcome;
    if (button == MouseButton::Right) {
        // Only a press on the character can become a click that opens the menu; a press beside
        // it forgets an older origin, so a stale one cannot open the menu later.
        rightClickOrigin_.reset();
    }
    if (!hitsCharacter) {
        return outcome;
    }
    dragActive_ = true;
    outcome.captureMouse = true;
    last_ = point;
    if (button == MouseButton::Left) {
        turning_ = true;
        outcome.beginTurn = true;
    } else {
        rightClickOrigin_ = point;
    }
    return outcome;
}

MouseOutcome SpriteViewMouse::move(ScreenPoint point, HeldButtons held) {
    MouseOutcome outcome;
    if (!dragActive_) {
        return outcome;
    }
    if (held.left && held.right) {
        const auto size = zoomedSize(geometry_.currentSize(), last_.y, point.y,
                                     geometry_.desktop().height);
        if (size) {
            outcome.placement = geometry_.setSize(*size);
            outcome.resized = true;
        }
    } else if (held.left) {
        outcome.turn = turnStep(last_, point, geometry_.desktop());
    } else if (held.right) {
        const int dx = point.x - last_.x;
        const int dy = point.y - last_.y;
        if (dx != 0 || dy != 0) {
            outcome.placement = geometry_.moveBy(dx, dy);
        }
    }
    last_ = point;
    return outcome;
}

MouseOutcome SpriteViewMouse::release(MouseButton button, ScreenPoint point) {
    MouseOutcome outcome;
    if (button == MouseButton::Left) {
        if (dragActive_ || turning_) {
            outcome.releaseMouse = true;
        }
        if (turning_) {
            outcome.endTurn = true;
            turning_ = false;
        }
        dragActive_ = false;
        return outcome;
    }
    dragActive_ = false;
    outcome.releaseMouse = true;
    if (rightClickOrigin_ && isRightClick(*rightClickOrigin_, point)) {
        rightClickOrigin_.reset();
        outcome.openMenu = true;
        outcome.menuAt = point;
    }
    return outcome;
}

}  // namespace kavelune
