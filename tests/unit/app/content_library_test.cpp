#include <gtest/gtest.h>

#include "app/content/content_folder.h"
#include "app/content/content_registry.h"
#include "base/message_box.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

using testing::TempFolder;

const ContentFolder* child(const ContentFolder& node, const std::string& label) {
    for (const auto& c : node.children) {
        if (c->label == label) return c.get();
    }
    return nullptr;
}

TEST(ContentTreeTest, LooseFilesGroupedFoldersAndCaseSensitiveGrouping) {
    TempFolder home;
    home.write("Characters/Boy.dcz", "");
    home.write("Characters/Girl/Girl.dcz", "");
    home.write("Characters/Girl/Girl.txt", "");
    home.write("Characters/Lady/lady.dcz", "");
    home.write("Characters/notes.doc", "");
    home.write("Characters/README", "");
    auto tree = scanContentRoot(home.path(), kCharacterRoot, "Character");
    int nextId = 30001;
    assignMenuIds(*tree, kCharacterRoot, nextId);

    const ContentFolder* boy = child(*tree, "Boy");
    const ContentFolder* girl = child(*tree, "Girl");
    const ContentFolder* lady = child(*tree, "Lady");
    ASSERT_TRUE(boy && girl && lady);
    EXPECT_EQ(tree->children.size(), 3u);  // .doc and the dotless file are not offered
    EXPECT_EQ(findContentPath(*tree, boy->id), "Characters\\Boy.dcz");
    EXPECT_TRUE(girl->isItem);
    EXPECT_EQ(findContentPath(*tree, girl->id), "Characters\\Girl\\Girl.dcz");
    // Different letter case does not group: Lady stays a submenu holding "lady".
    EXPECT_FALSE(lady->isItem);
    ASSERT_EQ(lady->children.size(), 1u);
    EXPECT_EQ(findContentPath(*tree, lady->children[0]->id), "Characters\\Lady\\lady.dcz");
    EXPECT_EQ(contentIdRange(*tree), (std::pair<int, int>{30001, 30003}));
    EXPECT_EQ(nextId, 30004);
    EXPECT_FALSE(findContentPath(*tree, 30004));
}

TEST(ContentTreeTest, TypesCompareLowerCasedAndEmptyFoldersLeaveNoSubmenu) {
    TempFolder home;
    home.write("Sounds/song.MP3", "");
    home.write("Sounds/song", "");
    home.write("Sequences/a.b.dsq", "");
    home.makeFolder("Sequences/Empty");
    home.makeFolder("Sequences/Outer/Inner");
    int nextId = 30001;

    auto sequences = scanContentRoot(home.path(), kSequenceRoot, "Dance");
    assignMenuIds(*sequences, kSequenceRoot, nextId);
    ASSERT_TRUE(child(*sequences, "a.b"));
    EXPECT_EQ(child(*sequences, "a.b")->id, 30001);
    EXPECT_FALSE(child(*sequences, "Empty")->shown);
    // A folder holding only an empty folder still makes a (empty) submenu.
    EXPECT_TRUE(child(*sequences, "Outer")->shown);
    EXPECT_FALSE(child(*child(*sequences, "Outer"), "Inner")->shown);

    auto sounds = scanContentRoot(home.path(), kSoundRoot, "Sound");
    assignMenuIds(*sounds, kSoundRoot, nextId);
    ASSERT_EQ(sounds->children.size(), 1u);
    EXPECT_EQ(findContentPath(*sounds, 30002), "Sounds\\song.MP3");

    auto info = scanContentRoot(home.path(), kInfoRoot, "Play List");
    assignMenuIds(*info, kInfoRoot, nextId);
    EXPECT_FALSE(info->shown);  // no Info folder: no Play List submenu
    EXPECT_EQ(nextId, 30003);
}

TEST(ContentTreeTest, TypeListCountsOnlyTypesFollowedBySemicolons) {
    EXPECT_EQ(parseTypeList("dcz;CFG;txt"), (std::vector<std::string>{"dcz", "cfg"}));
    EXPECT_TRUE(parseTypeList("").empty());
}

