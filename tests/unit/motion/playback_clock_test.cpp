#include "motion/playback_clock.h"

#include <gtest/gtest.h>

namespace kavelune {
namespace {

// A clock whose counter the test moves by hand.
class SteppedClock : public PlaybackClock {
public:
    double seconds = 0.0;

protected:
    double secondsSinceStart() const override { return seconds; }
};

TEST(PlaybackClockTest, StartsOnFirstReadAndAdvancesWithTheCounter) {
    SteppedClock clock;
    EXPECT_EQ(clock.read(), 0.0);
    EXPECT_TRUE(clock.running());
    clock.seconds = 1.5;
    EXPECT_DOUBLE_EQ(clock.read(), 1500.0);
    clock.seconds = 1.5;
    EXPECT_DOUBLE_EQ(clock.read(), 1500.0);
}

TEST(PlaybackClockTest, RateDividesRealTime) {
    SteppedClock clock;
    clock.read();
    clock.setRate(2.0);
    clock.seconds = 4.0;
    EXPECT_DOUBLE_EQ(clock.read(), 2000.0);
}

TEST(PlaybackClockTest, ResetGivesZeroUntilStartedAgainAndStartKeepsElapsedTime) {
    SteppedClock clock;
    clock.read();
    clock.seconds = 2.0;
    clock.read();
    clock.reset();
    clock.seconds = 5.0;
    EXPECT_EQ(clock.read(), 0.0);
    EXPECT_EQ(clock.read(), 0.0);
    clock.start();
    clock.seconds = 0.25;  // the counter restarts at the start
    EXPECT_DOUBLE_EQ(clock.read(), 250.0);
}

TEST(PlaybackClockTest, WrapsToZeroPastTheMaximum) {
    SteppedClock clock;
    clock.read();
    clock.seconds = PlaybackClock::kMaximumSeconds - 1.0;
    EXPECT_GT(clock.read(), 0.0);
    clock.seconds = PlaybackClock::kMaximumSeconds + 1.0;
    EXPECT_EQ(clock.read(), 0.0);
    clock.seconds = PlaybackClock::kMaximumSeconds + 3.0;
    EXPECT_DOUBLE_EQ(clock.read(), 2000.0);
}

TEST(PlaybackClockTest, RealClockNeverGoesBackwards) {
    PlaybackClock clock;
    double previous = clock.read();
    for (int i = 0; i < 10000; ++i) {
        double now = clock.read();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

}  // namespace
}  // namespace kavelune
