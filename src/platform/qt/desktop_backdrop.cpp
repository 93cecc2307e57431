#include "platform/qt/desktop_backdrop.h"

#include <GL/gl.h>

#include <algorithm>

#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QScreen>

namespace kavelune::qt {

namespace {

constexpr int kTile = BackdropTiles::kTileSize;

int powerOfTwoAtLeast(int size) {
    int side = 1;
    while (side < size) {
        side *= 2;
    }
    return side;
}

}  // namespace

DesktopBackdrop::DesktopBackdrop(QScreen* screen) : screen_(screen) { captures_.reserve(64); }

void DesktopBackdrop::cutSquare(const QImage& area, QPoint areaOrigin, int x, int y, QImage& image) const {
    if (image.isNull()) {
        image = QImage(kTile, kTile, QImage::Format_RGB32);
    }
    // Only the part of the square that lies on the screen was grabbed; the rest stays black.
    image.fill(Qt::black);
    const QRect grabbed(areaOrigin, area.size());
    const QRect onScreen = QRect(x, y, kTile, kTile).intersected(grabbed);
    if (onScreen.isEmpty()) {
        return;
    }
    QPainter painter(&image);
    painter.drawImage(onScreen.topLeft() - QPoint(x, y), area, onScreen.translated(-areaOrigin));
}

void DesktopBackdrop::capture(const ScreenRect& window, bool forced) {
    tiles_.planCapture(window, forced, captures_);
    images_.resize(tiles_.tiles().size());
    // One grab of the screen around every square to take: each grab is a round trip to the
    // display server and a copy of what it sends, so a capture of twenty squares at once costs
    // about what one of them did.
    QRect area;
    for (const TileCapture& capture : captures_) {
        area |= QRect(capture.x, capture.y, kTile, kTile);
    }
    const QRect screenArea = screen_->geometry();
    area &= screenArea;
    QImage grabbed;
    if (!area.isEmpty()) {
        grabbed = screen_->grabWindow(0, area.x() - screenArea.x(), area.y() - screenArea.y(), area.width(),
                                      area.height())
                      .toImage()
                      .convertToFormat(QImage::Format_RGB32);
        // The squares hold the desktop at its size in the screen's coordinates, also where the
        // grab comes at a higher pixel density.
        if (grabbed.size() != area.size()) grabbed = grabbed.scaled(area.size());
        grabbed.setDevicePixelRatio(1.0);
    }
    for (const TileCapture& capture : captures_) {
        cutSquare(grabbed, area.topLeft(), capture.x, capture.y, images_[capture.slot]);
    }
    // The window moves or grows right after a capture, so even a capture that grabbed nothing
    // new changes what the texture must hold.
    stale_ = true;
}

void DesktopBackdrop::reserveTexture(int width, int height) {
    // Power-of-two sides work on every GL; the window's part of the texture is what is drawn.
    const int neededWidth = powerOfTwoAtLeast(std::max(width, 1));
    const int neededHeight = powerOfTwoAtLeast(std::max(height, 1));
    if (texture_ != 0 && neededWidth <= textureWidth_ && neededHeight <= textureHeight_) {
        return;
    }
    if (texture_ == 0) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture_ = name;
    }
    textureWidth_ = std::max(neededWidth, textureWidth_);
    textureHeight_ = std::max(neededHeight, textureHeight_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // Four bytes a pixel in the window's own order, so the GL copies the grabs unconverted and
    // draws the quad as a plain copy.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth_, textureHeight_, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
}

void DesktopBackdrop::compose(const ScreenRect& window) {
    reserveTexture(window.width(), window.height());
    glBindTexture(GL_TEXTURE_2D, texture_);
    // Each square contributes the part of it the window covers, placed at its offset in the
    // window: texture row 0 is the window's top row.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, kTile);
    const std::vector<BackdropTile>& tiles = tiles_.tiles();
    for (std::size_t slot = 0; slot < tiles.size() && slot < images_.size(); ++slot) {
        const BackdropTile& tile = tiles[slot];
        if (!tile.visible || images_[slot].isNull()) {
            continue;
        }
        const int left = std::max(tile.x, window.left);
        const int top = std::max(tile.y, window.top);
        const int right = std::min({tile.x + kTile, window.right, window.left + textureWidth_});
        const int bottom = std::min({tile.y + kTile, window.bottom, window.top + textureHeight_});
        if (right <= left || bottom <= top) {
            continue;
        }
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, left - tile.x);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, top - tile.y);
        glTexSubImage2D(GL_TEXTURE_2D, 0, left - window.left, top - window.top, right - left,
                        bottom - top, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, images_[slot].constBits());
    }
    // Other uploads expect tightly packed rows from the start of their data.
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    composed_ = window;
    stale_ = false;
}

void DesktopBackdrop::draw(const ScreenRect& window) {
    if (window.width() <= 0 || window.height() <= 0) {
        return;
    }
    if (stale_ || texture_ == 0 || !(window == composed_)) {
        compose(window);
    }
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBindTexture(GL_TEXTURE_2D, texture_);

    // The quad fills the viewport; the texture's window-sized corner maps onto it pixel for
    // pixel, its top row at the top.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float s = static_cast<float>(std::min(window.width(), textureWidth_)) / textureWidth_;
    const float t = static_cast<float>(std::min(window.height(), textureHeight_)) / textureHeight_;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glTexCoord2f(s, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(s, t);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(0.0f, t);
    glVertex2f(-1.0f, -1.0f);
    glEnd();

    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

void DesktopBackdrop::release() {
    if (texture_ != 0) {
        const GLuint name = texture_;
        glDeleteTextures(1, &name);
    }
    texture_ = 0;
    textureWidth_ = 0;
    textureHeight_ = 0;
    stale_ = true;
    tiles_ = BackdropTiles{};
    images_.clear();
}

}  // namespace kavelune::qt
