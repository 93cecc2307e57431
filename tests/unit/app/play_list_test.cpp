#include <gtest/gtest.h>

#include "app/menu/command_dispatcher.h"
#include "app/launch/launch_settings.h"
#include "app/menu/menu_text.h"
#include "app/content/play_list.h"
#include "base/message_box.h"
#include "command_test_doubles.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

namespace command = window_command;
using Calls = std::vector<std::string>;
using Songs = std::vector<std::string>;

TEST(PlayListTest, ParsesOneSongALine) {
    PlayList list = PlayList::parse("\xEF\xBB\xBF#EXTM3U\r\nSounds\\one.mp3\r\n\r\n   # a comment\n  Sounds/two.mp3  \n"
                                    "/music/three.emp");
    EXPECT_EQ(list.songs(), (Songs{"Sounds\\one.mp3", "Sounds/two.mp3", "/music/three.emp"}));
    EXPECT_TRUE(PlayList::parse("").empty());
    EXPECT_TRUE(PlayList::parse("# only\n\n").empty());
}

TEST(PlayListTest, SongsAreFoundFromTheProgramFolderOrBesideTheList) {
    testing::TempFolder home;
    home.write("Sounds/one.mp3", "");
    home.write("Info/Party/two.mp3", "");
    home.write("Info/Party/mix.lst", "Sounds\\one.mp3\ntwo.mp3\nmissing.mp3\n");
    std::optional<PlayList> list = PlayList::load(home.path(), "Info\\Party\\mix.lst");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->songs(), (Songs{"Sounds\\one.mp3", "Info\\Party\\two.mp3", "missing.mp3"}));
    // Letter case of the stored path does not matter, as everywhere in content paths.
    EXPECT_TRUE(PlayList::load(home.path(), "info\\party\\MIX.lst"));
    EXPECT_FALSE(PlayList::load(home.path(), "Info\\none.lst"));
    home.makeFolder("Info/folder.lst");
    EXPECT_FALSE(PlayList::load(home.path(), "Info\\folder.lst"));
}

TEST(PlayListTest, CursorSeeksAndAdvances) {
    PlayListCursor cursor("Info\\a.lst", PlayList::parse("Sounds\\one.mp3\nSounds\\two.mp3\n"));
    EXPECT_EQ(*cursor.current(), "Sounds\\one.mp3");
    EXPECT_TRUE(cursor.advance(false));
    EXPECT_EQ(*cursor.current(), "Sounds\\two.mp3");
    EXPECT_FALSE(cursor.advance(false));
    EXPECT_EQ(cursor.position(), 1u);
    EXPECT_TRUE(cursor.advance(true));
    EXPECT_EQ(cursor.position(), 0u);
    EXPECT_TRUE(cursor.seek("sounds/TWO.mp3"));
    EXPECT_EQ(cursor.position(), 1u);
    EXPECT_FALSE(cursor.seek("Sounds\\three.mp3"));
    EXPECT_EQ(cursor.position(), 1u);

    PlayListCursor empty("Info\\b.lst", PlayList::parse(""));
    EXPECT_EQ(empty.current(), nullptr);
    EXPECT_FALSE(empty.advance(true));
}

class PlayListCommandTest : public ::testing::Test {
protected:
    PlayListCommandTest() {
        settings.loop = true;
        settings.exitonend = false;
        home.write("Info/three.lst", "Sounds\\a.mp3\nSounds\\b.mp3\nSounds\\c.mp3\n");
        previousHandler = setMessageBoxHandler([this](const MessageRequest& request) {
            boxes.push_back(request.caption + ": " + request.text);
            return MessageAnswer::Ok;
        });
    }
    ~PlayListCommandTest() override { setMessageBoxHandler(previousHandler); }

    Calls run(const WindowCommand& cmd) {
        log.clear();
        EXPECT_TRUE(dispatcher.dispatch(cmd));
        return log.calls;
    }
    Calls endOfMusic() { return run(plainCommand(command::kEndOfMusic)); }

    testing::TempFolder home;
    LaunchSettings settings;
    LanguageColumn language{1033};
    testing::CallLog log;
    testing::RecordingScene scene{log};
    testing::RecordingWindow window{log};
    CommandDispatcher dispatcher{home.path(), settings, language, scene, window, window};
    std::vector<std::string> boxes;
    MessageBoxHandler previousHandler;
};

