#include "mail/smtp/mail_manager.h"

#include <ctime>

#include "mail/base64.h"
#include "mail/mime/mime_message.h"
#include "mail/smtp/smtp_reply.h"
#include "mail/smtp/smtp_server_address.h"
#include "mail/smtp/smtp_session.h"
#include "mail/smtp/smtp_texts.h"

namespace kavelune {
namespace {

// A command argument must stay on its line, or it would add commands of its own.
std::string commandArgument(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\0')
            c = ' ';
    return out;
}

// AUTH LOGIN takes each value as one line; the encoder's line breaks (for values of 60 bytes
// and more) would cut a long password in two.
std::string authToken(std::string_view value) {
    std::string token = base64Encode(value);
    std::erase(token, '\n');
    return token;
}

// The texts of the greeting. Without a password the dialogue is the plain HELO one, and its
// failures keep that dialogue's words even when EHLO was said first to look for STARTTLS.
struct GreetingTexts {
    const char* sendFailed;
    const char* replyFailed;
};
constexpr GreetingTexts kHelloTexts{"Error: Failed to send Hello", "Error: Failed to Recv 250 after sending hello"};
constexpr GreetingTexts kEhloTexts{"Error: Failed to send EHLO", "Error: Failed to Recv 250 after sending EHLO"};

// One run of the dialogue. Each step either goes on or leaves the failure's text in `result`.
class SmtpDialogue {
public:
    SmtpDialogue(MailConnection& connection, std::chrono::milliseconds timeout, const SendMailRequest& request,
                 bool tlsFromStart)
        : connection_(connection), session_(connection, timeout, request.cancel), timeout_(timeout),
          request_(request), tlsActive_(tlsFromStart) {}

    // Sends `line` and expects `code`; on failure records the step's texts.
    bool command(std::string_view line, const char* sendFailed, int code, const char* replyFailed) {
        if (session_.cancelRequested())
            return cancelled();
        if (!session_.sendLine(line))
            return fail(sendFailed);
        return expect(code, replyFailed);
    }

    bool expect(int code, const char* replyFailed) { return judge(session_.readReply(code), replyFailed); }

    bool judge(ReplyStatus status, const char* replyFailed) {
        switch (status) {
        case ReplyStatus::Expected:
            return true;
        case ReplyStatus::Cancelled:
            return cancelled();
        case ReplyStatus::TimedOut:
            return fail(replyFailed, timedOutNote(timeout_));
        case ReplyStatus::Other:
        case ReplyStatus::Lost:
            break;
        }
        return fail(replyFailed);
    }

    bool fail(std::string_view text, std::string_view note = {}) {
        result_.assign(text).append(note);
        if (!session_.lastReply().empty())
            result_.append(" Last Rcvd = ").append(session_.lastReply());
        return false;
    }

    // The cancel's text is the same wherever it happened, so no server reply is added to it.
    bool cancelled() {
        session_.clearLastReply();
        result_ = kUserCancelText;
        return false;
    }

    bool greet(const std::string& host, bool authenticate, const std::string& password) {
        if (!expect(220, "Error: Did not Recv 220 before hello"))
            return false;
        const GreetingTexts& texts = authenticate ? kEhloTexts : kHelloTexts;
        if (!ehlo(host, texts, !authenticate))
            return false;

        if (!tlsActive_ && ehloOffers(session_.lastReply(), "STARTTLS")) {
            if (!command("STARTTLS", "Error: Failed to send STARTTLS", 220,
                         "Error: Failed to Recv 220 after sending STARTTLS"))
                return false;
            // Anything the server sent after its 220 came before encryption and must not pass
            // for a reply made under it.
            session_.discardUnread();
            if (!connection_.startTls(host))
                return failTls();
            tlsActive_ = true;
            // What the server offered before encryption no longer counts; ask again.
            if (!command("EHLO " + host, texts.sendFailed, 250, texts.replyFailed))
                return false;
        }
        if (!authenticate)
            return true;

        return command("AUTH LOGIN", "Error: Failed to send AUTH LOGIN", 334,
                       "Error: Failed to Recv 334 after sending AUTH LOGIN") &&
               command(authToken(request_.userName), "Error: Failed to send Auth_UserID", 334,
                       "Error: Failed to Recv 334 after sending Auth_UserID") &&
               command(authToken(password), "Error: Failed to send Auth_Password", 235,
                       "Error: Failed to Recv 235 after sending Auth_Password");
    }

