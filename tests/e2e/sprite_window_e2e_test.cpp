#include <gtest/gtest.h>

#include <thread>

#include "desktop_session.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Kavelune";
// A 300 x 300 window at (100, 100): the figure stands around its centre (250, 250).
constexpr const char* kLaunchFile = "width \"300\"\nheight \"300\"\nx \"100\"\ny \"100\"\n";
constexpr WindowBox kStartBox{100, 100, 300, 300};

class SpriteWindowE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.ready()) << "Xvfb did not start";
        session.writeLaunchFile(kLaunchFile);
    }

    // Starts the program over the desktop picture and waits for its window and first frames.
    unsigned long startAndWait(const std::vector<std::string>& environment = {"KAVELUNE_BACKDROP=tiles"}) {
        session.showDesktopPicture();
        desktop = session.screenshot();
        program = session.startProgram({}, environment);
        const auto window = session.waitForWindow(kTitle, 15s);
        EXPECT_TRUE(window) << "no window titled Kavelune";
        if (!window) return 0;
        waitForFigure(*window);
        return *window;
    }

    // Waits until the window shows the figure: enough pixels that are not the desktop's.
    void waitForFigure(unsigned long window) {
        for (int i = 0; i < 100; ++i) {
            const auto box = session.windowBox(window);
            if (box && session.screenshot().differingPixels(desktop, *box) > 2000) return;
            std::this_thread::sleep_for(50ms);
        }
    }

    DesktopSession session;
    Screenshot desktop;
    pid_t program = -1;
};

TEST_F(SpriteWindowE2ETest, ShowsTheFigureOverACopyOfTheDesktop) {
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(session.windowBox(window), kStartBox);

    const Screenshot shot = session.screenshot();
    const int figure = shot.differingPixels(desktop, kStartBox);
    // The figure covers part of the window; the rest shows the desktop it stands on.
    EXPECT_GT(figure, 5000);
    EXPECT_LT(figure, 300 * 300 / 2);
    EXPECT_EQ(shot.pixel(105, 105), desktop.pixel(105, 105));
    EXPECT_EQ(shot.pixel(390, 390), desktop.pixel(390, 390));
    EXPECT_EQ(shot.differingPixels(desktop, WindowBox{500, 0, 524, 768}), 0);
}

TEST_F(SpriteWindowE2ETest, ANarrowWindowGrowsAroundTheFigure) {
    // 64 pixels are narrower than the figure: after the first frame the window is re-centred
    // on it and widened to a multiple of 32; its height becomes the nominal 304.
    session.writeLaunchFile("width \"64\"\nheight \"300\"\nx \"400\"\ny \"100\"\n");
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    std::optional<WindowBox> box;
    for (int i = 0; i < 50; ++i) {
        box = session.windowBox(window);
        if (box && box->width > 64) break;
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(box);
    EXPECT_GT(box->width, 64);
    EXPECT_EQ(box->width % 32, 0);
    EXPECT_NEAR(box->x + box->width / 2, 432, 24);
    EXPECT_EQ(box->height, 304);
    EXPECT_NEAR(box->y, 98, 3);
    // Grown once, it stays put.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(session.windowBox(window), box);
}

TEST_F(SpriteWindowE2ETest, ASecondStartEndsAtOnceWithStatusZero) {
    ASSERT_NE(startAndWait(), 0u);
    const pid_t second = session.startProgram();
    EXPECT_EQ(session.waitForExit(second, 5s), 0);
    EXPECT_EQ(session.visibleWindowCount(kTitle), 1);
    EXPECT_FALSE(session.waitForExit(program, 0ms)) << "the first copy must keep running";
}

TEST_F(SpriteWindowE2ETest, ARightDragMovesTheWindowAndItsBackdrop) {
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    session.drag(3, 250, 250, 400, 310);
    const auto moved = session.windowBox(window);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, (WindowBox{250, 160, 300, 300}));
    // The desktop copy followed: the window's corners still show the desktop under them.
    const Screenshot shot = session.screenshot();
    EXPECT_EQ(shot.pixel(255, 165), desktop.pixel(255, 165));
    EXPECT_EQ(shot.pixel(540, 450), desktop.pixel(540, 450));
    EXPECT_EQ(shot.differingPixels(desktop, WindowBox{100, 100, 140, 300}), 0)
        << "the place the window left shows the desktop again";
}

TEST_F(SpriteWindowE2ETest, ALeftDragTurnsTheFigureAndLeavesTheWindowInPlace) {
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    const Screenshot before = session.screenshot();
    session.drag(1, 250, 250, 350, 250);
    std::this_thread::sleep_for(200ms);
    const Screenshot after = session.screenshot();
    EXPECT_EQ(session.windowBox(window), kStartBox);
    EXPECT_GT(after.differingPixels(before, kStartBox), 500);
}

