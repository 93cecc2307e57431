// KaveluneTrova as a user meets it: the digit keys lay clips over the dance, T does nothing,
// clicks beside the character reach the window beneath, and sprite.log traces the run.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "desktop_session.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

using namespace std::chrono_literals;

class SecondEditionE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.ready()) << "Xvfb did not start";
        session.copyDemoContent();
        // The window beneath: the whole screen, noting the presses that reach it.
        clicks = session.home().parent_path() / "clicks.txt";
        session.start({KAVELUNE_CLICK_RECORDER, "0", "0", std::to_string(DesktopSession::kWidth),
                       std::to_string(DesktopSession::kHeight), clicks.string()});
        ASSERT_TRUE(eventually([&] { return session.screenshot().pixel(5, 5)[0] == 0x80; })) << "no recorder";
        desktop = session.screenshot();
        program = session.start({KAVELUNE_TROVA_PROGRAM, "--home", session.home().string()},
                                {"KAVELUNE_AUDIO=null", "KAVELUNE_MESSAGE_ANSWERS=", "KAVELUNE_BACKDROP=tiles"}, true);
        const auto found = session.waitForWindow("Kavelune", 20s);
        ASSERT_TRUE(found) << "no window titled Kavelune";
        window = *found;
        ASSERT_TRUE(eventually([&] { return session.screenshot().differingPixels(desktop, box()) > 2000; }, 20s))
            << "the character never showed";
    }

    void TearDown() override { EXPECT_EQ(readFile(session.messageLog()), ""); }

    WindowBox box() const { return session.windowBox(window).value_or(WindowBox{}); }

    void press(const std::string& keys) {
        session.xdotool("windowfocus --sync " + std::to_string(window));
        session.xdotool("key --delay 120 " + keys);
        std::this_thread::sleep_for(300ms);
    }

    void clickAt(int x, int y) {
        session.xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
        std::this_thread::sleep_for(400ms);
    }

    std::string exitAndReadSaved() {
        press("Escape");
        EXPECT_EQ(session.waitForExit(program, 15s), 0);
        return readFile(session.home() / "current.txt");
    }

    DesktopSession session;
    std::filesystem::path clicks;
    Screenshot desktop;
    pid_t program = -1;
    unsigned long window = 0;
};

TEST_F(SecondEditionE2ETest, DigitKeysStartClipsWithoutResizingAndTChangesNothing) {
    const std::string log = readFile(session.home() / "sprite.log");
    EXPECT_NE(log.find("\ndance : Sequences\\"), std::string::npos) << log;
    EXPECT_NE(log.find("\ncharacter : Characters\\"), std::string::npos) << log;
    EXPECT_NE(log.find("\nclip motion : Sequences\\"), std::string::npos) << log;
    EXPECT_LT(log.find("\ncharacter : "), log.find("\nclip motion : ")) << "clips load after the character";

    std::this_thread::sleep_for(1s);
    const WindowBox before = box();
    press("1");
    std::this_thread::sleep_for(1500ms);
    const WindowBox after = box();
    EXPECT_NEAR(after.width, before.width, 40) << "1 starts a clip; it does not choose a size";
    EXPECT_NEAR(after.height, before.height, 40);

    press("F4");
    EXPECT_NE(readFile(session.home() / "sprite.log").find("\nwindow position : "), std::string::npos);

    press("t");
    const std::string saved = exitAndReadSaved();
    EXPECT_NE(saved.find("\ntopwindow\t\t\t\"0\""), std::string::npos) << saved;
}

TEST_F(SecondEditionE2ETest, AClickBesideTheCharacterReachesTheWindowBeneath) {
    std::this_thread::sleep_for(1s);
    const WindowBox where = box();
    // Beside the character: the window's top corner, outside the character's outline and the
    // cell around it. On the character: a drawn pixel near the window's middle.
    clickAt(where.x + 2, where.y + 2);
    EXPECT_TRUE(eventually([&] { return readFile(clicks).find("press 1 ") != std::string::npos; }))
        << "the click beside the character reached the window beneath";

    const Screenshot shot = session.screenshot();
    int onX = -1;
    int onY = -1;
    for (int dy = 0; dy < where.height / 4 && onX < 0; ++dy) {
        const int y = where.y + where.height / 2 - dy;
        for (int x = where.x + where.width / 3; x < where.x + 2 * where.width / 3; ++x) {
            if (shot.differingPixels(desktop, WindowBox{x, y, 1, 1}) == 1) {
                onX = x;
                onY = y;
                break;
            }
        }
    }
    ASSERT_GE(onX, 0) << "no drawn pixel near the middle of the window";
    const std::string before = readFile(clicks);
    clickAt(onX, onY);
    EXPECT_EQ(readFile(clicks), before) << "a click on the character stays with the program";
    EXPECT_NE(readFile(session.home() / "sprite.log").find(": 1\n"), std::string::npos)
        << "the click on the character is logged with its hit";
}

}  // namespace
}  // namespace kavelune::testing
