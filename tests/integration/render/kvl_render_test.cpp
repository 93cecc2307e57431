// `kvl render` end to end: content written by the project's own writers, frames read back.
#include <gtest/gtest.h>

#include "kit/dance_file_writer.h"
#include "kit/dcz_writer.h"
#include "kit/motion_pool_file_writer.h"
#include "motion_fixtures.h"
#include "platform/headless/png_file.h"
#include "render_fixture.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    int opaque() const {
        int count = 0;
        for (std::size_t i = 3; i < rgba.size(); i += 4) count += rgba[i] == 255;
        return count;
    }
};

Frame readFrame(const std::filesystem::path& file) {
    Frame frame;
    EXPECT_TRUE(readRgbaPng(file, frame.width, frame.height, frame.rgba)) << file;
    return frame;
}

class KvlRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto model = makeBlockModel(300, 1600, 200, true);
        model->parts[0].textureSpec = "block.jpg";
        home.makeFolder("Characters");
        home.makeFolder("Sequences/Motion Pool");
        ASSERT_TRUE(writeDczFile(home / "Characters/Block.dcz", *model));
        std::string output;
        ASSERT_EQ(runCommand("convert -size 8x8 xc:'#20c040' '" + (home / "Characters/block.jpg").string() +
                                 "' 2>&1", &output), 0) << output;
    }

    // Runs kvl render with `arguments`; returns the exit status, stderr in `errors`.
    int render(const std::string& arguments, std::string* errors = nullptr) {
        const std::string command = std::string(KAVELUNE_KVL) + " render --home '" + home.path().string() +
                                    "' " + arguments + " 2>'" + (home / "stderr.txt").string() + "'";
        const int status = runCommand(command);
        if (errors) *errors = readFile(home / "stderr.txt");
        return status;
    }

    TempFolder home;
};

