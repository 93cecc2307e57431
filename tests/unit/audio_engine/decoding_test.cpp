// Songs go through the real engine into the WAV-file output; the written file must hold the
// song at its length and pitch.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "audio_engine/engine_codes.h"
#include "audio_engine/engine_modules.h"
#include "audio_engine/input/stream_source.h"
#include "unit/audio_engine/engine_harness.h"
#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {
namespace {

using namespace kavelune::engine;

// Plays `song` to its end into `wav` and returns what the engine reported.
NotificationRecorder renderToWav(const std::filesystem::path& song, const std::filesystem::path& wav,
                                 EngineModules modules = {}) {
    if (!modules.openInput) modules = modulesWithOutput({OutputChoice::Kind::WavFile, wav.string()});
    EngineHarness engine(std::move(modules));
    engine.player().sendInputOpen(song.string());
    engine.player().send(kCommandPlay);
    EXPECT_TRUE(engine.waitFor([](const NotificationRecorder& r) {
        return r.lastState() == kStateEndOfStream || !r.failed.empty();
    })) << "the song never ended";
    engine.shutDown();  // the output finishes the file when the player goes away
    engine.pump();
    return engine.recorded();
}

TEST(EngineDecoding, Mp3LayerThreeKeepsLengthAndPitch) {
    TempFolder folder;
    ASSERT_TRUE(makeToneMp3(folder, "tone.mp3", 440.0, 1.5));
    NotificationRecorder recorded = renderToWav(folder / "tone.mp3", folder / "out.wav");

    EXPECT_EQ(recorded.readyCount, 1);
    EXPECT_TRUE(recorded.failed.empty());
    EXPECT_EQ(recorded.durations, std::vector<int>{1}) << "whole seconds, cut down";
    EXPECT_EQ(recorded.states, (std::vector<int>{kStatePlaying, kStateEndOfStream}));
    DecodedSound sound;
    ASSERT_TRUE(readWav(folder / "out.wav", sound));
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 1);
    // lame writes the encoder delay and padding into its header, so the length is exact.
    EXPECT_NEAR(sound.frames(), 66150, 1152);
    EXPECT_NEAR(tonePitch(sound, 4410, sound.frames() - 4410), 440.0, 1.0);
    EXPECT_GT(level(sound, 4410, 60000), 0.3);
}

TEST(EngineDecoding, Mp2LayerTwoStereoAtFortyEightKilohertz) {
    TempFolder folder;
    ASSERT_TRUE(makeToneWav(folder / "tone.wav", 660.0, 1.0, 48000, 2));
    ASSERT_TRUE(encodeMp2(folder / "tone.wav", folder / "tone.mp2"));
    NotificationRecorder recorded = renderToWav(folder / "tone.mp2", folder / "out.wav");

    EXPECT_TRUE(recorded.failed.empty());
    DecodedSound sound;
    ASSERT_TRUE(readWav(folder / "out.wav", sound));
    EXPECT_EQ(sound.rate, 48000);
    EXPECT_EQ(sound.channels, 2);
    // Layer 2 has no gapless header: allow the encoder's delay and its last frame.
    EXPECT_NEAR(sound.seconds(), 1.0, 0.06);
    EXPECT_NEAR(tonePitch(sound, 4800, sound.frames() - 4800), 660.0, 1.5);
}

TEST(EngineDecoding, WavInputComesOutSampleForSample) {
    TempFolder folder;
    ASSERT_TRUE(makeToneWav(folder / "in.wav", 300.0, 0.7, 22050, 2));
    NotificationRecorder recorded = renderToWav(folder / "in.wav", folder / "out.wav");

    EXPECT_TRUE(recorded.failed.empty());
    EXPECT_EQ(recorded.durations, std::vector<int>{0});
    DecodedSound in, out;
    ASSERT_TRUE(readWav(folder / "in.wav", in));
    ASSERT_TRUE(readWav(folder / "out.wav", out));
    EXPECT_EQ(out.rate, 22050);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.samples, in.samples);
}

TEST(EngineDecoding, StreamInputPlaysWithoutLengthOrSeeking) {
    TempFolder folder;
    ASSERT_TRUE(makeToneMp3(folder, "tone.mp3", 440.0, 1.0));
    const std::string bytes = readFile(folder / "tone.mp3");
    EngineModules modules = modulesWithOutput({OutputChoice::Kind::WavFile, (folder / "out.wav").string()});
    modules.openInput = [bytes](const std::string&) -> std::unique_ptr<ByteSource> {
        return std::make_unique<StreamSource>(std::make_unique<std::istringstream>(bytes));
    };
    NotificationRecorder recorded = renderToWav("stream", folder / "out.wav", modules);

    EXPECT_TRUE(recorded.failed.empty());
    EXPECT_EQ(recorded.durations, std::vector<int>{0}) << "a stream has no known length";
    DecodedSound sound;
    ASSERT_TRUE(readWav(folder / "out.wav", sound));
    EXPECT_NEAR(sound.seconds(), 1.0, 0.06);
    EXPECT_NEAR(tonePitch(sound, 4410, sound.frames() - 4410), 440.0, 1.0);
}

TEST(EngineDecoding, UnreadableOrForeignInputsFailTheOpenCommand) {
    TempFolder folder;
    const auto text = folder.write("notes.mp3", std::string(5000, 'x'));
    EngineHarness engine(modulesWithOutput({OutputChoice::Kind::Null, {}}));
    engine.player().sendInputOpen((folder / "missing.mp3").string());
    engine.player().sendInputOpen(text.string());
    engine.player().sendInputOpen(folder.path().string());  // a folder is not a song
    ASSERT_TRUE(engine.waitForAnswers(kCommandInputOpen, 3));

    const auto& failed = engine.recorded().failed;
    ASSERT_EQ(failed.size(), 3u);
    EXPECT_EQ(failed[0].command, kCommandInputOpen);
    EXPECT_EQ(failed[0].error, kErrorInputOpen);
    EXPECT_EQ(failed[1].error, kErrorUnsupportedData);
    EXPECT_EQ(failed[2].error, kErrorInputOpen);
    EXPECT_STRNE(errorText(kErrorInputOpen), errorText(12345));
}

}  // namespace
}  // namespace kavelune::testing
