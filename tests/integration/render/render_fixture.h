#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/character_model.h"
#include "render/scene_renderer.h"
#include "platform/headless/headless_gl_context.h"

namespace kavelune::testing {

// An RGBA picture read back from the offscreen context, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    // Pixels that differ from the clear colour (transparent black).
    bool drawn(int x, int y) const { return at(x, y)[3] != 0; }
    int count(const std::function<bool(const std::uint8_t*)>& test) const;
};

struct PixelBox {
    int minX = 0, maxX = -1, minY = 0, maxY = -1;
    bool empty() const { return maxX < minX; }
};
PixelBox drawnBox(const Picture& picture);

// A block "character": one model whose 19 segments all sit at the origin, with six faces of
// four vertices each from (−halfWidth, 0, −halfDepth) to (halfWidth, height, halfDepth), prepared
// and posed at rest by the model code. Front face texture coordinates span the whole image.
std::unique_ptr<CharacterModel> makeBlockModel(int halfWidth, int height, int halfDepth, bool smooth);

// A context, a renderer and the sprite projection for a square view.
class RenderFixture {
public:
    explicit RenderFixture(int size = 128);

    bool ready() const { return ready_; }
    const std::string& error() const { return context_.error(); }
    SceneRenderer& renderer() { return *renderer_; }
    HeadlessGlContext& context() { return context_; }
    ViewRotation& rotation() { return rotation_; }

    std::vector<std::unique_ptr<CharacterModel>> models;

    // Clears to transparent black, draws one frame and reads it back.
    Picture render();

private:
    HeadlessGlContext context_;
    std::unique_ptr<SceneRenderer> renderer_;
    ViewRotation rotation_;
    bool ready_ = false;
};

}  // namespace kavelune::testing
