#include "app/launch/launch_file.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kavelune {
namespace {

LaunchFile parse(const std::string& text) {
    testing::TempFolder folder;
    LaunchFile file;
    EXPECT_TRUE(readLaunchFile(folder.write("launch.txt", text), file));
    return file;
}

TEST(LaunchFileTest, KeysMatchWithoutCaseAndTakeTheTextBetweenTheOuterQuotes) {
    EXPECT_EQ(parse("dance \"Sequences\\Disco\\a.dsq\"\n").dance, "Sequences\\Disco\\a.dsq");
    EXPECT_EQ(parse("DANCE  \"Sequences\\Disco\\a.dsq\"   # note\n").dance, "Sequences\\Disco\\a.dsq");
    EXPECT_EQ(parse("dance = \"Sequences\\Disco\\a.dsq\"\n").dance, "Sequences\\Disco\\a.dsq");
    EXPECT_EQ(parse("character \"a\" \"b\"\n").character, "a\" \"b");
    EXPECT_EQ(parse("characters \"  Boy's hat.dcz \t\"\n").character, "Boy's hat.dcz");
    EXPECT_EQ(parse("sounds \"x.mp3\"\nlists \"l.lst\"\n").list, "l.lst");
}

TEST(LaunchFileTest, SwitchesAndNumbersReadTheLeadingInteger) {
    EXPECT_FALSE(parse("Loop \"0\"").loop);
    EXPECT_FALSE(parse("LOOP \"0\"").loop);
    EXPECT_FALSE(parse("loop \"  0  \"").loop);
    EXPECT_FALSE(parse("loop \"yes\"").loop);
    EXPECT_TRUE(parse("loop \"2\"").loop);
    EXPECT_TRUE(parse("exitonend \"-1\"").exitonend);
    EXPECT_EQ(parse("width \"320px\"").width, 320);
    EXPECT_EQ(parse("x \"-40\"").x, -40);
    EXPECT_EQ(parse("height \"99999999999999\"").height, 2147483647);
}

TEST(LaunchFileTest, MalformedLinesLeaveTheFieldAlone) {
    LaunchFile file = parse("width \"300\"\nwidth \"\"\nwidth 400\nwidth \"500\nheight \"   \"\n");
    EXPECT_EQ(file.width, 300);
    EXPECT_EQ(file.height, 0);
    // A comment only when "#" is the very first character; " #" makes the key "#".
    EXPECT_TRUE(parse("# dance \"x.dsq\"\n").dance.empty());
    EXPECT_TRUE(parse(" # dance \"x.dsq\"\n").dance.empty());
    EXPECT_TRUE(parse("dancer \"x.dsq\"\n").dance.empty());
    // A later line replaces an earlier one.
    EXPECT_EQ(parse("dance \"a.dsq\"\ndance \"b.dsq\"\n").dance, "b.dsq");
}

TEST(LaunchFileTest, WindowsLineEndsAndOverlongLinesAndKeys) {
    LaunchFile file = parse("width \"300\"\r\n\r\ndance \"a.dsq\"\r\n");
    EXPECT_EQ(file.width, 300);
    EXPECT_EQ(file.dance, "a.dsq");

    // An overlong line is skipped whole; reading goes on to the lines after it.
    std::string longLine = "dance \"" + std::string(5000, 'x') + "\"\n";
    LaunchFile skipped = parse("dance \"keep.dsq\"\n" + longLine + "width \"64\"\n");
    EXPECT_EQ(skipped.dance, "keep.dsq");
    EXPECT_EQ(skipped.width, 64);

    std::string longKey(300, 'k');
    EXPECT_EQ(parse(longKey + " \"1\"\nheight \"32\"").height, 32);
}

TEST(LaunchFileTest, MissingOrUnreadableFilesAreNotLoaded) {
    testing::TempFolder folder;
    LaunchFile file;
    EXPECT_FALSE(readLaunchFile(folder / "none.txt", file));
    EXPECT_FALSE(readLaunchFile(folder.path(), file));
    EXPECT_FALSE(readLaunchFile("", file));
    EXPECT_FALSE(file.loaded);
    EXPECT_FALSE(std::filesystem::exists(folder / "none.txt"));
    EXPECT_TRUE(readLaunchFile(folder.write("empty.txt", ""), file));
    EXPECT_TRUE(file.loaded);
}

}  // namespace
}  // namespace kavelune
