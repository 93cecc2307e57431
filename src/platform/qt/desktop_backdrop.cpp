#include "platform/qt/desktop_backdrop.h"

#include <GL/gl.h>

#include <QPainter>
#include <QPixmap>
#include <QScreen>

namespace kavelune::qt {

namespace {
constexpr int kTile = BackdropTiles::kTileSize;
}

DesktopBackdrop::DesktopBackdrop(QScreen* screen) : screen_(screen) { captures_.reserve(64); }

void DesktopBackdrop::grab(int x, int y, QImage& image) {
    if (image.isNull()) {
        image = QImage(kTile, kTile, QImage::Format_RGB888);
    }
    // Only the part of the square that lies on the screen can be grabbed; the rest stays black.
    image.fill(Qt::black);
    const QRect square(x, y, kTile, kTile);
    const QRect onScreen = square.intersected(screen_->geometry());
    if (onScreen.isEmpty()) {
        return;
    }
    const QPixmap pixels = screen_->grabWindow(0, onScreen.x() - screen_->geometry().x(),
                                               onScreen.y() - screen_->geometry().y(),
                                               onScreen.width(), onScreen.height());
    QPainter painter(&image);
    painter.drawPixmap(onScreen.topLeft() - square.topLeft(), pixels);
}

void DesktopBackdrop::capture(const ScreenRect& window, bool forced) {
    tiles_.planCapture(window, forced, captures_);
    images_.resize(tiles_.tiles().size());
    pending_.resize(tiles_.tiles().size(), false);
    for (const TileCapture& capture : captures_) {
        grab(capture.x, capture.y, images_[capture.slot]);
        pending_[capture.slot] = true;
    }
}

void DesktopBackdrop::upload() {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (std::size_t slot = 0; slot < pending_.size(); ++slot) {
        if (!pending_[slot]) {
            continue;
        }
        pending_[slot] = false;
        const QImage& image = images_[slot];
        BackdropTile& tile = tiles_.tile(slot);
        if (tile.texture == 0) {
            GLuint name = 0;
            glGenTextures(1, &name);
            tile.texture = name;
            glBindTexture(GL_TEXTURE_2D, name);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTile, kTile, 0, GL_RGB, GL_UNSIGNED_BYTE,
                         image.constBits());
        } else {
            glBindTexture(GL_TEXTURE_2D, tile.texture);
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kTile, kTile, GL_RGB, GL_UNSIGNED_BYTE,
                            image.constBits());
        }
    }
}

void DesktopBackdrop::draw(const ScreenRect& window, int desktopHeight) {
    upload();
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    // One unit per screen pixel, y upward from the desktop's bottom edge.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(window.left, window.right, desktopHeight - window.bottom, desktopHeight - window.top,
            -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glColor3f(1.0f, 1.0f, 1.0f);
    const float height = static_cast<float>(desktopHeight);
    for (const BackdropTile& tile : tiles_.tiles()) {
        if (!tile.visible || tile.texture == 0) {
            continue;
        }
        const float left = static_cast<float>(tile.x);
        const float top = height - static_cast<float>(tile.y);
        glBindTexture(GL_TEXTURE_2D, tile.texture);
        // The grabs are stored top row first, so t = 0 is the square's top edge.
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(left, top);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(left + kTile, top);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(left + kTile, top - kTile);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(left, top - kTile);
        glEnd();
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

void DesktopBackdrop::release() {
    for (const BackdropTile& tile : tiles_.tiles()) {
        if (tile.texture != 0) {
            const GLuint name = tile.texture;
            glDeleteTextures(1, &name);
        }
    }
    tiles_ = BackdropTiles{};
    images_.clear();
    pending_.clear();
}

}  // namespace kavelune::qt
