#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace kavelune::testing {

// The aiosmtpd receiver of tests/support/smtp_receiver.py on 127.0.0.1, started
// for one mail and never left running: what it received is written into `out`.
class SmtpReceiver {
public:
    // `delaySeconds`: how long it holds back its answer once the whole mail has come.
    SmtpReceiver(const std::filesystem::path& script, const std::filesystem::path& out, double delaySeconds = 0);
    ~SmtpReceiver();
    SmtpReceiver(const SmtpReceiver&) = delete;
    SmtpReceiver& operator=(const SmtpReceiver&) = delete;

    // The port once the server listens; 0 when it never does.
    int port() const;
    // "127.0.0.1:port", the server as the mail settings name it.
    std::string server() const { return "127.0.0.1:" + std::to_string(port()); }
    // Whether the whole mail has come (the answer may still be held back).
    bool received() const;
    // Waits for the receiver to write what it got and end; true when it ended well.
    bool finish(std::chrono::seconds limit);

private:
    std::filesystem::path out_;
    pid_t pid_ = -1;
};

}  // namespace kavelune::testing
