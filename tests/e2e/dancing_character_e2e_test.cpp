// The desktop program as a user meets it: the generated demo content as its program folder, the
// real character dancing in the sprite window, the menu, the keys and files dropped on it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <thread>

#include "desktop_session.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Kavelune";

struct Point {
    int x = 0;
    int y = 0;
};

// The value a saved launch file gives `key`, without its quotes; empty when the key is absent.
std::string savedValue(const std::string& saved, const std::string& key) {
    std::size_t at = 0;
    while ((at = saved.find(key, at)) != std::string::npos) {
        const bool lineStart = at == 0 || saved[at - 1] == '\n';
        const std::size_t open = saved.find('"', at);
        if (lineStart && open != std::string::npos && saved.find_first_not_of('\t', at + key.size()) == open) {
            return saved.substr(open + 1, saved.find('"', open + 1) - open - 1);
        }
        at += key.size();
    }
    return {};
}

class DancingCharacterE2ETest : public ::testing::Test {
protected:
    explicit DancingCharacterE2ETest(Monitors monitors = Monitors::One) : session(monitors) {}

    void SetUp() override {
        ASSERT_TRUE(session.ready()) << "the X server did not start";
        session.copyDemoContent();
    }

    void TearDown() override {
        // Nothing a user would have had to click away came up on the way.
        EXPECT_EQ(readFile(session.messageLog()), "");
    }

    // Starts the program on the demo content over the desktop picture and waits until the
    // character shows in its window.
    void startAndWait(const std::vector<std::string>& environment = {}) {
        session.showDesktopPicture();
        desktop = session.screenshot();
        startAgainAndWait(environment);
    }

    // Starts the program (again) over the desktop that is already shown.
    void startAgainAndWait(std::vector<std::string> environment = {}) {
        environment.push_back("KAVELUNE_BACKDROP=tiles");
        program = session.startWithScene({}, environment);
        const auto found = session.waitForWindow(kTitle, 20s);
        ASSERT_TRUE(found) << "no window titled Kavelune";
        window = *found;
        for (int i = 0; i < 200; ++i) {
            if (characterPixels(session.screenshot()) > 2000) return;
            std::this_thread::sleep_for(100ms);
        }
        FAIL() << "the character never showed";
    }

    WindowBox box() const { return session.windowBox(window).value_or(WindowBox{}); }

    int characterPixels(const Screenshot& shot) const { return shot.differingPixels(desktop, box()); }

    // The window box once it has changed from `before` and then stopped moving and growing.
    WindowBox boxAfterChangeFrom(const WindowBox& before) {
        eventually([&] { return box() != before; });
        return settledBox();
    }

    // The window box once it has stopped moving and growing.
    WindowBox settledBox() {
        WindowBox last = box();
        for (int i = 0; i < 40; ++i) {
            std::this_thread::sleep_for(150ms);
            const WindowBox next = box();
            if (next == last) break;
            last = next;
        }
        return last;
    }

    // Presses keys (xdotool key names) in the sprite window.
    void press(const std::string& keys) {
        session.xdotool("windowfocus --sync " + std::to_string(window));
        session.xdotool("key --delay 120 " + keys);
        std::this_thread::sleep_for(300ms);
    }

    // How many pixels of the window change over `interval` while the program runs on.
    int motionOver(std::chrono::milliseconds interval) {
        const WindowBox where = box();
        const Screenshot first = session.screenshot();
        std::this_thread::sleep_for(interval);
        return session.screenshot().differingPixels(first, where);
    }

    // The mean column of the character's pixels in the window.
    double characterColumn(const Screenshot& shot) const {
        const WindowBox where = box();
        long sum = 0, count = 0;
        for (int y = where.y; y < where.y + where.height; ++y) {
            for (int x = where.x; x < where.x + where.width; ++x) {
                if (shot.differingPixels(desktop, WindowBox{x, y, 1, 1}) == 0) continue;
                sum += x;
                ++count;
            }
        }
        return count == 0 ? -1.0 : static_cast<double>(sum) / count;
    }

