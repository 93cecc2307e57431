#include "mail/settings/mail_form.h"

namespace kavelune {

void MailForm::reset() {
    *this = MailForm{};
}

void selectAccountForSender(MailForm& form) {
    for (std::size_t i = 0; i < form.accounts.size(); ++i) {
        const MailAccount& account = form.accounts[i];
        if (account.address == form.sender) {
            form.selectedAccount = static_cast<int>(i);
            form.server = account.server;
            form.userName = account.userName;
            return;
        }
    }
}

std::string clipUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t end = limit;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

}  // namespace kavelune
