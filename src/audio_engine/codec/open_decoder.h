#pragma once

#include <memory>

#include "audio_engine/codec/decoder.h"
#include "audio_engine/input/byte_source.h"

namespace kavelune::engine {

// Chooses the codec by the first bytes of the input: RIFF containers go to the WAV codec,
// everything else to the MPEG codec. On failure returns null and sets `error` to an engine
// error code.
std::unique_ptr<Decoder> openDecoder(std::unique_ptr<ByteSource> source, int& error);

}  // namespace kavelune::engine
