#include "audio_engine/engine_codes.h"

namespace kavelune::engine {

const char* errorText(int errorCode) {
    switch (errorCode) {
        case kErrorOutOfMemory: return "Out of memory";
        case kErrorInputOpen: return "The input cannot be opened";
        case kErrorUnsupportedData: return "The input holds no audio that can be decoded";
        case kErrorNoInput: return "No input is open";
        case kErrorOutputOpen: return "The sound output cannot be opened";
        case kErrorBadArgument: return "Invalid command argument";
        case kErrorVersionMismatch: return "Interface version mismatch";
        case kErrorUnknownCommand: return "Unknown command";
        default: return "Unknown error";
    }
}

}  // namespace kavelune::engine
