#pragma once

#include <exception>

namespace kavelune {

// Raised while the audio engine client is being created, and caught by the music player,
// which then goes on without an engine.
class AudioEngineException : public std::exception {
public:
    explicit AudioEngineException(int code) : code_(code) {}
    int code() const { return code_; }
    const char* what() const noexcept override { return "audio engine could not be created"; }

private:
    int code_;
};

}  // namespace kavelune
