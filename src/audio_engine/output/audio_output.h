#pragma once

#include <cstddef>
#include <cstdint>

#include "audio_engine/codec/decoder.h"

namespace kavelune::engine {

// Where decoded frames go. Used by the player thread only.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Opens the device for a format; an open device with another format is reopened.
    virtual bool open(const AudioFormat& format) = 0;
    virtual bool isOpen() const = 0;
    // Hands frames to the device, waiting while its buffer is full; false on a device error.
    virtual bool write(const std::int16_t* frames, std::size_t count) = 0;
    // Drops the frames that were handed over but not yet heard and returns how many there
    // were, so the player can step back and lose nothing on a pause.
    virtual std::int64_t discard() = 0;
    // How many of the frames handed over are not yet heard, as the device tells it at this
    // moment (its buffer and its own delay). False for an output that does not play in real
    // time and so cannot say (a file).
    virtual bool unheardFrames(std::int64_t& frames) {
        frames = 0;
        return false;
    }
    // Waits until everything handed over has been heard.
    virtual void drain() = 0;
    virtual void close() = 0;
};

}  // namespace kavelune::engine
