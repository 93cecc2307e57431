#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "mail/smtp/mail_connection.h"

namespace kavelune::testing {

// An SMTP server in the test's own process: it answers each command line through `answer`
// (any number of packets, none for silence) and collects the message after DATA.
class ScriptedServer {
public:
    std::function<std::vector<std::string>(const std::string& command)> answer;
    bool tlsWorks = true;
    std::function<void()> onMessageEnd;  // called when the closing period arrives

    std::vector<std::string> commands;  // every line outside the message, in order
    std::string message;                // what came after DATA, as sent
    bool tlsStarted = false;
    bool closed = false;

    ScriptedServer();
    // What a plain server says: EHLO without STARTTLS, AUTH LOGIN accepted, 250 to the rest.
    std::vector<std::string> standardAnswer(const std::string& command);
    void receive(std::string_view bytes);
    bool nextPacket(std::string& appendTo);

private:
    std::string incoming_;
    std::deque<std::string> packets_;
    bool inMessage_ = false;
    int authLinesExpected_ = 0;
};

// Hands out connections to one ScriptedServer, which greets with 220 on connect.
class ScriptedConnector final : public MailConnector {
public:
    explicit ScriptedConnector(ScriptedServer& server) : server_(server) {}
    std::unique_ptr<MailConnection> connect(const std::string& host, std::uint16_t port, bool implicitTls,
                                            std::chrono::milliseconds timeout, std::string& error) override;
    std::string host;
    std::uint16_t port = 0;

private:
    ScriptedServer& server_;
};

}  // namespace kavelune::testing
