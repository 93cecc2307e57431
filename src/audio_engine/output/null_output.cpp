#include "audio_engine/output/null_output.h"

#include <algorithm>
#include <thread>

namespace kavelune::engine {

bool NullOutput::open(const AudioFormat& format) {
    if (format.rate <= 0 || format.channels <= 0) {
        return false;
    }
    format_ = format;
    open_ = true;
    timelineRunning_ = false;
    return true;
}

void NullOutput::restartTimeline() {
    timelineRunning_ = true;
    timelineStart_ = Clock::now();
    framesHanded_ = 0;
}

std::int64_t NullOutput::framesAhead() const {
    if (!timelineRunning_) {
        return 0;
    }
    double heardSeconds = std::chrono::duration<double>(Clock::now() - timelineStart_).count();
    auto heard = static_cast<std::int64_t>(heardSeconds * format_.rate);
    return std::max<std::int64_t>(0, framesHanded_ - heard);
}

bool NullOutput::write(const std::int16_t*, std::size_t count) {
    if (!open_) {
        return false;
    }
    // A device that ran dry starts again from the moment new frames arrive.
    if (!timelineRunning_ || framesAhead() == 0) {
        restartTimeline();
    }
    framesHanded_ += static_cast<std::int64_t>(count);
    double handedSeconds = static_cast<double>(framesHanded_) / format_.rate;
    auto wakeAt = timelineStart_ + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(handedSeconds - kBufferSeconds));
    std::this_thread::sleep_until(wakeAt);
    return true;
}

std::int64_t NullOutput::discard() {
    std::int64_t dropped = framesAhead();
    timelineRunning_ = false;
    return dropped;
}

void NullOutput::drain() {
    if (!timelineRunning_) {
        return;
    }
    double handedSeconds = static_cast<double>(framesHanded_) / format_.rate;
    std::this_thread::sleep_until(timelineStart_ + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(handedSeconds)));
    timelineRunning_ = false;
}

void NullOutput::close() {
    open_ = false;
    timelineRunning_ = false;
}

}  // namespace kavelune::engine
