#include "audio_engine/output/fallback_output.h"

namespace kavelune::engine {

bool FallbackOutput::open(const AudioFormat& format) {
    if (preferred_->open(format)) {
        active_ = preferred_.get();
        preferredEverOpened_ = true;
        return true;
    }
    if (preferredEverOpened_) {
        // The server went away mid-session, or refused this format: report the failure
        // rather than go silent.
        active_ = preferred_.get();
        return false;
    }
    // Not reached yet (no server, one still starting, or a format it refused): this song keeps
    // its timing on the fallback, and the next one tries the preferred output again.
    if (notice_ && !noticeGiven_) {
        noticeGiven_ = true;
        notice_();
    }
    active_ = fallback_.get();
    return fallback_->open(format);
}

bool FallbackOutput::write(const std::int16_t* frames, std::size_t count) {
    return active_ != nullptr && active_->write(frames, count);
}

}  // namespace kavelune::engine
