#pragma once

#include <QImage>
#include <QPoint>

#include <vector>


#include "app/view/backdrop_tiles.h"
#include "app/view/sprite_view_types.h"

class QScreen;

namespace kavelune::qt {

// The copy of the desktop that the sprite window draws behind the character where no
// compositor makes the window translucent. The screen is kept in 128 x 128 squares, taken
// where the window is about to cover the desktop, before it moves there, so they never hold
// the window's own pixels; the squares of one capture come from one grab of the screen.
// Whenever the grabs or the window's place change, the squares are composed into one texture
// the size of the window, which each frame draws as a single quad.
// Capturing needs no GL context (so the first grabs can be taken before the window is shown);
// drawing composes what changed and, like release, needs the window's context current.
class DesktopBackdrop {
public:
    explicit DesktopBackdrop(QScreen* screen);

    // Grabs the squares under `window` that no tile holds yet, or all of them when `forced`.
    void capture(const ScreenRect& window, bool forced);
    // Draws the desktop behind a window standing at `window`. It leaves depth testing and
    // lighting on, texturing on in modulate mode, and both matrices at identity: the caller
    // loads its own projection afterwards.
    void draw(const ScreenRect& window);
    // Deletes the texture.
    void release();

private:
    // Cuts the square at (x, y) out of `area`, a grab of the screen from `areaOrigin`.
    void cutSquare(const QImage& area, QPoint areaOrigin, int x, int y, QImage& image) const;
    void compose(const ScreenRect& window);
    void reserveTexture(int width, int height);

    QScreen* screen_;
    BackdropTiles tiles_;
    std::vector<TileCapture> captures_;
    std::vector<QImage> images_;  // one grab per tile slot
    unsigned texture_ = 0;
    int textureWidth_ = 0;   // power-of-two sides, at least the window's
    int textureHeight_ = 0;
    ScreenRect composed_;    // the window the texture holds the desktop of
    bool stale_ = true;      // grabs were taken since the texture was composed
};

}  // namespace kavelune::qt