    // EHLO, or for a server that refuses it (and a dialogue that needs no extensions) HELO.
    bool ehlo(const std::string& host, const GreetingTexts& texts, bool heloWillDo) {
        if (session_.cancelRequested())
            return cancelled();
        if (!session_.sendLine("EHLO " + host))
            return fail(texts.sendFailed);
        const ReplyStatus status = session_.readReply(250);
        if (status == ReplyStatus::Other && heloWillDo)
            return command("HELO " + host, texts.sendFailed, 250, texts.replyFailed);
        return judge(status, texts.replyFailed);
    }

    bool failTls() {
        std::string text = kTlsFailedText;
        const std::string reason = connection_.failureReason();
        if (!reason.empty())
            text.append(": ").append(reason);
        return fail(text);
    }

    bool envelope() {
        if (!command("MAIL FROM: <" + commandArgument(request_.sender.address) + ">", "Error: Failed to send From", 250,
                     "Error: Failed to Recv 250 after sending From"))
            return false;
        for (const MailAddress& recipient : request_.recipients) {
            if (!command("RCPT TO: <" + commandArgument(recipient.address) + ">", "Error: Failed to send TO", 250,
                         "Error: Failed to Recv 250 after sending RCPT TO"))
                return false;
        }
        return command("DATA", "Error: Failed to send DATA line", 354,
                       "Error: Failed to Recv 354 after sending DATA line");
    }

    bool content(const std::string& mailerHeader) {
        const MailAddress& to = request_.recipients.front();
        MimeMessage message;
        message.mailerHeader = mailerHeader;
        message.toAddress = to.address;
        message.toName = to.displayName;
        message.fromAddress = request_.sender.address;
        message.fromName = request_.sender.displayName;
        message.replyToAddress = request_.replyTo.address;
        message.replyToName = request_.replyTo.displayName;
        message.subject = request_.subject;
        message.charset = request_.charset;
        message.plainBody = request_.plainBody;
        message.htmlBody = request_.htmlBody;
        message.progressStep = &request_.progressStep;
        message.date = std::time(nullptr);

        const MimeWriteResult written = writeMimeMessage(message, session_);
        if (written.status == MimeWriteResult::Status::Cancelled)
            return cancelled();
        if (written.status == MimeWriteResult::Status::Failed)
            return fail(written.failureText);

        session_.stopWatchingCancel();
        if (!session_.write("\r\n.\r\n") || !session_.flush())
            return fail("Error: Failed to send message terminator");
        return expect(250, "Error: Failed to Recv 250 reply after sending message terminator");
    }

    // The message has been accepted: the server's answer to QUIT cannot change that, so it
    // is asked for but not held against the send.
    void quit() {
        if (session_.sendLine("QUIT"))
            session_.readReply(221);
    }

    // The failure path: a server in the middle of a transaction is told to drop it and that
    // we are leaving. Nothing is read back, since the connection may be the very thing that failed.
    void abandonTransaction() { session_.sendQuietly("RSET\r\nQUIT\r\n"); }

    const std::string& result() const { return result_; }

private:
    MailConnection& connection_;
    SmtpSession session_;
    std::chrono::milliseconds timeout_;
    const SendMailRequest& request_;
    std::string result_;
    bool tlsActive_;
};

}  // namespace

MailManager::MailManager(std::string mailerHeader, MailConnector& connector, std::chrono::milliseconds timeout)
    : mailerHeader_(std::move(mailerHeader)), connector_(connector), timeout_(timeout) {}

void MailManager::setPassword(std::string password) { password_ = std::move(password); }

std::string MailManager::Send(const SendMailRequest& request) {
    if (request.recipients.empty())
        return "Error: Failed to send TO (no recipients)";
    SmtpServerAddress server;
    if (!parseSmtpServer(request.server, server))
        return kNoMailHostText;
    if (request.cancel != nullptr && request.cancel->load())
        return kUserCancelText;

    std::string connectError;
    const bool implicitTls = server.port == kImplicitTlsSmtpPort;
    std::unique_ptr<MailConnection> connection =
        connector_.connect(server.host, server.port, implicitTls, timeout_, connectError);
    if (!connection)
        return connectError.empty() ? std::string(kConnectFailedText) : connectError;

    SmtpDialogue dialogue(*connection, timeout_, request, implicitTls);
    const bool authenticate = !password_.empty();
    bool sent = false;
    if (dialogue.greet(server.host, authenticate, password_)) {
        // From here on the server holds a transaction that a failure has to abandon.
        sent = dialogue.envelope() && dialogue.content(mailerHeader_);
        if (sent)
            dialogue.quit();
        else
            dialogue.abandonTransaction();
    }
    connection->close();
    return sent ? "OK" : dialogue.result();
}

}  // namespace kavelune
