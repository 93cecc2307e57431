#include <gtest/gtest.h>

#include "mail/base64.h"
#include "mail/smtp/mail_manager.h"
#include "scripted_server.h"

namespace kavelune {
namespace {

using testing::ScriptedConnector;
using testing::ScriptedServer;
using Commands = std::vector<std::string>;

SendMailRequest invitation(std::string_view html) {
    SendMailRequest request;
    request.recipients = {{"a@example.org", ""}, {"b@example.org", ""}, {"c@example.org", ""}};
    request.subject = "Dance with me";
    request.plainBody = "Come and see";
    request.htmlBody = html;
    request.server = "mail.example.org:2525";
    request.userName = "me";
    request.sender = {"me@example.org", ""};
    request.replyTo = request.sender;
    request.charset = "ISO-8859-1";
    return request;
}

const Commands kEnvelope = {"MAIL FROM: <me@example.org>", "RCPT TO: <a@example.org>", "RCPT TO: <b@example.org>",
                            "RCPT TO: <c@example.org>", "DATA"};

Commands concat(Commands head, const Commands& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(MailManager, EveryRecipientGetsRcptButOnlyTheFirstIsNamed) {
    ScriptedServer server;
    ScriptedConnector connector(server);
    MailManager manager(kInvitationMailerHeader, connector);
    EXPECT_EQ(manager.Send(invitation("<p>hi</p>")), "OK");

    EXPECT_EQ(connector.host, "mail.example.org");
    EXPECT_EQ(connector.port, 2525);
    EXPECT_EQ(server.commands, concat(concat({"EHLO mail.example.org"}, kEnvelope), {"QUIT"}));
    EXPECT_NE(server.message.find("\r\nTo: <a@example.org>\r\n"), std::string::npos);
    EXPECT_EQ(server.message.find("b@example.org"), std::string::npos);
    EXPECT_TRUE(server.message.ends_with("\r\n--#BOUNDARY#--\r\n.\r\n"));
    EXPECT_TRUE(server.closed);
}

// How the dialogue ends when the server behaves in one way or another.
TEST(MailManager, ServerBehaviours) {
    using Answer = std::function<std::vector<std::string>(ScriptedServer&, const std::string&)>;
    struct Row {
        const char* name;
        std::string password;
        Answer answer;
        std::string result;
        Commands commands;
        bool tlsStarted = false;
    };
    const auto replacing = [](std::string prefix, std::vector<std::string> packets) -> Answer {
        return [=](ScriptedServer& server, const std::string& command) {
            return command.rfind(prefix, 0) == 0 ? packets : server.standardAnswer(command);
        };
    };
    const std::string login = base64Encode("me"), secret = base64Encode("secret");
    std::string longSecret = base64Encode(std::string(70, 'p'));
    std::erase(longSecret, '\n');
    const Row rows[] = {
        {"authenticates with AUTH LOGIN", "secret", nullptr, "OK",
         concat(concat({"EHLO mail.example.org", "AUTH LOGIN", login, secret}, kEnvelope), {"QUIT"})},
        {"keeps a long password on one line", std::string(70, 'p'), nullptr, "OK",
         concat(concat({"EHLO mail.example.org", "AUTH LOGIN", login, longSecret}, kEnvelope), {"QUIT"})},
        {"falls back to HELO", "", replacing("EHLO", {"502 unknown\r\n"}), "OK",
         concat(concat({"EHLO mail.example.org", "HELO mail.example.org"}, kEnvelope), {"QUIT"})},
        {"reads a reply split over packets", "secret", replacing("EHLO", {"250-hi\r\n250-SIZE", " 100\r\n250 HELP\r\n"}),
         "OK", concat(concat({"EHLO mail.example.org", "AUTH LOGIN", login, secret}, kEnvelope), {"QUIT"})},
        {"accepts a bare code", "", replacing("MAIL", {"250\r\n"}), "OK",
         concat(concat({"EHLO mail.example.org"}, kEnvelope), {"QUIT"})},
        {"keeps OK when QUIT goes unanswered", "", replacing("QUIT", {}), "OK",
         concat(concat({"EHLO mail.example.org"}, kEnvelope), {"QUIT"})},
        {"abandons the transaction on a refused recipient", "", replacing("RCPT TO: <b", {"550 no such user\r\n"}),
         "Error: Failed to Recv 250 after sending RCPT TO Last Rcvd = 550 no such user\r\n",
         {"EHLO mail.example.org", "MAIL FROM: <me@example.org>", "RCPT TO: <a@example.org>",
          "RCPT TO: <b@example.org>", "RSET", "QUIT"}},
        {"only closes when the greeting fails", "", replacing("EHLO", {}),
         "Error: Failed to Recv 250 after sending hello Last Rcvd = 220 test ESMTP\r\n", {"EHLO mail.example.org"}},
        {"refused password", "secret",
         [](ScriptedServer& server, const std::string& command) {
             return command == base64Encode("secret") ? std::vector<std::string>{"535 no\r\n"}
                                                       : server.standardAnswer(command);
         },
         "Error: Failed to Recv 235 after sending Auth_Password Last Rcvd = 535 no\r\n",
         {"EHLO mail.example.org", "AUTH LOGIN", login, secret}},
        {"upgrades when STARTTLS is offered", "", replacing("EHLO", {"250-hi\r\n250-STARTTLS\r\n250 8BITMIME\r\n"}), "OK",
         concat(concat({"EHLO mail.example.org", "STARTTLS", "EHLO mail.example.org"}, kEnvelope), {"QUIT"}), true},
    };
    for (const Row& row : rows) {
        ScriptedServer server;
        if (row.answer) {
            const Answer answer = row.answer;
            server.answer = [&server, answer](const std::string& command) { return answer(server, command); };
        }
        ScriptedConnector connector(server);
        MailManager manager(kInvitationMailerHeader, connector);
        manager.setPassword(row.password);
        EXPECT_EQ(manager.Send(invitation("<p>hi</p>")), row.result) << row.name;
        EXPECT_EQ(server.commands, row.commands) << row.name;
        EXPECT_EQ(server.tlsStarted, row.tlsStarted) << row.name;
        EXPECT_TRUE(server.closed) << row.name;
    }
}

TEST(MailManager, FailedTlsUpgradeSaysWhy) {
    ScriptedServer server;
    server.tlsWorks = false;
    server.answer = [&server](const std::string& command) -> std::vector<std::string> {
        if (command.rfind("EHLO", 0) == 0)
            return {"250-hi\r\n250 STARTTLS\r\n"};
        return server.standardAnswer(command);
    };
    ScriptedConnector connector(server);
    MailManager manager(kInvitationMailerHeader, connector);
    EXPECT_EQ(manager.Send(invitation("")),
              "Error: TLS negotiation failed: certificate verify failed Last Rcvd = 220 go ahead\r\n");
    EXPECT_EQ(server.commands, (Commands{"EHLO mail.example.org", "STARTTLS"}));
}

TEST(MailManager, CancelWhileThePageIsSentSaysGoodbye) {
    ScriptedServer server;
    ScriptedConnector connector(server);
    MailManager manager(kInvitationMailerHeader, connector);
    std::atomic<bool> cancel{false};
    const std::string page(10000, 'x');
    SendMailRequest request = invitation(page);
    request.cancel = &cancel;
    int steps = 0;
    request.progressStep = [&] {
        ++steps;
        cancel = true;
    };
    EXPECT_EQ(manager.Send(request), "UserBreak: Cancel message ");
    EXPECT_EQ(steps, 1);
    EXPECT_TRUE(server.message.ends_with("RSET\r\nQUIT\r\n"));
    EXPECT_EQ(server.message.find("\r\n.\r\n"), std::string::npos);  // the message was never ended
    EXPECT_TRUE(server.closed);
}

TEST(MailManager, CancelAfterTheMessageEndedCannotHideItsDelivery) {
    ScriptedServer server;
    std::atomic<bool> cancel{false};
    server.onMessageEnd = [&] { cancel = true; };
    ScriptedConnector connector(server);
    MailManager manager(kInvitationMailerHeader, connector);
    SendMailRequest request = invitation("<p>hi</p>");
    request.cancel = &cancel;
    EXPECT_EQ(manager.Send(request), "OK");
    EXPECT_EQ(server.commands.back(), "QUIT");
}

}  // namespace
}  // namespace kavelune
