// The scene as the desktop program drives it, on the demo content the build writes beside the
// programs: a dance and its character loaded, played to the null sound output, posed and drawn
// in the offscreen GL context.
#include "app/scene/sprite_scene.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/launch/launch_settings.h"
#include "app/program_state.h"
#include "base/message_box.h"
#include "beats/beat_track.h"
#include "platform/headless/headless_gl_context.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

const std::filesystem::path kProgramFolder = KAVELUNE_PROGRAM_DIR;

class SpriteSceneTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kProgramFolder / "kavelune.txt")) {
            GTEST_SKIP() << "no demo content in " << kProgramFolder;
        }
        setenv("KAVELUNE_AUDIO", "null", 1);
        previousBoxes_ = setMessageBoxHandler([this](const MessageRequest& request) {
            boxes_.push_back(request);
            return MessageAnswer::Ok;
        });
        state_ = std::make_unique<ProgramState>(kaveluneLE(), kProgramFolder, LaunchSettings::choose(kProgramFolder),
                                                WebService{}, kLanguageIdEnglish, WebAccess{});
        settings_ = &state_->settings;
        ASSERT_TRUE(context_.create(256, 256)) << context_.error();
        SpriteScene::Options options;
        options.programFolder = kProgramFolder;
        options.owner = [this](int command, const std::string&) { commands_.push_back(command); };
        options.glLoader = &HeadlessGlContext::procAddress;
        options.music.findCacheFolder = [this] { return cache_ / "cache"; };
        scene_ = std::make_unique<SpriteScene>(state_->sceneContent(), std::move(options));
        scene_->setUp();
    }
    void TearDown() override {
        scene_.reset();
        setMessageBoxHandler(previousBoxes_);
    }

    testing::TempFolder cache_;
    HeadlessGlContext context_;
    std::unique_ptr<ProgramState> state_;
    std::unique_ptr<SpriteScene> scene_;
    LaunchSettings* settings_ = nullptr;
    std::vector<int> commands_;
    std::vector<MessageRequest> boxes_;
    MessageBoxHandler previousBoxes_;
};

TEST_F(SpriteSceneTest, DemoDanceAndCharacterLoadWithTheirSong) {
    ASSERT_FALSE(settings_->dance.empty());
    std::optional<LoadedDance> loaded = scene_->loadDance(settings_->dance);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(boxes_.empty()) << boxes_.front().caption << ": " << boxes_.front().text;
    EXPECT_FALSE(loaded->danceFiles.empty());
    EXPECT_GT(scene_->music().DanceLength, 0);
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    EXPECT_GE(scene_->modelCount(), 1u);
}

TEST_F(SpriteSceneTest, FailedLoadsKeepWhatWasThere) {
    ASSERT_TRUE(scene_->loadDance(settings_->dance));
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    std::size_t models = scene_->modelCount();
    std::int32_t danceLength = scene_->music().DanceLength;
    EXPECT_FALSE(scene_->loadDance("Sequences\\no such dance.dsq"));
    EXPECT_TRUE(scene_->hasDance());
    EXPECT_EQ(scene_->music().DanceLength, danceLength);
    EXPECT_FALSE(scene_->loadCharacter("Characters\\nobody.dcz"));
    EXPECT_EQ(scene_->modelCount(), models);
    EXPECT_FALSE(scene_->loadSound(""));
    EXPECT_FALSE(scene_->loadSound("Sounds\\missing.mp3"));
}

TEST_F(SpriteSceneTest, NothingIsDrawnUntilPlayAndThePoseFollowsTheMusic) {
    ASSERT_TRUE(scene_->loadDance(settings_->dance));
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    ProjectedBounds bounds;
    scene_->drawFrame();
    EXPECT_FALSE(scene_->playing());

    scene_->play();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    scene_->drawFrame();
    ASSERT_TRUE(scene_->projectedBounds(bounds));
    EXPECT_LT(bounds.minX, bounds.maxX);
    EXPECT_LT(bounds.minY, bounds.maxY);
    std::uint32_t first = scene_->lastUpdateTime();

    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    scene_->drawFrame();
    EXPECT_GT(scene_->lastUpdateTime(), first);

    // Pause freezes the music, and with it the dance.
    scene_->pause();
    scene_->drawFrame();
    std::uint32_t paused = scene_->lastUpdateTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    scene_->drawFrame();
    EXPECT_EQ(scene_->lastUpdateTime(), paused);

    // Resuming goes on from the held place, not from the start of the song.
    ASSERT_TRUE(scene_->paused());
    scene_->resume();
    EXPECT_FALSE(scene_->paused());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    scene_->drawFrame();
    EXPECT_GT(scene_->lastUpdateTime(), paused);

    scene_->stop();
    EXPECT_FALSE(scene_->playing());
}

