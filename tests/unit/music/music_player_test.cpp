#include "music/music_player.h"

#include <gtest/gtest.h>

#include "base/message_box.h"
#include "music/audio_engine_exception.h"
#include "unit/audio_engine/sound_fixtures.h"
#include "unit/music/music_fixture.h"

namespace kavelune::testing {
namespace {

using MusicPlayerTest = MusicFixture;

TEST_F(MusicPlayerTest, TheSamePathIsNotOpenedTwiceInARow) {
    ASSERT_TRUE(makeToneMp3(folder, "a.mp3", 440.0, 0.3));
    ASSERT_TRUE(makeToneMp3(folder, "b.mp3", 660.0, 0.3));
    const std::string a = (folder / "a.mp3").string();
    const std::string b = (folder / "b.mp3").string();
    MusicPlayer player(sink(), clock, options());
    EXPECT_TRUE(player.Load(a));
    EXPECT_TRUE(player.Load(a));
    EXPECT_TRUE(player.Load(b));
    EXPECT_TRUE(player.Load(a));
    ASSERT_TRUE(pumpUntil(player, [&] { return openedNames().size() >= 3; }));
    EXPECT_EQ(openedNames(), (std::vector<std::string>{a, b, a}));
}

TEST_F(MusicPlayerTest, AFileTheEngineCannotOpenIsLoadedButReportedToTheOwner) {
    MusicPlayer player(sink(), clock, options());
    EXPECT_TRUE(player.Load((folder / "missing.mp3").string()));
    ASSERT_TRUE(pumpUntil(player, [&] { return receivedCount(kEngineFailureCommand) == 1; }));
    EXPECT_EQ(received[0].text, "Command 8 failed\n[The input cannot be opened]");
}

TEST_F(MusicPlayerTest, ASongEndsWhenTheCountPassesTheLongerOfSongAndDance) {
    // 95.4 s of sound: the end comes at the song's exact length, not at its last whole second.
    ASSERT_TRUE(makeToneWav(folder / "long.wav", 220.0, 95.4, 8000, 1));
    MusicPlayer player(sink(), clock, options());
    ASSERT_TRUE(player.Load((folder / "long.wav").string()));
    ASSERT_TRUE(pumpUntil(player, [&] { return player.songLength() == 95400; }));
    EXPECT_EQ(player.engineClient()->songLength(), 95000) << "the engine still tells whole seconds";
    player.DanceLength = 20000;
    player.Play();

    clock.seconds = 20.5;
    EXPECT_EQ(player.Position(), 20500u) << "the song plays on while the dance repeats";
    clock.seconds = 95.4;
    EXPECT_EQ(player.Position(), 95400u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 0);
    clock.seconds = 95.401;
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 1);
    clock.seconds = 100.0;
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 1) << "the end is told once";
    EXPECT_FALSE(player.playing());
}

TEST_F(MusicPlayerTest, ADanceLongerThanItsSongRunsOnInSilence) {
    MusicPlayer player(sink(), clock, options());
    player.DanceLength = 120000;
    player.Play();
    clock.seconds = 120.0;
    EXPECT_EQ(player.Position(), 120000u);
    clock.seconds = 120.002;
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 1);
}

TEST_F(MusicPlayerTest, WithoutSongLengthOrDanceTheFirstElapsedMillisecondEndsTheSong) {
    MusicPlayer player(sink(), clock, options());
    player.Play();
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 0);
    clock.seconds = 0.001;
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_EQ(receivedCount(kEndOfSongCommand), 1);
}

TEST_F(MusicPlayerTest, PauseFreezesThePositionUntilStopOrPlay) {
    MusicPlayer player(sink(), clock, options());
    player.DanceLength = 60000;
    clock.seconds = 10.0;
    player.Play();
    clock.seconds = 11.234;
    player.Pause();
    EXPECT_EQ(player.Position(), 1234u);
    clock.seconds = 30.0;
    EXPECT_EQ(player.Position(), 1234u);
    player.Pause();
    EXPECT_EQ(player.Position(), 1234u) << "a second pause keeps the frozen place";

    player.Play();
    EXPECT_EQ(player.Position(), 0u) << "there is no resume: counting starts again";
    clock.seconds = 30.5;
    EXPECT_EQ(player.Position(), 500u);
    player.Stop();
    clock.seconds = 31.0;
    EXPECT_EQ(player.Position(), 0u);
}

TEST_F(MusicPlayerTest, DestroyingThePlayerResetsTheClockAndANewPlayerCountsAgain) {
    {
        MusicPlayer player(sink(), clock, options());
        player.DanceLength = 60000;
        player.Play();
        clock.seconds = 2.0;
        EXPECT_EQ(player.Position(), 2000u);
    }
    EXPECT_EQ(clock.read(), 0.0);
    EXPECT_FALSE(clock.running());

    MusicPlayer again(sink(), clock, options());
    again.DanceLength = 60000;
    again.Play();
    clock.seconds = 3.0;
    EXPECT_GT(again.Position(), 0u) << "the clock runs again for the next player";
}

TEST_F(MusicPlayerTest, AnEngineOfAnotherInterfaceVersionIsRefusedWithAMessage) {
    std::vector<MessageRequest> boxes;
    auto previous = setMessageBoxHandler([&boxes](const MessageRequest& request) {
        boxes.push_back(request);
        return MessageAnswer::Ok;
    });
    MusicPlayerOptions refused = options();
    refused.engine.queryVersion = [] { return engine::InterfaceVersion{3, 7}; };

    try {
        AudioEngineClient client(sink(), refused.engine);
        ADD_FAILURE() << "the client was created";
    } catch (const AudioEngineException& error) {
        EXPECT_EQ(error.code(), -106);
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Audio engine API version mismatch");
    EXPECT_EQ(boxes[0].caption, "Audio Engine Error");

    MusicPlayer player(sink(), clock, refused);
    EXPECT_EQ(player.engineClient(), nullptr);
    ASSERT_TRUE(makeToneMp3(folder, "a.mp3", 440.0, 0.3));
    EXPECT_FALSE(player.Load((folder / "a.mp3").string()));
    player.Play();
    clock.seconds = 5.0;
    EXPECT_EQ(player.Position(), 0u);
    EXPECT_TRUE(received.empty());
    setMessageBoxHandler(previous);
}

TEST_F(MusicPlayerTest, WithoutAnEnginePlayerLoadFailsAndTheClockStillCounts) {
    MusicPlayerOptions broken = options();
    broken.engine.createPlayer = [](auto, auto) { return std::unique_ptr<engine::EnginePlayer>(); };
    MusicPlayer player(sink(), clock, broken);
    ASSERT_TRUE(makeToneMp3(folder, "a.mp3", 440.0, 0.3));
    EXPECT_FALSE(player.Load((folder / "a.mp3").string()));
    player.DanceLength = 10000;
    player.Play();
    clock.seconds = 1.0;
    EXPECT_EQ(player.Position(), 1000u);
}

}  // namespace
}  // namespace kavelune::testing
