#include "app/content/dance_music_table.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace kavelune {
namespace {

TEST(DanceMusicTableTest, ThreeBracketedFieldsMakeAnEntry) {
    auto entry = DanceMusicTable::parseLine("dance <a.dsq> plays <Sounds\\x.mp3> flag <1> trailing");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->danceFileName, "a.dsq");
    EXPECT_EQ(entry->musicPath, "Sounds\\x.mp3");
    EXPECT_TRUE(entry->flag);
    EXPECT_FALSE(DanceMusicTable::parseLine("<a.dsq> <Sounds\\x.mp3>"));
    EXPECT_FALSE(DanceMusicTable::parseLine("<a.dsq> <Sounds\\x.mp3> <1"));
    EXPECT_FALSE(DanceMusicTable::parseLine("#<a.dsq> <Sounds\\x.mp3> <1>"));
    EXPECT_FALSE(DanceMusicTable::parseLine("<a.dsq> <x.mp3> <0>")->flag);
    EXPECT_TRUE(DanceMusicTable::parseLine("<a.dsq> <x.mp3> <yes>")->flag);
}

TEST(DanceMusicTableTest, LookupIsExactAndTheFirstEntryWins) {
    testing::TempFolder info;
    info.write("dancemp3.txt",
               "# dance to song\r\n<a.dsq> <Sounds\\first.mp3> <1>\r\n<a.dsq> <Sounds\\second.mp3> <1>\r\n"
               "<B.dsq> <Sounds\\b.mp3> <0>\r\n");
    DanceMusicTable table(info.path());
    EXPECT_EQ(table.entries().size(), 3u);
    EXPECT_EQ(table.lookup("a.dsq"), "Sounds\\first.mp3");
    EXPECT_FALSE(table.lookup("b.dsq"));
    EXPECT_FALSE(table.lookup("A.DSQ"));
    EXPECT_EQ(table.lookup("B.dsq"), "Sounds\\b.mp3");
}

TEST(DanceMusicTableTest, DeletingTheFileEmptiesTheTableAtTheNextLookup) {
    testing::TempFolder info;
    info.write("dancemp3.txt", "<a.dsq> <Sounds\\x.mp3> <1>\n");
    DanceMusicTable table(info.path());
    EXPECT_TRUE(table.lookup("a.dsq"));
    std::filesystem::remove(info / "dancemp3.txt");
    EXPECT_FALSE(table.lookup("a.dsq"));
    // Putting it back does not bring the entries back: the table is read once a run.
    info.write("dancemp3.txt", "<a.dsq> <Sounds\\x.mp3> <1>\n");
    EXPECT_FALSE(table.lookup("a.dsq"));
}

TEST(DanceMusicTableTest, TheTableFileMayDifferInLetterCase) {
    testing::TempFolder info;
    info.write("DanceMP3.TXT", "<a.dsq> <Sounds\\x.mp3> <1>\n");
    DanceMusicTable table(info.path());
    EXPECT_EQ(table.lookup("a.dsq"), "Sounds\\x.mp3");
}

TEST(DanceMusicTableTest, MissingFileGivesAnEmptyTable) {
    testing::TempFolder info;
    DanceMusicTable table(info / "nowhere");
    EXPECT_TRUE(table.entries().empty());
    EXPECT_FALSE(table.lookup("a.dsq"));
}

}  // namespace
}  // namespace kavelune
