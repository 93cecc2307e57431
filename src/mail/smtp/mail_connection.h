#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kavelune {

// One connected byte stream to a mail server, plain or TLS. The platform provides it; the SMTP
// dialogue only reads and writes through it.
class MailConnection {
public:
    virtual ~MailConnection() = default;
    // Writes every byte or returns false (error, closed, or no progress within the connection's
    // time-out).
    virtual bool write(std::string_view bytes) = 0;
    // Appends whatever arrives within `timeout` (at least one byte) to `appendTo`. False on
    // error, on a closed connection, and when nothing arrived in time.
    virtual bool readSome(std::string& appendTo, std::chrono::milliseconds timeout) = 0;
    // Upgrades the stream to TLS after the server accepted STARTTLS; the certificate is checked
    // against the system's trust store and `hostName`.
    virtual bool startTls(const std::string& hostName) = 0;
    virtual void close() = 0;
    // Why the last failed call failed, in words for the user (e.g. a certificate problem);
    // empty when there is nothing to add.
    virtual std::string failureReason() const { return {}; }
};

class MailConnector {
public:
    virtual ~MailConnector() = default;
    // Connects to `host` (a name or a dotted address, used as given: no reverse lookup) on
    // `port`, within `timeout`; `implicitTls` (port 465) starts TLS before the server speaks.
    // On failure returns nullptr and sets `error` to the text the user sees.
    virtual std::unique_ptr<MailConnection> connect(const std::string& host, std::uint16_t port,
        bool implicitTls, std::chrono::milliseconds timeout, std::string& error) = 0;
};

}  // namespace kavelune
