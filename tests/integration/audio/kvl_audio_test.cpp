// The content kit's audio commands, run as a user runs them.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "music/emp_scramble.h"
#include "unit/audio_engine/sound_fixtures.h"

namespace kavelune::testing {
namespace {

std::string kvl(const std::string& arguments, int* status) {
    std::string output;
    *status = runCommand(std::string("KAVELUNE_AUDIO=null ") + KAVELUNE_KVL + " " + arguments + " 2>/dev/null", &output);
    return output;
}

TEST(KvlPlay, ReportsDurationAndStatesOfASongPlayedToTheEnd) {
    TempFolder folder;
    ASSERT_TRUE(makeToneMp3(folder, "tone.mp3", 440.0, 1.3));
    int status = 0;
    const std::string output = kvl("play " + quoted(folder / "tone.mp3") + " --output null --json", &status);
    ASSERT_EQ(status, 0) << output;
    const auto json = nlohmann::json::parse(output);
    EXPECT_EQ(json["duration_s"], 1);
    EXPECT_EQ(json["states"], nlohmann::json::array({1, 3}));
    EXPECT_TRUE(json["failed"].empty());
}

TEST(KvlPlay, RendersTheFirstSecondsIntoAWavFile) {
    TempFolder folder;
    ASSERT_TRUE(makeToneMp3(folder, "tone.mp3", 523.25, 3.0, 48000, 2));
    int status = 0;
    const auto wav = folder / "first.wav";
    const std::string output =
        kvl("play " + quoted(folder / "tone.mp3") + " --output " + quoted(std::filesystem::path("wav:" + wav.string())) + " --seconds 1.25 --json",
            &status);
    ASSERT_EQ(status, 0) << output;
    EXPECT_EQ(nlohmann::json::parse(output)["states"], nlohmann::json::array({1, 0}));
    DecodedSound sound;
    ASSERT_TRUE(readWav(wav, sound));
    EXPECT_EQ(sound.rate, 48000);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.frames(), 60000);
    EXPECT_NEAR(tonePitch(sound, 4800, sound.frames()), 523.25, 1.0);
}

TEST(KvlPlay, AFileThatCannotBeOpenedFailsCommandEight) {
    TempFolder folder;
    int status = 0;
    const std::string output = kvl("play " + quoted(folder / "none.mp3") + " --json", &status);
    EXPECT_EQ(status, 1);
    const auto json = nlohmann::json::parse(output);
    ASSERT_EQ(json["failed"].size(), 1u);
    EXPECT_EQ(json["failed"][0]["command"], 8);
    EXPECT_EQ(json["failed"][0]["error"], -101);
    EXPECT_TRUE(json["duration_s"].is_null());
}

// The demo content's Groove is made at exactly 120 beats a minute, four beats a bar: the
// tempo, the beats and the bar starts come out as exactly the three keys a script reads.
TEST(KvlBeats, PrintsTempoBeatsAndBarsAsJson) {
    const std::filesystem::path song = std::filesystem::path(KAVELUNE_PROGRAM_DIR) / "Sounds" / "Groove.mp3";
    if (!std::filesystem::exists(song)) GTEST_SKIP() << "no demo content in " << KAVELUNE_PROGRAM_DIR;
    int status = 0;
    const std::string output = kvl("beats " + quoted(song) + " --json", &status);
    ASSERT_EQ(status, 0) << output;
    const auto json = nlohmann::json::parse(output);
    ASSERT_EQ(json.size(), 3u);
    EXPECT_NEAR(json["tempo_bpm"].get<double>(), 120.0, 1.0);
    const auto beats = json["beats_ms"].get<std::vector<std::uint32_t>>();
    const auto bars = json["bars_ms"].get<std::vector<std::uint32_t>>();
    ASSERT_GT(beats.size(), 50u);
    for (std::uint32_t beat : beats) {
        EXPECT_LE(std::min(beat % 500, 500 - beat % 500), 70u) << beat;
    }
    ASSERT_GT(bars.size(), 12u);
    for (std::uint32_t bar : bars) {
        EXPECT_LE(std::min(bar % 2000, 2000 - bar % 2000), 70u) << "bars start on the first beats: " << bar;
    }
    EXPECT_EQ(kvl("beats", &status), "");
    EXPECT_EQ(status, 2);
}

TEST(KvlPlay, BadArgumentsAreUsageErrors) {
    int status = 0;
    kvl("play", &status);
    EXPECT_EQ(status, 2);
    kvl("play a.mp3 --output speakers", &status);
    EXPECT_EQ(status, 2);
    kvl("play a.mp3 --seconds -1", &status);
    EXPECT_EQ(status, 2);
    kvl("play a.mp3 --seconds 2x", &status);
    EXPECT_EQ(status, 2);
}

TEST(KvlEmp, EncodesWhatTheMusicPlayerUnscramblesAndDecodesItBack) {
    TempFolder folder;
    ASSERT_TRUE(makeToneMp3(folder, "tone.mp3", 440.0, 0.5));
    const std::string mp3 = readFile(folder / "tone.mp3");
    int status = 0;
    kvl("emp encode " + quoted(folder / "tone.mp3") + " " + quoted(folder / "tone.emp"), &status);
    ASSERT_EQ(status, 0);
    std::string emp = readFile(folder / "tone.emp");
    ASSERT_EQ(emp.size(), mp3.size());
    EXPECT_NE(emp, mp3);
    unscrambleEmp(reinterpret_cast<unsigned char*>(emp.data()), emp.size());
    EXPECT_EQ(emp, mp3);

    kvl("emp decode " + quoted(folder / "tone.emp") + " " + quoted(folder / "back.mp3"), &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(readFile(folder / "back.mp3"), mp3);

    kvl("emp decode " + quoted(folder / "missing.emp") + " " + quoted(folder / "x.mp3"), &status);
    EXPECT_EQ(status, 1);
    kvl("emp scramble " + quoted(folder / "tone.mp3") + " " + quoted(folder / "x.emp"), &status);
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace kavelune::testing