TEST_F(SpriteWindowE2ETest, DraggingUpWithBothButtonsZoomsAboutTheFigure) {
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    session.xdotool("mousemove 250 250");
    std::this_thread::sleep_for(100ms);
    session.xdotool("mousedown 1");
    session.xdotool("mousedown 3");
    for (int y = 245; y >= 200; y -= 5) {
        session.xdotool("mousemove 250 " + std::to_string(y));
        std::this_thread::sleep_for(40ms);
    }
    session.xdotool("mouseup 3");
    session.xdotool("mouseup 1");
    std::this_thread::sleep_for(300ms);
    // 50 pixels up: the size grows from 304 by 100 and the window with it, about its centre.
    const auto zoomed = session.windowBox(window);
    ASSERT_TRUE(zoomed);
    EXPECT_GT(zoomed->width, 380);
    EXPECT_GT(zoomed->height, 380);
    EXPECT_NEAR(zoomed->x + zoomed->width / 2, 250, 20);
    EXPECT_NEAR(zoomed->y + zoomed->height / 2, 250, 20);
}

TEST_F(SpriteWindowE2ETest, EscapeEndsTheProgramAndCurrentTxtHoldsTheNewPlace) {
    const unsigned long window = startAndWait();
    ASSERT_NE(window, 0u);
    session.drag(3, 250, 250, 400, 310);
    session.xdotool("windowfocus --sync " + std::to_string(window));
    session.xdotool("key Escape");
    ASSERT_EQ(session.waitForExit(program, 10s), 0);
    // The window stood at (250, 160), 300 x 300, its centre at (400, 310): the nominal
    // 320 x 304 is kept, centred where the window's centre was.
    const std::string saved = readFile(session.home() / "current.txt");
    EXPECT_NE(saved.find("width\t\t\t\"320\"\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("height\t\t\t\"304\"\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("x\t\t\t\"240\"\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("y\t\t\t\"158\"\r\n"), std::string::npos) << saved;
}

TEST_F(SpriteWindowE2ETest, WithoutALaunchFileBothMessagesAreShownAndNothingIsSaved) {
    std::filesystem::remove(session.home() / "kavelune.txt");
    const pid_t started = session.startProgram({}, {"KAVELUNE_MESSAGE_ANSWERS=ok,no"});
    EXPECT_EQ(session.waitForExit(started, 15s), 0);
    EXPECT_EQ(readFile(session.messageLog()),
              "Error\tCan't find kavelune.txt file!\tok\n"
              "Error\tCan't run Kavelune! Do you want to go to Jivora?\tno\n");
    EXPECT_FALSE(std::filesystem::exists(session.home() / "current.txt"));
    EXPECT_EQ(session.visibleWindowCount(kTitle), 0);
}

TEST_F(SpriteWindowE2ETest, QtsOwnOptionsAreNotTakenForTheLaunchFile) {
    std::filesystem::rename(session.home() / "kavelune.txt", session.home() / "other.txt");
    program = session.startProgram({"-platform", "xcb", "other.txt"}, {"KAVELUNE_MESSAGE_ANSWERS=ok,no"});
    EXPECT_TRUE(session.waitForWindow(kTitle, 15s)) << readFile(session.messageLog());
    EXPECT_EQ(readFile(session.messageLog()), "");
}

TEST_F(SpriteWindowE2ETest, WithoutOpenGLTheProgramSaysSoAndEnds) {
    const pid_t started = session.startProgram(
        {}, {"KAVELUNE_MESSAGE_ANSWERS=ok,no", "QT_XCB_GL_INTEGRATION=none"});
    EXPECT_EQ(session.waitForExit(started, 15s), 0);
    EXPECT_EQ(readFile(session.messageLog()),
              "Error\tError in call ChoosePixelFormat() function\tok\n"
              "Error\tCan't run Kavelune! Do you want to go to Jivora?\tno\n");
    EXPECT_FALSE(std::filesystem::exists(session.home() / "current.txt"));
}

TEST_F(SpriteWindowE2ETest, AnsweringYesOpensTheWebSiteBeforeTheProgramEnds) {
    std::filesystem::remove(session.home() / "kavelune.txt");
    // A desktop opener of our own, first on the path, that notes what it was asked to open.
    TempFolder tools;
    const auto opener = tools.write("xdg-open", "#!/bin/sh\necho \"$1\" > '" +
                                                    (tools / "opened").string() + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    const char* path = std::getenv("PATH");
    const pid_t started = session.startProgram(
        {}, {"KAVELUNE_MESSAGE_ANSWERS=ok,yes", "KAVELUNE_HOME_ADDRESS=http://example.test/home",
             "PATH=" + tools.path().string() + ":" + (path ? path : "/usr/bin:/bin")});
    EXPECT_EQ(session.waitForExit(started, 15s), 0);
    EXPECT_EQ(readFile(tools / "opened"), "http://example.test/home\n");
}

TEST_F(SpriteWindowE2ETest, WithACompositorTheWindowIsTranslucentAroundTheFigure) {
    session.start({"xcompmgr"});
    std::this_thread::sleep_for(500ms);
    const unsigned long window = startAndWait({});
    ASSERT_NE(window, 0u);
    EXPECT_EQ(session.windowDepth(window), 32);
    const Screenshot shot = session.screenshot();
    EXPECT_EQ(shot.pixel(105, 105), desktop.pixel(105, 105));
    EXPECT_EQ(shot.pixel(390, 390), desktop.pixel(390, 390));
    EXPECT_GT(shot.differingPixels(desktop, kStartBox), 5000);
}

}  // namespace
}  // namespace kavelune::testing
