#pragma once

#include "app/balloon/balloon_geometry.h"
#include "app/view/sprite_view_types.h"

namespace kavelune::balloon {

// Where a balloon window goes and how its tail is drawn so that the tail points at the target.
struct Placement {
    ScreenPoint window;  // the window's top-left corner on the screen
    TailSide tail = TailSide::Left;
    TailOffsets offsets;
};

// Places a window of `window` size next to `target` (the character's rectangle on the screen)
// within `desktop`, the usable part of the screen:
//  - above the target, tail down, when there is room above;
//  - else right of it, tail left; else left of it, tail right; both vertically centred;
//  - else below it, tail up, when there is room below;
//  - else, with no room anywhere, in the desktop's top-left corner with a right tail.
// Above and below, the body is centred horizontally on the target. The body is then kept on
// the desktop along the tail's side, and the tail slides the other way so that it still points
// at the target, as long as it stays on the body.
Placement placeBalloon(const ScreenRect& target, Size window, const ScreenRect& desktop);

}  // namespace kavelune::balloon
