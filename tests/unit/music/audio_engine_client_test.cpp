#include "music/audio_engine_client.h"

#include <gtest/gtest.h>

#include <atomic>

#include "audio_engine/engine_codes.h"
#include "audio_engine/output/null_output.h"
#include "unit/audio_engine/sound_fixtures.h"
#include "unit/music/music_fixture.h"

namespace kavelune::testing {
namespace {

using namespace kavelune::engine;

EngineSetup withoutPlayer() {
    EngineSetup setup;
    setup.createPlayer = [](auto, auto) { return std::unique_ptr<EnginePlayer>(); };
    return setup;
}

TEST(AudioEngineClientTest, MirrorsStateAndLengthAndTellsTheOwnerOfFailures) {
    std::vector<ReceivedCommand> received;
    AudioEngineClient client([&](int command, const std::string& text) { received.push_back({command, text}); },
                             withoutPlayer());
    EXPECT_FALSE(client.hasEngine());
    client.dispatch({kNotifyPlayerState, kStatePaused, 0});
    client.dispatch({kNotifyPlayerState, 4, 0});
    client.dispatch({kNotifyPlayerState, -1, 0});
    EXPECT_EQ(client.state(), kStatePaused) << "states outside 0 to 3 are ignored";
    client.dispatch({kNotifyInputDuration, 95, 0});
    EXPECT_EQ(client.songLength(), 95000);
    client.dispatch({kNotifyInputDuration, 3'000'000, 0});
    EXPECT_GT(client.songLength(), 0) << "a very long song does not wrap to a negative length";
    client.dispatch({kNotifyCommandFailed, kCommandPause, kErrorNoInput});
    client.dispatch({kNotifyCommandFailed, kCommandPlay, -9999});
    client.dispatch({500, 1, 2});
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].command, kEngineFailureCommand);
    EXPECT_EQ(received[0].text, "Command 5 failed\n[No input is open]");
    EXPECT_EQ(received[1].text, "Command 4 failed\n[Unknown error]");
}

// The device closes on stop once the client has answered Ready with player mode 1.
class CountingOutput : public NullOutput {
public:
    explicit CountingOutput(std::shared_ptr<std::atomic<int>> closes) : closes_(std::move(closes)) {}
    void close() override {
        if (isOpen()) ++*closes_;
        NullOutput::close();
    }

private:
    std::shared_ptr<std::atomic<int>> closes_;
};

using AudioEngineClientPlaying = MusicFixture;

TEST_F(AudioEngineClientPlaying, AnswersReadyBySettingTheDeviceToCloseOnStop) {
    ASSERT_TRUE(makeToneMp3(folder, "a.mp3", 440.0, 2.0));
    auto closes = std::make_shared<std::atomic<int>>(0);
    MusicPlayerOptions counted = options();
    counted.engine.modules = [closes] {
        auto modules = modulesWithOutput({OutputChoice::Kind::Null, {}});
        modules.makeOutput = [closes] { return std::make_unique<CountingOutput>(closes); };
        return modules;
    };
    MusicPlayer player(sink(), clock, counted);
    auto wakes = std::make_shared<std::atomic<int>>(0);
    player.setNotificationWake([wakes] { ++*wakes; });
    ASSERT_TRUE(player.Load((folder / "a.mp3").string()));
    player.Play();
    ASSERT_TRUE(pumpUntil(player, [&] { return player.engineClient()->state() == kStatePlaying; }));
    player.Stop();
    ASSERT_TRUE(pumpUntil(player, [&] { return player.engineClient()->state() == kStateStopped; }));
    EXPECT_EQ(closes->load(), 1);
    EXPECT_TRUE(received.empty());
    EXPECT_GT(wakes->load(), 0) << "the event loop was woken for the notifications";
}

}  // namespace
}  // namespace kavelune::testing
