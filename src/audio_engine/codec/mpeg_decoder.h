#pragma once

#include <memory>

#include "audio_engine/codec/decoder.h"
#include "audio_engine/input/byte_source.h"

namespace kavelune::engine {

// MPEG audio layers 1, 2 and 3 through libmpg123. Null when the source holds no MPEG audio.
std::unique_ptr<Decoder> openMpegDecoder(std::unique_ptr<ByteSource> source);

}  // namespace kavelune::engine
