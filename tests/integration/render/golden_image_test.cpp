// Whole pictures compared with references drawn by this renderer in the offscreen context.
// Set KAVELUNE_UPDATE_GOLDEN=1 to write the references again after a deliberate change.
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "render/texture/texture_upload.h"
#include "platform/headless/png_file.h"
#include "render_fixture.h"

namespace kavelune::testing {
namespace {

constexpr int kSize = 64;

Image checkerImage() {
    Image image{8, 8, 3, {}};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool dark = (x / 2 + y / 2) % 2 == 0;
            image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(dark ? 200 : 250),
                                                     static_cast<std::uint8_t>(dark ? 60 : 220),
                                                     static_cast<std::uint8_t>(dark ? 40 : 120)});
        }
    }
    return image;
}

Image solid(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255, int components = 3) {
    Image image{4, 4, components, {}};
    for (int i = 0; i < 16; ++i) {
        image.pixels.insert(image.pixels.end(), {r, g, b});
        if (components == 4) image.pixels.push_back(a);
    }
    return image;
}

class GoldenImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fixture.ready()) {
            GTEST_SKIP() << "no offscreen OpenGL: " << fixture.error();
        }
    }

    // Compares with the reference: at most 1% of the pixels (the edges a different rasteriser
    // may place a pixel over) may differ by more than 12 in any channel.
    void expectMatchesGolden(const Picture& picture, const std::string& name) {
        const std::filesystem::path golden = std::filesystem::path(KAVELUNE_GOLDEN_DIR) / (name + ".png");
        if (std::getenv("KAVELUNE_UPDATE_GOLDEN") != nullptr) {
            ASSERT_TRUE(writeRgbaPng(golden, picture.width, picture.height, picture.rgba));
            return;
        }
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> expected;
        ASSERT_TRUE(readRgbaPng(golden, width, height, expected)) << "missing reference " << golden;
        ASSERT_EQ(width, picture.width);
        ASSERT_EQ(height, picture.height);
        int differing = 0;
        for (std::size_t i = 0; i < expected.size(); i += 4) {
            for (int c = 0; c < 4; ++c) {
                if (std::abs(expected[i + c] - picture.rgba[i + c]) > 12) {
                    ++differing;
                    break;
                }
            }
        }
        EXPECT_LE(differing, width * height / 100) << name << ": " << differing << " pixels differ";
        if (differing > width * height / 100) {
            writeRgbaPng(std::filesystem::temp_directory_path() / (name + "-actual.png"), picture.width,
                         picture.height, picture.rgba);
        }
    }

    RenderFixture fixture{kSize};
};

TEST_F(GoldenImageTest, TexturedFlatBlockWithItsShadow) {
    fixture.models.push_back(makeBlockModel(450, 1400, 300, false));
    fixture.models[0]->parts[0].baseTexture = uploadTexture(checkerImage(), TextureSampling{true, true, false});
    fixture.rotation() = {{}, 25.0f, 30.0f, 0.0f, false, false};
    expectMatchesGolden(fixture.render(), "textured-flat-shadow");
    // From client memory, as on a GL without buffer objects, the picture is the same.
    fixture.renderer().setVertexBufferAllowed(false);
    expectMatchesGolden(fixture.render(), "textured-flat-shadow");
}

TEST_F(GoldenImageTest, SmoothBlockWithEnvironmentMapOnBothPaths) {
    fixture.models.push_back(makeBlockModel(450, 1400, 300, true));
    MeshPart& part = fixture.models[0]->parts[0];
    part.baseTexture = uploadTexture(solid(255, 230, 200), TextureSampling{});
    part.environmentTexture = uploadTexture(checkerImage(), TextureSampling{});
    fixture.rotation() = {{}, 10.0f, -25.0f, 0.0f, false, false};
    fixture.renderer().setShadow(false);
    fixture.renderer().setMultitextureAllowed(false);
    expectMatchesGolden(fixture.render(), "environment-two-pass");
    fixture.renderer().setMultitextureAllowed(true);
    if (fixture.renderer().multitexture()) {
        expectMatchesGolden(fixture.render(), "environment-multitexture");
    }
}

TEST_F(GoldenImageTest, TranslucentPartBlendsOverTheOneBehind) {
    auto back = makeBlockModel(500, 1200, 100, true);
    back->stagePosition = {0, 0, -600};
    back->parts[0].baseTexture = uploadTexture(solid(30, 60, 230), TextureSampling{});
    auto front = makeBlockModel(250, 1600, 100, true);
    front->parts[0].baseTexture = uploadTexture(solid(250, 40, 40, 128, 4), TextureSampling{});
    front->parts[0].blend = true;
    fixture.models.push_back(std::move(back));
    fixture.models.push_back(std::move(front));
    fixture.renderer().setShadow(false);
    const Picture picture = fixture.render();
    // Through the half-transparent red the blue block still shows.
    const std::uint8_t* middle = picture.at(kSize / 2, kSize / 2);
    EXPECT_GT(middle[0], 80);
    EXPECT_GT(middle[2], 60);
    expectMatchesGolden(picture, "translucent-over-opaque");
}

}  // namespace
}  // namespace kavelune::testing
