#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/smtp/mail_connection.h"

namespace kavelune {

struct MailAddress {
    std::string address;
    std::string displayName;
};

// One message to send. Texts are the bytes as they go out, already in the mail's character
// set; the HTML body is the caller's buffer and must outlive the call to Send.
struct SendMailRequest {
    std::vector<MailAddress> recipients;  // one RCPT TO each; the first also goes into To:
    std::string subject;
    std::string plainBody;
    std::string_view htmlBody;
    std::string server;  // "host" or "host:port" (port 25 when none; 465 means implicit TLS)
    std::string userName;
    MailAddress sender;
    MailAddress replyTo;  // no Reply-To: header when the address is empty
    std::string charset;  // "ISO-8859-1", "euc-kr" or "Shift_JIS"
    std::function<void()> progressStep;         // once per 2048 characters of the HTML body
    const std::atomic<bool>* cancel = nullptr;  // set from another thread to cancel the send
};

// Sends one message straight to an SMTP server: greeting, STARTTLS when offered, AUTH LOGIN
// when a password is set, the envelope and the MIME message.
class MailManager {
public:
    MailManager(std::string mailerHeader, MailConnector& connector,
                std::chrono::milliseconds timeout = std::chrono::seconds(30));

    // An empty password means the send does not authenticate.
    void setPassword(std::string password);

    // "OK", or the error text to show the user unchanged.
    std::string Send(const SendMailRequest& request);

private:
    std::string mailerHeader_;
    MailConnector& connector_;
    std::chrono::milliseconds timeout_;
    std::string password_;
};

// The mailer header line the invitation mail sends (the space before CR LF is part of it).
inline constexpr const char* kInvitationMailerHeader = "X-Mailer: Kavelune By Halvenor \r\n";

}  // namespace kavelune
