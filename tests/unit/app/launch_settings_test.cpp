#include "app/launch/launch_settings.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/message_box.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;

// Records message boxes instead of showing them.
class RecordedBoxes {
public:
    RecordedBoxes() {
        previous_ = setMessageBoxHandler([this](const MessageRequest& request) {
            requests.push_back(request);
            return MessageAnswer::Ok;
        });
    }
    ~RecordedBoxes() { setMessageBoxHandler(previous_); }
    std::vector<MessageRequest> requests;

private:
    MessageBoxHandler previous_;
};

TEST(LaunchSettingsTest, SavedStateWinsEntirelyOverTheInstalledFile) {
    TempFolder home;
    home.write("kavelune.txt", "width \"300\"\nheight \"400\"\ndance \"Sequences\\a.dsq\"\nlist \"Info\\l.lst\"\n");
    home.write("current.txt", "width \"128\"\ncharacter \"Characters\\Boy.dcz\"\n");
    LaunchSettings settings = LaunchSettings::choose(home.path());
    EXPECT_TRUE(settings.valid);
    EXPECT_EQ(settings.width, 128);
    EXPECT_EQ(settings.height, 0);  // not merged from kavelune.txt
    EXPECT_TRUE(settings.dance.empty());
    EXPECT_TRUE(settings.list.empty());
    EXPECT_EQ(settings.character, "Characters\\Boy.dcz");
    EXPECT_TRUE(settings.shadow);  // the file default, not the record's
}

TEST(LaunchSettingsTest, CommandLineFileFirstThenSavedThenInstalled) {
    TempFolder home;
    home.write("kavelune.txt", "dance \"installed.dsq\"\n");
    home.write("other.txt", "dance \"other.dsq\"\n");
    EXPECT_EQ(LaunchSettings::choose(home.path(), "other.txt").dance, "other.dsq");
    EXPECT_EQ(LaunchSettings::choose(home.path(), "missing.txt").dance, "installed.dsq");
    home.write("current.txt", "dance \"saved.dsq\"\n");
    EXPECT_EQ(LaunchSettings::choose(home.path(), "missing.txt").dance, "saved.dsq");
    EXPECT_EQ(LaunchSettings::choose(home.path(), (home / "other.txt").string()).dance, "other.dsq");
}

TEST(LaunchSettingsTest, NoReadableFileMakesTheSettingsInvalidAndSaysSo) {
    TempFolder home;
    RecordedBoxes boxes;
    LaunchSettings settings = LaunchSettings::choose(home.path());
    EXPECT_FALSE(settings.valid);
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, "Can't find kavelune.txt file!");
    EXPECT_EQ(boxes.requests[0].caption, "Error");
}

TEST(LaunchSettingsTest, WrittenFormHasItsTabsConditionsAndNoSound) {
    LaunchSettings settings;
    settings.width = 300;
    settings.height = 400;
    settings.loop = true;
    settings.shadow = false;
    settings.sound = "Sounds\\a.mp3";
    EXPECT_EQ(settings.written(),
              "width\t\t\t\"300\"\r\nheight\t\t\t\"400\"\r\nloop\t\t\t\"1\"\r\nshadow\t\t\t\"0\"\r\n"
              "topwindow\t\t\t\"0\"\r\n");

    settings.x = 10;
    settings.y = 20;
    settings.character = "Characters\\Girl\\Girl.dcz";
    settings.dance = "Sequences\\a.dsq";
    settings.list = "Info\\l.lst";
    settings.exitonend = true;
    settings.topwindow = true;
    EXPECT_EQ(settings.written(),
              "width\t\t\t\"300\"\r\nheight\t\t\t\"400\"\r\nloop\t\t\t\"1\"\r\nshadow\t\t\t\"0\"\r\n"
              "topwindow\t\t\t\"1\"\r\nx\t\t\t\"10\"\r\ny\t\t\t\"20\"\r\n"
              "character\t\t\"Characters\\Girl\\Girl.dcz\"\r\ndance\t\t\t\"Sequences\\a.dsq\"\r\n"
              "list\t\t\t\"Info\\l.lst\"\r\nexitonend\t\t\"1\"\r\n");
}

TEST(LaunchSettingsTest, SavedStateReadsBackAndReplacesTheOldFileWhole) {
    TempFolder home;
    home.write("current.txt", std::string(10000, '#') + "\n");
    LaunchSettings settings;
    settings.width = 256;
    settings.height = 320;
    settings.x = 5;
    settings.dance = "Sequences\\Disco\\fast one.dsq";
    settings.exitonend = true;
    ASSERT_TRUE(settings.saveCurrent(home.path()));
    LaunchSettings again = LaunchSettings::choose(home.path());
    EXPECT_EQ(again.width, 256);
    EXPECT_EQ(again.x, 5);
    EXPECT_EQ(again.y, -1);
    EXPECT_EQ(again.dance, "Sequences\\Disco\\fast one.dsq");
    EXPECT_TRUE(again.exitonend);
    EXPECT_EQ(testing::readFile(home / "current.txt"), settings.written());
    // Nothing but current.txt is left behind in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path()),
                            std::filesystem::directory_iterator()), 1);
}

}  // namespace
}  // namespace kavelune
