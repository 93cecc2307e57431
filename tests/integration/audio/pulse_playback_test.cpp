// What the engine and the music player play through a real PulseAudio server, recorded from
// the server's null sink.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "audio_engine/engine_codes.h"
#include "audio_engine/engine_modules.h"
#include "integration/audio/pulse_server.h"
#include "motion/playback_clock.h"
#include "music/emp_scramble.h"
#include "music/music_player.h"
#include "unit/audio_engine/engine_harness.h"
#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {
namespace {

using namespace kavelune::engine;
using namespace std::chrono_literals;

class PulsePlayback : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (runCommand("command -v pulseaudio >/dev/null && command -v parec >/dev/null") != 0) return;
        server_ = new PulseServer();
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override {
        if (server_ == nullptr || !server_->ready()) {
            GTEST_SKIP() << "pulseaudio cannot run on this machine, so nothing can be played to a server";
        }
    }

    static PulseServer* server_;
    TempFolder folder_;
};

PulseServer* PulsePlayback::server_ = nullptr;

// A recording from the monitor begins a few milliseconds into the first stream (any client's,
// paplay's too), so every song here starts and ends with a quarter second of silence.
bool makePaddedSong(const std::filesystem::path& path, const std::string& synth) {
    return runCommand("sox -q -n -r 44100 -c 1 -b 16 " + quoted(path) + " " + synth + " pad 0.25 0.25") == 0;
}

