#include "mail/smtp/smtp_reply.h"

#include <string>

#include "base/text.h"

namespace kavelune {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view withoutCarriageReturn(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool isFinalLine(std::string_view line) {
    line = withoutCarriageReturn(line);
    if (line.size() == 3)
        return isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]);
    return line.size() >= 4 && line[3] == ' ';
}

}  // namespace

SmtpReplyScan scanSmtpReply(std::string_view received) {
    std::size_t lineStart = 0;
    while (lineStart < received.size()) {
        const auto lineFeed = received.find('\n', lineStart);
        if (lineFeed == std::string_view::npos)
            break;  // the rest is still arriving
        const std::string_view line = received.substr(lineStart, lineFeed - lineStart);
        if (isFinalLine(line))
            return {lineFeed + 1, withoutCarriageReturn(line)};
        lineStart = lineFeed + 1;
    }
    return {};
}

bool replyHasCode(const SmtpReplyScan& reply, int code) {
    const std::string expected = std::to_string(code);
    return reply.length > 0 && reply.finalLine.substr(0, 3) == expected;
}

bool ehloOffers(std::string_view reply, std::string_view keyword) {
    bool firstLine = true;  // the first line is the server's greeting, not an extension
    for (const std::string& line : splitOn(reply, '\n')) {
        const std::string_view text = withoutCarriageReturn(line);
        if (!firstLine && text.size() > 4) {
            std::string_view extension = trimBlanks(text.substr(4));
            extension = extension.substr(0, extension.find(' '));
            if (equalsNoCase(extension, keyword))
                return true;
        }
        firstLine = false;
    }
    return false;
}

}  // namespace kavelune
