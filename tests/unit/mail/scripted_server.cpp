#include "scripted_server.h"

namespace kavelune::testing {
namespace {

class ScriptedConnection final : public MailConnection {
public:
    explicit ScriptedConnection(ScriptedServer& server) : server_(server) {}
    bool write(std::string_view bytes) override {
        if (server_.closed)
            return false;
        server_.receive(bytes);
        return true;
    }
    bool readSome(std::string& appendTo, std::chrono::milliseconds) override { return server_.nextPacket(appendTo); }
    bool startTls(const std::string&) override {
        server_.tlsStarted = server_.tlsWorks;
        return server_.tlsWorks;
    }
    void close() override { server_.closed = true; }
    std::string failureReason() const override { return "certificate verify failed"; }

private:
    ScriptedServer& server_;
};

}  // namespace

ScriptedServer::ScriptedServer() {
    answer = [this](const std::string& command) { return standardAnswer(command); };
    packets_.push_back("220 test ESMTP\r\n");
}

std::vector<std::string> ScriptedServer::standardAnswer(const std::string& command) {
    if (authLinesExpected_ > 0)
        return {--authLinesExpected_ > 0 ? "334 UGFzc3dvcmQ6\r\n" : "235 welcome\r\n"};
    if (command == "AUTH LOGIN") {
        authLinesExpected_ = 2;
        return {"334 VXNlcm5hbWU6\r\n"};
    }
    if (command.rfind("EHLO", 0) == 0)
        return {"250-test greets you\r\n250 8BITMIME\r\n"};
    if (command == "DATA")
        return {"354 send it\r\n"};
    if (command == "STARTTLS")
        return {"220 go ahead\r\n"};
    if (command == "QUIT")
        return {"221 bye\r\n"};
    return {"250 ok\r\n"};
}

void ScriptedServer::receive(std::string_view bytes) {
    if (inMessage_) {
        message.append(bytes);
        const auto end = message.find("\r\n.\r\n");
        if (end == std::string::npos)
            return;
        incoming_ = message.substr(end + 5);
        message.resize(end + 5);
        inMessage_ = false;
        if (onMessageEnd)
            onMessageEnd();
        packets_.push_back("250 queued\r\n");
    } else {
        incoming_.append(bytes);
    }
    for (std::size_t lineEnd; !inMessage_ && (lineEnd = incoming_.find("\r\n")) != std::string::npos;) {
        const std::string line = incoming_.substr(0, lineEnd);
        incoming_.erase(0, lineEnd + 2);
        commands.push_back(line);
        for (const std::string& packet : answer(line))
            packets_.push_back(packet);
        if (line == "DATA" && !packets_.empty() && packets_.back().rfind("354", 0) == 0) {
            inMessage_ = true;
            message = std::move(incoming_);
            incoming_.clear();
        }
    }
}

bool ScriptedServer::nextPacket(std::string& appendTo) {
    if (packets_.empty() || closed)
        return false;  // at once: the dialogue takes this as a closed connection
    appendTo += packets_.front();
    packets_.pop_front();
    return true;
}

std::unique_ptr<MailConnection> ScriptedConnector::connect(const std::string& host, std::uint16_t port, bool,
                                                           std::chrono::milliseconds, std::string&) {
    this->host = host;
    this->port = port;
    return std::make_unique<ScriptedConnection>(server_);
}

}  // namespace kavelune::testing
