// The renderer drawing into the offscreen context: what reaches the pixels.
#include <cmath>
#include <cstdlib>
#include <set>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/matrix4.h"
#include "render/texture/texture_upload.h"
#include "platform/headless/png_file.h"
#include "render_fixture.h"

namespace kavelune::testing {
namespace {

Image solidImage(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    Image image{width, height, 3, {}};
    for (int i = 0; i < width * height; ++i) {
        image.pixels.insert(image.pixels.end(), {r, g, b});
    }
    return image;
}

// Left half red, right half blue.
Image splitImage() {
    Image image{8, 8, 3, {}};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (x < 4) image.pixels.insert(image.pixels.end(), {255, 0, 0});
            else image.pixels.insert(image.pixels.end(), {0, 0, 255});
        }
    }
    return image;
}

bool isShadow(const std::uint8_t* p) { return p[3] > 0 && p[0] < 8 && p[1] < 8 && p[2] < 8; }

class SceneRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fixture.ready()) {
            GTEST_SKIP() << "no offscreen OpenGL: " << fixture.error();
        }
    }
    void saveForInspection(const Picture& picture, const char* name) {
        if (const char* folder = std::getenv("KAVELUNE_RENDER_DUMP")) {
            writeRgbaPng(std::filesystem::path(folder) / name, picture.width, picture.height, picture.rgba);
        }
    }
    RenderFixture fixture{128};
};

TEST_F(SceneRenderTest, TexturedFrontFaceShowsItsImageLitByTheFixedLight) {
    fixture.models.push_back(makeBlockModel(400, 1800, 400, true));
    TextureSampling nearest{true, true, false};
    fixture.models[0]->parts[0].baseTexture = uploadTexture(splitImage(), nearest);
    fixture.renderer().setShadow(false);
    Picture picture = fixture.render();
    saveForInspection(picture, "textured.png");

    const PixelBox box = drawnBox(picture);
    ASSERT_FALSE(box.empty());
    const int midY = (box.minY + box.maxY) / 2;
    const std::uint8_t* left = picture.at(box.minX + (box.maxX - box.minX) / 4, midY);
    const std::uint8_t* right = picture.at(box.maxX - (box.maxX - box.minX) / 4, midY);
    // Ambient 0.5 plus the diffuse light from the upper front right saturate the front face.
    EXPECT_GT(left[0], 200);
    EXPECT_LT(left[2], 40);
    EXPECT_GT(right[2], 200);
    EXPECT_LT(right[0], 40);
}

TEST_F(SceneRenderTest, FlatPartsShadeEachFaceEvenlySmoothPartsBlendAcrossEdges) {
    // Seen turned and from above, three faces show; flat shading gives each one colour.
    fixture.rotation() = {{}, 25.0f, 35.0f, 0.0f, false, false};
    fixture.renderer().setShadow(false);
    auto distinctGreys = [](const Picture& picture) {
        std::set<int> greys;
        for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
            if (picture.rgba[i + 3] == 255) greys.insert(picture.rgba[i]);
        }
        return greys.size();
    };
    fixture.models.push_back(makeBlockModel(500, 1200, 500, false));
    Picture flat = fixture.render();
    saveForInspection(flat, "flat.png");
    fixture.models.clear();
    fixture.models.push_back(makeBlockModel(500, 1200, 500, true));
    Picture smooth = fixture.render();
    saveForInspection(smooth, "smooth.png");

    EXPECT_LE(distinctGreys(flat), 6u);
    EXPECT_GT(distinctGreys(smooth), 20u);
}

