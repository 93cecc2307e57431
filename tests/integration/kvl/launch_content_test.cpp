// `kvl launch` and `kvl content` as a user runs them: JSON on stdout, exit statuses 0, 1 and 2.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;

int kvl(const std::string& arguments, std::string* output = nullptr) {
    return testing::runCommand(std::string(KAVELUNE_KVL) + " " + arguments + " 2>/dev/null", output);
}

TEST(KvlLaunchTest, PrintsTheChosenSettingsAndTheWrittenForm) {
    TempFolder home;
    home.write("kavelune.txt", "width \"300\"\nheight \"400\"\ndance \"Sequences\\a.dsq\"\nx \"12\"\n");
    home.write("mine.txt", "character \"Characters\\Boy.dcz\"\nexitonend \"1\"\n");
    std::string output;
    ASSERT_EQ(kvl("launch '" + home.path().string() + "' --json", &output), 0);
    auto json = nlohmann::json::parse(output);
    EXPECT_TRUE(json["valid"]);
    EXPECT_EQ(json["width"], 300);
    EXPECT_EQ(json["x"], 12);
    EXPECT_EQ(json["y"], -1);
    EXPECT_EQ(json["dance"], "Sequences\\a.dsq");
    EXPECT_TRUE(json["shadow"]);

    ASSERT_EQ(kvl("launch '" + home.path().string() + "' mine.txt --json", &output), 0);
    json = nlohmann::json::parse(output);
    EXPECT_EQ(json["character"], "Characters\\Boy.dcz");
    EXPECT_EQ(json["width"], 0);  // the command-line file alone decides
    EXPECT_TRUE(json["exitonend"]);

    ASSERT_EQ(kvl("launch '" + home.path().string() + "' --written", &output), 0);
    EXPECT_EQ(output.substr(0, 18), "width\t\t\t\"300\"\r\nhei");
}

TEST(KvlLaunchTest, ExitStatusesForMissingFilesAndBadArguments) {
    TempFolder home;
    EXPECT_EQ(kvl("launch '" + home.path().string() + "' --json"), 1);  // no launch file at all
    EXPECT_EQ(kvl("launch '" + (home / "nowhere").string() + "' --json"), 1);
    EXPECT_EQ(kvl("launch --json"), 2);
    EXPECT_EQ(kvl("launch '" + home.path().string() + "' --json --written"), 2);
    EXPECT_EQ(kvl("launch '" + home.path().string() + "' --bogus"), 2);
    EXPECT_EQ(kvl("content"), 2);
    EXPECT_EQ(kvl("nosuchcommand"), 2);
}

// Content files are bytes in any code page: what is not UTF-8 is replaced, the JSON stays valid
// and the command succeeds.
TEST(KvlJsonTest, BytesThatAreNotUtf8StillGiveValidJson) {
    TempFolder home;
    home.write("list.lst", "Sounds\\caf\xe9.mp3\n\xff\xfe\xc3\n");
    home.write("kavelune.txt", "dance \"Sequences\\\xe9t\xe9.dsq\"\n");
    const std::string folder = "'" + home.path().string() + "'";
    for (const std::string& command : {"inspect " + folder + "/list.lst --json", "launch " + folder + " --json"}) {
        SCOPED_TRACE(command);
        std::string output;
        ASSERT_EQ(kvl(command, &output), 0);
        EXPECT_TRUE(nlohmann::json::accept(output)) << output;
        EXPECT_NE(output.find("\xef\xbf\xbd"), std::string::npos);  // U+FFFD in UTF-8
    }
}

TEST(KvlContentTest, TreesCarryIdsAndPathsAndTheFallbackChoices) {
    TempFolder home;
    home.write("Characters/Girl/Girl.dcz", "");
    home.write("Characters/Boy.dcz", "");
    home.write("Sequences/Disco/fast.dsq", "");
    home.write("Sequences/slow.dsq", "");
    home.write("Sounds/a.mp3", "");
    std::string output;
    ASSERT_EQ(kvl("content '" + home.path().string() + "' --json", &output), 0);
    auto json = nlohmann::json::parse(output);
    ASSERT_EQ(json["trees"].size(), 4u);
    const auto& characters = json["trees"][0];
    EXPECT_EQ(characters["label"], "Character");
    EXPECT_EQ(characters["children"][0]["path"], "Characters\\Boy.dcz");
    EXPECT_EQ(characters["children"][0]["id"], 30001);
    EXPECT_EQ(characters["children"][1]["path"], "Characters\\Girl\\Girl.dcz");
    const auto& dances = json["trees"][1];
    EXPECT_EQ(dances["children"][0]["children"][0]["path"], "Sequences\\Disco\\fast.dsq");
    EXPECT_EQ(dances["children"][0]["children"][0]["id"], 30003);
    EXPECT_FALSE(json["trees"][3]["shown"]);  // no Info folder
    EXPECT_EQ(json["first_character"], "Characters\\Girl\\Girl.dcz");
    EXPECT_EQ(json["first_dance"], "Sequences\\slow.dsq");
}

}  // namespace
}  // namespace kavelune
