#pragma once

#include <memory>
#include <string>

#include "mail/smtp/mail_connection.h"

namespace kvl {

// Passes every connection on to the real connector and keeps a copy of what the client wrote,
// so the invitation page can be saved exactly as it went out (`kvl mail send --page-out`).
class SentPageRecorder final : public kavelune::MailConnector {
public:
    explicit SentPageRecorder(kavelune::MailConnector& real) : real_(real) {}

    std::unique_ptr<kavelune::MailConnection> connect(const std::string& host, std::uint16_t port, bool implicitTls,
                                                      std::chrono::milliseconds timeout, std::string& error) override;

    // The HTML alternative of the message sent after DATA, with the transfer encoding undone;
    // false when no message went out.
    bool sentPage(std::string& page) const;

private:
    kavelune::MailConnector& real_;
    std::shared_ptr<std::string> written_ = std::make_shared<std::string>();
};

}  // namespace kvl