TEST_F(PlayListCommandTest, ChoosingAListPlaysItsSongsInTurn) {
    EXPECT_EQ(run(commandWithPath(command::kPlayList, "Info\\three.lst")), (Calls{"sound Sounds\\a.mp3"}));
    EXPECT_EQ(settings.list, "Info\\three.lst");
    EXPECT_EQ(settings.sound, "Sounds\\a.mp3");
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\b.mp3", "stop", "play"}));
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\c.mp3", "stop", "play"}));
    EXPECT_EQ(settings.sound, "Sounds\\c.mp3");
    // Loop on: after the last song the list starts again.
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\a.mp3", "stop", "play"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PlayListCommandTest, TheEndOfTheListHoldsStillOrEndsTheProgram) {
    settings.loop = false;
    run(commandWithPath(command::kPlayList, "Info\\three.lst"));
    endOfMusic();
    endOfMusic();
    EXPECT_EQ(endOfMusic(), (Calls{"pause"}));
    EXPECT_EQ(settings.list, "Info\\three.lst");

    // Exit-on-end ends the program after the whole list, not after its first song.
    settings.loop = true;
    settings.exitonend = true;
    run(commandWithPath(command::kPlayList, "Info\\three.lst"));
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\b.mp3", "stop", "play"}));
    endOfMusic();
    EXPECT_EQ(endOfMusic(), (Calls{"destroy"}));
}

TEST_F(PlayListCommandTest, SongsThatFailAreSkippedAndASingleSoundEndsTheList) {
    scene.failingPaths = {"Sounds\\a.mp3", "Sounds\\c.mp3"};
    EXPECT_EQ(run(commandWithPath(command::kPlayList, "Info\\three.lst")),
              (Calls{"sound Sounds\\a.mp3", "sound Sounds\\b.mp3"}));
    EXPECT_EQ(settings.sound, "Sounds\\b.mp3");
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\c.mp3", "sound Sounds\\a.mp3", "sound Sounds\\b.mp3", "stop", "play"}));

    run(commandWithPath(command::kLoadSound, "Sounds\\solo.mp3"));
    EXPECT_EQ(dispatcher.playList(), nullptr);
    EXPECT_TRUE(settings.list.empty());
    EXPECT_EQ(endOfMusic(), (Calls{"stop", "play"}));
}

TEST_F(PlayListCommandTest, UnreadableOrEmptyListsChangeNothing) {
    settings.sound = "Sounds\\before.mp3";
    home.write("Info/empty.lst", "# nothing yet\n");
    EXPECT_EQ(run(commandWithPath(command::kPlayList, "Info\\missing.lst")), Calls{});
    EXPECT_EQ(run(commandWithPath(command::kPlayList, "Info\\empty.lst")), Calls{});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].rfind("Error: ", 0), 0u);
    EXPECT_TRUE(settings.list.empty());
    EXPECT_EQ(settings.sound, "Sounds\\before.mp3");

    // A list whose songs all fail leaves the list that was playing.
    run(commandWithPath(command::kPlayList, "Info\\three.lst"));
    home.write("Info/bad.lst", "Sounds\\x.mp3\n");
    scene.failingPaths = {"Sounds\\x.mp3"};
    EXPECT_EQ(run(commandWithPath(command::kPlayList, "Info\\bad.lst")), (Calls{"sound Sounds\\x.mp3"}));
    EXPECT_EQ(settings.list, "Info\\three.lst");
    ASSERT_TRUE(dispatcher.playList());
    EXPECT_EQ(dispatcher.playList()->listPath(), "Info\\three.lst");
}

TEST_F(PlayListCommandTest, ResumingTakesUpTheSavedList) {
    settings.list = "Info\\three.lst";
    settings.sound = "Sounds\\b.mp3";
    log.clear();
    dispatcher.resumePlayList();
    EXPECT_EQ(log.calls, Calls{});  // the saved sound is already the one playing
    EXPECT_EQ(endOfMusic(), (Calls{"sound Sounds\\c.mp3", "stop", "play"}));

    // A saved sound outside the list: the list starts from its first song.
    settings.sound = "Sounds\\other.mp3";
    log.clear();
    dispatcher.resumePlayList();
    EXPECT_EQ(log.calls, (Calls{"sound Sounds\\a.mp3"}));

    // A list that has gone is forgotten quietly.
    settings.list = "Info\\gone.lst";
    dispatcher.resumePlayList();
    EXPECT_TRUE(settings.list.empty());
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kavelune
