#include "mail/invitation/invitation_package.h"

#include <gtest/gtest.h>

#include "invitation_fixture.h"
#include "mail/invitation/recipients.h"

namespace kavelune {
namespace {

TEST(InvitationContentTest, ExtensionRuleIsASubstringTest) {
    struct Case {
        const char* name;
        bool packed;
    };
    const Case cases[] = {
        {"girl.DCZ", true}, {"notes.c", true}, {"odd.t:b", true}, {"trailing.", true}, {"x.tx", true},
        {"readme", false},  {"x.png", false},  {"a.jpg.bak", false}, {"song.mp3", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isCharacterFileName(c.name), c.packed) << c.name;
}

TEST(InvitationContentTest, ListsSongDancePoolsThenTheCharacterFolderInNameOrder) {
    testing::TempFolder program;
    InvitationContent content = testing::writeProgramFolder(program);
    content.danceFiles.push_back("");
    content.danceFiles.push_back("pool2.dmp");
    std::vector<std::string> expected = {
        "Sounds\\song.mp3",
        "Sequences\\Disco\\a.dsq",
        "Sequences\\Motion Pool\\pool1.dmp",
        "Sequences\\Motion Pool\\pool2.dmp",
        "Characters\\Girl\\girl.dcz",
        "Characters\\Girl\\girl.txt",
        "Characters\\Girl\\notes.c",
        "Characters\\Girl\\Tex\\deep\\x.tga",
        "Characters\\Girl\\Tex\\skin.jpg",
    };
    EXPECT_EQ(invitationContentList(content, program.path()), expected);

    // A character straight in the program folder brings its own file only.
    content = {};
    content.character = "loose.txt";
    program.write("loose.txt", "x");
    EXPECT_EQ(invitationContentList(content, program.path()), std::vector<std::string>{"loose.txt"});
}

TEST(InvitationContentTest, AtMostThirtyTwoCharacterFiles) {
    testing::TempFolder program;
    for (int i = 0; i < 40; ++i) program.write("Characters/Crowd/f" + std::to_string(100 + i) + ".txt", "x");
    InvitationContent content;
    content.character = "Characters\\Crowd\\f100.txt";
    std::vector<std::string> list = invitationContentList(content, program.path());
    ASSERT_EQ(list.size(), 32u);
    EXPECT_EQ(list.back(), "Characters\\Crowd\\f131.txt");
}

TEST(InvitationPackageTest, ArchivesPassUnzipWithTheirNamesTimesAndLevel) {
    testing::TempFolder program;
    testing::TempFolder temporary;
    InvitationContent content = testing::writeProgramFolder(program);
    content.danceFiles.push_back("gone.dmp");  // cannot be read: left out, not packed empty
    ASSERT_EQ(testing::runCommand("touch -d '2021-03-04 05:06:08' '" + (program / "Characters/Girl/girl.txt").string() + "'"), 0);

    InvitationPayload payload;
    PackageOutcome outcome;
    ASSERT_TRUE(buildInvitationPayload(content, {program.path(), kInstallerDataLE, temporary.path()}, payload, outcome))
        << outcome.error;
    EXPECT_EQ(payload.installerData, std::string("MZ\0\x01installer", 13));
    EXPECT_EQ(outcome.leftOut, std::vector<std::string>{"Sequences\\Motion Pool\\gone.dmp"});
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));

    testing::TempFolder check;
    auto data = check.write("data.zip", payload.contentArchive);
    auto start = check.write("kavelune.zip", payload.startArchive);
    std::string output;
    EXPECT_EQ(testing::runCommand("unzip -tq '" + data.string() + "'", &output), 0) << output;
    EXPECT_EQ(testing::runCommand("unzip -tq '" + start.string() + "'", &output), 0) << output;

    ASSERT_EQ(testing::runCommand("unzip -Z -T '" + data.string() + "'", &output), 0);
    EXPECT_NE(output.find("defX 20210304.050608 Characters\\Girl\\girl.txt"), std::string::npos) << output;
    EXPECT_NE(output.find("Sequences\\Motion Pool\\pool1.dmp"), std::string::npos);
    EXPECT_EQ(output.find("gone.dmp"), std::string::npos);
    EXPECT_NE(output.find("8 files"), std::string::npos) << output;

    ASSERT_EQ(testing::runCommand("unzip -Z1 '" + start.string() + "'", &output), 0);
    EXPECT_EQ(output, "kavelune.txt\n");
    ASSERT_EQ(testing::runCommand("unzip -p '" + start.string() + "'", &output), 0);
    EXPECT_EQ(output, content.launchFileText);
}

TEST(InvitationPackageTest, MissingInstallerDataIsNamedByItsEdition) {
    testing::TempFolder program;
    InvitationPayload payload;
    PackageOutcome outcome;
    EXPECT_FALSE(buildInvitationPayload({}, {program.path(), kInstallerDataTrova, {}}, payload, outcome));
    EXPECT_TRUE(outcome.installerMissing);
    EXPECT_EQ(outcome.error, "KaveluneTrova.bin file not found.");
}

TEST(RecipientsTest, SplitAtEverySeparator) {
    EXPECT_EQ(splitRecipients("a@x.y, b@x.y;c@x.y"), (std::vector<std::string>{"a@x.y", "b@x.y", "c@x.y"}));
    EXPECT_EQ(splitRecipients(" ;\ta@x.y\r\nb@x.y\n,"), (std::vector<std::string>{"a@x.y", "b@x.y"}));
    EXPECT_TRUE(splitRecipients(", ;").empty());
}

}  // namespace
}  // namespace kavelune
