#include "app/menu/my_characters.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "kit/dcz_writer.h"
#include "support/temp_folder.h"
#include "unit/model/test_models.h"

namespace kavelune {
namespace {

using testing::readFile;
using testing::TempFolder;
namespace fs = std::filesystem;

class FolderShelf : public UserContentShelf {
public:
    explicit FolderShelf(fs::path folder) : folder_(std::move(folder)) {}
    fs::path folder() override { return folder_; }
    void contentChanged() override { ++changes; }
    int changes = 0;

private:
    fs::path folder_;
};

std::vector<std::string> filesUnder(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(entry.path().lexically_relative(folder).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// A character folder somewhere outside the program: a description naming a body with a hat,
// the body's textures (one plain image with its TGA and environment map, one animated through
// a parameter file) and a file the character does not use.
class MyCharactersTest : public ::testing::Test {
protected:
    void SetUp() override {
        CharacterModel body = testing::makeFigure();
        ASSERT_GE(body.parts.size(), 1u);
        body.parts[0].textureSpec = "skin.jpg";
        body.parts.push_back(body.parts[0]);
        body.parts.back().textureSpec = "Maps\\glow.bmp";
        dropped.makeFolder("Nova");
        ASSERT_TRUE(writeDczFile(dropped / "Nova/body.dcz", body));
        CharacterModel hat = testing::makeFigure();
        hat.parts[0].textureSpec = "straw.jpg";
        ASSERT_TRUE(writeDczFile(dropped / "Nova/hat.dcz", hat));
        dropped.write("Nova/Nova.txt", "body 0 0 0 0 0 hat.dcz 5 0 10 0\n");
        dropped.write("Nova/skin.jpg", "jpeg");
        dropped.write("Nova/skin.tga", "tga");
        dropped.write("Nova/skinenv.jpg", "env");
        dropped.write("Nova/straw.jpg", "straw");
        dropped.write("Nova/glow.txt", "<loop> <1>\n<map> <Maps\\one.jpg> <1>\n<map> <Maps\\two.jpg> <2>\n");
        dropped.write("Nova/Maps/one.jpg", "1");
        dropped.write("Nova/Maps/two.jpg", "2");
        dropped.write("Nova/notes.doc", "not the character's");
        program.makeFolder("Characters");
    }

    std::string storedNova() const { return (dropped / "Nova/Nova.txt").string(); }

    TempFolder dropped;
    TempFolder program;
    TempFolder user;
};

TEST_F(MyCharactersTest, TheDescriptionAndEveryFileItNamesAreCopiedIntoAFolderOfItsOwn) {
    EXPECT_FALSE(isUsersCharacter(program.path(), storedNova(), user.path()));
    FolderShelf shelf(user.path());
    const auto copy = addToMyCharacters(program.path(), storedNova(), shelf);
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, "Characters\\Nova\\Nova.txt");
    EXPECT_EQ(shelf.changes, 1);
    EXPECT_EQ(filesUnder(user / "Characters/Nova"),
              (std::vector<std::string>{"Maps/one.jpg", "Maps/two.jpg", "Nova.txt", "body.dcz", "glow.txt", "hat.dcz",
                                        "skin.jpg", "skin.tga", "skinenv.jpg", "straw.jpg"}));
    EXPECT_EQ(readFile(user / "Characters/Nova/body.dcz"), readFile(dropped / "Nova/body.dcz"));
    EXPECT_TRUE(isUsersCharacter(user.path(), *copy, user.path()));
}

TEST_F(MyCharactersTest, ANameTheUserHasTakenGetsANumberAndTheUsersFilesStay) {
    user.write("Characters/Nova/Nova.txt", "mine 0 0 0 0 0\n");
    FolderShelf shelf(user.path());
    const auto copy = addToMyCharacters(program.path(), storedNova(), shelf);
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, "Characters\\Nova 2\\Nova.txt");
    EXPECT_EQ(readFile(user / "Characters/Nova/Nova.txt"), "mine 0 0 0 0 0\n");
    EXPECT_EQ(filesUnder(user / "Characters/Nova"), (std::vector<std::string>{"Nova.txt"}));
    EXPECT_TRUE(fs::is_regular_file(user / "Characters/Nova 2/hat.dcz"));

    // Nothing to copy: a character whose files are gone.
    EXPECT_FALSE(addToMyCharacters(program.path(), (dropped / "Gone/Gone.txt").string(), shelf));
    EXPECT_EQ(shelf.changes, 1);
}

TEST_F(MyCharactersTest, ACharacterSeenThroughLinksIsTheUsersWhenTheLinksLeadIntoTheUsersFolder) {
    // The installed program's folder is a view of links into the user's and the installed content.
    user.write("Characters/Own/Own.dcz", "x");
    fs::create_directories(program / "Characters/Own");
    fs::create_symlink(user / "Characters/Own/Own.dcz", program / "Characters/Own/Own.dcz");
    fs::create_directories(program / "Characters/Nova");
    fs::create_symlink(dropped / "Nova/Nova.txt", program / "Characters/Nova/Nova.txt");
    EXPECT_TRUE(isUsersCharacter(program.path(), "Characters\\Own\\Own.dcz", user.path()));
    EXPECT_FALSE(isUsersCharacter(program.path(), "Characters\\Nova\\Nova.txt", user.path()));
}

}  // namespace
}  // namespace kavelune
