#pragma once

#include <cstddef>
#include <string_view>

namespace kavelune {

// Where the first reply in the received bytes ends. A reply is continuation lines ("250-...")
// up to a final line: one whose fourth character is a space, or the bare code ("250"), each
// ended by a line feed. `length` counts through that line feed; 0 while the final line has not
// arrived completely.
struct SmtpReplyScan {
    std::size_t length = 0;
    std::string_view finalLine;
};
SmtpReplyScan scanSmtpReply(std::string_view received);

// Whether the reply's final line carries `code` (three digits).
bool replyHasCode(const SmtpReplyScan& reply, int code);

// Whether an EHLO reply lists `keyword` (e.g. "STARTTLS") as one of its extensions.
bool ehloOffers(std::string_view reply, std::string_view keyword);

}  // namespace kavelune
