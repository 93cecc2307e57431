#pragma once

#include <cstddef>
#include <vector>

#include "app/view/sprite_view_types.h"

namespace kavelune {

// One captured square of the desktop behind the sprite window.
struct BackdropTile {
    int x = 0;  // screen position of the top-left corner, a multiple of the tile size
    int y = 0;
    bool inUse = false;    // a free slot is reused by the next capture
    bool visible = false;  // overlaps the window as it stands now
};

// A square to grab from the screen and store in `slot`.
struct TileCapture {
    std::size_t slot = 0;
    int x = 0;
    int y = 0;
};

// Bookkeeping of the desktop tiles behind the window: which squares of the 128-pixel screen
// grid the window covers, which of them must be grabbed, and which slot each one goes
// into. Squares the window already covered keep their pixels, so a moving window
// grabs only where it newly covers the desktop; slots of squares it left are reused before the
// list grows.
class BackdropTiles {
public:
    static constexpr int kTileSize = 128;

    // Marks the tiles that overlap `window` visible and frees the others, then lists into
    // `captures` the grid squares to grab: every covered square when `forced`, else only those
    // that no visible tile holds yet. The slots of the listed squares are already set to their
    // new positions. `captures` is cleared first and keeps its capacity.
    void planCapture(const ScreenRect& window, bool forced, std::vector<TileCapture>& captures);

    const std::vector<BackdropTile>& tiles() const { return tiles_; }

    // The grid position at or below `value` (floor division, also for negative positions).
    static int gridFloor(int value);

private:
    std::size_t slotFor(int x, int y);

    std::vector<BackdropTile> tiles_;
};

}  // namespace kavelune
