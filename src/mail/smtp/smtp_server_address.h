#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kavelune {

struct SmtpServerAddress {
    std::string host;
    std::uint16_t port = 25;
};

inline constexpr std::uint16_t kSmtpPort = 25;
inline constexpr std::uint16_t kImplicitTlsSmtpPort = 465;

// Reads "host", "host:port" or "[v6 address]:port" (blanks around it ignored). False for an
// empty host or a port that is not a number from 1 to 65535.
bool parseSmtpServer(std::string_view text, SmtpServerAddress& out);

}  // namespace kavelune
