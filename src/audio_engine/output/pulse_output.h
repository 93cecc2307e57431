#pragma once

#include <string>

#include "audio_engine/output/audio_output.h"

typedef struct pa_simple pa_simple;

namespace kavelune::engine {

// Plays through a PulseAudio server (PipeWire serves the same protocol). The server is the
// one the environment names (PULSE_SERVER) or the user's default.
class PulseOutput : public AudioOutput {
public:
    // About 100 ms of sound is kept in the server's buffer: enough against stalls, short
    // enough that stop and pause are heard at once.
    static constexpr double kTargetBufferSeconds = 0.1;

    explicit PulseOutput(std::string applicationName = "Kavelune")
        : applicationName_(std::move(applicationName)) {}
    ~PulseOutput() override;

    bool open(const AudioFormat& format) override;
    bool isOpen() const override { return stream_ != nullptr; }
    bool write(const std::int16_t* frames, std::size_t count) override;
    std::int64_t discard() override;
    // From the server's timing: what waits in the stream's buffer plus the sink's own delay.
    bool unheardFrames(std::int64_t& frames) override;
    void drain() override;
    void close() override;

    // The server's last error text, for notices.
    const std::string& lastError() const { return lastError_; }

private:
    // Frames between what was written and what is heard; false when the server cannot say.
    bool latencyFrames(std::int64_t& frames);

    std::string applicationName_;
    pa_simple* stream_ = nullptr;
    AudioFormat format_;
    std::int64_t framesSinceDiscard_ = 0;
    std::string lastError_;
};

}  // namespace kavelune::engine
