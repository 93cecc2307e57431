#include "render_frames.h"

#include <algorithm>

#include <GL/gl.h>

#include "render/sprite_projection.h"

namespace kvl {

namespace {

void drawChecker(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    constexpr int kSquare = 16;
    glBegin(GL_QUADS);
    for (int y = 0; y < height; y += kSquare) {
        for (int x = 0; x < width; x += kSquare) {
            const bool light = ((x / kSquare) + (y / kSquare)) % 2 == 0;
            const float grey = light ? 0.8f : 0.6f;
            glColor3f(grey, grey, grey);
            glVertex2i(x, y);
            glVertex2i(x + kSquare, y);
            glVertex2i(x + kSquare, y + kSquare);
            glVertex2i(x, y + kSquare);
        }
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

void drawOver(kavelune::SceneRenderer& renderer, kavelune::SceneRenderer::Models models, int width,
              int height, float red, float green, float blue, bool checker) {
    glViewport(0, 0, width, height);
    kavelune::loadSpriteProjection(width, height);
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (checker) {
        drawChecker(width, height);
    }
    renderer.drawFrame(models);
}

void unblend(const std::vector<std::uint8_t>& overBlack, const std::vector<std::uint8_t>& overWhite,
             std::vector<std::uint8_t>& rgba) {
    rgba.resize(overBlack.size());
    for (std::size_t i = 0; i < overBlack.size(); i += 4) {
        int through = 0;
        for (int c = 0; c < 3; ++c) {
            through += overWhite[i + c] - overBlack[i + c];
        }
        const int alpha = std::clamp(255 - (through + 1) / 3, 0, 255);
        for (int c = 0; c < 3; ++c) {
            rgba[i + c] = alpha == 0 ? 0
                                     : static_cast<std::uint8_t>(std::min(255, overBlack[i + c] * 255 / alpha));
        }
        rgba[i + 3] = static_cast<std::uint8_t>(alpha);
    }
}

void makeOpaque(std::vector<std::uint8_t>& rgba) {
    for (std::size_t i = 3; i < rgba.size(); i += 4) {
        rgba[i] = 255;
    }
}

}  // namespace kvl
