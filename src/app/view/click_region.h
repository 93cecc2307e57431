#pragma once

#include "app/view/sprite_view_types.h"

namespace kavelune {

// The cell size the click region is snapped to: coarse enough that small motions of the
// character rarely change it, fine enough that clicks a little beside the character go through.
inline constexpr int kClickRegionCell = 8;

// The part of a `width` x `height` window that keeps its clicks when clicks beside the character
// go to the window beneath: the character's outline in window pixels (y downward), grown by one
// cell and snapped outward to whole cells, within the window. Empty when the outline lies
// outside the window.
ScreenRect clickRegion(const ProjectedBounds& bounds, int width, int height, int cell = kClickRegionCell);

}  // namespace kavelune
