#pragma once

#include "mail/smtp/mail_connection.h"

namespace kavelune::posix {

// Mail connections over TCP sockets, with TLS from OpenSSL. Every wait (the name lookup, the
// connect, each write's progress and each read) is bounded by a time-out, so a server that
// stops answering ends a send with an error instead of hanging the mail thread.
class TcpMailConnector final : public MailConnector {
public:
    std::unique_ptr<MailConnection> connect(const std::string& host, std::uint16_t port, bool implicitTls,
                                            std::chrono::milliseconds timeout, std::string& error) override;
};

}  // namespace kavelune::posix