    // A point on the character's body: the middle of the run of character pixels, a third of
    // the way down the character, that lies nearest the window's centre line.
    std::optional<Point> pointOnCharacter(const Screenshot& shot) const {
        const WindowBox where = box();
        int top = -1, bottom = -1;
        auto differs = [&](int x, int y) {
            const auto a = shot.pixel(x, y);
            const auto b = desktop.pixel(x, y);
            for (int c = 0; c < 3; ++c) {
                if (std::abs(a[c] - b[c]) > 8) return true;
            }
            return false;
        };
        for (int y = where.y; y < where.y + where.height; ++y) {
            for (int x = where.x; x < where.x + where.width; ++x) {
                if (!differs(x, y)) continue;
                if (top < 0) top = y;
                bottom = y;
                break;
            }
        }
        if (top < 0) return std::nullopt;
        const int y = top + (bottom - top) / 3;
        const int centre = where.x + where.width / 2;
        std::optional<Point> best;
        for (int x = where.x; x < where.x + where.width;) {
            if (!differs(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < where.x + where.width && differs(end, y)) ++end;
            const Point middle{(x + end) / 2, y};
            if (end - x >= 4 && (!best || std::abs(middle.x - centre) < std::abs(best->x - centre))) best = middle;
            x = end;
        }
        return best;
    }

    // The screen rows the character covers: its top and its lowest row (the feet, or the
    // shadow under them). Rows with only a few stray pixels that differ from the desktop do not
    // count.
    struct Rows {
        int top = -1;
        int bottom = -1;
        int height() const { return bottom - top + 1; }
    };
    Rows characterRows(const Screenshot& shot) const {
        Rows rows;
        for (int y = 0; y < shot.height; ++y) {
            if (shot.differingPixels(desktop, WindowBox{0, y, shot.width, 1}) < 3) continue;
            if (rows.top < 0) rows.top = y;
            rows.bottom = y;
        }
        return rows;
    }

    // How tall the character stands and where its feet are, over a couple of seconds of
    // dancing, so that no single pose decides: the tallest extent seen and the lowest row.
    struct Stance {
        int height = 0;
        int feet = -1;
    };
    Stance stanceWhileDancing() {
        Stance stance;
        for (int i = 0; i < 12; ++i) {
            const Rows rows = characterRows(session.screenshot());
            if (rows.top >= 0) {
                stance.height = std::max(stance.height, rows.height());
                stance.feet = std::max(stance.feet, rows.bottom);
            }
            std::this_thread::sleep_for(150ms);
        }
        return stance;
    }

    // Ends the program with Escape and returns what it saved.
    std::string exitAndReadSaved() {
        press("Escape");
        EXPECT_EQ(session.waitForExit(program, 15s), 0);
        return readFile(session.home() / "current.txt");
    }

    DesktopSession session;
    Screenshot desktop;
    pid_t program = -1;
    unsigned long window = 0;
};

TEST_F(DancingCharacterE2ETest, TheCharacterDancesOverACopyOfTheDesktopUntilEscapeSavesTheState) {
    startAndWait();
    const WindowBox where = settledBox();
    // The demo launch file asks for 300 x 400, centred on the screen; the window grows only as
    // far as the character needs.
    EXPECT_GE(where.width, 300);
    EXPECT_GE(where.height, 400);
    EXPECT_NEAR(where.x + where.width / 2, DesktopSession::kWidth / 2, 60);
    EXPECT_NEAR(where.y + where.height / 2, DesktopSession::kHeight / 2, 60);

    const Screenshot shot = session.screenshot();
    const int character = shot.differingPixels(desktop, where);
    EXPECT_GT(character, 3000);
    EXPECT_LT(character, where.width * where.height / 2) << "around the character the desktop shows through";
    EXPECT_NEAR(characterColumn(shot), where.x + where.width / 2.0, where.width / 6.0)
        << "the character stands in the middle of its window";
    EXPECT_EQ(shot.pixel(where.x + 3, where.y + 3), desktop.pixel(where.x + 3, where.y + 3));
    EXPECT_EQ(shot.differingPixels(desktop, WindowBox{0, 0, where.x - 1, DesktopSession::kHeight}), 0)
        << "nothing is drawn outside the window";
    EXPECT_GT(motionOver(400ms), 200) << "the character dances";

    const WindowBox last = settledBox();
    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "character"), "Characters\\Mira\\Mira.dcz") << saved;
    EXPECT_EQ(savedValue(saved, "dance"), "Sequences\\Groove.dsq") << saved;
    EXPECT_EQ(savedValue(saved, "loop"), "1") << saved;
    EXPECT_EQ(savedValue(saved, "shadow"), "1") << saved;
    EXPECT_EQ(savedValue(saved, "topwindow"), "0") << saved;
    // A window that never had to move keeps the launch size; one that did keeps the nominal
    // 320 x 400 that the launch size rounds up to, however far it has grown.
    const bool placed = last.width != 300 || last.height != 400;
    EXPECT_EQ(savedValue(saved, "width"), placed ? "320" : "300") << saved;
    EXPECT_EQ(savedValue(saved, "height"), "400") << saved;
}

