#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "base/text.h"
#include "mail/settings/key_file.h"
#include "mail/settings/system_mail_accounts.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

using Prefs = std::map<std::string, std::string, std::less<>>;

// The value of a JavaScript string literal starting at `at` (a double or single quote); `at`
// ends past the closing quote. Escapes are undone for the ones prefs.js uses.
std::string readStringLiteral(std::string_view text, std::size_t& at) {
    char quote = text[at++];
    std::string value;
    while (at < text.size() && text[at] != quote) {
        char c = text[at++];
        if (c == '\\' && at < text.size()) {
            char escaped = text[at++];
            switch (escaped) {
            case 'n': value += '\n'; break;
            case 't': value += '\t'; break;
            case 'u': {
                // Only the ASCII range matters for host names and addresses; others become "?".
                unsigned code = 0;
                std::size_t digits = 0;
                while (digits < 4 && at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at]))) {
                    char h = asciiLower(text[at++]);
                    code = code * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : h - 'a' + 10);
                    ++digits;
                }
                value += code < 0x80 ? static_cast<char>(code) : '?';
                break;
            }
            default: value += escaped; break;
            }
        } else {
            value += c;
        }
    }
    if (at < text.size()) ++at;  // the closing quote
    return value;
}

void skipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) ++at;
}

// user_pref("name", value); lines. Values are strings, numbers or true/false; all kept as text.
Prefs parsePrefs(std::string_view text) {
    Prefs prefs;
    static constexpr std::string_view kCall = "user_pref(";
    std::size_t at = 0;
    while ((at = text.find(kCall, at)) != std::string_view::npos) {
        at += kCall.size();
        skipBlanks(text, at);
        if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) continue;
        std::string name = readStringLiteral(text, at);
        skipBlanks(text, at);
        if (at >= text.size() || text[at] != ',') continue;
        ++at;
        skipBlanks(text, at);
        if (at >= text.size()) break;
        std::string value;
        if (text[at] == '"' || text[at] == '\'') {
            value = readStringLiteral(text, at);
        } else {
            std::size_t end = text.find_first_of(")\n", at);
            value = std::string(trimBlanks(text.substr(at, end == std::string_view::npos ? end : end - at)));
        }
        prefs[name] = value;
    }
    return prefs;
}

std::string pref(const Prefs& prefs, const std::string& name) {
    auto found = prefs.find(name);
    return found == prefs.end() ? std::string() : found->second;
}

std::vector<std::string> commaList(const std::string& text) {
    std::vector<std::string> items;
    for (const std::string& item : splitOn(text, ',')) {
        std::string_view trimmed = trimBlanks(item);
        if (!trimmed.empty()) items.emplace_back(trimmed);
    }
    return items;
}

// Identities in the order the account manager shows them; identities no account names follow
// in name order, so nothing the user set up is missed.
std::vector<std::string> identityOrder(const Prefs& prefs) {
    std::vector<std::string> order;
    std::set<std::string> seen;
    for (const std::string& account : commaList(pref(prefs, "mail.accountmanager.accounts"))) {
        for (const std::string& id : commaList(pref(prefs, "mail.account." + account + ".identities"))) {
            if (seen.insert(id).second) order.push_back(id);
        }
    }
    static constexpr std::string_view kPrefix = "mail.identity.";
    static constexpr std::string_view kSuffix = ".useremail";
    for (const auto& [name, value] : prefs) {
        std::string_view key = name;
        if (key.size() > kPrefix.size() + kSuffix.size() && key.starts_with(kPrefix) && key.ends_with(kSuffix)) {
            std::string id(key.substr(kPrefix.size(), key.size() - kPrefix.size() - kSuffix.size()));
            if (seen.insert(id).second) order.push_back(id);
        }
    }
    return order;
}

std::vector<MailAccount> accountsOfProfile(const fs::path& profile) {
    std::ifstream in(profile / "prefs.js", std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    Prefs prefs = parsePrefs(text.str());

    std::string defaultServer = pref(prefs, "mail.smtp.defaultserver");
    if (defaultServer.empty()) {
        std::vector<std::string> servers = commaList(pref(prefs, "mail.smtpservers"));
        if (!servers.empty()) defaultServer = servers.front();
    }
    std::vector<MailAccount> accounts;
    for (const std::string& id : identityOrder(prefs)) {
        std::string identity = "mail.identity." + id + ".";
        MailAccount account;
        account.address = pref(prefs, identity + "useremail");
        std::string serverKey = pref(prefs, identity + "smtpServer");
        if (serverKey.empty()) serverKey = defaultServer;
        std::string server = "mail.smtpserver." + serverKey + ".";
        account.server = serverWithPort(pref(prefs, server + "hostname"), pref(prefs, server + "port"));
        account.userName = pref(prefs, server + "username");
        if (!account.address.empty() && !serverKey.empty() && !account.server.empty()) {
            accounts.push_back(account);
        }
    }
    return accounts;
}

// The profile folders of one Thunderbird data folder, the default profile first.
std::vector<fs::path> profileFolders(const fs::path& root) {
    KeyFile ini;
    if (!ini.read(root / "profiles.ini")) return {};
    std::string installDefault;
    for (const std::string& section : ini.sections()) {
        if (section.starts_with("Install") && installDefault.empty()) installDefault = ini.value(section, "Default");
    }
    std::vector<fs::path> folders;
    std::size_t defaultIndex = 0;
    bool haveDefault = false;
    for (const std::string& section : ini.sections()) {
        if (!section.starts_with("Profile")) continue;
        std::string path = ini.value(section, "Path");
        if (path.empty()) continue;
        bool relative = ini.value(section, "IsRelative") != "0";
        bool isDefault = installDefault.empty() ? ini.value(section, "Default") == "1" : path == installDefault;
        if (isDefault && !haveDefault) {
            defaultIndex = folders.size();
            haveDefault = true;
        }
        folders.push_back(relative ? root / path : fs::path(path));
    }
    if (haveDefault) std::rotate(folders.begin(), folders.begin() + static_cast<long>(defaultIndex),
                                 folders.begin() + static_cast<long>(defaultIndex) + 1);
    return folders;
}

}  // namespace

std::string serverWithPort(const std::string& host, const std::string& port) {
    if (host.empty()) return {};
    long long number = leadingInteger(port);
    if (number <= 0 || number == 25 || number > 65535) return host;
    return host + ":" + std::to_string(number);
}

std::vector<MailAccount> thunderbirdAccounts(const fs::path& home) {
    // The distribution's package, the snap and the flatpak keep their data in different places.
    const fs::path roots[] = {
        home / ".thunderbird",
        home / "snap" / "thunderbird" / "common" / ".thunderbird",
        home / ".var" / "app" / "org.mozilla.Thunderbird" / ".thunderbird",
    };
    std::vector<MailAccount> accounts;
    for (const fs::path& root : roots) {
        for (const fs::path& profile : profileFolders(root)) {
            std::vector<MailAccount> found = accountsOfProfile(profile);
            accounts.insert(accounts.end(), found.begin(), found.end());
        }
    }
    return accounts;
}

}  // namespace kavelune
