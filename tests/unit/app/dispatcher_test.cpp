#include <gtest/gtest.h>

#include "app/menu/command_dispatcher.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/content/content_registry.h"
#include "app/launch/launch_settings.h"
#include "base/message_box.h"
#include "app/menu/menu_text.h"
#include "command_test_doubles.h"
#include "edition/activity_log.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

namespace command = window_command;
using Calls = std::vector<std::string>;

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() {
        settings.loop = true;
        settings.shadow = false;
        settings.topwindow = false;
        settings.exitonend = false;
    }

    Calls run(const WindowCommand& cmd) {
        log.clear();
        EXPECT_TRUE(dispatcher.dispatch(cmd)) << cmd.number;
        return log.calls;
    }

    Calls press(Key key) {
        log.clear();
        EXPECT_TRUE(dispatcher.pressKey(key));
        return log.calls;
    }

    testing::TempFolder home;
    LaunchSettings settings;
    LanguageColumn language{1033};
    testing::CallLog log;
    testing::RecordingScene scene{log};
    testing::RecordingWindow window{log};
    CommandDispatcher dispatcher{home.path(), settings, language, scene, window, window};
};

TEST_F(DispatcherTest, ContentCommandsStoreWhatLoaded) {
    EXPECT_EQ(run(commandWithPath(command::kLoadCharacter, "Characters\\Boy.dcz")),
              (Calls{"character Characters\\Boy.dcz"}));
    EXPECT_EQ(run(commandWithPath(command::kLoadDance, "Sequences\\slow.dsq")), (Calls{"dance Sequences\\slow.dsq"}));
    EXPECT_EQ(run(commandWithPath(command::kLoadSound, "Sounds\\a.mp3")), (Calls{"sound Sounds\\a.mp3"}));
    EXPECT_EQ(settings.character, "Characters\\Boy.dcz");
    EXPECT_EQ(settings.dance, "Sequences\\slow.dsq");
    EXPECT_EQ(settings.sound, "Sounds\\a.mp3");

    // A dance's pool files, and the song it names itself, are what the dance brought.
    scene.danceBrings = {{"Sequences\\Motion Pool\\moves.dmp"}, "Sounds\\own.mp3"};
    run(commandWithPath(command::kLoadDance, "Sequences\\own.dsq"));
    EXPECT_EQ(settings.danceFiles, std::vector<std::string>{"Sequences\\Motion Pool\\moves.dmp"});
    EXPECT_EQ(settings.sound, "Sounds\\own.mp3");

    // A failed load leaves the settings as they were.
    scene.failingPaths = {"Characters\\Bad.dcz", "Sequences\\bad.dsq", "Sounds\\bad.mp3"};
    run(commandWithPath(command::kLoadCharacter, "Characters\\Bad.dcz"));
    run(commandWithPath(command::kLoadDance, "Sequences\\bad.dsq"));
    run(commandWithPath(command::kLoadSound, "Sounds\\bad.mp3"));
    EXPECT_EQ(settings.character, "Characters\\Boy.dcz");
    EXPECT_EQ(settings.dance, "Sequences\\own.dsq");
    EXPECT_EQ(settings.sound, "Sounds\\own.mp3");
    EXPECT_EQ(settings.danceFiles.size(), 1u);
}

TEST_F(DispatcherTest, PlaybackWindowAndDialogCommands) {
    EXPECT_EQ(run(plainCommand(command::kPause)), (Calls{"pause"}));
    EXPECT_EQ(run(plainCommand(command::kRestart)), (Calls{"stop", "play"}));
    EXPECT_EQ(run(plainCommand(command::kExit)), (Calls{"destroy"}));
    EXPECT_EQ(run(plainCommand(command::kDestroy)), (Calls{"destroy"}));
    EXPECT_EQ(run(plainCommand(command::kApplyLoop)), Calls{});
    settings.shadow = true;
    EXPECT_EQ(run(plainCommand(command::kApplyShadow)), (Calls{"shadow on"}));
    settings.topwindow = true;
    EXPECT_EQ(run(plainCommand(command::kApplyTopWindow)), (Calls{"top on"}));
    EXPECT_EQ(run(plainCommand(command::kOpenWebSite)), (Calls{"web site"}));
    EXPECT_EQ(run(plainCommand(command::kRefresh)), (Calls{"refresh"}));
    EXPECT_EQ(run(commandWithValue(command::kSetSize, 384)), (Calls{"size 384"}));
    EXPECT_EQ(run(commandWithValue(command::kSetSize, 0)), Calls{});
    EXPECT_EQ(run(commandWithPath(command::kAudioFailure, "Command 3 failed\n[x]")), Calls{});
    EXPECT_EQ(run(plainCommand(command::kSendMail)), (Calls{"send mail"}));
    EXPECT_EQ(run(plainCommand(command::kMailPreference)), (Calls{"mail preference"}));
    EXPECT_EQ(run(commandWithValue(command::kStartMotion, 3)), (Calls{"motion 3"}));
    EXPECT_EQ(run(plainCommand(command::kShowBalloon)), (Calls{"balloon 100,100"}));
    EXPECT_EQ(run(plainCommand(command::kAbout)), (Calls{"about"}));

    // Numbers outside the table go back to the window's default handling.
    for (int other : {3, 8, 44, 61, 103, 106, 1025}) {
        EXPECT_FALSE(dispatcher.dispatch(plainCommand(other))) << other;
    }
}