TEST_F(DancingCharacterE2ETest, ARightClickOnTheCharacterOpensTheMenuWhereAnotherDanceIsChosen) {
    startAndWait();
    // Paused, the character stands still, so the click lands on it and what changes on the
    // screen afterwards is the menu.
    press("p");
    const WindowBox where = settledBox();
    const Screenshot still = session.settledScreenshot(where, 6s);
    const auto target = pointOnCharacter(still);
    ASSERT_TRUE(target) << "no character pixels to click";

    // Beside the character, in the window's corner, a right click opens nothing.
    const Point corner{where.x + 4, where.y + 4};
    session.xdotool("mousemove " + std::to_string(corner.x) + " " + std::to_string(corner.y));
    std::this_thread::sleep_for(150ms);
    session.xdotool("click 3");
    std::this_thread::sleep_for(1s);
    EXPECT_LT(session.screenshot().differingPixels(still, WindowBox{corner.x + 4, corner.y + 4, 100, 150}), 50)
        << "a menu opened beside the character";

    session.xdotool("mousemove " + std::to_string(target->x) + " " + std::to_string(target->y));
    std::this_thread::sleep_for(150ms);
    session.xdotool("click 3");
    const WindowBox menuArea{target->x + 4, target->y + 4, 100, 150};
    ASSERT_TRUE(eventually([&] { return session.screenshot().differingPixels(still, menuArea) > 2000; }))
        << "no menu where the click was";

    // Down to the Dance submenu (after the web site item and Character), into it, and its first
    // dance, Classic.
    session.xdotool("key --delay 150 Down Down Down Right");
    std::this_thread::sleep_for(700ms);
    session.xdotool("key Return");
    const WindowBox rightOfWindow{where.x + where.width, 0, DesktopSession::kWidth - where.x - where.width,
                                  DesktopSession::kHeight};
    EXPECT_TRUE(eventually([&] { return session.screenshot().differingPixels(desktop, rightOfWindow) < 50; }))
        << "the menu closed";

    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "dance"), "Sequences\\Classic.dsq") << saved;
}

TEST_F(DancingCharacterE2ETest, AtTwiceTheScaleTheCharacterIsDrawnLargerAndStillPicked) {
    startAndWait({"QT_SCALE_FACTOR=2"});
    press("p");
    const WindowBox where = settledBox();
    EXPECT_GE(where.height, 700) << "the 400-pixel launch height in device pixels";
    const Screenshot still = session.settledScreenshot(where, 6s);
    EXPECT_GT(still.differingPixels(desktop, where), 15000) << "the character at twice its size";
    const auto target = pointOnCharacter(still);
    ASSERT_TRUE(target) << "no character pixels to click";
    session.xdotool("mousemove " + std::to_string(target->x) + " " + std::to_string(target->y));
    std::this_thread::sleep_for(150ms);
    session.xdotool("click 3");
    EXPECT_TRUE(eventually([&] {
        return session.screenshot().differingPixels(still, WindowBox{target->x + 4, target->y + 4, 100, 150}) > 2000;
    })) << "a right click on the character opens the menu: picking works in device pixels";
    session.xdotool("key Escape");
}

