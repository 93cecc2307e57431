#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kavelune {

inline constexpr const char* kMailConfigFileName = "mail.cfg";

// The user's own mail account as the Mail Preference dialog edits it and mail.cfg keeps it.
struct MailSettings {
    std::string address;
    std::string server;           // "host" or "host:port"
    bool authentication = false;  // the server wants a login
    bool remember = false;        // the login is kept in mail.cfg
    std::string login;
    std::string password;
};

// The written form of mail.cfg: "<Key>", ten tabs, "<value>" lines, CR LF line ends; the login
// and password only when authentication and remember are both on, in Base64.
std::string formatMailConfig(const MailSettings& settings);

// Applies the lines of a mail.cfg text to `settings`. Keys are case-sensitive; unknown keys,
// comments ("#" first) and lines without both <key> and <value> are passed over. Settings the
// text does not mention keep their values.
void applyMailConfig(std::string_view text, MailSettings& settings);

// Reads `file` into `settings`; false (settings untouched) when it cannot be read.
bool readMailConfig(const std::filesystem::path& file, MailSettings& settings);

// Replaces `file` as a whole, atomically, readable and writable by its owner alone (it may hold
// a password).
bool writeMailConfig(const std::filesystem::path& file, const MailSettings& settings);

}  // namespace kavelune
