#pragma once

#include <QImage>

#include <vector>


#include "app/view/backdrop_tiles.h"
#include "app/view/sprite_view_types.h"

class QScreen;

namespace kavelune::qt {

// The copy of the desktop that the sprite window draws behind the character where no
// compositor makes the window translucent: 128 x 128 grabs of the screen, kept as textures and
// drawn as quads. Grabs are taken where the window is about to cover the desktop, before it
// moves there, so they never hold the window's own pixels. Capturing needs no GL context (so
// the first grabs can be taken before the window is shown); drawing uploads what was grabbed
// and, like release, needs the window's context current.
class DesktopBackdrop {
public:
    explicit DesktopBackdrop(QScreen* screen);

    // Grabs the squares under `window` that no tile holds yet, or all of them when `forced`.
    void capture(const ScreenRect& window, bool forced);
    // Draws the visible tiles for a window standing at `window`.
    void draw(const ScreenRect& window, int desktopHeight);
    // Deletes the textures.
    void release();

private:
    void grab(int x, int y, QImage& image);
    void upload();

    QScreen* screen_;
    BackdropTiles tiles_;
    std::vector<TileCapture> captures_;
    std::vector<QImage> images_;  // one grab per tile slot
    std::vector<bool> pending_;   // grabbed but not yet in the slot's texture
};

}  // namespace kavelune::qt
