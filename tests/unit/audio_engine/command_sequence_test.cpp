// Command sequences on a player that plays in real time into the null output.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "audio_engine/engine_codes.h"
#include "audio_engine/engine_modules.h"
#include "audio_engine/output/null_output.h"
#include "unit/audio_engine/engine_harness.h"
#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {
namespace {

using namespace kavelune::engine;
using namespace std::chrono_literals;

// Counts how the player uses its device; the sound still goes to a real-time null output.
struct DeviceLog {
    std::atomic<int> opens{0};
    std::atomic<int> closes{0};
};

class ObservedOutput : public NullOutput {
public:
    explicit ObservedOutput(std::shared_ptr<DeviceLog> log) : log_(std::move(log)) {}
    bool open(const AudioFormat& format) override {
        ++log_->opens;
        return NullOutput::open(format);
    }
    void close() override {
        if (isOpen()) ++log_->closes;
        NullOutput::close();
    }

private:
    std::shared_ptr<DeviceLog> log_;
};

class EngineCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(makeToneMp3(folder_, "long.mp3", 440.0, 3.0));
        ASSERT_TRUE(makeToneMp3(folder_, "short.mp3", 880.0, 0.4));
        modules_ = modulesWithOutput({OutputChoice::Kind::Null, {}});
        modules_.makeOutput = [log = log_] { return std::make_unique<ObservedOutput>(log); };
    }

    std::string song(const char* name) const { return (folder_ / name).string(); }

    TempFolder folder_;
    std::shared_ptr<DeviceLog> log_ = std::make_shared<DeviceLog>();
    EngineModules modules_;
};

bool reachesState(EngineHarness& engine, int state) {
    return engine.waitFor([state](const NotificationRecorder& r) { return r.lastState() == state; });
}

TEST_F(EngineCommands, PauseKeepsThePlaceAndStopReturnsToTheStart) {
    EngineHarness engine(modules_);
    engine.player().sendInputOpen(song("long.mp3"));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStatePlaying));
    std::this_thread::sleep_for(300ms);

    engine.player().send(kCommandPause);
    ASSERT_TRUE(reachesState(engine, kStatePaused));
    const std::int64_t pausedAt = engine.player().progress().frame();
    EXPECT_GT(pausedAt, 44100 * 2 / 10) << "about 0.3 s had been handed over";
    EXPECT_LT(pausedAt, 44100 * 3 / 2) << "a busy machine may sleep long, but not that long";
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(engine.player().progress().frame(), pausedAt) << "nothing moves while paused";

    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStatePlaying));
    std::this_thread::sleep_for(100ms);
    const std::int64_t resumedAt = engine.player().progress().frame();
    EXPECT_GT(resumedAt, pausedAt) << "playing goes on from the paused place";
    EXPECT_LT(resumedAt, pausedAt + 44100) << "and did not skip ahead";

    engine.player().send(kCommandStop);
    ASSERT_TRUE(reachesState(engine, kStateStopped));
    EXPECT_EQ(engine.player().progress().frame(), 0);

    engine.player().send(kCommandSeek, 5, 10);
    ASSERT_TRUE(engine.waitForAnswers(kCommandSeek));
    EXPECT_NEAR(engine.player().progress().frame(), 3 * 44100 / 2, 1152);
    EXPECT_EQ(engine.recorded().states,
              (std::vector<int>{kStatePlaying, kStatePaused, kStatePlaying, kStateStopped}));
    EXPECT_TRUE(engine.recorded().failed.empty());
}

TEST_F(EngineCommands, OpeningWhilePlayingGoesOnWithTheNewSong) {
    EngineHarness engine(modules_);
    engine.player().sendInputOpen(song("long.mp3"));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStatePlaying));
    std::this_thread::sleep_for(100ms);
    const auto started = std::chrono::steady_clock::now();
    engine.player().sendInputOpen(song("short.mp3"));
    ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(engine.recorded().states, (std::vector<int>{kStatePlaying, kStateEndOfStream}))
        << "no stop between the songs";
    EXPECT_EQ(engine.recorded().durations, (std::vector<int>{3, 0}));
    EXPECT_LT(took, 1500ms) << "the short song ended, not the long one";
    EXPECT_GT(took, 300ms) << "the short song was played in real time";
}

TEST_F(EngineCommands, SeekingAtTheEndStopsThePlayerAndPlayAtTheEndStartsOver) {
    EngineHarness engine(modules_);
    engine.player().sendInputOpen(song("short.mp3"));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
    engine.player().send(kCommandSeek, 0, 10);
    ASSERT_TRUE(reachesState(engine, kStateStopped));

    engine.player().send(kCommandSeek, 10, 10);
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStatePlaying));
    EXPECT_LT(engine.player().progress().frame(), 44100 / 4) << "started over from the top";
}

