#include <gtest/gtest.h>

#include "mail/base64.h"
#include "mail/smtp/mail_manager.h"
#include "platform/posix/tcp_mail_connector.h"
#include "smtp_peer.h"

namespace kavelune {
namespace {

using testing::SmtpPeer;
using namespace std::chrono_literals;

const std::string kEhloReply = "250-faulty.test greets you\r\n250-SIZE 1000000\r\n250 HELP\r\n";

// The client against a server that misbehaves in one way per row.
TEST(FaultyServer, EachFaultEndsAsTheUserIsToldAndNeverHangs) {
    struct Row {
        const char* mode;
        const char* password;
        std::string result;
        std::vector<std::string> lastCommands;  // how the client's side of the dialogue ended
    };
    const std::string login = base64Encode("me"), secret = base64Encode("secret");
    const Row rows[] = {
        {"normal", "secret", "OK", {login, secret, "MAIL FROM: <me@example.org>", "RCPT TO: <friend@example.org>", "DATA", "QUIT"}},
        {"ehlo-two-packets", "secret", "OK", {"DATA", "QUIT"}},
        {"bare-250", "", "OK", {"EHLO 127.0.0.1", "MAIL FROM: <me@example.org>", "RCPT TO: <friend@example.org>", "DATA", "QUIT"}},
        {"no-ehlo", "", "OK", {"EHLO 127.0.0.1", "HELO 127.0.0.1", "MAIL FROM: <me@example.org>", "RCPT TO: <friend@example.org>", "DATA", "QUIT"}},
        {"rcpt-550", "", "Error: Failed to Recv 250 after sending RCPT TO Last Rcvd = 550 5.1.1 No such user\r\n",
         {"RCPT TO: <friend@example.org>", "RSET", "QUIT"}},
        {"stall", "", "Error: Failed to Recv 250 after sending From (timed out after 1 s) Last Rcvd = " + kEhloReply,
         {"MAIL FROM: <me@example.org>", "RSET", "QUIT"}},
        {"drop", "", "Error: Failed to Recv 250 after sending RCPT TO Last Rcvd = 250 ok\r\n",
         {"MAIL FROM: <me@example.org>", "RCPT TO: <friend@example.org>"}},
        {"auth-535", "secret",
         "Error: Failed to Recv 235 after sending Auth_Password Last Rcvd = 535 5.7.8 Authentication credentials invalid\r\n",
         {"AUTH LOGIN", login, secret}},
    };
    for (const Row& row : rows) {
        SmtpPeer peer("faulty_smtp_peer.py", {"--mode", row.mode, "--seconds", "10"});
        ASSERT_NE(peer.port(), 0) << row.mode;
        posix::TcpMailConnector connector;
        MailManager manager(kInvitationMailerHeader, connector, 1s);
        manager.setPassword(row.password);

        SendMailRequest mail;
        mail.recipients = {{"friend@example.org", ""}};
        mail.subject = "Hello";
        mail.plainBody = "Hi";
        mail.htmlBody = "<p>Hi</p>\n.\n";
        mail.server = peer.server();
        mail.userName = "me";
        mail.sender = {"me@example.org", ""};
        mail.charset = "ISO-8859-1";
        EXPECT_EQ(manager.Send(mail), row.result) << row.mode;

        const nlohmann::json record = peer.finish();
        ASSERT_TRUE(record.is_object()) << row.mode;
        const std::vector<std::string> commands = record["commands"];
        ASSERT_GE(commands.size(), row.lastCommands.size()) << row.mode;
        EXPECT_EQ(std::vector<std::string>(commands.end() - static_cast<long>(row.lastCommands.size()), commands.end()),
                  row.lastCommands)
            << row.mode;
        if (row.result == "OK") {
            EXPECT_NE(record["data"].get<std::string>().find("\r\n..\r\n"), std::string::npos) << row.mode;
        }
    }
}

}  // namespace
}  // namespace kavelune
