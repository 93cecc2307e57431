#include "support/audio_decoding.h"

#include <array>
#include <cstdint>
#include <memory>

#include "audio_engine/codec/open_decoder.h"
#include "audio_engine/input/file_source.h"

namespace kavelune::fuzz {

namespace {

// Enough to pass several frames of any codec; a fuzz input is not to be decoded for seconds.
constexpr int kMaxReads = 64;
constexpr std::size_t kFramesPerRead = 1152;

void readSome(engine::Decoder& decoder, std::array<std::int16_t, kFramesPerRead * 8>& buffer) {
    const auto channels = static_cast<std::size_t>(decoder.format().channels);
    if (channels == 0 || channels > 8) return;
    for (int i = 0; i < kMaxReads; ++i) {
        if (decoder.read(buffer.data(), buffer.size() / channels) == 0) break;
    }
}

}  // namespace

void decodeSongFile(const std::string& path) {
    auto source = engine::FileSource::open(path);
    if (!source) return;
    int error = 0;
    auto decoder = engine::openDecoder(std::move(source), error);
    if (!decoder) return;
    static std::array<std::int16_t, kFramesPerRead * 8> buffer;
    readSome(*decoder, buffer);
    const std::int64_t length = decoder->lengthFrames();
    if (length > 0 && decoder->seekToFrame(length / 2)) readSome(*decoder, buffer);
    decoder->seekToFrame(0);
    readSome(*decoder, buffer);
}

}  // namespace kavelune::fuzz
