#pragma once

#include <filesystem>
#include <string>

#include "mail/settings/mail_form.h"
#include "mail/settings/mail_settings.h"

namespace kavelune {

// The account the web service offers to everyone (its three mail texts).
struct WebMailDefault {
    std::string server;    // mail text 1; empty: the service offers none
    std::string userName;  // mail text 2
    std::string password;  // mail text 3
};

struct AccountLookup {
    std::filesystem::path mailConfigFile;  // the user's mail.cfg
    std::filesystem::path homeFolder;      // where the user's mail programs keep their accounts
    WebMailDefault webDefault;
    // "Please enter your email address" in the interface language: the sender text offered with
    // the web default, for the user to overwrite.
    std::string senderPrompt;
};

// Fills the (reset) form's account list and the account in use, in this order:
// 1. the user's own account: `settings` when it holds an address and a server, else mail.cfg
//    read into `settings` (so the saved account counts from the first send of a run, and a
//    login typed for this run only is not lost); it is the only account then;
// 2. the sending accounts of the user's mail programs (at most five), the first in use;
// 3. the web service's default account, with the prompt as sender text.
// False when none of them gives an account; the caller then says "You should have mail
// account." and closes the dialog.
bool loadAccounts(MailForm& form, MailSettings& settings, const AccountLookup& lookup);

}  // namespace kavelune
