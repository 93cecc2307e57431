#include <gtest/gtest.h>

#include <unistd.h>

#include "app/menu/command_dispatcher.h"
#include "app/menu/drop_targets.h"
#include "app/launch/launch_settings.h"
#include "app/menu/menu_text.h"
#include "command_test_doubles.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

namespace command = window_command;
namespace fs = std::filesystem;
using testing::TempFolder;

TEST(DropTargetsTest, ClassifiesByEndingWithoutRegardToCase) {
    TempFolder place;
    EXPECT_EQ(classifyDrop(place / "Girl.DCZ"), DropKind::Character);
    EXPECT_EQ(classifyDrop(place / "girl.txt"), DropKind::Character);
    EXPECT_EQ(classifyDrop(place / "girl.Cfg"), DropKind::Character);
    EXPECT_EQ(classifyDrop(place / "fast.DSQ"), DropKind::Dance);
    EXPECT_EQ(classifyDrop(place / "song.mp3"), DropKind::Ignored);
    EXPECT_EQ(classifyDrop(place / "song.emp"), DropKind::Ignored);
    EXPECT_EQ(classifyDrop(place / "party.lst"), DropKind::Ignored);
    EXPECT_EQ(classifyDrop(place / "Invitation.EML"), DropKind::Invitation);
    EXPECT_EQ(classifyDrop(place / "page.htm"), DropKind::Invitation);
    EXPECT_EQ(classifyDrop(place / "page.html"), DropKind::Invitation);
    EXPECT_EQ(classifyDrop(place / "Me.VRM"), DropKind::Avatar);
    EXPECT_EQ(classifyDrop(place / "me.gltf"), DropKind::Avatar);
    EXPECT_EQ(classifyDrop(place / "notdcz"), DropKind::Ignored);  // no folder there either

    place.makeFolder("Girl");
    place.makeFolder("Two.Dots");
    place.write("README", "");
    EXPECT_EQ(classifyDrop(place / "Girl"), DropKind::CharacterFolder);
    EXPECT_EQ(classifyDrop(place.path().string() + "/Girl/"), DropKind::CharacterFolder);
    EXPECT_EQ(classifyDrop(place / "Two.Dots"), DropKind::Ignored);
    EXPECT_EQ(classifyDrop(place / "README"), DropKind::Ignored);

    // A dot further up the path does not matter, only the dropped name's own.
    place.makeFolder("my.chars/Boy");
    EXPECT_EQ(classifyDrop(place / "my.chars/Boy"), DropKind::CharacterFolder);
}

TEST(DropTargetsTest, CommandsInDropOrderWithStoredPaths) {
    TempFolder home;
    TempFolder elsewhere;
    home.write("Characters/Girl/Girl.dcz", "");
    home.write("Sequences/fast.dsq", "");
    home.makeFolder("Characters/Lady");
    home.write("Characters/Lady/LADY.cfg", "");
    elsewhere.write("Boy/Boy.dcz", "");
    fs::path before = fs::current_path();

    std::vector<WindowCommand> commands =
        dropCommands({home / "Sequences/fast.dsq", home / "Characters/Girl", elsewhere / "song.mp3",
                      elsewhere / "Boy", home / "Characters/Lady", elsewhere / "Solo.TXT"},
                     home.path());
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0], commandWithPath(command::kLoadDance, "Sequences\\fast.dsq"));
    EXPECT_EQ(commands[1], commandWithPath(command::kLoadCharacter, "Characters\\Girl\\Girl.dcz"));
    EXPECT_EQ(commands[2], commandWithPath(command::kLoadCharacter, (elsewhere / "Boy/Boy.dcz").generic_string()));
    // No Lady.dcz, but a description file of the folder's name (any letter case).
    EXPECT_EQ(commands[3], commandWithPath(command::kLoadCharacter, "Characters\\Lady\\LADY.cfg"));
    EXPECT_EQ(commands[4], commandWithPath(command::kLoadCharacter, (elsewhere / "Solo.TXT").generic_string()));
    EXPECT_EQ(fs::current_path(), before);

    // A folder without a character file still names the .dcz, for the loader to report.
    home.makeFolder("Empty");
    EXPECT_EQ(dropCommands({home / "Empty"}, home.path()),
              (std::vector<WindowCommand>{commandWithPath(command::kLoadCharacter, "Empty\\Empty.dcz")}));
}

TEST(DropTargetsTest, TheLastSuccessfulLoadsAreWhatTheSettingsKeep) {
    TempFolder home;
    home.write("Characters/A.dcz", "");
    home.write("Characters/B.dcz", "");
    home.write("Sequences/one.dsq", "");
    LaunchSettings settings;
    LanguageColumn language;
    testing::CallLog log;
    testing::RecordingScene scene(log);
    testing::RecordingWindow window(log);
    CommandDispatcher dispatcher(home.path(), settings, language, scene, window, window);
    scene.failingPaths = {"Characters\\B.dcz"};

    for (const WindowCommand& cmd :
         dropCommands({home / "Characters/A.dcz", home / "Sequences/one.dsq", home / "Characters/B.dcz"}, home.path())) {
        dispatcher.dispatch(cmd);
    }
    EXPECT_EQ(log.calls, (std::vector<std::string>{"character Characters\\A.dcz", "dance Sequences\\one.dsq",
                                                   "character Characters\\B.dcz"}));
    EXPECT_EQ(settings.character, "Characters\\A.dcz");
    EXPECT_EQ(settings.dance, "Sequences\\one.dsq");
}

}  // namespace
}  // namespace kavelune
