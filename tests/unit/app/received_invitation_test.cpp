#include "app/mail/received_invitation.h"

#include <gtest/gtest.h>

#include "mail/invitation/invitation_page.h"
#include "mail/invitation/zip_archive_writer.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

namespace fs = std::filesystem;
namespace command = window_command;
using testing::TempFolder;

// A saved invitation page whose content archive holds `entries` (each holding its own name) and
// whose launch file is `launch`.
fs::path writeInvitation(const TempFolder& work, const std::vector<std::string>& entries, const std::string& launch) {
    std::vector<ZipSource> sources;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        sources.push_back({entries[i], work.write("source/" + std::to_string(i), entries[i])});
    }
    const fs::path launchFile = work.write("kavelune.txt", launch);
    std::vector<std::string> skipped;
    std::string error;
    EXPECT_TRUE(writeZipArchive(work / "data.zip", sources, skipped, error)) << error;
    EXPECT_TRUE(writeZipArchive(work / "start.zip", {{"kavelune.txt", launchFile}}, skipped, error)) << error;
    const std::string page = buildInvitationPage(
        {}, "Come and dance", {"installer", testing::readFile(work / "data.zip"), testing::readFile(work / "start.zip")},
        1252);
    return work.write("invitation.html", page);
}

std::size_t filesUnder(const fs::path& root) {
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root)) count += entry.is_regular_file() ? 1 : 0;
    return count;
}

constexpr const char* kLaunch =
    "character\t\"Characters\\Girl\\girl.txt\"\r\ndance\t\"Sequences\\a.dsq\"\r\nsound\t\"Sounds\\song.mp3\"\r\n";

TEST(ReceivedInvitationTest, WhatItBroughtLandsInTheContentFoldersAndIsShown) {
    TempFolder work;
    TempFolder program;
    TempFolder temporary;
    program.makeFolder("sounds");  // the receiver's own folder, in other letter case
    const fs::path file = writeInvitation(
        work, {"Sounds\\song.mp3", "Sequences\\a.dsq", "Characters\\Girl\\girl.txt", "Info\\dancemp3.txt"}, kLaunch);

    ReceivedInvitation received;
    ASSERT_TRUE(receiveInvitation(file, program.path(), temporary.path(), received)) << received.error;
    EXPECT_EQ(received.commands, (std::vector<WindowCommand>{
                                     commandWithPath(command::kLoadCharacter, "Characters\\Girl\\girl.txt"),
                                     commandWithPath(command::kLoadDance, "Sequences\\a.dsq"),
                                     commandWithPath(command::kLoadSound, "Sounds\\song.mp3")}));
    EXPECT_EQ(testing::readFile(program / "sounds/song.mp3"), "Sounds\\song.mp3");
    EXPECT_EQ(testing::readFile(program / "Characters/Girl/girl.txt"), "Characters\\Girl\\girl.txt");
    EXPECT_EQ(filesUnder(program.path()), 4u);
    EXPECT_TRUE(fs::is_empty(temporary.path())) << "the staging folder stays behind";
}

TEST(ReceivedInvitationTest, AnythingOutsideTheContentFoldersRefusesTheWholeInvitation) {
    struct Case {
        const char* what;
        std::vector<std::string> entries;
        std::string launch;
    };
    const std::vector<Case> cases = {
        {"mail.cfg beside the program", {"Sounds\\song.mp3", "mail.cfg"}, kLaunch},
        {"the program itself", {"Sounds\\song.mp3", "KaveluneLE"}, kLaunch},
        {"the launch file", {"Sounds\\song.mp3", "current.txt"}, kLaunch},
        {"an unknown top folder", {"Sounds\\song.mp3", "Other\\x.dcz"}, kLaunch},
        {"a launch file naming a file outside", {"Sounds\\song.mp3"}, "character\t\"kavelune.txt\"\r\n"},
        {"a climb out of the folder", {"Sounds\\song.mp3", "Sounds\\..\\..\\x"}, kLaunch},
    };
    for (const Case& test : cases) {
        TempFolder work;
        TempFolder program;
        TempFolder temporary;
        program.write("current.txt", "the user's own");
        const fs::path file = writeInvitation(work, test.entries, test.launch);
        ReceivedInvitation received;
        EXPECT_FALSE(receiveInvitation(file, program.path(), temporary.path(), received)) << test.what;
        EXPECT_FALSE(received.error.empty()) << test.what;
        EXPECT_TRUE(received.commands.empty()) << test.what;
        EXPECT_EQ(filesUnder(program.path()), 1u) << test.what << ": something was written";
        EXPECT_EQ(testing::readFile(program / "current.txt"), "the user's own") << test.what;
    }
}

}  // namespace
}  // namespace kavelune
