#pragma once

#include <filesystem>
#include <vector>

#include "mail/settings/mail_form.h"

namespace kavelune {

// The sending accounts the user's mail programs know, found under `home`: the identities of the
// Thunderbird profiles (profiles.ini, prefs.js) with their SMTP servers, then Evolution's
// (~/.config/evolution/sources). An account needs an address and a server; the same pair is
// listed once; the list stops at `limit`. Passwords stay with the mail programs.
std::vector<MailAccount> systemMailAccounts(const std::filesystem::path& home,
                                            std::size_t limit = kMaxMailAccounts);

// The two halves, for the tests.
std::vector<MailAccount> thunderbirdAccounts(const std::filesystem::path& home);
std::vector<MailAccount> evolutionAccounts(const std::filesystem::path& home);

// "host", or "host:port" when the port is given and is not SMTP's own 25.
std::string serverWithPort(const std::string& host, const std::string& port);

}  // namespace kavelune
