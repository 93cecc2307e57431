#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// One sending account offered in the Send Mail dialog's sender list.
struct MailAccount {
    std::string userName;
    std::string server;  // "host" or "host:port"
    std::string address;
};

inline constexpr std::size_t kMaxMailAccounts = 5;

// How much each box of the Send Mail dialog takes, in bytes of UTF-8. The dialog makes its boxes
// refuse more rather than cutting what the user typed when Send is pressed.
inline constexpr std::size_t kSenderLimit = 63;
inline constexpr std::size_t kRecipientsLimit = 255;
inline constexpr std::size_t kSubjectLimit = 127;
inline constexpr std::size_t kMessageLimit = 1023;

// The data behind the Send Mail dialog: the account list the lookup made, the account in use
// and the texts of the boxes. Texts are UTF-8.
struct MailForm {
    std::vector<MailAccount> accounts;  // at most kMaxMailAccounts
    int selectedAccount = -1;           // the account whose address is the sender, -1 for none
    std::string userName;               // account in use
    std::string password;               // empty: the server is not asked for a login
    std::string server;
    std::string sender;
    std::string recipients;
    std::string subject;
    std::string message;

    // Empties every text and the account list, and selects no account.
    void reset();
};

// The first account whose address equals the sender text byte for byte becomes the selected one
// and its server and user name the ones in use; the password in use stays as the lookup set it.
// With no match nothing changes.
void selectAccountForSender(MailForm& form);

// `text` cut to at most `limit` bytes without splitting a UTF-8 character.
std::string clipUtf8(std::string_view text, std::size_t limit);

}  // namespace kavelune
