#pragma once

#include <functional>
#include <memory>
#include <string>

#include "audio_engine/input/byte_source.h"
#include "audio_engine/output/audio_output.h"
#include "audio_engine/output/output_choice.h"

namespace kavelune::engine {

// The input and output modules a player is built from. The codec is chosen per input by its
// content, so it is not configured here.
struct EngineModules {
    // Opens the named input; null when it cannot be opened.
    std::function<std::unique_ptr<ByteSource>(const std::string& name)> openInput;
    // Makes the output; called once, on the creating thread.
    std::function<std::unique_ptr<AudioOutput>()> makeOutput;
};

// File input and the output chosen by KAVELUNE_AUDIO.
EngineModules standardModules();
// File input and the given output.
EngineModules modulesWithOutput(const OutputChoice& choice);

}  // namespace kavelune::engine
