#include "mail/smtp/smtp_server_address.h"

#include <charconv>

#include "base/text.h"

namespace kavelune {
namespace {

bool parsePort(std::string_view digits, std::uint16_t& port) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value == 0 ||
        value > 65535)
        return false;
    port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

bool parseSmtpServer(std::string_view text, SmtpServerAddress& out) {
    text = trimBlanks(text);
    SmtpServerAddress parsed;
    std::string_view portText;
    bool hasPort = false;

    if (!text.empty() && text.front() == '[') {  // an IPv6 literal keeps its colons
        const auto close = text.find(']');
        if (close == std::string_view::npos)
            return false;
        parsed.host = std::string(text.substr(1, close - 1));
        const std::string_view after = text.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return false;
            portText = after.substr(1);
            hasPort = true;
        }
    } else {
        const auto colon = text.find(':');
        if (colon != std::string_view::npos && text.find(':', colon + 1) == std::string_view::npos) {
            parsed.host = std::string(text.substr(0, colon));
            portText = text.substr(colon + 1);
            hasPort = true;
        } else {
            parsed.host = std::string(text);  // a bare IPv6 address has no port
        }
    }

    if (parsed.host.empty() || (hasPort && !parsePort(portText, parsed.port)))
        return false;
    out = std::move(parsed);
    return true;
}

}  // namespace kavelune