template <typename Condition>
bool pumpUntil(MusicPlayer& player, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        player.pumpNotifications();
        if (condition()) return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

bool reachesState(EngineHarness& engine, int state) {
    return engine.waitFor([state](const NotificationRecorder& r) { return r.lastState() == state; });
}

TEST_F(PulsePlayback, TheServerPlaysTheSongAtItsPitchAndLength) {
    ASSERT_TRUE(makePaddedSong(folder_ / "tone.wav", "synth 1.0 sine 880 vol 0.5"));
    ASSERT_TRUE(encodeMp3(folder_ / "tone.wav", folder_ / "tone.mp3"));
    PulseServer::Recording recording(*server_);
    {
        EngineHarness engine(modulesWithOutput({OutputChoice::Kind::Pulse, {}}));
        engine.player().sendInputOpen((folder_ / "tone.mp3").string());
        engine.player().send(kCommandPlay);
        ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
        EXPECT_TRUE(engine.recorded().failed.empty());
    }
    const DecodedSound played = recording.finish();
    const auto spans = soundingSpans(played);
    ASSERT_EQ(spans.size(), 1u) << "one unbroken tone";
    EXPECT_NEAR(static_cast<double>(spans[0].to - spans[0].from) / played.rate, 1.0, 0.04);
    EXPECT_NEAR(tonePitch(played, spans[0].from + 2205, spans[0].to - 2205), 880.0, 2.0);
}

TEST_F(PulsePlayback, PausingLosesNothingAndRepeatsNothing) {
    // 0.6 s low, then 0.6 s high, so the order of what is heard can be checked too.
    const auto song = folder_ / "two.wav";
    ASSERT_TRUE(makePaddedSong(song, "synth 0.6 sine 440 vol 0.5 : synth 0.6 sine 880 vol 0.5"));
    PulseServer::Recording recording(*server_);
    {
        EngineHarness engine(modulesWithOutput({OutputChoice::Kind::Pulse, {}}));
        engine.player().sendInputOpen(song.string());
        engine.player().send(kCommandPlay);
        ASSERT_TRUE(reachesState(engine, kStatePlaying));
        std::this_thread::sleep_for(550ms);
        engine.player().send(kCommandPause);
        ASSERT_TRUE(reachesState(engine, kStatePaused));
        std::this_thread::sleep_for(500ms);
        engine.player().send(kCommandPlay);
        ASSERT_TRUE(reachesState(engine, kStateEndOfStream));
    }
    const DecodedSound played = recording.finish();
    const auto spans = soundingSpans(played);
    // The null sink may break the restarted stream into pieces; what matters is that all of
    // the song is heard once, in order, with a pause in it.
    ASSERT_GE(spans.size(), 2u) << "sound, the pause, sound";
    EXPECT_LT(static_cast<double>(spans[0].to - spans[0].from) / played.rate, 1.1) << "the pause came in the song";
    double heard = 0.0;
    for (const auto& span : spans) heard += static_cast<double>(span.to - span.from) / played.rate;
    EXPECT_NEAR(heard, 1.2, 0.06);
    EXPECT_NEAR(tonePitch(played, spans[0].from + 1000, spans[0].from + 8000), 440.0, 3.0);
    EXPECT_NEAR(tonePitch(played, spans.back().to - 12000, spans.back().to - 1000), 880.0, 3.0);
}

TEST_F(PulsePlayback, TheMusicPlayerPlaysAnEmpSongUntilTheDanceEnds) {
    ASSERT_TRUE(makePaddedSong(folder_ / "plain.wav", "synth 1.0 sine 660 vol 0.5"));
    ASSERT_TRUE(encodeMp3(folder_ / "plain.wav", folder_ / "plain.mp3"));
    std::string bytes = readFile(folder_ / "plain.mp3");
    scrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    const auto emp = folder_.write("Sounds/song.emp", bytes);

    PulseServer::Recording recording(*server_);
    int endOfSong = 0;
    std::vector<std::string> failures;
    {
        PlaybackClock clock;
        MusicPlayerOptions options;
        options.findCacheFolder = [cache = folder_ / "cache"] { return cache; };
        options.engine.modules = [] { return modulesWithOutput({OutputChoice::Kind::Pulse, {}}); };
        MusicPlayer player(
            [&](int command, const std::string& text) {
                if (command == kEndOfSongCommand) ++endOfSong;
                if (command == kEngineFailureCommand) failures.push_back(text);
            },
            clock, options);
        ASSERT_TRUE(player.Load(emp.string()));
        player.DanceLength = 2500;
        player.Play();
        std::uint32_t last = 0;
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (endOfSong == 0 && std::chrono::steady_clock::now() < deadline) {
            player.pumpNotifications();
            const std::uint32_t position = player.Position();
            if (endOfSong == 0) {
                EXPECT_GE(position, last) << "the music time never goes back while playing";
                last = position;
            }
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(endOfSong, 1);
        EXPECT_GE(last, 2490u);
        EXPECT_EQ(player.engineClient()->songLength(), 1000);
        EXPECT_EQ(player.engineClient()->state(), kStateEndOfStream) << "the song ended before the dance";
    }
    EXPECT_TRUE(failures.empty());
    const DecodedSound played = recording.finish();
    const auto spans = soundingSpans(played);
    ASSERT_EQ(spans.size(), 1u);
    EXPECT_NEAR(static_cast<double>(spans[0].to - spans[0].from) / played.rate, 1.0, 0.04);
    EXPECT_NEAR(tonePitch(played, spans[0].from + 2205, spans[0].to - 2205), 660.0, 2.0);
}

// The music time follows what the sink plays: behind the frames handed over by the output's
// latency, held back while the sink is suspended, never going back, and the song ends at its
// exact length.
TEST_F(PulsePlayback, TheMusicTimeFollowsTheSoundAcrossLatencyAndAStall) {
    const auto song = folder_ / "long.wav";
    ASSERT_TRUE(runCommand("sox -q -n -r 44100 -c 2 -b 16 " + quoted(song) + " synth 4.321 sine 440 vol 0.3") == 0);
    int endOfSong = 0;
    PlaybackClock clock;
    MusicPlayerOptions options;
    options.engine.modules = [] { return modulesWithOutput({OutputChoice::Kind::Pulse, {}}); };
    MusicPlayer player([&](int command, const std::string&) { endOfSong += command == kEndOfSongCommand; }, clock,
                       options);
    ASSERT_TRUE(player.Load(song.string()));
    ASSERT_TRUE(pumpUntil(player, [&] { return player.songLength() == 4321; }));
    const auto started = std::chrono::steady_clock::now();
    player.Play();
    auto since = [&] { return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count(); };

    std::uint32_t last = 0, lastBeforeEnd = 0;
    double worstBehindHanded = 1e9, settledGap = 0.0;
    bool stalled = false;
    while (endOfSong == 0 && since() < 9000.0) {
        player.pumpNotifications();
        const std::uint32_t position = player.Position();
        if (endOfSong == 0) {
            ASSERT_GE(position, last) << "the music time went back at " << since() << " ms";
            last = lastBeforeEnd = position;
        }
        const engine::OutputSnapshot output = player.engineClient()->progress()->snapshot();
        const double handed = output.handedFrame * 1000.0 / std::max(1, output.rate);
        if (since() > 1000.0 && since() < 1800.0) worstBehindHanded = std::min(worstBehindHanded, handed - position);
        if (!stalled && since() > 1800.0) {
            stalled = true;
            ASSERT_EQ(runCommand(std::string("pactl suspend-sink ") + PulseServer::kSinkName + " 1"), 0);
            std::this_thread::sleep_for(500ms);
            ASSERT_EQ(runCommand(std::string("pactl suspend-sink ") + PulseServer::kSinkName + " 0"), 0);
        }
        if (since() > 3600.0 && since() < 3700.0) settledGap = since() - position;
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_GT(worstBehindHanded, 40.0) << "the time is that of the sound heard, not of the sound handed over";
    // Without following the sound the time would run ahead of it by the stall's half second.
    EXPECT_GT(settledGap, 450.0) << "the dance waited for the stalled sound";
    EXPECT_EQ(endOfSong, 1);
    EXPECT_GE(lastBeforeEnd, 4300u) << "the song's end is not cut";
    EXPECT_LE(lastBeforeEnd, 4321u);
}

}  // namespace
}  // namespace kavelune::testing
