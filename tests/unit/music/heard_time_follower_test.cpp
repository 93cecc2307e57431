#include "music/heard_time_follower.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

namespace kavelune::testing {
namespace {

// Frames every 16 ms against a heard time given as a function of the clock; returns the clock
// time from which the shown time stays within `tolerance` of the heard one, and checks on the
// way that it never goes back.
double settleTime(std::function<std::optional<double>(double)> heardAt, double until, double tolerance,
                  double start = 0.0) {
    HeardTimeFollower follower;
    follower.restart(0.0, start);
    double settled = -1.0, previous = start;
    for (double clock = 16.0; clock <= until; clock += 16.0) {
        const std::optional<double> heard = heardAt(clock);
        const double shown = follower.advance(clock, heard);
        EXPECT_GE(shown, previous) << "went back at " << clock;
        previous = shown;
        const bool close = !heard || std::fabs(shown - *heard) <= tolerance;
        if (!close) settled = -1.0;
        else if (settled < 0.0) settled = clock;
    }
    return settled;
}

TEST(HeardTimeFollower, RunsWithTheClockUntilTheSoundIsHeard) {
    HeardTimeFollower follower;
    follower.restart(1000.0, 250.0);
    EXPECT_DOUBLE_EQ(follower.advance(1100.0, std::nullopt), 350.0);
    EXPECT_DOUBLE_EQ(follower.advance(1050.0, std::nullopt), 350.0) << "a clock that steps back moves nothing";
}

TEST(HeardTimeFollower, MakesUpDifferencesSmoothlyAndNeverGoesBack) {
    struct Case {
        const char* what;
        std::function<std::optional<double>(double)> heard;
        double settleWithin;  // ms of clock
    };
    const Case cases[] = {
        // The output starts 150 ms after the clock (its buffer and the sink's latency).
        {"a late start", [](double t) { return std::optional<double>(std::max(0.0, t - 150.0)); }, 700.0},
        // The sink stalls for half a second at 2 s; the sound then goes on from where it stood.
        {"a stall",
         [](double t) { return std::optional<double>(t < 2000.0 ? t : (t < 2500.0 ? 2000.0 : t - 500.0)); },
         2500.0 + 1000.0},
        // The sound card runs 0.01 % fast: 24 ms over four minutes must not pile up.
        {"drift", [](double t) { return std::optional<double>(t * 1.0001); }, 100.0},
        // The heard time jitters by a few milliseconds from one report to the next.
        {"jitter", [](double t) { return std::optional<double>(t + 4.0 * std::sin(t * 0.37)); }, 100.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const double settled = settleTime(c.heard, 240'000.0, 10.0);
        ASSERT_GE(settled, 0.0) << "never settled";
        EXPECT_LE(settled, c.settleWithin);
    }
}

TEST(HeardTimeFollower, JumpsForwardToSoundFarAhead) {
    HeardTimeFollower follower;
    follower.restart(0.0, 0.0);
    EXPECT_DOUBLE_EQ(follower.advance(16.0, 5000.0), 5000.0);
    EXPECT_LE(follower.advance(32.0, 5100.0), 5100.0) << "catching up never passes the sound";
}

}  // namespace
}  // namespace kavelune::testing
