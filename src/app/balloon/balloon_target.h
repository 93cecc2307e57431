#pragma once

#include "app/view/sprite_view_types.h"

namespace kavelune::balloon {

// The character's rectangle on the screen, for the balloon to point at: the renderer's
// projected bounds (normalised device coordinates of the window's view, y upward) mapped onto
// `window`'s pixels. Bounds that are not finite or lie inverted give the whole window, and
// bounds far outside the window are cut to it, so the balloon always points at the window.
ScreenRect characterOnScreen(const ProjectedBounds& bounds, const ScreenRect& window);

}  // namespace kavelune::balloon
