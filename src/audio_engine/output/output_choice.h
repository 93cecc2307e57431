#pragma once

#include <memory>
#include <optional>
#include <string>

#include "audio_engine/output/audio_output.h"

namespace kavelune::engine {

// Which sound output the engine uses: "pulse", "null" or "wav:PATH", as given by the
// KAVELUNE_AUDIO environment variable or the content kit's --output option.
struct OutputChoice {
    enum class Kind { Pulse, Null, WavFile };
    Kind kind = Kind::Pulse;
    std::string wavPath;
};

// Null for a text that names no output.
std::optional<OutputChoice> parseOutputChoice(const std::string& text);

// The choice in KAVELUNE_AUDIO; pulse when it is unset. An unknown value is reported on
// standard error and pulse is used.
OutputChoice outputChoiceFromEnvironment();

// Makes the output. Pulse falls back to the null output, with a notice on standard error,
// when no server answers.
std::unique_ptr<AudioOutput> makeOutput(const OutputChoice& choice);

}  // namespace kavelune::engine
