#pragma once

#include <chrono>

#include "audio_engine/output/audio_output.h"

namespace kavelune::engine {

// Plays into silence at the speed of a real device: a write returns once the frames before it
// would have been heard, keeping a short buffer ahead like a sound card does. Used when no
// sound server answers and in tests that need real-time behaviour without a server.
class NullOutput : public AudioOutput {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr double kBufferSeconds = 0.05;

    bool open(const AudioFormat& format) override;
    bool isOpen() const override { return open_; }
    bool write(const std::int16_t* frames, std::size_t count) override;
    std::int64_t discard() override;
    // Exact: the silence is "heard" at the pace of the timeline.
    bool unheardFrames(std::int64_t& frames) override {
        frames = framesAhead();
        return open_;
    }
    void drain() override;
    void close() override;

private:
    // Frames handed over since the timeline started that have not been heard yet.
    std::int64_t framesAhead() const;
    void restartTimeline();

    bool open_ = false;
    AudioFormat format_;
    bool timelineRunning_ = false;
    Clock::time_point timelineStart_{};
    std::int64_t framesHanded_ = 0;
};

}  // namespace kavelune::engine
