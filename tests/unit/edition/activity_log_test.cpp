#include "edition/activity_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <vector>

#include "edition/activity_log_file.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::readFile;
using testing::TempFolder;

struct LineCase {
    const char* name;
    std::function<void(ActivityLog&)> writeLine;
    std::string expected;
};

TEST(ActivityLogTest, LinesAsTheFileHoldsThem) {
    const std::vector<LineCase> cases{
        {"build stamp",
         [](ActivityLog& log) { activity_line::buildStamp(log, "Dec  9 2026", "16:48:58"); },
         "Dec  9 2026 16:48:58\n"},
        {"character",
         [](ActivityLog& log) { activity_line::characterLoaded(log, "Characters\\Girl\\Girl.txt"); },
         "character : Characters\\Girl\\Girl.txt\n"},
        {"dance", [](ActivityLog& log) { activity_line::danceLoaded(log, "Sequences\\a.dsq"); },
         "dance : Sequences\\a.dsq\n"},
        {"clip motion",
         [](ActivityLog& log) { activity_line::clipMotionLoaded(log, "Sequences\\clip.dsq"); },
         "clip motion : Sequences\\clip.dsq\n"},
        {"click on nothing", [](ActivityLog& log) { activity_line::click(log, 12, -3, 0); },
         "click : 12 -3: 0\n"},
        {"window position",
         [](ActivityLog& log) { activity_line::windowPosition(log, -20, 40, 300, 480); },
         "window position : -20, 40, 300, 480\n"},
        {"numbers of every width",
         [](ActivityLog& log) {
             log.write(std::int16_t{-32768}).write(" ").write(std::uint32_t{3000000000u});
         },
         "-32768 3000000000"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const auto file = folder / "sprite.log";
        ActivityLog log;
        ASSERT_TRUE(log.open(LogDestination::File, file.string(), false));
        c.writeLine(log);
        // Flushed piece by piece: the file is complete while the log is still open.
        EXPECT_EQ(readFile(file), c.expected);
    }
}

TEST(ActivityLogTest, FileLifecycle) {
    TempFolder folder;
    const std::string file = (folder / "sprite.log").string();
    const std::string other = (folder / "other.log").string();

    {  // A later open in the same run changes nothing.
        ActivityLog log;
        EXPECT_TRUE(log.open(LogDestination::File, file, false));
        EXPECT_FALSE(log.open(LogDestination::File, other, false));
        activity_line::danceLoaded(log, "first");
    }
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_EQ(readFile(file), "dance : first\n");

    {  // The next run replaces the file.
        ActivityLog log;
        log.open(LogDestination::File, file, false);
        activity_line::danceLoaded(log, "second");
    }
    EXPECT_EQ(readFile(file), "dance : second\n");

    {  // Appending keeps it; after close nothing more is written and the log stays closed.
        ActivityLog log;
        log.open(LogDestination::File, file, true);
        activity_line::danceLoaded(log, "third");
        log.close();
        EXPECT_FALSE(log.isOpen());
        activity_line::danceLoaded(log, "after close");
        EXPECT_FALSE(log.open(LogDestination::File, other, false));
    }
    EXPECT_EQ(readFile(file), "dance : second\ndance : third\n");
    EXPECT_FALSE(std::filesystem::exists(other));

    {  // A file that cannot be created swallows the writes without a word.
        ActivityLog log;
        EXPECT_TRUE(log.open(LogDestination::File, (folder / "missing/sprite.log").string(), false));
        EXPECT_TRUE(log.isOpen());
        activity_line::click(log, 1, 2, 3);
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

class RecordingWindow : public LogWindow {
public:
    explicit RecordingWindow(std::vector<std::string>& pieces) : pieces_(pieces) {}
    bool send(std::string_view piece) override {
        pieces_.emplace_back(piece);
        return true;
    }

private:
    std::vector<std::string>& pieces_;
};

class RecordingFinder : public LogWindowFinder {
public:
    std::unique_ptr<LogWindow> find(std::string_view title) override {
        titles.emplace_back(title);
        if (title != "Log Viewer") return nullptr;
        return std::make_unique<RecordingWindow>(pieces);
    }
    std::vector<std::string> titles;
    std::vector<std::string> pieces;
};

TEST(ActivityLogTest, WindowGetsEachPieceWithLineEndsAsCrLf) {
    RecordingFinder finder;
    {
        ActivityLog log;
        ASSERT_TRUE(log.open(LogDestination::Window, "Log Viewer", false, &finder));
        EXPECT_EQ(log.destination(), LogDestination::Window);
        activity_line::clipMotionLoaded(log, "a");
        activity_line::click(log, 5, 6, 1);
        log.write("tail\n").write(std::uint32_t{3000000000u});
        log.close();
        log.write("after close");
    }
    const std::vector<std::string> expected{"clip motion : ", "a", "\r\n", "click : ", "5", " ",
                                            "6", ": ", "1", "\r\n", "tail\n", "-1294967296"};
    EXPECT_EQ(finder.pieces, expected);

    // No such window, or nothing to look with: the log writes nowhere.
    ActivityLog missing;
    EXPECT_TRUE(missing.open(LogDestination::Window, "Other", false, &finder));
    EXPECT_EQ(missing.destination(), LogDestination::None);
    activity_line::danceLoaded(missing, "x");
    ActivityLog noFinder;
    noFinder.open(LogDestination::Window, "Log Viewer", false);
    EXPECT_EQ(noFinder.destination(), LogDestination::None);
    EXPECT_EQ(finder.titles, (std::vector<std::string>{"Log Viewer", "Other"}));
    EXPECT_EQ(finder.pieces.size(), expected.size());
}

TEST(ActivityLogFileTest, ProgramFolderWhenWritableElseStateFolder) {
    TempFolder folder;
    const auto program = folder.makeFolder("program");
    const auto state = folder / "state/kavelune";

    // An old log is found writable but left as it is until the log replaces it.
    folder.write("program/sprite.log", "old run\n");
    EXPECT_EQ(activityLogFile(program, state), program / "sprite.log");
    EXPECT_EQ(readFile(program / "sprite.log"), "old run\n");
    EXPECT_FALSE(std::filesystem::exists(state));

    EXPECT_EQ(activityLogFile(folder / "gone", state), state / "sprite.log");
    EXPECT_TRUE(std::filesystem::is_directory(state));

    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    const auto readOnly = folder.makeFolder("installed");
    chmod(readOnly.c_str(), 0555);
    EXPECT_EQ(activityLogFile(readOnly, state), state / "sprite.log");
    EXPECT_FALSE(std::filesystem::exists(readOnly / "sprite.log"));
    chmod(readOnly.c_str(), 0755);
}

}  // namespace
}  // namespace kavelune
