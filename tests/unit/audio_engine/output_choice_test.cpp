#include <gtest/gtest.h>

#include <cstdlib>

#include "audio_engine/output/fallback_output.h"
#include "audio_engine/output/null_output.h"
#include "audio_engine/output/output_choice.h"
#include "audio_engine/output/pulse_output.h"

namespace kavelune::engine {
namespace {

TEST(OutputChoice, ParsesTheThreeOutputs) {
    EXPECT_EQ(parseOutputChoice("pulse")->kind, OutputChoice::Kind::Pulse);
    EXPECT_EQ(parseOutputChoice("null")->kind, OutputChoice::Kind::Null);
    auto wav = parseOutputChoice("wav:/tmp/a b.wav");
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->kind, OutputChoice::Kind::WavFile);
    EXPECT_EQ(wav->wavPath, "/tmp/a b.wav");
    EXPECT_FALSE(parseOutputChoice("wav:"));
    EXPECT_FALSE(parseOutputChoice("Pulse"));
    EXPECT_FALSE(parseOutputChoice(""));
}

TEST(OutputChoice, EnvironmentChoosesAndUnknownValuesFallToPulse) {
    const char* saved = std::getenv("KAVELUNE_AUDIO");
    const std::string previous = saved ? saved : "";
    setenv("KAVELUNE_AUDIO", "wav:out.wav", 1);
    EXPECT_EQ(outputChoiceFromEnvironment().kind, OutputChoice::Kind::WavFile);
    setenv("KAVELUNE_AUDIO", "speakers", 1);
    EXPECT_EQ(outputChoiceFromEnvironment().kind, OutputChoice::Kind::Pulse);
    unsetenv("KAVELUNE_AUDIO");
    EXPECT_EQ(outputChoiceFromEnvironment().kind, OutputChoice::Kind::Pulse);
    if (saved) setenv("KAVELUNE_AUDIO", previous.c_str(), 1);
}

TEST(OutputChoice, PulseWithoutAServerFallsBackToTheNullOutputOnce) {
    const char* saved = std::getenv("PULSE_SERVER");
    const std::string previous = saved ? saved : "";
    setenv("PULSE_SERVER", "unix:/nonexistent/kavelune-test/native", 1);
    int notices = 0;
    FallbackOutput output(std::make_unique<PulseOutput>(), std::make_unique<NullOutput>(),
                          [&notices] { ++notices; });
    EXPECT_TRUE(output.open({44100, 2}));
    EXPECT_TRUE(output.usingFallback());
    output.close();
    EXPECT_TRUE(output.open({22050, 1}));
    EXPECT_EQ(notices, 1);
    const std::int16_t frames[4] = {};
    EXPECT_TRUE(output.write(frames, 2));
    if (saved) setenv("PULSE_SERVER", previous.c_str(), 1); else unsetenv("PULSE_SERVER");
}

// An output that refuses the first opens (a sound server still starting, or a format it does
// not take) and accepts the rest.
class RefusingOutput : public AudioOutput {
public:
    explicit RefusingOutput(int refusals) : refusals_(refusals) {}
    bool open(const AudioFormat&) override { return open_ = (refusals_-- <= 0); }
    bool isOpen() const override { return open_; }
    bool write(const std::int16_t*, std::size_t) override { return open_; }
    std::int64_t discard() override { return 0; }
    void drain() override {}
    void close() override { open_ = false; }

private:
    int refusals_;
    bool open_ = false;
};

TEST(OutputChoice, AnOutputRefusedOnceIsTriedAgainForTheNextSong) {
    int notices = 0;
    FallbackOutput output(std::make_unique<RefusingOutput>(1), std::make_unique<NullOutput>(),
                          [&notices] { ++notices; });
    EXPECT_TRUE(output.open({44100, 8}));
    EXPECT_TRUE(output.usingFallback());
    output.close();
    EXPECT_TRUE(output.open({44100, 2}));
    EXPECT_FALSE(output.usingFallback());
    EXPECT_EQ(notices, 1);
}

TEST(NullOutput, PacesWritesInRealTimeAndGivesBackWhatWasNotHeard) {
    NullOutput output;
    ASSERT_TRUE(output.open({1000, 1}));
    std::int16_t frames[100] = {};
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(output.write(frames, 100));
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // 300 ms handed over, of which up to the 50 ms buffer may still be ahead.
    EXPECT_GT(took, 0.22);
    EXPECT_LT(took, 0.60);
    const std::int64_t unheard = output.discard();
    EXPECT_GE(unheard, 20);
    EXPECT_LE(unheard, 60);
    EXPECT_EQ(output.discard(), 0);
}

}  // namespace
}  // namespace kavelune::engine