TEST_F(SpriteSceneTest, TurningAboutTheCharacterChangesTheViewOnlyWhileDragging) {
    ASSERT_TRUE(scene_->loadDance(settings_->dance));
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    scene_->play();
    scene_->drawFrame();
    scene_->beginTurn();
    EXPECT_TRUE(scene_->viewRotation().dragActive);
    // The character turns about the upright line through its reference point, on the floor.
    EXPECT_EQ(scene_->viewRotation().pivot.y, 0.0f);
    EXPECT_NE(scene_->viewRotation().pivot.x, 0.0f);
    scene_->turnBy(30.0f, -10.0f);
    scene_->drawFrame();
    scene_->endTurn();
    scene_->drawFrame();
    EXPECT_FLOAT_EQ(scene_->viewRotation().yaw, 30.0f);
    EXPECT_FLOAT_EQ(scene_->viewRotation().pitch, -10.0f);
    EXPECT_FALSE(scene_->viewRotation().dragActive);
}

TEST_F(SpriteSceneTest, AClipLaidOverTheDanceChangesThePoseUntilItEnds) {
    ASSERT_TRUE(scene_->loadDance(settings_->dance));
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    EXPECT_FALSE(scene_->loadClip("Sequences\\no such clip.dsq"));
    ASSERT_TRUE(scene_->loadClip("Sequences\\Spotlight.dsq"));
    ASSERT_EQ(scene_->clipCount(), 1u);
    scene_->updateAt(3000);
    const std::vector<Vertex4s> plain = scene_->model(0).vertices;

    scene_->updateAt(1000);
    scene_->startMotion(1);  // past the list: refused
    EXPECT_FALSE(scene_->clipRunning());
    scene_->startMotion(0);
    ASSERT_TRUE(scene_->clipRunning());
    scene_->updateAt(3000);
    EXPECT_NE(scene_->model(0).vertices, plain) << "the clip's moves are laid over the dance";
}

TEST_F(SpriteSceneTest, ASongThatIsNotTheDancesOwnHasTheDanceLaidOnItsBeats) {
    std::optional<LoadedDance> loaded = scene_->loadDance(settings_->dance);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(scene_->loadCharacter(settings_->character));
    const BeatMap own = scene_->dance()->beatMap;
    const std::string ownSong = std::filesystem::path(scene_->music().playingFile()).filename().string();
    std::string other;
    for (const auto& entry : std::filesystem::directory_iterator(kProgramFolder / "Sounds")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".mp3" && name != ownSong && (other.empty() || name < other)) other = name;
    }
    ASSERT_FALSE(other.empty()) << "the demo content has more than one song";
    scene_->play();
    ASSERT_TRUE(scene_->loadSound("Sounds\\" + other));
    EXPECT_FALSE(scene_->retimed()) << "until the beats are found the dance keeps its own timing";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!scene_->retimed() && std::chrono::steady_clock::now() < deadline) {
        scene_->music().pumpNotifications();
        scene_->drawFrame();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(scene_->retimed());
    EXPECT_EQ(scene_->dance()->beatMap, own) << "the dance file's own timing is kept for its own song";
    const std::vector<std::uint32_t> bars = barStarts(scene_->songBeats(), typicalBeatsPerBar(own));
    ASSERT_GT(bars.size(), 4u);
    for (std::uint32_t bar : bars) {
        const BeatPosition position = lookupBeat(own, scene_->retiming().danceTime(bar));
        EXPECT_TRUE(position.found) << bar;
        EXPECT_FLOAT_EQ(position.fraction, 0.0f) << "a bar of the dance starts on the song's bar at " << bar;
    }

    // The dance's own song again: the beat map of its file holds.
    ASSERT_TRUE(scene_->loadDance(settings_->dance));
    EXPECT_FALSE(scene_->retimed());
    if (loaded->sound) {
        ASSERT_TRUE(scene_->loadSound(*loaded->sound));
        scene_->music().pumpNotifications();
        EXPECT_FALSE(scene_->retimed()) << "the dance's own song chosen by hand keeps the dance's timing";
    }
    scene_->stop();
}

}  // namespace
}  // namespace kavelune
