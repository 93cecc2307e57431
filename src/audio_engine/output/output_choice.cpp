#include "audio_engine/output/output_choice.h"

#include <cstdlib>
#include <iostream>

#include "audio_engine/output/fallback_output.h"
#include "audio_engine/output/null_output.h"
#include "audio_engine/output/pulse_output.h"
#include "audio_engine/output/wav_file_output.h"

namespace kavelune::engine {

std::optional<OutputChoice> parseOutputChoice(const std::string& text) {
    if (text == "pulse") {
        return OutputChoice{OutputChoice::Kind::Pulse, {}};
    }
    if (text == "null") {
        return OutputChoice{OutputChoice::Kind::Null, {}};
    }
    const std::string wavPrefix = "wav:";
    if (text.rfind(wavPrefix, 0) == 0 && text.size() > wavPrefix.size()) {
        return OutputChoice{OutputChoice::Kind::WavFile, text.substr(wavPrefix.size())};
    }
    return std::nullopt;
}

OutputChoice outputChoiceFromEnvironment() {
    const char* value = std::getenv("KAVELUNE_AUDIO");
    if (value == nullptr || *value == '\0') {
        return {};
    }
    if (auto choice = parseOutputChoice(value)) {
        return *choice;
    }
    std::cerr << "Kavelune: KAVELUNE_AUDIO=\"" << value
              << "\" names no sound output (pulse, null or wav:PATH); using pulse\n";
    return {};
}

std::unique_ptr<AudioOutput> makeOutput(const OutputChoice& choice) {
    switch (choice.kind) {
        case OutputChoice::Kind::Null: return std::make_unique<NullOutput>();
        case OutputChoice::Kind::WavFile: return std::make_unique<WavFileOutput>(choice.wavPath);
        case OutputChoice::Kind::Pulse: break;
    }
    auto pulse = std::make_unique<PulseOutput>();
    PulseOutput* pulseView = pulse.get();
    return std::make_unique<FallbackOutput>(std::move(pulse), std::make_unique<NullOutput>(), [pulseView] {
        std::cerr << "Kavelune: no sound server answers (" << pulseView->lastError()
                  << "); the music plays silently\n";
    });
}

}  // namespace kavelune::engine
