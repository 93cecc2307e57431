#pragma once

#include <memory>

#include "audio_engine/codec/decoder.h"
#include "audio_engine/input/byte_source.h"

namespace kavelune::engine {

// WAV files through libsndfile. Null when the source is not a readable WAV file.
std::unique_ptr<Decoder> openWavDecoder(std::unique_ptr<ByteSource> source);

}  // namespace kavelune::engine
