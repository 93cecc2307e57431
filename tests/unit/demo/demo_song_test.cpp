// The synthesised songs: their length decides whether the dance hits the beat.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "kit/demo/demo_song.h"

namespace kvl::demo {
namespace {

SongPlan shortPlan() {
    SongPlan plan;
    plan.beatMilliseconds = 480;
    plan.bars = 4;
    plan.progression = {{0, true}, {5, false}};
    plan.melody = {0, -2, 2, -1, 3, 4, -2, -1};
    return plan;
}

TEST(DemoSong, LastsExactlyItsBarsOfBeats) {
    const PcmAudio pcm = synthesiseSong(shortPlan());
    EXPECT_EQ(pcm.channels, 2);
    EXPECT_EQ(pcm.frames(), static_cast<std::size_t>(4 * 4 * 480) * kSongSampleRate / 1000);
}

TEST(DemoSong, IsTheSameOnEveryRun) {
    EXPECT_EQ(synthesiseSong(shortPlan()).samples, synthesiseSong(shortPlan()).samples);
}

TEST(DemoSong, UsesTheRangeWithoutClipping) {
    const PcmAudio pcm = synthesiseSong(shortPlan());
    int peak = 0;
    for (std::int16_t sample : pcm.samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_GT(peak, 25000);
    EXPECT_LT(peak, 32767);
}

// The kick lands on the beat: the first 30 ms after a downbeat are louder than the 30 ms just
// before it.
TEST(DemoSong, DownbeatsAreLouderThanWhatPrecedesThem) {
    const SongPlan plan = shortPlan();
    const PcmAudio pcm = synthesiseSong(plan);
    const std::size_t window = kSongSampleRate * 30 / 1000;
    auto energy = [&](std::size_t start) {
        double sum = 0.0;
        for (std::size_t i = start; i < start + window; ++i) sum += std::pow(pcm.samples[2 * i], 2.0);
        return sum;
    };
    for (int bar = 1; bar < plan.bars - 1; ++bar) {
        const std::size_t downbeat = static_cast<std::size_t>(bar) * 4 * 480 * kSongSampleRate / 1000;
        EXPECT_GT(energy(downbeat), 2.0 * energy(downbeat - window)) << "bar " << bar;
    }
}

}  // namespace
}  // namespace kvl::demo
