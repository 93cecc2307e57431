#pragma once

#include <array>

#include "app/balloon/balloon_geometry.h"
#include "app/view/sprite_view_types.h"

namespace kavelune::balloon {

// The balloon's outline in window coordinates: a rounded body and a triangular tail whose base
// lies on the text's edge and whose apex touches the window's edge. The window shows only the
// union of the two; the desktop shows through everywhere else.
struct Shape {
    ScreenRect body;
    int cornerWidth = 0;   // full width of the ellipse that rounds each corner
    int cornerHeight = 0;
    // The base's two ends, then the apex.
    std::array<ScreenPoint, 3> tail;
};

// The shape of a window of `window` size whose tail leaves from `side` at `offsets`.
Shape balloonShape(Size window, TailSide side, TailOffsets offsets);

}  // namespace kavelune::balloon
