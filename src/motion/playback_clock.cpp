#include "motion/playback_clock.h"

namespace kavelune {

double PlaybackClock::secondsSinceStart() const {
    return std::chrono::duration<double>(Source::now() - counterStart_).count();
}

void PlaybackClock::start() {
    running_ = true;
    counterStart_ = Source::now();
    last_ = 0.0;
}

void PlaybackClock::reset() {
    elapsed_ = 0.0;
    running_ = false;
}

double PlaybackClock::read() {
    if (!firstReadDone_) {
        firstReadDone_ = true;
        start();
    }
    if (running_) {
        double now = secondsSinceStart();
        elapsed_ += (now - last_) / rate_;
        last_ = now;
    }
    if (elapsed_ > kMaximumSeconds) {
        elapsed_ = 0.0;
    }
    return elapsed_ * 1000.0;
}

}  // namespace kavelune
