#include <gtest/gtest.h>

#include "app/menu/command_dispatcher.h"
#include "app/launch/launch_settings.h"
#include "app/menu/sprite_menu.h"
#include "app/menu/sprite_menu_model.h"
#include "command_test_doubles.h"
#include "support/temp_folder.h"

#include <algorithm>

namespace kavelune {
namespace {

using testing::TempFolder;
namespace command = window_command;

// A program folder with two characters, two dances, a sound and a play list.
void writeContent(const TempFolder& home, bool withInfo = true) {
    home.write("Characters/Boy.dcz", "");
    home.write("Characters/Girl/Girl.dcz", "");
    home.write("Sequences/Disco/fast.dsq", "");
    home.write("Sequences/slow.dsq", "");
    home.write("Sounds/song.mp3", "");
    if (withInfo) home.write("Info/party.lst", "Sounds\\song.mp3\n");
}

std::vector<std::string> topTexts(const SpriteMenuModel& menu) {
    std::vector<std::string> texts;
    for (const MenuEntry& entry : menu.entries()) {
        texts.push_back(entry.kind == MenuEntry::Kind::Separator ? "-" : entry.text);
    }
    return texts;
}

TEST(MenuModelTest, LayoutIdsAndRangesFollowTheContent) {
    TempFolder home;
    writeContent(home);
    LaunchSettings settings;
    settings.loop = true;
    settings.shadow = false;
    settings.topwindow = true;
    SpriteMenuModel menu = SpriteMenuModel::build(home.path(), MenuLanguage::English, settings);

    EXPECT_EQ(topTexts(menu),
              (std::vector<std::string>{"Go to jivora ...", "-", "Character", "Dance", "Sound", "Play List", "-", "Size",
                                        "Loop", "Shadow", "Always on Top", "-", "Refresh", "-", "Send Mail ...",
                                        "Mail Preference ...", "-", "Start with the desktop", "Add to my characters",
                                        "-", "Exit"}));
    const SpriteMenuIds& ids = menu.ids();
    // Boy, Girl (grouped) | fast (in Disco), slow | song | party.
    EXPECT_EQ(ids.characterStart, 30001);
    EXPECT_EQ(ids.danceStart, 30003);
    EXPECT_EQ(ids.soundStart, 30005);
    EXPECT_EQ(ids.playListStart, 30006);
    EXPECT_EQ(ids.sizeStart, 30007);
    EXPECT_EQ(ids.loop, 30010);
    EXPECT_EQ(ids.shadow, 30011);
    EXPECT_EQ(ids.topWindow, 30012);
    EXPECT_EQ(ids.refresh, 30013);
    EXPECT_EQ(ids.sendMail, 30014);
    EXPECT_EQ(ids.mailPreference, 30015);
    EXPECT_EQ(ids.exit, 30016);
    EXPECT_EQ(ids.startWithDesktop, 30017);
    EXPECT_EQ(ids.addToMyCharacters, 30018);

    const MenuEntry* web = menu.findEntry(SpriteMenuIds::kWebSite);
    ASSERT_TRUE(web);
    EXPECT_EQ(web->keyHint, "F1");
    const MenuEntry* exit = menu.findEntry(ids.exit);
    ASSERT_TRUE(exit);
    EXPECT_EQ(exit->text, "Exit");
    EXPECT_EQ(exit->keyHint, "ESC");
    const MenuEntry* large = menu.findEntry(ids.sizeStart + 2);
    ASSERT_TRUE(large);
    EXPECT_EQ(large->text, "Large");
    EXPECT_EQ(large->keyHint, "3");

    // Dances: the Disco submenu holds fast; slow is an item of its own.
    const MenuEntry& dances = menu.entries()[3];
    ASSERT_EQ(dances.kind, MenuEntry::Kind::Submenu);
    ASSERT_EQ(dances.children.size(), 2u);
    EXPECT_EQ(dances.children[0].kind, MenuEntry::Kind::Submenu);
    EXPECT_EQ(dances.children[0].text, "Disco");
    EXPECT_EQ(dances.children[0].children.at(0).id, 30003);
    EXPECT_EQ(dances.children[1].text, "slow");

    // Check marks come from the settings and follow them when the menu opens again.
    EXPECT_TRUE(menu.findEntry(ids.loop)->checked);
    EXPECT_FALSE(menu.findEntry(ids.shadow)->checked);
    EXPECT_TRUE(menu.findEntry(ids.topWindow)->checked);
    EXPECT_FALSE(menu.findEntry(ids.refresh)->checkable);
    settings.shadow = true;
    settings.loop = false;
    menu.updateChecks(settings);
    EXPECT_FALSE(menu.findEntry(ids.loop)->checked);
    EXPECT_TRUE(menu.findEntry(ids.shadow)->checked);

    // The desktop's items: checked while the login start is there, greyed while the character
    // is already the user's.
    EXPECT_FALSE(menu.findEntry(ids.startWithDesktop)->checked);
    EXPECT_TRUE(menu.findEntry(ids.addToMyCharacters)->greyed);
    menu.updateChecks(settings, DesktopItemState{true, false});
    EXPECT_TRUE(menu.findEntry(ids.startWithDesktop)->checked);
    EXPECT_FALSE(menu.findEntry(ids.addToMyCharacters)->greyed);
}

TEST(MenuModelTest, TheSecondEditionHasNoAlwaysOnTopAndNamesItsPartnersSite) {
    TempFolder home;
    writeContent(home);
    LaunchSettings settings;
    const std::vector<std::pair<MenuLanguage, std::string>> webItems{
        {MenuLanguage::English, "Go to Trova ..."},
        {MenuLanguage::Korean, "Trova사이트에 접속하기 ..."},
        {MenuLanguage::Japanese, "Trovaサイトへ..."}};
    for (const auto& [language, webItem] : webItems) {
        SpriteMenuModel menu = SpriteMenuModel::build(home.path(), language, settings, kaveluneTrova());
        const std::vector<std::string> texts = topTexts(menu);
        EXPECT_EQ(texts.size(), 20u);
        EXPECT_EQ(texts.front(), webItem);
        std::string alwaysOnTop(MenuText::text(language, MenuText::kAlwaysOnTop));
        alwaysOnTop.resize(alwaysOnTop.find('\t'));
        EXPECT_EQ(std::count(texts.begin(), texts.end(), alwaysOnTop), 0);
        const SpriteMenuIds& ids = menu.ids();
        EXPECT_EQ(ids.topWindow, 0);
        EXPECT_EQ(ids.refresh, 30012);
        EXPECT_EQ(ids.exit, 30015);
        EXPECT_EQ(menu.commandFor(ids.refresh, settings), plainCommand(command::kRefresh));
        EXPECT_EQ(menu.commandFor(30016, settings), plainCommand(command::kStartWithDesktop));
        EXPECT_EQ(menu.commandFor(30018, settings), std::nullopt);
    }

    // Its text table: 35 rows, every row after Shadow one up, the mail rows unchanged.
    const EditionMenuText table(kaveluneTrova());
    EXPECT_EQ(table.rowCount(), 35);
    EXPECT_EQ(table.row(MenuLanguage::English, 7), "Size");
    EXPECT_EQ(table.row(MenuLanguage::English, 23), "ISO-8859-1");
    EXPECT_EQ(table.row(MenuLanguage::Korean, 34), "SMTP 서버주소를 입력해 주세요.");
    EXPECT_TRUE(table.row(MenuLanguage::English, 35).empty());
    EXPECT_EQ(EditionMenuText(kaveluneLE()).row(MenuLanguage::English, 7), "Always on Top\tT");
}

TEST(MenuModelTest, MissingInfoFolderDropsPlayListsAndMovesLaterIds) {
    TempFolder home;
    writeContent(home, false);
    LaunchSettings settings;
    SpriteMenuModel menu = SpriteMenuModel::build(home.path(), MenuLanguage::English, settings);
    std::vector<std::string> texts = topTexts(menu);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Play List"), 0);
    EXPECT_EQ(menu.ids().playListStart, 30006);
    EXPECT_EQ(menu.ids().sizeStart, 30006);
    EXPECT_EQ(menu.ids().exit, 30015);

    // An Info folder without a list is the same; so is an empty program folder for every tree.
    home.makeFolder("Info");
    EXPECT_EQ(SpriteMenuModel::build(home.path(), MenuLanguage::English, settings).ids().exit, 30015);
    TempFolder empty;
    SpriteMenuModel bare = SpriteMenuModel::build(empty.path(), MenuLanguage::English, settings);
    EXPECT_EQ(topTexts(bare), (std::vector<std::string>{"Go to jivora ...", "-", "-", "Size", "Loop", "Shadow",
                                                        "Always on Top", "-", "Refresh", "-", "Send Mail ...",
                                                        "Mail Preference ...", "-", "Start with the desktop",
                                                        "Add to my characters", "-", "Exit"}));
    EXPECT_EQ(bare.ids().sizeStart, 30001);
}

TEST(MenuModelTest, ChosenIdsBecomeCommands) {
    TempFolder home;
    writeContent(home);
    home.write("Characters/Lady/lady.dcz", "");  // other letter case: no grouping
    LaunchSettings settings;
    settings.loop = true;
    settings.shadow = false;
    settings.topwindow = false;
    SpriteMenuModel menu = SpriteMenuModel::build(home.path(), MenuLanguage::English, settings);
    const SpriteMenuIds& ids = menu.ids();

    EXPECT_EQ(menu.commandFor(SpriteMenuIds::kWebSite, settings), plainCommand(command::kOpenWebSite));
    EXPECT_EQ(menu.commandFor(30001, settings), commandWithPath(command::kLoadCharacter, "Characters\\Boy.dcz"));
    EXPECT_EQ(menu.commandFor(30002, settings), commandWithPath(command::kLoadCharacter, "Characters\\Girl\\Girl.dcz"));
    EXPECT_EQ(menu.commandFor(30003, settings), commandWithPath(command::kLoadCharacter, "Characters\\Lady\\lady.dcz"));
    EXPECT_EQ(menu.commandFor(ids.danceStart, settings),
              commandWithPath(command::kLoadDance, "Sequences\\Disco\\fast.dsq"));
    EXPECT_EQ(menu.commandFor(ids.soundStart, settings), commandWithPath(command::kLoadSound, "Sounds\\song.mp3"));
    EXPECT_EQ(menu.commandFor(ids.playListStart, settings), commandWithPath(command::kPlayList, "Info\\party.lst"));
    EXPECT_EQ(menu.commandFor(ids.sizeStart, settings), commandWithValue(command::kSetSize, 128));
    EXPECT_EQ(menu.commandFor(ids.sizeStart + 1, settings), commandWithValue(command::kSetSize, 256));
    EXPECT_EQ(menu.commandFor(ids.sizeStart + 2, settings), commandWithValue(command::kSetSize, 384));
    EXPECT_EQ(menu.commandFor(ids.refresh, settings), plainCommand(command::kRefresh));
    EXPECT_EQ(menu.commandFor(ids.sendMail, settings), plainCommand(command::kSendMail));
    EXPECT_EQ(menu.commandFor(ids.mailPreference, settings), plainCommand(command::kMailPreference));
    EXPECT_EQ(menu.commandFor(ids.exit, settings), plainCommand(command::kExit));
    EXPECT_EQ(menu.commandFor(ids.startWithDesktop, settings), plainCommand(command::kStartWithDesktop));
    EXPECT_EQ(menu.commandFor(ids.addToMyCharacters, settings), plainCommand(command::kAddToMyCharacters));
    EXPECT_FALSE(menu.commandFor(0, settings));  // dismissed
    EXPECT_FALSE(menu.commandFor(ids.addToMyCharacters + 1, settings));

    // The switches flip before their command goes out.
    EXPECT_EQ(menu.commandFor(ids.loop, settings), plainCommand(command::kApplyLoop));
    EXPECT_FALSE(settings.loop);
    EXPECT_EQ(menu.commandFor(ids.shadow, settings), plainCommand(command::kApplyShadow));
    EXPECT_TRUE(settings.shadow);
    EXPECT_EQ(menu.commandFor(ids.topWindow, settings), plainCommand(command::kApplyTopWindow));
    EXPECT_TRUE(settings.topwindow);
}

TEST(MenuModelTest, LanguageSwitchReachesOnlyAMenuNotYetBuilt) {
    TempFolder home;
    writeContent(home);
    LaunchSettings settings;
    LanguageColumn language(1033);
    testing::CallLog log;
    testing::RecordingScene scene(log);
    testing::RecordingWindow window(log);
    CommandDispatcher dispatcher(home.path(), settings, language, scene, window, window);
    SpriteMenu menu;

    // F12 before the first right click: the menu comes up in Japanese.
    EXPECT_FALSE(menu.choose(SpriteMenuIds::kWebSite, settings));
    EXPECT_TRUE(dispatcher.pressKey(Key::F12));
    const SpriteMenuModel& first = menu.open(home.path(), language.language(), settings);
    EXPECT_TRUE(menu.isBuilt());
    EXPECT_EQ(first.entries()[2].text, "キャラクター");
    EXPECT_EQ(first.findEntry(first.ids().exit)->text, "終了");

    // Afterwards F10 and F11 change the texts taken later, but the menu stays as built.
    EXPECT_TRUE(dispatcher.pressKey(Key::F10));
    EXPECT_EQ(language.text(MenuText::kExit), "종료\tESC");
    home.write("Characters/Late.dcz", "");
    EXPECT_TRUE(dispatcher.pressKey(Key::F11));
    const SpriteMenuModel& again = menu.open(home.path(), language.language(), settings);
    EXPECT_EQ(&again, &first);
    EXPECT_EQ(again.entries()[2].text, "キャラクター");
    EXPECT_EQ(again.entries()[2].children.size(), 2u);  // Late.dcz came too late
    EXPECT_EQ(menu.choose(again.ids().exit, settings), plainCommand(command::kExit));
    EXPECT_TRUE(log.calls.empty());
}

}  // namespace
}  // namespace kavelune
