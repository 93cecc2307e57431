#include "motion/beat_map.h"

#include <gtest/gtest.h>

namespace kavelune {
namespace {

BeatMap threeBars() {
    BeatMap map;
    map.startOffset = 1000;
    map.bars = {{500, 500, 500, 500}, {100, 900}, {}, {300}};
    return map;
}

TEST(BeatLookupTest, NothingBeforeTheStartOffsetOrAfterTheLastBar) {
    BeatMap map = threeBars();
    EXPECT_FALSE(lookupBeat(map, 0).found);
    EXPECT_FALSE(lookupBeat(map, 999).found);
    EXPECT_TRUE(lookupBeat(map, 1000).found);
    EXPECT_TRUE(lookupBeat(map, 1000 + 2000 + 1000 + 299).found);
    EXPECT_FALSE(lookupBeat(map, 1000 + 2000 + 1000 + 300).found);
}

TEST(BeatLookupTest, EveryBeatCoversAnEqualShareOfTheBar) {
    BeatMap map = threeBars();
    BeatPosition first = lookupBeat(map, 1000);
    EXPECT_EQ(first.slot, 0);
    EXPECT_FLOAT_EQ(first.fraction, 0.0f);
    EXPECT_FLOAT_EQ(lookupBeat(map, 1000 + 750).fraction, 0.375f);
    // Bar 1 has a short and a long beat: each is half of the bar.
    BeatPosition shortBeat = lookupBeat(map, 3000 + 50);
    EXPECT_EQ(shortBeat.slot, 1);
    EXPECT_FLOAT_EQ(shortBeat.fraction, 0.25f);
    EXPECT_FLOAT_EQ(lookupBeat(map, 3000 + 100).fraction, 0.5f);
    EXPECT_FLOAT_EQ(lookupBeat(map, 3000 + 100 + 450).fraction, 0.75f);
}

TEST(BeatLookupTest, AnEmptyBarIsSkipped) {
    BeatPosition position = lookupBeat(threeBars(), 4000);
    EXPECT_TRUE(position.found);
    EXPECT_EQ(position.slot, 3);
    EXPECT_FLOAT_EQ(position.fraction, 0.0f);
}

TEST(BeatLookupTest, ABarPast65535MillisecondsIsShortenedModulo65536) {
    BeatMap map;
    map.bars = {{60000, 10000}, {1000}};
    // 70000 mod 65536 = 4464: bar 0 ends there, inside its first beat.
    EXPECT_EQ(barLength(map.bars[0]), 4464u);
    BeatPosition inFirst = lookupBeat(map, 4463);
    EXPECT_EQ(inFirst.slot, 0);
    EXPECT_FLOAT_EQ(inFirst.fraction, (4463.0f / 60000.0f) / 2.0f);
    EXPECT_EQ(lookupBeat(map, 4464).slot, 1);
    EXPECT_EQ(danceLength(map), 4464u + 1000u);
}

TEST(BeatLookupTest, TheFractionStaysBelowOne) {
    BeatMap map;
    map.bars = {std::vector<std::uint16_t>(255, 60000)};
    // The last millisecond of a long bar of many beats must not round up to a whole bar.
    std::uint32_t end = barLength(map.bars[0]);
    BeatPosition last = lookupBeat(map, end - 1);
    ASSERT_TRUE(last.found);
    EXPECT_LT(last.fraction, 1.0f);
}

TEST(DanceLengthTest, IsStartOffsetPlusAllBars) {
    EXPECT_EQ(danceLength(threeBars()), 1000u + 2000u + 1000u + 0u + 300u);
    EXPECT_EQ(danceLength(BeatMap{}), 0u);
}

}  // namespace
}  // namespace kavelune