TEST_F(DispatcherTest, StartUpFallsBackToTheFirstDanceAndCharacterOnOffer) {
    home.write("Sequences/first.dsq", "x");
    home.write("Characters/Mira/Mira.dcz", "x");
    ContentRegistry content;
    content.registerStandardKinds(home.path());
    std::vector<std::string> boxes;
    MessageBoxHandler previous = setMessageBoxHandler([&boxes](const MessageRequest& request) {
        boxes.push_back(request.text);
        return MessageAnswer::Ok;
    });

    settings.dance = "Sequences\\gone.dsq";
    settings.character = "Characters\\Boy.dcz";
    settings.shadow = true;
    scene.failingPaths = {"Sequences\\gone.dsq"};
    log.clear();
    EXPECT_TRUE(dispatcher.startScene(content));
    EXPECT_EQ(log.calls, (Calls{"dance Sequences\\gone.dsq", "dance Sequences\\first.dsq",
                                "character Characters\\Boy.dcz", "shadow on", "play"}));
    EXPECT_EQ(settings.dance, "Sequences\\first.dsq");
    EXPECT_TRUE(boxes.empty());

    // Nothing that loads: the user is told and nothing plays.
    scene.failingPaths = {"Sequences\\first.dsq", "Characters\\Boy.dcz", "Characters\\Mira\\Mira.dcz"};
    log.clear();
    EXPECT_FALSE(dispatcher.startScene(content));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.front().rfind("Character or Dance does not exist!!", 0), 0u);
    EXPECT_EQ(std::count(log.calls.begin(), log.calls.end(), "play"), 0);

    // A damaged first character is passed over for the next that loads, and the user is told
    // of it once; a chosen dance that is simply gone is still passed over in silence.
    home.write("Characters/Ann/Ann.dcz", "damaged");
    settings.dance = "Sequences\\gone.dsq";
    settings.character = "Characters\\Boy.dcz";
    scene.failingPaths = {"Sequences\\gone.dsq", "Characters\\Boy.dcz", "Characters\\Ann\\Ann.dcz"};
    boxes.clear();
    log.clear();
    EXPECT_TRUE(dispatcher.startScene(content));
    EXPECT_EQ(settings.character, "Characters\\Mira\\Mira.dcz");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.front(), "These files could not be loaded and were passed over:\nCharacters\\Ann\\Ann.dcz");

    // A damaged character chosen from the menu or dropped is reported; the current one stays.
    boxes.clear();
    run(commandWithPath(command::kLoadCharacter, "Characters\\Ann\\Ann.dcz"));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Can't load the character!\nCharacters\\Ann\\Ann.dcz"}));
    EXPECT_EQ(settings.character, "Characters\\Mira\\Mira.dcz");
    setMessageBoxHandler(previous);
}

TEST_F(DispatcherTest, EndOfMusicRestartsOrEnds) {
    settings.exitonend = false;
    EXPECT_EQ(run(plainCommand(command::kEndOfMusic)), (Calls{"stop", "play"}));
    settings.loop = false;  // the loop switch does not stop a single song from starting again
    EXPECT_EQ(run(plainCommand(command::kEndOfMusic)), (Calls{"stop", "play"}));
    settings.exitonend = true;
    EXPECT_EQ(run(plainCommand(command::kEndOfMusic)), (Calls{"destroy"}));
}

TEST_F(DispatcherTest, KeysFlipSwitchesAndSendCommands) {
    EXPECT_EQ(press(Key::Escape), (Calls{"destroy"}));
    EXPECT_EQ(press(Key::Space), (Calls{"refresh"}));
    EXPECT_EQ(press(Key::F5), (Calls{"refresh"}));
    EXPECT_EQ(press(Key::Digit1), (Calls{"size 128"}));
    EXPECT_EQ(press(Key::Digit2), (Calls{"size 256"}));
    EXPECT_EQ(press(Key::Digit4), (Calls{"size 512"}));
    EXPECT_EQ(press(Key::A), (Calls{"about"}));
    EXPECT_EQ(press(Key::P), (Calls{"pause"}));
    EXPECT_EQ(press(Key::P), (Calls{"resume"}));  // P again goes on from where it held
    EXPECT_EQ(press(Key::R), (Calls{"stop", "play"}));
    EXPECT_EQ(press(Key::F1), (Calls{"web site"}));
    EXPECT_EQ(press(Key::F6), (Calls{"send mail"}));
    EXPECT_EQ(press(Key::F7), (Calls{"mail preference"}));

    EXPECT_EQ(press(Key::L), Calls{});
    EXPECT_FALSE(settings.loop);
    EXPECT_EQ(press(Key::W), (Calls{"shadow on"}));
    EXPECT_TRUE(settings.shadow);
    EXPECT_EQ(press(Key::W), (Calls{"shadow off"}));
    EXPECT_EQ(press(Key::T), (Calls{"top on"}));
    EXPECT_TRUE(settings.topwindow);

    EXPECT_EQ(press(Key::F10), Calls{});
    EXPECT_EQ(language.language(), MenuLanguage::Korean);
    EXPECT_EQ(press(Key::F12), Calls{});
    EXPECT_EQ(language.language(), MenuLanguage::Japanese);
    EXPECT_EQ(press(Key::F11), Calls{});
    EXPECT_EQ(language.language(), MenuLanguage::English);

    // The key 3 and the rest have no binding.
    for (Key unbound : {Key::Digit3, Key::Digit0, Key::Digit5, Key::B, Key::F2, Key::F4, Key::F8, Key::Other}) {
        EXPECT_FALSE(dispatcher.pressKey(unbound));
    }
}