TEST_F(SceneRenderTest, EnvironmentMapModulatesTheBaseOnBothDrawingPaths) {
    fixture.models.push_back(makeBlockModel(400, 1800, 400, true));
    MeshPart& part = fixture.models[0]->parts[0];
    part.baseTexture = uploadTexture(solidImage(4, 4, 255, 255, 255), TextureSampling{});
    part.environmentTexture = uploadTexture(solidImage(4, 4, 40, 220, 60), TextureSampling{});
    fixture.renderer().setShadow(false);

    auto check = [](const Picture& picture) {
        const PixelBox box = drawnBox(picture);
        ASSERT_FALSE(box.empty());
        const std::uint8_t* centre = picture.at((box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2);
        // Green from the environment map over the white base; the light scales it.
        EXPECT_GT(centre[1], 120);
        EXPECT_GT(centre[1], 3 * centre[0]);
        EXPECT_GT(centre[1], 3 * centre[2]);
        EXPECT_EQ(centre[3], 255);
    };
    Picture twoPass;
    fixture.renderer().setMultitextureAllowed(false);
    ASSERT_FALSE(fixture.renderer().multitexture());
    twoPass = fixture.render();
    saveForInspection(twoPass, "environment-two-pass.png");
    check(twoPass);

    fixture.renderer().setMultitextureAllowed(true);
    if (!fixture.renderer().multitexture()) {
        GTEST_SKIP() << "this GL has no multitexture";
    }
    Picture single = fixture.render();
    saveForInspection(single, "environment-multitexture.png");
    check(single);
    // Both paths cover exactly the same pixels. (The colours differ by design: the second pass
    // multiplies a lit environment map onto the lit base, so the light counts twice there.)
    EXPECT_EQ(single.count([](const std::uint8_t* p) { return p[3] != 0; }),
              twoPass.count([](const std::uint8_t* p) { return p[3] != 0; }));
    EXPECT_GE(single.at(64, 64)[1], twoPass.at(64, 64)[1]);
}

TEST_F(SceneRenderTest, ShadowFallsOnTheFloorOnlyWhenSwitchedOnAndSeenFromAbove) {
    fixture.models.push_back(makeBlockModel(300, 1500, 300, true));
    fixture.rotation().pitch = 30.0f;  // looking down onto the floor

    fixture.renderer().setShadow(true);
    Picture withShadow = fixture.render();
    saveForInspection(withShadow, "shadow-on.png");
    fixture.renderer().setShadow(false);
    Picture without = fixture.render();
    saveForInspection(without, "shadow-off.png");

    const int shadowPixels = withShadow.count(isShadow);
    EXPECT_GT(shadowPixels, 100);
    EXPECT_EQ(without.count(isShadow), 0);
    // Half-transparent black: the shadow is blended, not painted.
    EXPECT_EQ(withShadow.count([](const std::uint8_t* p) { return isShadow(p) && p[3] == 255; }), 0);
    // The shadow adds pixels; the character itself is unchanged where it was drawn.
    EXPECT_GT(withShadow.count([](const std::uint8_t* p) { return p[3] != 0; }),
              without.count([](const std::uint8_t* p) { return p[3] != 0; }));

    // Overlapping flattened faces darken each pixel once: the shadow is even.
    std::set<int> shadowAlphas;
    for (std::size_t i = 0; i < withShadow.rgba.size(); i += 4) {
        if (isShadow(&withShadow.rgba[i])) shadowAlphas.insert(withShadow.rgba[i + 3]);
    }
    ASSERT_FALSE(shadowAlphas.empty());
    EXPECT_LE(*shadowAlphas.rbegin() - *shadowAlphas.begin(), 2);

    // Each frame marks its shadow in the stencil with its own value, and the values come round
    // again after 255 frames: floor pixels last darkened exactly that long ago (the figure
    // stood elsewhere meanwhile) are darkened again all the same.
    fixture.renderer().setShadow(true);
    fixture.models[0]->stagePosition.x += 3000;
    for (int frame = 0; frame < 254; ++frame) fixture.render();
    fixture.models[0]->stagePosition.x -= 3000;
    EXPECT_EQ(fixture.render().rgba, withShadow.rgba);

    // From below the floor the plane turns its back to the eye: no shadow, character still drawn.
    fixture.rotation().pitch = -20.0f;
    fixture.renderer().setShadow(true);
    Picture fromBelow = fixture.render();
    saveForInspection(fromBelow, "from-below.png");
    EXPECT_EQ(fromBelow.count(isShadow), 0);
    EXPECT_FALSE(drawnBox(fromBelow).empty());
}

TEST_F(SceneRenderTest, PickingHitsTheCharacterAndMissesBesideIt) {
    fixture.models.push_back(makeBlockModel(300, 1500, 300, true));
    Picture picture = fixture.render();
    const PixelBox box = drawnBox(picture);
    ASSERT_FALSE(box.empty());
    SceneRenderer& renderer = fixture.renderer();
    EXPECT_GT(renderer.pick(fixture.models, (box.minX + box.maxX) / 2, (box.minY + box.maxY) / 2), 0);
    EXPECT_GT(renderer.pick(fixture.models, box.minX + 1, box.maxY - 1), 0);
    EXPECT_EQ(renderer.pick(fixture.models, 3, 3), 0);
    EXPECT_EQ(renderer.pick(fixture.models, box.maxX + 8, (box.minY + box.maxY) / 2), 0);
    // Picking leaves the matrices as it found them: the next frame is the same picture.
    Picture again = fixture.render();
    EXPECT_EQ(again.rgba, picture.rgba);

    // With the shadow on, the pick draws it too: a shadow pixel well away from the figure hits.
    renderer.setShadow(false);
    Picture figureOnly = fixture.render();
    renderer.setShadow(true);
    Picture shadowed = fixture.render();
    auto figureNear = [&figureOnly](int x, int y) {
        for (int dy = -4; dy <= 4; ++dy) {
            for (int dx = -4; dx <= 4; ++dx) {
                int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < figureOnly.width && ny < figureOnly.height && figureOnly.drawn(nx, ny))
                    return true;
            }
        }
        return false;
    };
    bool pickedShadow = false;
    for (int y = 0; y < shadowed.height && !pickedShadow; ++y) {
        for (int x = 0; x < shadowed.width && !pickedShadow; ++x) {
            if (isShadow(shadowed.at(x, y)) && !figureNear(x, y)) {
                EXPECT_GT(renderer.pick(fixture.models, x, y), 0) << x << "," << y;
                pickedShadow = true;
            }
        }
    }
    EXPECT_TRUE(pickedShadow) << "no shadow pixel away from the figure";
}