// Damaged content in the program folder: every kind the program reads, cut short, with bits
// flipped or empty, a texture claiming an impossible size, a huge dance-to-song table, a play
// list that names itself and names that are not UTF-8.
void damageContent(const std::filesystem::path& home) {
    namespace fs = std::filesystem;
    auto write = [](const fs::path& file, const std::string& bytes) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    };
    auto flipped = [](std::string bytes) {
        for (std::size_t i = 40; i < bytes.size(); i += 97) bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
        return bytes;
    };
    const std::string model = readFile(home / "Characters" / "Mira" / "Mira.dcz");
    const std::string dance = readFile(home / "Sequences" / "Groove.dsq");
    const std::string pool = readFile(home / "Sequences" / "Motion Pool" / "Basics.dmp");
    write(home / "Characters" / "Empty" / "Empty.dcz", "");
    write(home / "Characters" / "Flipped" / "Flipped.dcz", flipped(model));
    write(home / "Characters" / "Halved" / "Halved.dcz", model.substr(0, model.size() / 2));
    write(home / "Sequences" / "Empty.dsq", "");
    write(home / "Sequences" / "Flipped.dsq", flipped(dance));
    write(home / "Sequences" / "Halved.dsq", dance.substr(0, dance.size() / 2));
    write(home / "Sequences" / "Motion Pool" / "Zz Halved.dmp", pool.substr(0, pool.size() / 2));
    write(home / "Sequences" / "Motion Pool" / "Zz Flipped.dmp", flipped(pool));
    write(home / "Sequences" / "\xff\xfe.dsq", dance);
    // Mira's figure whose skin texture claims 60,000 x 60,000 pixels in its frame header.
    fs::copy(home / "Characters" / "Mira", home / "Characters" / "Huge", fs::copy_options::recursive);
    fs::rename(home / "Characters" / "Huge" / "Mira.dcz", home / "Characters" / "Huge" / "Huge.dcz");
    std::string skin = readFile(home / "Characters" / "Huge" / "mira_skin.jpg");
    const std::size_t frame = skin.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    skin.replace(frame + 5, 4, "\xea\x60\xea\x60");
    write(home / "Characters" / "Huge" / "mira_skin.jpg", skin);
    std::string table = readFile(home / "Info" / "dancemp3.txt");
    for (int i = 0; i < 100000; ++i) table += "<Missing" + std::to_string(i) + ".dsq> <Sounds\\Missing.mp3> <1>\r\n";
    write(home / "Info" / "dancemp3.txt", table);
    write(home / "Info" / "Self.lst", "Info\\Self.lst\r\nSounds\\Groove.mp3\r\n");
}

