// Part textures uploaded into the offscreen context, on image files made by ImageMagick.
#include "render/texture/part_texture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "base/message_box.h"
#include "render/texture/model_textures.h"
#include "render/texture/texture_cache.h"
#include "platform/headless/headless_gl_context.h"
#include "render_fixture.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

GLint textureLevelValue(unsigned name, GLenum which) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
    return value;
}

GLint textureParameter(unsigned name, GLenum which) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, which, &value);
    return value;
}

class PartTextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!context.create(16, 16)) {
            GTEST_SKIP() << "no offscreen OpenGL: " << context.error();
        }
        previous_ = setMessageBoxHandler([this](const MessageRequest& request) {
            boxes.push_back(request);
            return MessageAnswer::Ok;
        });
    }
    void TearDown() override { setMessageBoxHandler(previous_); }

    void make(const std::string& name, const std::string& size, const std::string& source) {
        std::string output;
        const std::string command = "convert -size " + size + " " + source + " '" +
                                    (folder / name).string() + "' 2>&1";
        ASSERT_EQ(runCommand(command, &output), 0) << output;
    }

    HeadlessGlContext context;
    TempFolder folder;
    TextureCache cache;
    std::vector<MessageRequest> boxes;
    MessageBoxHandler previous_;
};

TEST_F(PartTextureTest, UploadsAtPowerOfTwoSizesWithTheDefaultSampling) {
    make("wide.jpg", "300x200", "xc:orange");
    PartTexture texture(cache);
    texture.load(folder.path(), "wide.jpg");
    const TextureSelection selection = texture.select(0);
    ASSERT_NE(selection.base, 0u);
    EXPECT_TRUE(glIsTexture(selection.base));
    EXPECT_EQ(textureLevelValue(selection.base, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(textureLevelValue(selection.base, GL_TEXTURE_HEIGHT), 256);
    EXPECT_EQ(textureParameter(selection.base, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(selection.base, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(selection.base, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_FALSE(selection.hasAlpha);
    EXPECT_EQ(selection.environment, 0u);
    EXPECT_TRUE(boxes.empty());

    // The rescaled pixels keep the picture's colour.
    std::vector<std::uint8_t> pixels(512 * 256 * 3);
    glBindTexture(GL_TEXTURE_2D, selection.base);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    EXPECT_NEAR(pixels[(255 * 512 + 500) * 3], 255, 2);
    EXPECT_NEAR(pixels[(255 * 512 + 500) * 3 + 1], 165, 3);
}

TEST_F(PartTextureTest, TgaBesideTheJpegWinsAndTheEnvironmentMapKeepsTheSpecsName) {
    make("skin.jpg", "8x8", "xc:red");
    make("skin.tga", "8x8", "xc:'rgba(0,255,0,0.5)'");
    make("skinenv.jpg", "4x4", "xc:white");
    PartTexture texture(cache);
    texture.load(folder.path(), "skin.jpg");
    const TextureSelection selection = texture.select(1234);
    ASSERT_NE(selection.base, 0u);
    EXPECT_TRUE(selection.hasAlpha);  // the TGA with alpha, not the JPEG
    EXPECT_NE(cache.find((folder / "skin.tga").string()), nullptr);
    EXPECT_EQ(cache.find((folder / "skin.jpg").string()), nullptr);
    EXPECT_NE(selection.environment, 0u);
    EXPECT_NE(cache.find((folder / "skinenv.jpg").string()), nullptr);
    EXPECT_FALSE(texture.animated());
}

TEST_F(PartTextureTest, PartsNamingOneImageShareItAndTheLastReleaseDeletesIt) {
    make("shared.jpg", "16x16", "xc:blue");
    make("sharedenv.jpg", "4x4", "xc:gray");
    unsigned name = 0;
    {
        PartTexture first(cache);
        PartTexture second(cache);
        first.load(folder.path(), "shared.jpg");
        second.load(folder.path(), "shared.jpg");
        name = first.select(0).base;
        EXPECT_EQ(second.select(0).base, name);
        EXPECT_EQ(cache.references(name), 2);
        EXPECT_NE(first.select(0).environment, 0u);
        EXPECT_EQ(second.select(0).environment, 0u);  // the cached image comes alone
        first.release();
        EXPECT_TRUE(glIsTexture(name));
        EXPECT_EQ(cache.references(name), 1);
    }
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(PartTextureTest, MissingImagesAreReportedAndLeaveThePartUntextured) {
    PartTexture texture(cache);
    texture.load(folder.path(), "nothing.jpg");
    EXPECT_EQ(texture.select(0).base, 0u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "HvImageLoader reading error!");
    EXPECT_NE(boxes[0].text.find("nothing.jpg"), std::string::npos);
    texture.load(folder.path(), "");
    EXPECT_EQ(texture.select(0).base, 0u);
    EXPECT_EQ(boxes.size(), 1u);
    // Another part naming the same broken file is not told of it again until the cache
    // forgets its failures (the next model).
    PartTexture other(cache);
    other.load(folder.path(), "nothing.jpg");
    EXPECT_EQ(boxes.size(), 1u);
    cache.forgetFailures();
    other.load(folder.path(), "nothing.jpg");
    EXPECT_EQ(boxes.size(), 2u);
}

TEST_F(PartTextureTest, ParameterFileDefinesAnAnimatedTexture) {
    make("frame0.jpg", "8x8", "xc:red");
    make("frame1.tga", "8x8", "xc:'rgba(0,0,255,0.5)'");
    make("shine.jpg", "8x8", "xc:white");
    folder.write("anim.txt",
                 "# two frames\n"
                 "<loop><1>\n<srepeat><0>\n<linearmagfilter><0>\n"
                 "<map><frame0.jpg><0>\n<map><FRAME1.TGA><1>\n<map><shine.jpg><5>\n"
                 "<map><absent.jpg><7>\n"
                 "<time><0><0><5>\n<time><500><1><9>\n<time><700><7>\n");
    PartTexture texture(cache);
    texture.load(folder.path(), "Anim.jpg");
    EXPECT_TRUE(texture.animated());
    EXPECT_TRUE(texture.loops());
    ASSERT_EQ(texture.keyframes().size(), 2u);  // the keyframe naming the absent image is dropped
    EXPECT_EQ(texture.lengthMs(), 500u);
    EXPECT_EQ(texture.keyframes()[1].environmentId, -1);  // 9 names no image

    const TextureSelection early = texture.select(250);
    const TextureSelection wrapped = texture.select(750);
    const TextureSelection atEnd = texture.select(1000);
    EXPECT_NE(early.base, 0u);
    EXPECT_NE(early.environment, 0u);
    EXPECT_FALSE(early.hasAlpha);
    EXPECT_EQ(wrapped.base, early.base);
    EXPECT_EQ(atEnd.base, early.base);
    EXPECT_EQ(textureParameter(early.base, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(textureParameter(early.base, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(textureParameter(early.base, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    ASSERT_EQ(boxes.size(), 1u);  // only the absent image is reported
}

TEST_F(PartTextureTest, ParameterFileWithoutKeyframesDrawsUntextured) {
    make("plain.jpg", "8x8", "xc:red");
    folder.write("plain.txt", "nothing useful here\n");
    PartTexture texture(cache);
    texture.load(folder.path(), "plain.jpg");
    EXPECT_TRUE(texture.animated());
    EXPECT_EQ(texture.select(0).base, 0u);
    EXPECT_EQ(texture.select(300).base, 0u);
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(PartTextureTest, ModelTexturesSetEveryPartForTheDanceTime) {
    make("body.jpg", "8x8", "xc:red");
    auto model = makeBlockModel(100, 100, 100, false);
    model->parts[0].textureSpec = "body.jpg";
    model->parts.push_back(model->parts[0]);
    model->parts[1].textureSpec = "";
    model->parts[1].baseTexture = 99;  // stale state from an earlier frame is overwritten
    ModelTextures textures(cache);
    textures.load(*model, folder.path());
    EXPECT_EQ(textures.size(), 2u);
    textures.apply(*model, 40);
    EXPECT_NE(model->parts[0].baseTexture, 0u);
    EXPECT_EQ(model->parts[1].baseTexture, 0u);
    EXPECT_EQ(cache.references(model->parts[0].baseTexture), 1);
    textures.release();
    EXPECT_EQ(cache.size(), 0u);
}

}  // namespace
}  // namespace kavelune::testing
