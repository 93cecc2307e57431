#include "mail/invitation/recipients.h"

namespace kavelune {

std::vector<std::string> splitRecipients(std::string_view text) {
    static constexpr std::string_view kSeparators = ",; \t\r\n";
    std::vector<std::string> recipients;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(kSeparators, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) recipients.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return recipients;
}

}  // namespace kavelune