TEST_F(SceneRenderTest, BoundsEncloseEveryDrawnPixel) {
    auto second = makeBlockModel(200, 900, 200, false);
    second->stagePosition = {550, 0, -300};
    second->turn = 40;
    fixture.models.push_back(makeBlockModel(300, 1500, 300, true));
    fixture.models.push_back(std::move(second));
    fixture.rotation() = {{}, 15.0f, -30.0f, 0.0f, false, false};
    fixture.renderer().setShadow(false);
    Picture picture = fixture.render();
    saveForInspection(picture, "bounds.png");

    ScreenBounds bounds;
    ASSERT_TRUE(fixture.renderer().bounds(fixture.models, bounds));
    const PixelBox box = drawnBox(picture);
    ASSERT_FALSE(box.empty());
    ASSERT_TRUE(box.minX > 0 && box.minY > 0 && box.maxX < picture.width - 1 && box.maxY < picture.height - 1)
        << "the scene must fit the view for this test";
    const float size = static_cast<float>(picture.width);
    auto column = [&](float ndc) { return (ndc + 1.0f) * 0.5f * size; };
    auto row = [&](float ndc) { return (1.0f - ndc) * 0.5f * size; };
    EXPECT_LE(column(bounds.minX), box.minX + 1.0f);
    EXPECT_GE(column(bounds.maxX), box.maxX);
    EXPECT_LE(row(bounds.maxY), box.minY + 1.0f);
    EXPECT_GE(row(bounds.minY), box.maxY);
    // And they are tight: the boxes are the blocks themselves.
    EXPECT_LT(box.minX - column(bounds.minX), 4.0f);
    EXPECT_LT(column(bounds.maxX) - box.maxX, 4.0f);

    EXPECT_FALSE(fixture.renderer().bounds({}, bounds));
    Vec3f reference;
    EXPECT_TRUE(SceneRenderer::referencePoint(fixture.models, 1, reference));
    EXPECT_FALSE(SceneRenderer::referencePoint(fixture.models, 2, reference));
}

TEST_F(SceneRenderTest, ModelMatricesFollowTheViewAndThePlacement) {
    auto model = makeBlockModel(300, 1500, 300, true);
    model->stagePosition = {100, 0, 0};
    model->root = {0, 50, 0};
    fixture.models.push_back(std::move(model));
    fixture.render();
    Matrix4 matrix;
    ASSERT_TRUE(fixture.renderer().modelMatrix(0, matrix));
    EXPECT_FALSE(fixture.renderer().modelMatrix(1, matrix));
    // No rotation: the model origin lands at its stage and root offsets, lifted by 900 and
    // pushed back to the scene depth.
    EXPECT_FLOAT_EQ(matrix.at(0, 3), 100.0f);
    EXPECT_FLOAT_EQ(matrix.at(1, 3), -850.0f);
    EXPECT_FLOAT_EQ(matrix.at(2, 3), SceneRenderer::kSceneDepth);
}

TEST_F(SceneRenderTest, TurningAboutAPivotKeepsThePictureStillWhenTheDragStartsAndEnds) {
    fixture.models.push_back(makeBlockModel(300, 1500, 300, true));
    fixture.renderer().setShadow(false);
    ViewRotation& rotation = fixture.rotation();
    rotation.yaw = 30.0f;
    rotation.pitch = 10.0f;
    Picture before = fixture.render();
    Vec3f reference;
    ASSERT_TRUE(SceneRenderer::referencePoint(fixture.models, 0, reference));
    rotation.pivot = {reference.x, 0.0f, reference.z};
    rotation.dragActive = true;
    rotation.changed = true;
    Picture dragging = fixture.render();
    rotation.dragActive = false;
    rotation.changed = true;
    Picture after = fixture.render();
    auto differing = [](const Picture& a, const Picture& b) {
        int count = 0;
        for (std::size_t i = 0; i < a.rgba.size(); ++i) count += std::abs(a.rgba[i] - b.rgba[i]) > 8;
        return count;
    };
    EXPECT_LT(differing(before, dragging), 40);
    EXPECT_LT(differing(before, after), 40);
    EXPECT_FLOAT_EQ(rotation.pivot.x, 0.0f);
    EXPECT_FALSE(rotation.changed);
}

TEST_F(SceneRenderTest, HiddenSceneDrawsNothing) {
    fixture.models.push_back(makeBlockModel(300, 1500, 300, true));
    fixture.renderer().setHidden(true);
    Picture picture = fixture.render();
    EXPECT_TRUE(drawnBox(picture).empty());
}

}  // namespace
}  // namespace kavelune::testing
