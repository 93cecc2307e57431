#include "audio_engine/output/pulse_output.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>

namespace kavelune::engine {

PulseOutput::~PulseOutput() { close(); }

bool PulseOutput::open(const AudioFormat& format) {
    if (stream_ != nullptr && format.rate == format_.rate && format.channels == format_.channels) {
        return true;
    }
    close();
    pa_sample_spec sampleFormat{};
    sampleFormat.format = PA_SAMPLE_S16LE;
    sampleFormat.rate = static_cast<std::uint32_t>(format.rate);
    sampleFormat.channels = static_cast<std::uint8_t>(format.channels);
    if (!pa_sample_spec_valid(&sampleFormat)) {
        lastError_ = "unsupported sample format";
        return false;
    }
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(
        static_cast<pa_usec_t>(kTargetBufferSeconds * 1'000'000), &sampleFormat));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    int error = 0;
    stream_ = pa_simple_new(nullptr, applicationName_.c_str(), PA_STREAM_PLAYBACK, nullptr, "Music",
                            &sampleFormat, nullptr, &buffer, &error);
    if (stream_ == nullptr) {
        lastError_ = pa_strerror(error);
        return false;
    }
    format_ = format;
    framesSinceDiscard_ = 0;
    return true;
}

bool PulseOutput::write(const std::int16_t* frames, std::size_t count) {
    if (stream_ == nullptr) {
        return false;
    }
    int error = 0;
    const std::size_t bytes = count * sizeof(std::int16_t) * static_cast<std::size_t>(format_.channels);
    if (pa_simple_write(stream_, frames, bytes, &error) < 0) {
        lastError_ = pa_strerror(error);
        return false;
    }
    framesSinceDiscard_ += static_cast<std::int64_t>(count);
    return true;
}

bool PulseOutput::latencyFrames(std::int64_t& frames) {
    frames = 0;
    if (stream_ == nullptr) {
        return false;
    }
    int error = 0;
    const pa_usec_t latency = pa_simple_get_latency(stream_, &error);
    if (latency == static_cast<pa_usec_t>(-1)) {
        lastError_ = pa_strerror(error);
        return false;
    }
    frames = static_cast<std::int64_t>(static_cast<double>(latency) * format_.rate / 1'000'000.0);
    // The latency includes the sink's own delay; never more than was handed over.
    frames = std::clamp<std::int64_t>(frames, 0, framesSinceDiscard_);
    return true;
}

bool PulseOutput::unheardFrames(std::int64_t& frames) { return latencyFrames(frames); }

std::int64_t PulseOutput::discard() {
    if (stream_ == nullptr) {
        return 0;
    }
    std::int64_t unheard = 0;
    latencyFrames(unheard);
    int error = 0;
    pa_simple_flush(stream_, &error);
    framesSinceDiscard_ = 0;
    return unheard;
}

void PulseOutput::drain() {
    if (stream_ != nullptr) {
        int error = 0;
        pa_simple_drain(stream_, &error);
    }
}

void PulseOutput::close() {
    if (stream_ != nullptr) {
        pa_simple_free(stream_);
        stream_ = nullptr;
    }
}

}  // namespace kavelune::engine