TEST_F(DancingCharacterE2ETest, DamagedContentIsReportedAndTheCharacterDancesOnWithWhatLoads) {
    damageContent(session.home());
    session.writeLaunchFile("width \"300\"\r\nheight \"400\"\r\ncharacter \"Characters\\Halved\\Halved.dcz\"\r\n"
                            "dance \"Sequences\\Halved.dsq\"\r\n");
    startAndWait();
    EXPECT_GT(motionOver(400ms), 200) << "the character dances";
    const std::string reported = readFile(session.messageLog());
    EXPECT_NE(reported.find("mira_skin.jpg"), std::string::npos) << "the impossible texture is reported";
    for (const char* passedOver : {"Sequences\\Halved.dsq", "Characters\\Halved\\Halved.dcz",
                                   "Characters\\Empty\\Empty.dcz", "Characters\\Flipped\\Flipped.dcz"}) {
        EXPECT_NE(reported.find(passedOver), std::string::npos) << passedOver << " in\n" << reported;
    }
    std::ofstream(session.messageLog(), std::ios::trunc).flush();  // those were expected

    // The menu still opens on the character and closes again.
    press("p");
    const WindowBox where = settledBox();
    const Screenshot still = session.settledScreenshot(where, 6s);
    const auto target = pointOnCharacter(still);
    ASSERT_TRUE(target) << "no character pixels to click";
    session.xdotool("mousemove " + std::to_string(target->x) + " " + std::to_string(target->y));
    std::this_thread::sleep_for(150ms);
    session.xdotool("click 3");
    const WindowBox menuArea{target->x + 4, target->y + 4, 100, 150};
    EXPECT_TRUE(eventually([&] { return session.screenshot().differingPixels(still, menuArea) > 2000; }))
        << "no menu where the click was";
    session.xdotool("key Escape");
    std::this_thread::sleep_for(500ms);
    press("p");

    // Damaged files dropped on it are reported, and the dance goes on.
    const int x = where.x + where.width / 2;
    const int y = where.y + where.height / 2;
    session.dropFiles(window, x, y, {session.home() / "Sequences" / "Flipped.dsq"});
    session.dropFiles(window, x, y, {session.home() / "Characters" / "Empty"});
    EXPECT_TRUE(eventually([&] {
        const std::string log = readFile(session.messageLog());
        return log.find("Flipped.dsq") != std::string::npos && log.find("Empty") != std::string::npos;
    })) << readFile(session.messageLog());
    std::ofstream(session.messageLog(), std::ios::trunc).flush();
    EXPECT_GT(motionOver(400ms), 200) << "the character dances on";

    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "dance"), "Sequences\\Classic.dsq") << saved;
    EXPECT_EQ(savedValue(saved, "character"), "Characters\\Huge\\Huge.dcz") << saved;
}

// Two monitors joined by Xinerama. Qt sees them as one screen here (the dummy driver has no
// RandR outputs), so what is checked is that the window crosses from one monitor onto the other
// and that a place on a monitor that is gone comes back; which monitor Qt names is its own.
class TwoMonitorE2ETest : public DancingCharacterE2ETest {
protected:
    TwoMonitorE2ETest() : DancingCharacterE2ETest(Monitors::TwoSideBySide) {}

    void SetUp() override {
        // Xorg starts its own server only for root (without the setuid wrapper package).
        if (!session.ready() && geteuid() != 0) GTEST_SKIP() << "Xorg needs root here";
        DancingCharacterE2ETest::SetUp();
    }
};

TEST_F(TwoMonitorE2ETest, TheCharacterIsDraggedOntoTheSecondMonitorAndComesBackWhenThatMonitorIsGone) {
    constexpr int kMonitor = DesktopSession::kTwinMonitorWidth;
    startAndWait();
    press("p");
    // Right drags carry the window wholly onto the first monitor, then wholly onto the second,
    // past where a 1024-pixel desktop would end.
    auto dragWindowTo = [&](int left) {
        const WindowBox where = settledBox();
        const auto target = pointOnCharacter(session.settledScreenshot(where, 6s));
        if (!target) return WindowBox{};
        session.drag(3, target->x, target->y, target->x + left - where.x, target->y, 24);
        return settledBox();
    };
    const WindowBox onFirst = dragWindowTo(100);
    EXPECT_LE(onFirst.x + onFirst.width, kMonitor) << "the window lies on the first monitor";
    const WindowBox onSecond = dragWindowTo(kMonitor + 350);
    EXPECT_GE(onSecond.x, kMonitor + 300) << "the window crossed onto the second monitor";
    const std::string saved = exitAndReadSaved();
    EXPECT_GE(std::stoi(savedValue(saved, "x")), kMonitor + 300) << saved;

    // The next start finds one 1024 x 768 monitor: the saved place lies on none, so the window
    // comes back onto the screen there.
    DesktopSession single;
    ASSERT_TRUE(single.ready());
    single.copyDemoContent();
    std::filesystem::copy_file(session.home() / "current.txt", single.home() / "current.txt",
                               std::filesystem::copy_options::overwrite_existing);
    single.startWithScene({}, {"KAVELUNE_BACKDROP=tiles"});
    const auto found = single.waitForWindow(kTitle, 20s);
    ASSERT_TRUE(found) << "no window on the single monitor";
    WindowBox back;
    EXPECT_TRUE(eventually([&] {
        back = single.windowBox(*found).value_or(WindowBox{});
        return back.width > 0 && back.x >= 0 && back.x + back.width <= DesktopSession::kWidth;
    })) << "the window at " << back.x << "," << back.y << " is off the only monitor";
    EXPECT_EQ(readFile(single.messageLog()), "");
}