TEST_F(EngineCommands, CommandsWithoutInputOrWithBadArgumentsFail) {
    EngineHarness engine(modules_);
    engine.player().send(kCommandPause);
    engine.player().send(kCommandStop);
    engine.player().send(kCommandPlay);
    engine.player().send(kCommandSeek, 0, 10);
    engine.player().sendInputOpen(song("short.mp3"));
    engine.player().send(kCommandSeek, 0, 0);
    engine.player().send(kCommandSeek, 11, 10);
    engine.player().send(99);
    ASSERT_TRUE(engine.waitFor([](const NotificationRecorder& r) { return r.failed.size() >= 7; }));

    const auto& failed = engine.recorded().failed;
    const std::vector<std::pair<int, int>> expected = {
        {kCommandPause, kErrorNoInput}, {kCommandStop, kErrorNoInput},  {kCommandPlay, kErrorNoInput},
        {kCommandSeek, kErrorNoInput},  {kCommandSeek, kErrorBadArgument}, {kCommandSeek, kErrorBadArgument},
        {99, kErrorUnknownCommand}};
    ASSERT_EQ(failed.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(failed[i].command, expected[i].first) << i;
        EXPECT_EQ(failed[i].error, expected[i].second) << i;
    }
}

TEST_F(EngineCommands, PlayAfterAFailedOpenTriesThatInputAgainNotTheSongBefore) {
    EngineHarness engine(modules_);
    engine.player().sendInputOpen(song("short.mp3"));
    engine.player().sendInputOpen(song("missing.mp3"));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(engine.waitFor([](const NotificationRecorder& r) { return r.failed.size() >= 2; }));
    const auto& failed = engine.recorded().failed;
    EXPECT_EQ(failed[0].command, kCommandInputOpen);
    EXPECT_EQ(failed[1].command, kCommandPlay);
    EXPECT_EQ(failed[1].error, kErrorInputOpen);
    // The old song's length no longer holds once another song was asked for.
    EXPECT_EQ(engine.recorded().durations.back(), 0);
    EXPECT_NE(engine.recorded().lastState(), kStatePlaying);
}

TEST_F(EngineCommands, ModeBitsDecideWhenTheDeviceCloses) {
    EngineHarness engine(modules_);
    engine.player().sendInputOpen(song("long.mp3"));
    engine.player().send(kCommandPlay);
    engine.player().send(kCommandStop);
    ASSERT_TRUE(engine.waitForAnswers(kCommandStop));
    EXPECT_EQ(log_->closes, 0) << "without mode bits the device stays open on stop";

    engine.player().send(kCommandSetPlayerMode, kModeCloseOutputOnStop);
    engine.player().send(kCommandPlay);
    engine.player().send(kCommandStop);
    ASSERT_TRUE(engine.waitForAnswers(kCommandStop, 2));
    EXPECT_EQ(log_->closes, 1);

    engine.player().send(kCommandPlay);
    engine.player().send(kCommandPause);
    ASSERT_TRUE(engine.waitForAnswers(kCommandPause));
    EXPECT_EQ(log_->closes, 1) << "pausing keeps the device";

    engine.player().send(kCommandSetPlayerMode, kModeCloseOutputOnPause);
    engine.player().send(kCommandPlay);
    engine.player().send(kCommandPause);
    ASSERT_TRUE(engine.waitForAnswers(kCommandPause, 2));
    EXPECT_EQ(log_->closes, 2);

    engine.player().send(kCommandSetPlayerMode, kModeCloseOutputAtEnd);
    engine.player().sendInputOpen(song("short.mp3"));
    engine.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
    EXPECT_EQ(log_->closes, 3);
    EXPECT_TRUE(engine.recorded().failed.empty());
}

TEST_F(EngineCommands, ExitEndsThePlayerWithCommandsInFlight) {
    const auto started = std::chrono::steady_clock::now();
    {
        EngineHarness engine(modules_);
        engine.player().sendInputOpen(song("long.mp3"));
        engine.player().send(kCommandPlay);
        engine.player().sendInputOpen(song("short.mp3"));
        engine.player().send(kCommandSeek, 3, 10);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);

    EngineHarness playing(modules_);
    playing.player().sendInputOpen(song("long.mp3"));
    playing.player().send(kCommandPlay);
    ASSERT_TRUE(reachesState(playing, kStatePlaying));
    const auto stopping = std::chrono::steady_clock::now();
    playing.shutDown();
    EXPECT_LT(std::chrono::steady_clock::now() - stopping, 500ms) << "a playing song does not hold up Exit";
}

}  // namespace
}  // namespace kavelune::testing
