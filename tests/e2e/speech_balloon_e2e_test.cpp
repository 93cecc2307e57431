// The speech balloon as a user meets it: the name of each song as it starts, beside the
// character, and the demonstration of the balloon command.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "desktop_session.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

using namespace std::chrono_literals;

// The demo's first dance plays Groove.mp3, which has no tags: the balloon shows its file name.
constexpr const char* kSongBalloon = "Groove.mp3";

class SpeechBalloonE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.ready()) << "Xvfb did not start";
        session.copyDemoContent();
    }

    void switchSongTitles(bool on) const {
        writeText(session.home() / "settings.ini", std::string("[balloon]\nsongTitles=") + (on ? "true" : "false") + "\n");
    }

    static void writeText(const std::filesystem::path& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }

    static bool near(const WindowBox& balloon, const WindowBox& around, int margin) {
        return balloon.x < around.x + around.width + margin && balloon.x + balloon.width > around.x - margin &&
               balloon.y < around.y + around.height + margin && balloon.y + balloon.height > around.y - margin;
    }

    DesktopSession session;
};

TEST_F(SpeechBalloonE2ETest, AStartingSongIsNamedBesideTheCharacterForFourSeconds) {
    session.startWithScene();
    const auto sprite = session.waitForWindow("Kavelune", 20s);
    ASSERT_TRUE(sprite);
    const auto balloon = session.waitForWindow(kSongBalloon, 10s);
    ASSERT_TRUE(balloon) << "no balloon named after the song";
    const auto balloonBox = session.windowBox(*balloon);
    const auto spriteBox = session.windowBox(*sprite);
    ASSERT_TRUE(balloonBox && spriteBox);
    EXPECT_TRUE(near(*balloonBox, *spriteBox, 40))
        << balloonBox->x << "," << balloonBox->y << " beside " << spriteBox->x << "," << spriteBox->y;

    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (session.visibleWindowCount(kSongBalloon) > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(session.visibleWindowCount(kSongBalloon), 0) << "the balloon stayed";
}

TEST_F(SpeechBalloonE2ETest, WithSongTitlesSwitchedOffNoBalloonComesButTheCommandStillShowsIt) {
    switchSongTitles(false);
    session.startWithScene({}, {"KAVELUNE_TEST_COMMANDS=60"});
    ASSERT_TRUE(session.waitForWindow("Kavelune", 20s));
    const auto demonstration = session.waitForWindow("TestBalloon", 10s);
    ASSERT_TRUE(demonstration) << "command 60 showed no balloon";
    // It points at the fixed point (100, 100) of the command.
    const auto box = session.windowBox(*demonstration);
    ASSERT_TRUE(box);
    EXPECT_TRUE(near(*box, WindowBox{0, 100, 200, 100}, 40)) << box->x << "," << box->y;
    EXPECT_EQ(session.visibleWindowCount(kSongBalloon), 0);
}

}  // namespace
}  // namespace kavelune::testing