TEST_F(DancingCharacterE2ETest, KeysPauseRestartAndFlipTheSwitchesThatAreSaved) {
    startAndWait();
    press("p");
    const WindowBox where = settledBox();
    const Screenshot paused = session.settledScreenshot(where, 6s);
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(session.screenshot().differingPixels(paused, where), 50) << "P pauses the dance";

    press("w");
    EXPECT_TRUE(eventually([&] { return session.screenshot().differingPixels(paused, where) > 100; }))
        << "W takes the shadow away";

    press("r");
    EXPECT_TRUE(eventually([&] { return motionOver(300ms) > 200; })) << "R starts the dance again";

    press("l t");
    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "loop"), "0") << saved;
    EXPECT_EQ(savedValue(saved, "shadow"), "0") << saved;
    EXPECT_EQ(savedValue(saved, "topwindow"), "1") << saved;
}

TEST_F(DancingCharacterE2ETest, TheSizeKeysMakeTheCharacterSmallMediumAndLarge) {
    startAndWait();
    const WindowBox start = settledBox();
    press("1");
    const WindowBox small = boxAfterChangeFrom(start);
    press("2");
    const WindowBox medium = boxAfterChangeFrom(small);
    press("4");
    const WindowBox large = boxAfterChangeFrom(medium);

    EXPECT_LT(small.height, 300) << "size 128";
    EXPECT_LT(small.height, medium.height);
    EXPECT_LT(medium.height, large.height);
    EXPECT_LT(small.width, medium.width);
    EXPECT_LT(medium.width, large.width);
    EXPECT_GE(large.height, 512) << "size 512";
    // Each size is taken about the character: the window's centre stays where it was.
    EXPECT_NEAR(large.x + large.width / 2, small.x + small.width / 2, 40);
    EXPECT_GT(characterPixels(session.screenshot()), 3000);
    EXPECT_EQ(exitAndReadSaved().empty(), false);
}

TEST_F(DancingCharacterE2ETest, DroppedDancesAndCharacterFoldersAreLoadedAndSongsRefused) {
    startAndWait();
    // A character folder outside the program folder, with a space in its path, as a file
    // manager offers it.
    TempFolder elsewhere;
    const std::filesystem::path folder = elsewhere / "My Characters" / "Toma";
    std::filesystem::create_directories(folder.parent_path());
    std::filesystem::copy(session.home() / "Characters" / "Toma", folder, std::filesystem::copy_options::recursive);

    const WindowBox where = settledBox();
    const int x = where.x + where.width / 2;
    const int y = where.y + where.height / 2;
    EXPECT_EQ(session.dropFiles(window, x, y, {session.home() / "Sounds" / "Groove.mp3"}), 1)
        << "a song is nothing to load: the drag is refused";
    // With a dance and a character folder in it, the song beside them is passed over.
    EXPECT_EQ(session.dropFiles(window, x, y,
                                {session.home() / "Sounds" / "Groove.mp3", session.home() / "Sequences" / "Moonlit.dsq",
                                 folder}),
              0);
    std::this_thread::sleep_for(1s);
    EXPECT_GT(characterPixels(session.screenshot()), 2000) << "the dropped character dances";

    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "dance"), "Sequences\\Moonlit.dsq") << saved;
    EXPECT_EQ(savedValue(saved, "character"), (folder / "Toma.dcz").generic_string()) << saved;
}

