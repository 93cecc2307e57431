#pragma once

#include <cstdint>
#include <string>

namespace kavelune::engine {

// One command for the player thread: its code and arguments. Only InputOpen carries a text.
struct EngineCommand {
    int code = 0;
    int first = 0;
    int second = 0;
    std::string text;
    // Given by EnginePlayer::send, counting from 1; the player publishes the number of each
    // command it has carried out.
    std::uint64_t sequence = 0;
};

}  // namespace kavelune::engine
