#pragma once

#include <chrono>
#include <string>

namespace kavelune {

// Failure texts that both the dialogue and the platform's connector produce, so the user sees
// the same words whichever side noticed the problem.
inline constexpr const char* kNoMailHostText = "Error: hostent *mailhost = NULL";
inline constexpr const char* kNoSocketText = "Error: socket function return INVALID_SOCKET";
inline constexpr const char* kConnectFailedText = "Error: connect failed";
inline constexpr const char* kTlsFailedText = "Error: TLS negotiation failed";

// " (timed out after 30 s)": added to a failure text when the server did not answer in time,
// so a silent server is told apart from one that refused.
std::string timedOutNote(std::chrono::milliseconds timeout);

}  // namespace kavelune
