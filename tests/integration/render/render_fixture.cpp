#include "render_fixture.h"

#include <GL/gl.h>

#include "model/model_setup.h"
#include "render/sprite_projection.h"
#include "model/skinning.h"

namespace kavelune::testing {

int Picture::count(const std::function<bool(const std::uint8_t*)>& test) const {
    int total = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            total += test(at(x, y)) ? 1 : 0;
        }
    }
    return total;
}

PixelBox drawnBox(const Picture& picture) {
    PixelBox box{picture.width, -1, picture.height, -1};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.drawn(x, y)) {
                box.minX = std::min(box.minX, x);
                box.maxX = std::max(box.maxX, x);
                box.minY = std::min(box.minY, y);
                box.maxY = std::max(box.maxY, y);
            }
        }
    }
    return box;
}

std::unique_ptr<CharacterModel> makeBlockModel(int halfWidth, int height, int halfDepth, bool smooth) {
    auto model = std::make_unique<CharacterModel>();
    model->version = 133;
    const auto w = static_cast<std::int16_t>(halfWidth);
    const auto h = static_cast<std::int16_t>(height);
    const auto d = static_cast<std::int16_t>(halfDepth);
    const auto nw = static_cast<std::int16_t>(-halfWidth);
    const auto nd = static_cast<std::int16_t>(-halfDepth);
    // Each face: four corners counter-clockwise seen from outside, with its texture corners.
    const Vertex4s faces[6][4] = {
        {{nw, 0, d, 1}, {w, 0, d, 1}, {w, h, d, 1}, {nw, h, d, 1}},          // front (+z)
        {{w, 0, nd, 1}, {nw, 0, nd, 1}, {nw, h, nd, 1}, {w, h, nd, 1}},      // back
        {{w, 0, d, 1}, {w, 0, nd, 1}, {w, h, nd, 1}, {w, h, d, 1}},          // right (+x)
        {{nw, 0, nd, 1}, {nw, 0, d, 1}, {nw, h, d, 1}, {nw, h, nd, 1}},      // left
        {{nw, h, d, 1}, {w, h, d, 1}, {w, h, nd, 1}, {nw, h, nd, 1}},        // top
        {{nw, 0, nd, 1}, {w, 0, nd, 1}, {w, 0, d, 1}, {nw, 0, d, 1}},        // bottom
    };
    const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    MeshPart part;
    part.flags = smooth ? MeshPart::SmoothFlag : 0;
    for (int f = 0; f < 6; ++f) {
        const auto first = static_cast<std::uint16_t>(model->baseVertices.size());
        for (int c = 0; c < 4; ++c) {
            model->baseVertices.push_back(faces[f][c]);
            model->weights.push_back(1.0f);
            model->texCoords.push_back(uv[c][0]);
            model->texCoords.push_back(uv[c][1]);
        }
        for (std::uint16_t i : {0, 1, 2, 0, 2, 3}) {
            part.indices.push_back(static_cast<std::uint16_t>(first + i));
        }
    }
    model->secondTexCoords = model->texCoords;
    model->parts.push_back(part);
    model->pivots.assign(JointCount, Vec3s{});
    model->segmentVertices.assign(JointCount, {});
    for (std::uint16_t v = 0; v < model->baseVertices.size(); ++v) {
        model->segmentVertices[0].push_back(v);
    }
    prepareLoadedModel(*model);
    model->root = {};
    poseBody(*model);
    return model;
}

RenderFixture::RenderFixture(int size) {
    if (!context_.create(size, size)) {
        return;
    }
    renderer_ = std::make_unique<SceneRenderer>(&HeadlessGlContext::procAddress);
    renderer_->setViewRotation(&rotation_);
    ready_ = true;
}

Picture RenderFixture::render() {
    Picture picture;
    picture.width = context_.width();
    picture.height = context_.height();
    glViewport(0, 0, picture.width, picture.height);
    loadSpriteProjection(picture.width, picture.height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderer_->drawFrame(models);
    context_.readPixels(picture.rgba);
    return picture;
}

}  // namespace kavelune::testing
