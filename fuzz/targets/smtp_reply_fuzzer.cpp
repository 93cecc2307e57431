// A mail server's replies during a whole send: the fuzz input is what the server says, handed
// to the SMTP dialogue in packets as a network would deliver them.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "mail/smtp/mail_connection.h"
#include "mail/smtp/mail_manager.h"

namespace {

// Real servers send a line or a few per packet; long lines are cut so that replies also arrive
// in pieces.
constexpr std::size_t kLongestPacket = 37;

class ScriptedServer final : public kavelune::MailConnection {
public:
    explicit ScriptedServer(std::string_view said) : said_(said) {}

    bool write(std::string_view) override { return !closed_; }
    bool readSome(std::string& appendTo, std::chrono::milliseconds) override {
        if (closed_ || said_.empty()) return false;  // the server hung up
        std::size_t length = std::min(said_.size(), kLongestPacket);
        const std::size_t lineEnd = said_.substr(0, length).find('\n');
        if (lineEnd != std::string_view::npos) length = lineEnd + 1;
        appendTo.append(said_.substr(0, length));
        said_.remove_prefix(length);
        return true;
    }
    bool startTls(const std::string&) override { return !closed_; }
    void close() override { closed_ = true; }

private:
    std::string_view said_;
    bool closed_ = false;
};

class ScriptedConnector final : public kavelune::MailConnector {
public:
    explicit ScriptedConnector(std::string_view said) : said_(said) {}
    std::unique_ptr<kavelune::MailConnection> connect(const std::string&, std::uint16_t, bool,
                                                      std::chrono::milliseconds, std::string&) override {
        return std::make_unique<ScriptedServer>(said_);
    }

private:
    std::string_view said_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view said(reinterpret_cast<const char*>(data), size);
    ScriptedConnector connector(said);
    kavelune::MailManager manager(kavelune::kInvitationMailerHeader, connector, std::chrono::seconds(5));
    // With a password the dialogue also goes through AUTH LOGIN.
    manager.setPassword(size % 2 == 0 ? "secret" : "");
    const std::string html = "<html><body>Come and dance</body></html>";
    kavelune::SendMailRequest request;
    request.recipients = {{"friend@example.org", "Friend"}, {"other@example.org", ""}};
    request.subject = "Invitation";
    request.plainBody = "Come and dance";
    request.htmlBody = html;
    request.server = "mail.example.org";
    request.userName = "dancer";
    request.sender = {"me@example.org", "Me"};
    request.replyTo = {"me@example.org", ""};
    request.charset = "ISO-8859-1";
    manager.Send(request);
    return 0;
}
