#pragma once

#include <chrono>

namespace kavelune {

// The clock by which the music player measures how long a song has played; the program makes
// one and hands it to its music player. Readings are only ever compared with each other. Read
// on the user interface thread only.
class PlaybackClock {
public:
    using Source = std::chrono::steady_clock;

    PlaybackClock() = default;
    virtual ~PlaybackClock() = default;

    // Milliseconds of accumulated time. The first read of a clock starts it. Accumulated time
    // restarts at 0 once it passes the 10,000,000 s maximum.
    double read();
    // Begins advancing from now; accumulated time is kept.
    void start();
    // Accumulated time back to 0, stopped until the next start.
    void reset();
    // Elapsed time grows by real time divided by the rate.
    void setRate(double rate) { rate_ = rate > 0.0 ? rate : 1.0; }
    double rate() const { return rate_; }
    bool running() const { return running_; }

    static constexpr double kMaximumSeconds = 10'000'000.0;

protected:
    // Seconds since `counterStart_`; a seam for tests that need to pass the maximum.
    virtual double secondsSinceStart() const;

private:
    bool firstReadDone_ = false;
    bool running_ = false;
    Source::time_point counterStart_{};
    double last_ = 0.0;
    double elapsed_ = 0.0;
    double rate_ = 1.0;
};

}  // namespace kavelune
