#include "app/view/backdrop_tiles.h"

namespace kavelune {

namespace {

bool overlaps(const BackdropTile& tile, const ScreenRect& window) {
    return tile.x < window.right && tile.x + BackdropTiles::kTileSize > window.left &&
           tile.y < window.bottom && tile.y + BackdropTiles::kTileSize > window.top;
}

}  // namespace

int BackdropTiles::gridFloor(int value) {
    int quotient = value / kTileSize;
    if (value % kTileSize < 0) {
        --quotient;
    }
    return quotient * kTileSize;
}

void BackdropTiles::planCapture(const ScreenRect& window, bool forced,
                                std::vector<TileCapture>& captures) {
    captures.clear();
    for (BackdropTile& tile : tiles_) {
        tile.visible = tile.inUse && overlaps(tile, window);
        tile.inUse = tile.visible;
    }
    for (int y = gridFloor(window.top); y < window.bottom; y += kTileSize) {
        for (int x = gridFloor(window.left); x < window.right; x += kTileSize) {
            bool held = false;
            for (const BackdropTile& tile : tiles_) {
                if (tile.visible && tile.x == x && tile.y == y) {
                    held = true;
                    break;
                }
            }
            if (held && !forced) {
                continue;
            }
            const std::size_t slot = slotFor(x, y);
            captures.push_back(TileCapture{slot, x, y});
        }
    }
}

std::size_t BackdropTiles::slotFor(int x, int y) {
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        if (tiles_[i].inUse && tiles_[i].x == x && tiles_[i].y == y) {
            return i;
        }
    }
    std::size_t slot = tiles_.size();
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        if (!tiles_[i].inUse) {
            slot = i;
            break;
        }
    }
    if (slot == tiles_.size()) {
        tiles_.push_back(BackdropTile{});
    }
    BackdropTile& tile = tiles_[slot];
    tile.x = x;
    tile.y = y;
    tile.inUse = true;
    tile.visible = true;
    return slot;
}

}  // namespace kavelune