TEST_F(KvlRenderTest, WritesOneTransparentPngPerTime) {
    const auto out = home / "frames";
    std::string errors;
    ASSERT_EQ(render("--character Block --times 0,40,80 --size 96x128 --out '" + out.string() + "'", &errors), 0)
        << errors;
    for (const char* name : {"frame-000000.png", "frame-000001.png", "frame-000002.png"}) {
        ASSERT_TRUE(std::filesystem::exists(out / name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(out / "frame-000003.png"));
    const Frame frame = readFrame(out / "frame-000000.png");
    EXPECT_EQ(frame.width, 96);
    EXPECT_EQ(frame.height, 128);
    EXPECT_EQ(frame.at(0, 0)[3], 0);  // transparent around the character
    EXPECT_GT(frame.opaque(), 200);
    // The character shows its texture's green.
    const std::uint8_t* middle = frame.at(48, 64);
    EXPECT_EQ(middle[3], 255);
    EXPECT_GT(middle[1], middle[0] + 60);
    // The shadow is translucent black, not grey.
    int shadow = 0;
    for (std::size_t i = 0; i < frame.rgba.size(); i += 4) {
        if (frame.rgba[i + 3] > 60 && frame.rgba[i + 3] < 200) {
            ++shadow;
            EXPECT_LT(frame.rgba[i], 40);
        }
    }
    EXPECT_GT(shadow, 0);
}

TEST_F(KvlRenderTest, BackdropsAndShadowSwitch) {
    const auto white = home / "white";
    const auto plain = home / "plain";
    ASSERT_EQ(render("--character Block --backdrop white --pitch 20 --out '" + white.string() + "'"), 0);
    ASSERT_EQ(render("--character Block --backdrop white --pitch 20 --no-shadow --out '" + plain.string() + "'"), 0);
    const Frame withShadow = readFrame(white / "frame-000000.png");
    const Frame without = readFrame(plain / "frame-000000.png");
    EXPECT_EQ(withShadow.width, 512);
    EXPECT_EQ(withShadow.opaque(), 512 * 512);
    auto dark = [](const Frame& frame) {
        int count = 0;
        for (std::size_t i = 0; i < frame.rgba.size(); i += 4) count += frame.rgba[i] < 160 && frame.rgba[i + 1] < 160;
        return count;
    };
    EXPECT_GT(dark(withShadow), dark(without) + 500);

    const auto checker = home / "checker";
    ASSERT_EQ(render("--character Block --backdrop checker --size 64x64 --out '" + checker.string() + "'"), 0);
    const Frame board = readFrame(checker / "frame-000000.png");
    EXPECT_NE(board.at(0, 0)[0], board.at(20, 0)[0]);
}

TEST_F(KvlRenderTest, FramesPerSecondGiveEvenlySpacedFrames) {
    const auto out = home / "fps";
    ASSERT_EQ(render("--character Block --fps 10 --seconds 0.5 --size 32x32 --out '" + out.string() + "'"), 0);
    EXPECT_TRUE(std::filesystem::exists(out / "frame-000004.png"));
    EXPECT_FALSE(std::filesystem::exists(out / "frame-000005.png"));
}

TEST_F(KvlRenderTest, DanceMovesTheCharacterBetweenFrames) {
    // One pool motion walking along x over two bars, danced for four bars.
    const auto pool = poolOf(7, {walkingMotion(2, 40, 60)});
    ASSERT_TRUE(writeMotionPoolFile(home / "Sequences/Motion Pool/walk.dmp", pool));
    TrackRecord track;
    track.slotMotion = {0, 0, 0, 0};
    track.slotBar = {0, 1, 0, 1};
    track.references = {{7, 0}};
    const DanceFile dance = danceOf(track, 4);
    home.write("Sequences/walk.dsq", encodeDanceFile(dance));
    ASSERT_TRUE(std::filesystem::exists(home / "Sequences/Motion Pool/walk.dmp"));

    const auto out = home / "dance";
    std::string errors;
    ASSERT_EQ(render("--character Block --dance walk.dsq --times 100,1900 --size 128x128 --no-shadow --out '" +
                         out.string() + "'", &errors), 0) << errors;
    const Frame early = readFrame(out / "frame-000000.png");
    const Frame later = readFrame(out / "frame-000001.png");
    EXPECT_NE(early.rgba, later.rgba);
}

TEST_F(KvlRenderTest, FailuresAreOneLineWithTheirStatus) {
    std::string errors;
    EXPECT_EQ(render("--character Nobody --out '" + (home / "x").string() + "'", &errors), 1);
    EXPECT_NE(errors.find("kvl render: cannot load character Nobody"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1);

    EXPECT_EQ(render("--character Block --dance missing.dsq --out '" + (home / "x").string() + "'", &errors), 1);
    EXPECT_NE(errors.find("dance not found"), std::string::npos) << errors;

    EXPECT_EQ(render("--character Block", &errors), 2);
    EXPECT_EQ(render("--character Block --size 0x10 --out x", &errors), 2);
    EXPECT_EQ(render("--character Block --times 5,x --out x", &errors), 2);
    EXPECT_EQ(render("--character Block --times 5 --fps 3 --seconds 1 --out x", &errors), 2);
    EXPECT_EQ(render("--character Block --backdrop pink --out x", &errors), 2);

    // Without a launch file and without --character there is nothing to draw.
    EXPECT_EQ(render("--out '" + (home / "x").string() + "'", &errors), 1);
    EXPECT_NE(errors.find("no character"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

TEST_F(KvlRenderTest, VideoNeedsAFrameRateAndFfmpeg) {
    std::string errors;
    EXPECT_EQ(render("--character Block --times 0 --video a.mp4 --out x", &errors), 2);
    const auto out = home / "video";
    const auto video = home / "dance.mp4";
    const int status = render("--character Block --fps 5 --seconds 0.4 --size 32x32 --video '" + video.string() +
                                  "' --out '" + out.string() + "'", &errors);
    EXPECT_TRUE(std::filesystem::exists(out / "frame-000001.png"));
    if (runCommand("command -v ffmpeg >/dev/null 2>&1") == 0) {
        EXPECT_EQ(status, 0) << errors;
        EXPECT_GT(std::filesystem::file_size(video), 0u);
    } else {
        EXPECT_EQ(status, 1);
        EXPECT_NE(errors.find("ffmpeg is not installed"), std::string::npos) << errors;
    }
}

TEST_F(KvlRenderTest, MissingProgramFolderFails) {
    std::string errors;
    const std::string command = std::string(KAVELUNE_KVL) + " render --home '" + (home / "absent").string() +
                                "' --character Block --out '" + (home / "x").string() + "' 2>&1";
    EXPECT_EQ(runCommand(command, &errors), 1);
    EXPECT_NE(errors.find("no program folder"), std::string::npos) << errors;
}

TEST_F(KvlRenderTest, NoGlContextIsAClearFailure) {
    std::string errors;
    const std::string command = "EGL_PLATFORM=none MESA_LOADER_DRIVER_OVERRIDE=none LIBGL_DRIVERS_PATH=/nonexistent " +
                                std::string(KAVELUNE_KVL) + " render --home '" + home.path().string() +
                                "' --character Block --out '" + (home / "x").string() + "' 2>&1";
    const int status = runCommand(command, &errors);
    EXPECT_EQ(status, 1) << errors;
    EXPECT_NE(errors.find("kvl render: no OpenGL"), std::string::npos) << errors;
}

}  // namespace
}  // namespace kavelune::testing
