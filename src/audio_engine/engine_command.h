#pragma once

#include <string>

namespace kavelune::engine {

// One command for the player thread: its code and arguments. Only InputOpen carries a text.
struct EngineCommand {
    int code = 0;
    int first = 0;
    int second = 0;
    std::string text;
};

}  // namespace kavelune::engine
