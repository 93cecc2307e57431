#include "platform/qt/user_settings.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kavelune::qt {
namespace {

using kavelune::testing::readFile;
using kavelune::testing::TempFolder;

TEST(UserSettingsTest, ValuesSurviveARoundTripAndUnknownKeysAreKept) {
    TempFolder folder;
    const auto file = folder / "state/kavelune/settings.ini";  // the folder does not exist yet
    {
        UserSettings settings(file);
        EXPECT_TRUE(settings.balloonSongTitles());  // nothing written yet: the default
        settings.setBalloonSongTitles(false);
        ASSERT_TRUE(settings.save());
    }
    EXPECT_NE(readFile(file).find("[balloon]"), std::string::npos);
    EXPECT_NE(readFile(file).find("songTitles=false"), std::string::npos);

    folder.write("state/kavelune/settings.ini", readFile(file) + "\n[later]\nthing=kept\n");
    {
        UserSettings settings(file);
        EXPECT_FALSE(settings.balloonSongTitles());
        settings.setBalloonSongTitles(true);
        ASSERT_TRUE(settings.save());
    }
    EXPECT_TRUE(UserSettings(file).balloonSongTitles());
    EXPECT_NE(readFile(file).find("thing=kept"), std::string::npos);
}

TEST(UserSettingsTest, HandWrittenValuesAreReadAndNonsenseKeepsTheDefault) {
    TempFolder folder;
    constexpr SettingKey<int> kOffset{"audio/offset", 0};
    struct Row {
        const char* file;
        bool songTitles;
        int offset;
    };
    for (const Row& row : {Row{"[balloon]\nsongTitles=off\n[audio]\noffset= -40\n", false, -40},
                           Row{"[balloon]\nsongTitles=0\n", false, 0},
                           Row{"[balloon]\nsongTitles=maybe\n[audio]\noffset=soon\n", true, 0},
                           Row{"not an ini file at all \x01\x02", true, 0}}) {
        const auto file = folder.write("settings.ini", row.file);
        UserSettings settings(file);
        EXPECT_EQ(settings.balloonSongTitles(), row.songTitles) << row.file;
        EXPECT_EQ(settings.get(kOffset), row.offset) << row.file;
    }
}

TEST(UserSettingsTest, AnUnwritableFileIsReportedNotFatal) {
    TempFolder folder;
    folder.write("blocker", "a file where the folder should be");
    UserSettings settings(folder / "blocker/settings.ini");
    settings.setBalloonSongTitles(false);
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(settings.balloonSongTitles());  // still the value the program set
}

}  // namespace
}  // namespace kavelune::qt
