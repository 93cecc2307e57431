#include "mail/settings/mail_settings.h"

#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "mail/base64.h"

namespace kavelune {

namespace {

void appendLine(std::string& out, std::string_view key, std::string_view value) {
    out += '<';
    out += key;
    out += '>';
    out.append(10, '\t');
    out += '<';
    out += value;
    out += ">\r\n";
}

// The mail Base64 breaks lines after 80 characters, which a one-line value cannot hold and the
// decoder would read as data; logins and passwords of 60 bytes and more need it unbroken.
std::string oneLineBase64(std::string_view bytes) {
    std::string encoded = base64Encode(bytes);
    std::string line;
    line.reserve(encoded.size());
    for (char c : encoded) {
        if (c != '\n' && c != '\r') line += c;
    }
    return line;
}

// The key between the first "<" and the next ">", the value between the "<" after that and the
// ">" after it; false when either pair is missing.
bool splitLine(std::string_view line, std::string_view& key, std::string_view& value) {
    std::size_t keyOpen = line.find('<');
    if (keyOpen == std::string_view::npos) return false;
    std::size_t keyClose = line.find('>', keyOpen + 1);
    if (keyClose == std::string_view::npos) return false;
    std::size_t valueOpen = line.find('<', keyClose + 1);
    if (valueOpen == std::string_view::npos) return false;
    std::size_t valueClose = line.find('>', valueOpen + 1);
    if (valueClose == std::string_view::npos) return false;
    key = line.substr(keyOpen + 1, keyClose - keyOpen - 1);
    value = line.substr(valueOpen + 1, valueClose - valueOpen - 1);
    return true;
}

void applyLine(std::string_view line, MailSettings& settings) {
    if (line.empty() || line.front() == '#') return;
    std::string_view key;
    std::string_view value;
    if (!splitLine(line, key, value)) return;
    if (key == "Address") {
        settings.address = value;
    } else if (key == "SMTP") {
        settings.server = value;
    } else if (key == "Authentication") {
        settings.authentication = value != "0";
    } else if (key == "RememberIDPW") {
        settings.remember = value != "0";
    } else if (key == "ID") {
        if (!value.empty()) settings.login = base64Decode(value);
    } else if (key == "PW") {
        if (!value.empty()) settings.password = base64Decode(value);
    }
}

}  // namespace

std::string formatMailConfig(const MailSettings& settings) {
    std::string out;
    if (!settings.address.empty()) appendLine(out, "Address", settings.address);
    if (!settings.server.empty()) appendLine(out, "SMTP", settings.server);
    appendLine(out, "Authentication", settings.authentication ? "1" : "0");
    if (settings.authentication) {
        appendLine(out, "RememberIDPW", settings.remember ? "1" : "0");
        if (settings.remember && !settings.login.empty()) {
            appendLine(out, "ID", oneLineBase64(settings.login));
            if (!settings.password.empty()) appendLine(out, "PW", oneLineBase64(settings.password));
        }
    }
    return out;
}

void applyMailConfig(std::string_view text, MailSettings& settings) {
    // Every line counts, the last one too when the file does not end in a line break (a file
    // edited by hand often does not, and its last setting must not be lost).
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        applyLine(text.substr(start, end - start), settings);
        start = end + 1;
    }
}

bool readMailConfig(const std::filesystem::path& file, MailSettings& settings) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return false;
    applyMailConfig(text.str(), settings);
    return true;
}

bool writeMailConfig(const std::filesystem::path& file, const MailSettings& settings) {
    using std::filesystem::perms;
    return writeFileAtomically(file, formatMailConfig(settings), perms::owner_read | perms::owner_write);
}

}  // namespace kavelune