TEST_F(DancingCharacterE2ETest, AForeignCharacterIsAddedToTheUsersOwnAndTheLoginStartNamesTheFolder) {
    // The launch file names a character outside the program folder, as a drop leaves it.
    TempFolder elsewhere;
    const std::filesystem::path foreign = elsewhere / "Toma";
    std::filesystem::copy(session.home() / "Characters" / "Toma", foreign, std::filesystem::copy_options::recursive);
    std::string launch = readFile(session.home() / "kavelune.txt");
    const std::string old = savedValue(launch, "character");
    ASSERT_FALSE(old.empty()) << launch;
    launch.replace(launch.find(old), old.size(), (foreign / "Toma.dcz").string());
    session.writeLaunchFile(launch);
    TempFolder config;
    startAndWait({"XDG_CONFIG_HOME=" + config.path().string(), "KAVELUNE_TEST_COMMANDS=111,110"});

    const std::filesystem::path autostart = config / "autostart" / "kavelune.desktop";
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(autostart); })) << "no login start written";
    EXPECT_NE(readFile(autostart).find(" --home " + session.home().string()), std::string::npos)
        << readFile(autostart);
    // The program folder already has a Toma, which stays as it was.
    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "character"), "Characters\\Toma 2\\Toma.txt") << saved;
    EXPECT_EQ(readFile(session.home() / "Characters/Toma 2/Toma.dcz"), readFile(foreign / "Toma.dcz"));
}

TEST_F(DancingCharacterE2ETest, WithATrayItsIconHidesAndShowsTheCharacterAndItsMenuEndsTheProgram) {
    // The tray stands over the desktop picture, as a panel would.
    session.showDesktopPicture();
    session.start({KAVELUNE_TRAY_HOST});
    ASSERT_TRUE(eventually([&] { return session.screenshot().pixel(DesktopSession::kWidth - 1, 1)[0] == 0x30; }))
        << "no tray";
    desktop = session.screenshot();
    const WindowBox slot{DesktopSession::kWidth - 24, 0, 24, 24};
    startAgainAndWait();
    ASSERT_TRUE(eventually([&] { return session.screenshot().differingPixels(desktop, slot) > 20; }))
        << "no icon in the tray";
    const std::string icon = std::to_string(DesktopSession::kWidth - 12) + " 12";

    // Its menu's first item is Hide; the program goes on without a window.
    session.xdotool("mousemove " + icon + " click 3");
    std::this_thread::sleep_for(700ms);
    session.xdotool("key --delay 150 Down Return");
    EXPECT_TRUE(eventually([&] { return session.visibleWindowCount(kTitle) == 0; })) << "the character stayed";
    EXPECT_FALSE(session.waitForExit(program, 500ms)) << "hiding ended the program";

    // A click on the icon brings the character back.
    session.xdotool("mousemove " + icon + " click 1");
    EXPECT_TRUE(eventually([&] { return session.visibleWindowCount(kTitle) == 1; })) << "the character stayed hidden";
    EXPECT_TRUE(eventually([&] { return characterPixels(session.screenshot()) > 2000; }));

    // The menu's last item is Exit, which ends the program and saves the state.
    session.xdotool("mousemove " + icon + " click 3");
    std::this_thread::sleep_for(700ms);
    session.xdotool("key --delay 150 Up Return");
    EXPECT_EQ(session.waitForExit(program, 15s), 0);
    EXPECT_EQ(savedValue(readFile(session.home() / "current.txt"), "character"), "Characters\\Mira\\Mira.dcz");
}

