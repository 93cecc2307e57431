#include "mail/smtp/smtp_texts.h"

namespace kavelune {

std::string timedOutNote(std::chrono::milliseconds timeout) {
    const auto ms = timeout.count();
    if (ms % 1000 == 0)
        return " (timed out after " + std::to_string(ms / 1000) + " s)";
    return " (timed out after " + std::to_string(ms) + " ms)";
}

}  // namespace kavelune