TEST(ContentRegistryTest, FirstDanceIsTheFirstDsqInNameOrder) {
    TempFolder home;
    home.write("Sequences/zeta.dsq", "");
    home.write("Sequences/Alpha.DSQ", "");
    home.write("Sequences/beta.dsq", "");
    home.write("Sequences/readme.txt", "");
    ContentRegistry registry;
    registry.registerStandardKinds(home.path());
    EXPECT_EQ(registry.firstDance(), "Sequences\\Alpha.DSQ");
    EXPECT_EQ(registry.currentFolder(), home.path());
}

TEST(ContentRegistryTest, FirstCharacterNeedsAFolderHoldingItsNamesakeArchive) {
    TempFolder home;
    home.write("Characters/Aaron.dcz", "");          // loose: not a candidate
    home.write("Characters/Bella/other.dcz", "");    // no namesake
    home.write("Characters/Cleo/Cleo.dcz", "");
    home.write("Characters/Dana/Dana.dcz", "");
    ContentRegistry registry;
    registry.registerStandardKinds(home.path());
    EXPECT_EQ(registry.firstCharacter(), "Characters\\Cleo\\Cleo.dcz");

    TempFolder empty;
    ContentRegistry none;
    none.registerStandardKinds(empty.path());
    EXPECT_FALSE(none.firstCharacter());
    EXPECT_FALSE(none.firstDance());
}

TEST(ContentRegistryTest, StandardFoldersMayDifferInLetterCase) {
    TempFolder home;
    home.write("characters/Cleo/Cleo.dcz", "");
    home.write("SEQUENCES/a.dsq", "");
    ContentRegistry registry;
    registry.registerStandardKinds(home.path());
    EXPECT_EQ(registry.firstCharacter(), "Characters\\Cleo\\Cleo.dcz");
    EXPECT_EQ(registry.firstDance(), "Sequences\\a.dsq");
    EXPECT_EQ(registry.folderOf(kCharacterKind), home / "characters");
}

TEST(ContentRegistryTest, ListingRulesApplyToTheNextListingOnly) {
    TempFolder home;
    home.write("Characters/A/A.txt", "");
    home.write("Characters/B/B.cfg", "");
    home.write("Characters/C/shared.dcz", "");
    home.makeFolder("Characters/D");
    ContentRegistry registry;
    registry.registerStandardKinds(home.path());
    registry.enter(kCharacterKind, "");
    registry.setListingRule(".dcz;.txt;.cfg", ListingRule::FolderHoldsAnyNamesake);
    EXPECT_EQ(registry.list(""), (std::vector<std::string>{"A", "B"}));
    registry.setListingRule("shared.dcz", ListingRule::FolderHoldsFile);
    EXPECT_EQ(registry.list(""), (std::vector<std::string>{"C"}));
    EXPECT_EQ(registry.list(""), (std::vector<std::string>{"A", "B", "C", "D"}));
    registry.enter("unregistered", "A");
    EXPECT_EQ(registry.list("txt"), (std::vector<std::string>{"A.txt"}));
    registry.leave();
    registry.leave();
    registry.leave();  // one too many: stays put
    EXPECT_EQ(registry.currentFolder(), home.path());
}

TEST(ContentRegistryTest, DanglingEntriesAreReportedAndSkipped) {
    TempFolder home;
    home.write("Sequences/a.dsq", "");
    std::filesystem::create_symlink(home / "nowhere.dsq", home / "Sequences/b.dsq");
    std::vector<MessageRequest> boxes;
    MessageBoxHandler previous = setMessageBoxHandler([&](const MessageRequest& r) {
        boxes.push_back(r);
        return MessageAnswer::Ok;
    });
    ContentRegistry registry;
    registry.registerStandardKinds(home.path());
    registry.enter(kSequenceKind, "");
    EXPECT_EQ(registry.list("dsq"), (std::vector<std::string>{"a.dsq"}));
    setMessageBoxHandler(previous);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Files/Directory does not exist!");
    EXPECT_EQ(boxes[0].caption, "b.dsq");
}

}  // namespace
}  // namespace kavelune
