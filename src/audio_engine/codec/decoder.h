#pragma once

#include <cstddef>
#include <cstdint>

namespace kavelune::engine {

struct AudioFormat {
    int rate = 0;      // frames per second
    int channels = 0;  // interleaved 16-bit samples per frame
};

// Turns the bytes of one input into interleaved signed 16-bit frames.
class Decoder {
public:
    virtual ~Decoder() = default;

    virtual AudioFormat format() const = 0;
    // Total frames, -1 when the input cannot tell (a stream that cannot seek).
    virtual std::int64_t lengthFrames() const = 0;
    // Decodes up to `maxFrames` frames; returns how many, 0 at the end of the input.
    virtual std::size_t read(std::int16_t* frames, std::size_t maxFrames) = 0;
    virtual bool seekToFrame(std::int64_t frame) = 0;
};

}  // namespace kavelune::engine
