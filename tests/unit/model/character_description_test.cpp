#include <gtest/gtest.h>

#include "model/character_description.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

CharacterEntry onlyModel(const std::string& name) {
    CharacterEntry entry;
    entry.modelFile = name;
    return entry;
}

TEST(CharacterBaseName, StripsTheFolderAndAShortExtension) {
    EXPECT_EQ(characterBaseName("Characters\\Girl\\Girl.dcz"), "Girl");
    EXPECT_EQ(characterBaseName("Characters/Boy.txt"), "Boy");
    EXPECT_EQ(characterBaseName("Duo.cfg"), "Duo");
    EXPECT_EQ(characterBaseName("Plain"), "Plain");
    EXPECT_EQ(characterBaseName("a.b.c"), "a.b");
    EXPECT_EQ(characterBaseName("name.jpeg"), "name.jpeg");  // more than three after the dot
    EXPECT_EQ(characterBaseName("x\\y.z\\model"), "model");
}

TEST(CharacterDescription, ReadsEveryFieldInOrder) {
    auto entries = parseCharacterDescription(
        "dancer1 -100 0 250 90 1 hat.dcz 4 10 -20 30\r\n"
        "dancer2  100 0 250 -90 0\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], (CharacterEntry{"dancer1", {-100, 0, 250}, 90, 1, "hat.dcz", 4,
                                          {10, -20, 30}}));
    EXPECT_EQ(entries[1], (CharacterEntry{"dancer2", {100, 0, 250}, -90, 0, "", 0, {}}));
}

TEST(CharacterDescription, SkipsCommentsAndShortLines) {
    auto entries = parseCharacterDescription(
        "; dancer9 1 2 3 4 5\n"
        "abc 1\n"          // 5 characters
        "abcdef\n"         // 6 characters
        "abcdefg\n"        // 7: a model name alone
        "\n"
        "   ;still a line 7\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], onlyModel("abcdefg"));
    EXPECT_EQ(entries[1].modelFile, ";still");  // only a leading ";" marks a comment
}

TEST(CharacterDescription, AMalformedNumberLeavesItAndEveryLaterFieldAtItsDefault) {
    auto entries = parseCharacterDescription(
        "model 10 20 x 40 2 hat 4 1 1 1\n"
        "model 10 20 30 40 2 hat 4 1 oops 1\n"
        "model 10 20 30 40 99999 hat\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], (CharacterEntry{"model", {10, 20, 0}, 0, -1, "", 0, {}}));
    EXPECT_EQ(entries[1], (CharacterEntry{"model", {10, 20, 30}, 40, 2, "hat", 4, {1, 0, 0}}));
    EXPECT_EQ(entries[2], (CharacterEntry{"model", {10, 20, 30}, 40, -1, "", 0, {}}));
}

TEST(CharacterDescription, TxtWinsOverCfgAndNeitherMeansOneDefaultEntry) {
    kavelune::testing::TempFolder folder;
    folder.write("Duo.cfg", "from_cfg 1 2 3 4 5\n");
    std::filesystem::path source;
    auto entries = loadCharacterDescription(folder.path(), "Characters\\Duo\\Duo.dcz", &source);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].modelFile, "from_cfg");
    EXPECT_EQ(source, folder / "Duo.cfg");

    folder.write("Duo.txt", "from_txt 1 2 3 4 5\n");
    entries = loadCharacterDescription(folder.path(), "Duo", &source);
    EXPECT_EQ(entries[0].modelFile, "from_txt");

    entries = loadCharacterDescription(folder.path(), "Solo.dcz", &source);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], onlyModel("Solo"));
    EXPECT_TRUE(source.empty());
}

TEST(CharacterDescription, FindsFilesWhoseNameDiffersInLetterCase) {
    kavelune::testing::TempFolder folder;
    folder.write("TRIO.TXT", "member_one 0 0 0 0 0\n");
    auto entries = loadCharacterDescription(folder.path(), "trio");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].modelFile, "member_one");
}

}  // namespace
}  // namespace kavelune
