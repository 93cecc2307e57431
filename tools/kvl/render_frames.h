#pragma once

#include <cstdint>
#include <vector>

#include "render/scene_renderer.h"

namespace kvl {

// Drawing one offline frame over a backdrop, and turning what the GL drew into the picture
// that is written.

// Sets the sprite projection for width x height, clears to the colour (a checkerboard on top
// when `checker` is set) and draws the scene's frame.
void drawOver(kavelune::SceneRenderer& renderer, kavelune::SceneRenderer::Models models, int width,
              int height, float red, float green, float blue, bool checker);

// Recovers colour and coverage from the same frame drawn over black and over white: a pixel
// that shows through by a fraction f changes by f between the two.
void unblend(const std::vector<std::uint8_t>& overBlack, const std::vector<std::uint8_t>& overWhite,
             std::vector<std::uint8_t>& rgba);

// Over an opaque backdrop the picture is opaque, whatever blending left in the alpha channel.
void makeOpaque(std::vector<std::uint8_t>& rgba);

}  // namespace kvl