TEST_F(DancingCharacterE2ETest, RefreshGrabsTheDesktopUnderTheWindowAnew) {
    startAndWait();
    const WindowBox where = settledBox();
    // The desktop picture goes away; the window still shows the copy it grabbed of it.
    // Only this session's picture: its path lies beside the session's program folder.
    const std::string picture = (session.home().parent_path() / "desktop.png").string();
    runCommand("pkill -f '" + picture + "'");
    auto cornerIsBlack = [&] {
        const auto corner = session.screenshot().pixel(where.x + 3, where.y + 3);
        return corner[0] < 16 && corner[1] < 16 && corner[2] < 16;
    };
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(cornerIsBlack()) << "the backdrop should still be the old copy";
    press("F5");
    EXPECT_TRUE(eventually(cornerIsBlack)) << "F5 did not grab the desktop again";
    EXPECT_EQ(settledBox(), where);
    EXPECT_NE(savedValue(exitAndReadSaved(), "dance"), "");
}

TEST_F(DancingCharacterE2ETest, RefreshKeepsTheFocusForTheNextKeys) {
    startAndWait();
    // The pointer rests away from the window, so only the keyboard focus can take the keys there.
    session.xdotool("mousemove 5 5");
    press("space");
    std::this_thread::sleep_for(1s);
    session.xdotool("key w");
    std::this_thread::sleep_for(300ms);
    session.xdotool("key Escape");
    ASSERT_EQ(session.waitForExit(program, 10s), 0) << "Escape after the refresh did not reach the window";
    EXPECT_EQ(savedValue(readFile(session.home() / "current.txt"), "shadow"), "0") << "W was lost";
}

TEST_F(DancingCharacterE2ETest, ARestartShowsTheCharacterAtTheSameSizeAndPlace) {
    // Narrower than the character: the window grows at once, so the first run ends placed.
    std::ofstream(session.home() / "kavelune.txt", std::ios::app) << "width\t\t\t\"64\"\r\n";
    startAndWait();
    const Stance before = stanceWhileDancing();
    ASSERT_GT(before.height, 100);
    const std::string saved = exitAndReadSaved();

    startAgainAndWait();
    const Stance after = stanceWhileDancing();
    EXPECT_NEAR(after.height, before.height, before.height * 0.03) << saved;
    EXPECT_NEAR(after.feet, before.feet, 3) << saved;
    exitAndReadSaved();
}

TEST_F(DancingCharacterE2ETest, DroppedAvatarsAreImportedAndLoadedAndADamagedOneKeepsTheCharacter) {
    startAndWait();
    TempFolder elsewhere;
    const auto avatar = elsewhere / "My Avatar.vrm";
    const auto broken = elsewhere / "broken.glb";
    ASSERT_EQ(runCommand("python3 '" KAVELUNE_SOURCE_DIR "/tests/integration/kvl/make_humanoid.py' '" +
                         avatar.string() + "' --format vrm1 --fingers --textured"), 0);
    std::ofstream(broken) << "glTF but nothing more";
    const WindowBox where = settledBox();
    const int x = where.x + where.width / 2;
    const int y = where.y + where.height / 2;

    ASSERT_EQ(session.dropFiles(window, x, y, {broken}), 0);
    EXPECT_TRUE(eventually([&] { return readFile(session.messageLog()).find("broken.glb") != std::string::npos; }))
        << "the failed import says nothing";
    EXPECT_NE(readFile(session.messageLog()).find("not a readable glTF file"), std::string::npos);
    std::ofstream(session.messageLog(), std::ios::trunc).flush();  // the message was expected

    ASSERT_EQ(session.dropFiles(window, x, y, {avatar}), 0);
    const auto imported = session.home() / "Characters" / "My_Avatar" / "My_Avatar.dcz";
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(imported); })) << "no import";
    std::this_thread::sleep_for(1s);
    EXPECT_GT(characterPixels(session.screenshot()), 500) << "the imported avatar dances";
    const std::string saved = exitAndReadSaved();
    EXPECT_EQ(savedValue(saved, "character"), "Characters\\My_Avatar\\My_Avatar.dcz") << saved;
}

}  // namespace
}  // namespace kavelune::testing