TEST_F(DispatcherTest, AltQuestionMarkAndAltSlashOpenTheAboutBox) {
    EXPECT_TRUE(dispatcher.typeAccelerator(U'?', true));
    EXPECT_TRUE(dispatcher.typeAccelerator(U'/', true));
    EXPECT_EQ(log.calls, (Calls{"about", "about"}));
    EXPECT_FALSE(dispatcher.typeAccelerator(U'?', false));
    EXPECT_FALSE(dispatcher.typeAccelerator(U'a', true));
}

// The second edition: digit keys start clips, T and A do nothing, F4 writes the window position
// to the activity log, and start-up loads the clip motion list after the dance and character.
class TrovaDispatcherTest : public DispatcherTest {
protected:
    TrovaDispatcherTest() { activity.open(LogDestination::File, (home.path() / "sprite.log").string(), false); }

    std::string logged() {
        std::ifstream in(home.path() / "sprite.log", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    ActivityLog activity;
    CommandDispatcher trova{home.path(), settings, language, scene, window, window, kaveluneTrova(), &activity};
};

TEST_F(TrovaDispatcherTest, KeysStartClipsAndLogTheWindowPosition) {
    log.clear();
    for (Key digit : {Key::Digit0, Key::Digit1, Key::Digit9}) EXPECT_TRUE(trova.pressKey(digit));
    EXPECT_EQ(log.calls, (Calls{"motion 0", "motion 1", "motion 9"}));
    log.clear();
    EXPECT_FALSE(trova.pressKey(Key::T));
    EXPECT_FALSE(trova.pressKey(Key::A));
    EXPECT_FALSE(trova.typeAccelerator(U'?', true));
    EXPECT_TRUE(trova.pressKey(Key::F4));
    EXPECT_TRUE(trova.pressKey(Key::Escape));
    EXPECT_EQ(log.calls, (Calls{"destroy"}));
    EXPECT_FALSE(settings.topwindow);
    EXPECT_EQ(logged(), "window position : 10, 20, 128, 128\n");
}

TEST_F(TrovaDispatcherTest, StartUpLoadsTheClipListAndLogsWhatLoaded) {
    home.write("Sequences/first.dsq", "x");
    home.write("Characters/Mira/Mira.dcz", "x");
    home.write("Sequences/Clips/a.dsq", "x");
    home.write("Sequences/Clips/c.dsq", "x");
    home.write("Sequences/Clips/notadance.dsq", "x");
    // A missing file between two that load, a blank line, words after a path, a final line end.
    home.write("Info/clipMotion.txt",
               "Sequences\\Clips\\a.dsq  the first one\n\nSequences\\Clips\\gone.dsq\n \t\n"
               "Sequences\\Clips\\notadance.dsq\nSequences\\Clips\\c.dsq\n");
    scene.failingPaths = {"Sequences\\Clips\\notadance.dsq"};
    ContentRegistry content;
    content.registerStandardKinds(home.path());
    std::vector<MessageRequest> boxes;
    MessageBoxHandler previous = setMessageBoxHandler([&boxes](const MessageRequest& request) {
        boxes.push_back(request);
        return MessageAnswer::Ok;
    });
    log.clear();
    EXPECT_TRUE(trova.startScene(content));
    setMessageBoxHandler(previous);

    EXPECT_EQ(log.calls, (Calls{"dance Sequences\\first.dsq", "character Characters\\Mira\\Mira.dcz",
                                "clip Sequences\\Clips\\a.dsq", "clip Sequences\\Clips\\notadance.dsq",
                                "clip Sequences\\Clips\\c.dsq", "shadow off", "play"}));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Can't read clip motion file : Sequences\\Clips\\gone.dsq");
    EXPECT_EQ(boxes[0].caption, "error");
    EXPECT_EQ(logged(), "dance : Sequences\\first.dsq\ncharacter : Characters\\Mira\\Mira.dcz\n"
                        "clip motion : Sequences\\Clips\\a.dsq\nclip motion : Sequences\\Clips\\c.dsq\n");

    // KaveluneLE has no clip list.
    log.clear();
    EXPECT_TRUE(dispatcher.startScene(content));
    EXPECT_EQ(std::count_if(log.calls.begin(), log.calls.end(), [](const std::string& call) { return call.rfind("clip", 0) == 0; }), 0);
}

}  // namespace
}  // namespace kavelune
