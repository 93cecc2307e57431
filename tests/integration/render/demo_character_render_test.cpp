// The generated demo characters through loader, skinning, textures and renderer: hands and
// props are drawn and cast shadows, textures come from the character folder.
#include <gtest/gtest.h>

#include "base/message_box.h"
#include "model/character_loader.h"
#include "render/texture/model_textures.h"
#include "render/texture/texture_cache.h"
#include "render_fixture.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

bool isShadow(const std::uint8_t* p) { return p[3] > 0 && p[3] < 255 && p[0] < 8 && p[1] < 8 && p[2] < 8; }
bool isDrawn(const std::uint8_t* p) { return p[3] == 255; }

class DemoCharacterRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        demo_ = new TempFolder;
        std::string output;
        made_ = runCommand(std::string(KAVELUNE_KVL) + " make-demo '" + demo_->path().string() + "' 2>&1",
                           &output) == 0;
        if (!made_) std::cerr << output;
    }
    static void TearDownTestSuite() {
        delete demo_;
        demo_ = nullptr;
    }

    void SetUp() override {
        if (!fixture.ready()) GTEST_SKIP() << "no offscreen OpenGL: " << fixture.error();
        ASSERT_TRUE(made_) << "kvl make-demo failed";
        previous_ = setMessageBoxHandler([this](const MessageRequest& request) {
            boxes.push_back(request.caption + ": " + request.text);
            return MessageAnswer::Ok;
        });
    }
    void TearDown() override {
        for (ModelTextures& set : textures) set.release();
        setMessageBoxHandler(previous_);
    }

    void load(const std::string& name) {
        const auto characters = demo_->path() / "Characters";
        const auto folder = characterFolderFor(demo_->path(), characters, name);
        CharacterLoadResult loaded = loadCharacter(folder, name, nullptr);
        ASSERT_TRUE(loaded.ok()) << name;
        fixture.models = std::move(loaded.models);
        for (auto& model : fixture.models) {
            textures.emplace_back(cache);
            textures.back().load(*model, folder);
            textures.back().apply(*model, 0);
        }
    }

    static TempFolder* demo_;
    static bool made_;
    RenderFixture fixture{400};
    TextureCache cache;
    std::vector<ModelTextures> textures;
    std::vector<std::string> boxes;
    MessageBoxHandler previous_;
};

TempFolder* DemoCharacterRenderTest::demo_ = nullptr;
bool DemoCharacterRenderTest::made_ = false;

TEST_F(DemoCharacterRenderTest, HandsAreDrawnAfterTheBodyAndCastShadows) {
    load("Characters\\Mira\\Mira.dcz");
    ASSERT_EQ(fixture.models[0]->hands.size(), 2u);
    fixture.rotation().pitch = 25.0f;
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    const Picture withHands = fixture.render();

    std::vector<HandModel> hands = std::move(fixture.models[0]->hands);
    fixture.models[0]->hands.clear();
    const Picture without = fixture.render();
    fixture.models[0]->hands = std::move(hands);

    EXPECT_GT(withHands.count(isDrawn), without.count(isDrawn) + 20);
    EXPECT_GT(withHands.count(isShadow), without.count(isShadow));
}

TEST_F(DemoCharacterRenderTest, TexturedCharacterShowsColourAndPicksOnItsBody) {
    load("Characters\\Mira\\Mira.dcz");
    fixture.renderer().setShadow(false);
    const Picture picture = fixture.render();
    const PixelBox box = drawnBox(picture);
    ASSERT_FALSE(box.empty());
    // Textures in colour, not white untextured geometry.
    const int coloured = picture.count([](const std::uint8_t* p) {
        return p[3] == 255 && std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 40;
    });
    EXPECT_GT(coloured, picture.count(isDrawn) / 3);
    const int centreX = (box.minX + box.maxX) / 2;
    EXPECT_GT(fixture.renderer().pick(fixture.models, centreX, (box.minY + box.maxY) / 2), 0);
    EXPECT_EQ(fixture.renderer().pick(fixture.models, 2, 2), 0);
}

TEST_F(DemoCharacterRenderTest, PropAttachmentIsDrawnWithItsHost) {
    load("Characters\\Toma\\Toma.dcz");
    ASSERT_NE(fixture.models[0]->attachment, nullptr);
    fixture.renderer().setShadow(false);
    const Picture withProp = fixture.render();
    std::unique_ptr<CharacterModel> prop = std::move(fixture.models[0]->attachment);
    const Picture without = fixture.render();
    fixture.models[0]->attachment = std::move(prop);
    EXPECT_GT(withProp.count(isDrawn), without.count(isDrawn));
}

}  // namespace
}  // namespace kavelune::testing
