#include "motion/dance_retiming.h"

#include <gtest/gtest.h>

namespace kavelune {
namespace {

// A dance of three bars, 4, 4 and 3 beats of 500 ms, after a lead-in of 400 ms.
BeatMap danceOfThreeBars() {
    BeatMap map;
    map.startOffset = 400;
    map.bars = {{500, 500, 500, 500}, {500, 500, 500, 500}, {500, 500, 500}};
    return map;
}

// A song that speeds up from 90 to 140 bpm, with uneven beats, its first bar on its third beat.
std::vector<std::uint32_t> quickeningSong() {
    std::vector<std::uint32_t> beats;
    double at = 300.0, gap = 667.0;
    for (int i = 0; i < 60; ++i) {
        beats.push_back(static_cast<std::uint32_t>(at + (i % 3 == 1 ? 9 : 0)));
        at += gap;
        gap = std::max(429.0, gap - 6.0);
    }
    return beats;
}

TEST(DanceRetimingTest, EveryBarOfTheDanceStartsOnABarOfTheSong) {
    const BeatMap dance = danceOfThreeBars();
    const std::vector<std::uint32_t> song = quickeningSong();
    DanceRetiming retiming;
    ASSERT_TRUE(retiming.build(dance, song, 2));

    // The song's bars, grouped as the dance groups its beats: 4, 4, 3, then again.
    std::vector<std::uint32_t> songBars;
    const int groups[] = {4, 4, 3};
    for (std::size_t beat = 2, bar = 0; beat < song.size(); beat += groups[bar++ % 3]) songBars.push_back(song[beat]);

    // Walk the song millisecond by millisecond: the dance's slot changes exactly on those bars,
    // cycling through the dance's three bars, and its beats change on the song's beats.
    BeatPosition previous = lookupBeat(dance, retiming.danceTime(song[2] - 1));
    std::size_t nextBar = 0, barsSeen = 0;
    for (std::uint32_t t = song[2]; t < song.back() + 2000; ++t) {
        const BeatPosition now = lookupBeat(dance, retiming.danceTime(t));
        ASSERT_TRUE(now.found) << t;
        if (now.slot != previous.slot || (barsSeen == 0 && t == song[2])) {
            if (nextBar < songBars.size()) {
                ASSERT_EQ(t, songBars[nextBar]) << "bar " << nextBar;
            }
            EXPECT_EQ(now.slot, barsSeen % 3);
            EXPECT_FLOAT_EQ(now.fraction, 0.0f);
            ++nextBar;
            ++barsSeen;
        }
        EXPECT_GE(now.fraction, now.slot == previous.slot ? previous.fraction : 0.0f) << t;
        previous = now;
    }
    EXPECT_GE(barsSeen, songBars.size()) << "past the last beat the dance goes on at the last pace";
}

TEST(DanceRetimingTest, TheLeadInIsStretchedOverTheSongsAndBeatlessDancesAreRefused) {
    DanceRetiming retiming;
    ASSERT_TRUE(retiming.build(danceOfThreeBars(), {1000, 1500, 2000}, 0));
    EXPECT_EQ(retiming.danceTime(0), 0u);
    EXPECT_EQ(retiming.danceTime(500), 200u);
    EXPECT_EQ(retiming.danceTime(1000), 400u);
    EXPECT_EQ(retiming.danceTime(1250), 650u);

    BeatMap silent;
    silent.bars = {{}, {0, 0}};
    EXPECT_FALSE(retiming.build(silent, {1000, 1500, 2000}, 0));
    EXPECT_FALSE(retiming.active());
    EXPECT_FALSE(retiming.build(danceOfThreeBars(), {1000, 1500}, 1)) << "one beat gives no pace";
    EXPECT_EQ(retiming.danceTime(1234), 1234u) << "inactive: the song's time as it is";
}

TEST(DanceRetimingTest, TypicalBeatsPerBarIsTheMostCommonCount) {
    EXPECT_EQ(typicalBeatsPerBar(danceOfThreeBars()), 4);
    BeatMap waltz;
    waltz.bars = {{400, 400, 400}, {600, 600}, {400, 400, 400}};
    EXPECT_EQ(typicalBeatsPerBar(waltz), 3);
    EXPECT_EQ(typicalBeatsPerBar(BeatMap{}), 4);
}

}  // namespace
}  // namespace kavelune
