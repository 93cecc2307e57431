#include <algorithm>
#include <system_error>

#include "mail/settings/key_file.h"
#include "mail/settings/system_mail_accounts.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

bool enabled(const KeyFile& source) {
    return source.value("Data Source", "Enabled") != "false";
}

}  // namespace

// Evolution keeps one .source file per piece of an account; a mail identity names its
// transport by uid (the transport's file name without ".source"), and the transport's
// Authentication section holds the SMTP host, port and user.
std::vector<MailAccount> evolutionAccounts(const fs::path& home) {
    fs::path folder = home / ".config" / "evolution" / "sources";
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".source") files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());

    std::vector<MailAccount> accounts;
    for (const fs::path& file : files) {
        KeyFile identity;
        if (!identity.read(file) || !identity.has("Mail Identity") || !enabled(identity)) continue;
        std::string address = identity.value("Mail Identity", "Address");
        std::string transportUid = identity.value("Mail Submission", "TransportUid");
        // A uid is a file name in the same folder, never a path.
        if (address.empty() || transportUid.empty() || transportUid.find('/') != std::string::npos) continue;
        KeyFile transport;
        if (!transport.read(folder / (transportUid + ".source")) || !enabled(transport)) continue;
        if (transport.value("Mail Transport", "BackendName") != "smtp") continue;
        MailAccount account;
        account.address = address;
        account.server = serverWithPort(transport.value("Authentication", "Host"),
                                        transport.value("Authentication", "Port"));
        account.userName = transport.value("Authentication", "User");
        if (!account.server.empty()) accounts.push_back(account);
    }
    return accounts;
}

std::vector<MailAccount> systemMailAccounts(const fs::path& home, std::size_t limit) {
    std::vector<MailAccount> all = thunderbirdAccounts(home);
    std::vector<MailAccount> evolution = evolutionAccounts(home);
    all.insert(all.end(), evolution.begin(), evolution.end());

    std::vector<MailAccount> accounts;
    for (const MailAccount& account : all) {
        if (accounts.size() >= limit) break;
        bool listed = std::any_of(accounts.begin(), accounts.end(), [&](const MailAccount& other) {
            return other.address == account.address && other.server == account.server;
        });
        if (!listed) accounts.push_back(account);
    }
    return accounts;
}

}  // namespace kavelune
