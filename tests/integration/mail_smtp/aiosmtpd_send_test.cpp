#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "mail/base64.h"
#include "mail/smtp/mail_manager.h"
#include "platform/posix/tcp_mail_connector.h"
#include "smtp_peer.h"

namespace kavelune {
namespace {

using testing::SmtpPeer;
using testing::TempFolder;

// A page like the invitation's: markup, a line that is a lone period, and a long Base64 blob
// (many short lines, and more than one write's worth of bytes).
std::string invitationPage() {
    std::string blob;
    for (int i = 0; i < 300000; ++i)
        blob += static_cast<char>(i % 251 + 1);
    return "<html><body>\n<p>Dance with me</p><br>\n.\n<param value=\"\n" + base64Encode(blob) +
           "\">\n</body></html>\n";
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

SendMailRequest request(const std::string& server, const std::string& page) {
    SendMailRequest mail;
    mail.recipients = {{"first@example.org", ""}, {"second@example.org", ""}, {"third@example.org", ""}};
    mail.subject = "Kavelune invitation";
    mail.plainBody = "Dance with me\r\n.\r\n\xe9t\xe9";
    mail.htmlBody = page;
    mail.server = server;
    mail.userName = "me";
    mail.sender = {"me@example.org", ""};
    mail.replyTo = mail.sender;
    mail.charset = "ISO-8859-1";
    return mail;
}

TEST(AiosmtpdSend, PlainServerReceivesBothAlternativesIntact) {
    SmtpPeer peer("aiosmtpd_peer.py", {"--mode", "plain"});
    ASSERT_NE(peer.port(), 0);
    const std::string page = invitationPage();
    posix::TcpMailConnector connector;
    MailManager manager(kInvitationMailerHeader, connector);
    int steps = 0;
    SendMailRequest mail = request(peer.server(), page);
    mail.progressStep = [&] { ++steps; };
    ASSERT_EQ(manager.Send(mail), "OK");
    EXPECT_EQ(steps, static_cast<int>(page.size() / 2048));

    const nlohmann::json record = peer.finish();
    ASSERT_TRUE(record.is_object());
    ASSERT_EQ(record["messages"].size(), 1u);
    const auto& message = record["messages"][0];
    EXPECT_EQ(message["mail_from"], "me@example.org");
    EXPECT_EQ(message["rcpt_tos"], nlohmann::json({"first@example.org", "second@example.org", "third@example.org"}));
    EXPECT_EQ(message["tls"], false);
    EXPECT_TRUE(message["login"].is_null());
    EXPECT_EQ(message["headers"]["To"], "<first@example.org>");
    EXPECT_EQ(message["headers"]["Reply-To"], "<me@example.org>");
    EXPECT_EQ(message["headers"]["X-Mailer"], "Kavelune By Halvenor ");
    ASSERT_EQ(message["parts"].size(), 2u);
    EXPECT_EQ(message["parts"][0]["type"], "text/plain");
    EXPECT_EQ(message["parts"][0]["charset"], "iso-8859-1");
    EXPECT_EQ(message["parts"][0]["body"], "Dance with me\r\n.\r\n\u00e9t\u00e9\r\n");
    EXPECT_EQ(message["parts"][1]["type"], "text/html");
    const std::string html = message["parts"][1]["body"];
    EXPECT_TRUE(html == withCrLf(page) + "\r\n") << "HTML part of " << html.size() << " bytes differs";
}

// A certificate authority of the test's own, trusted through SSL_CERT_FILE, and server
// certificates it signs.
class TestCertificates {
public:
    TestCertificates() {
        const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
        ok_ = run("openssl req -x509 " + key + " -keyout ca.key -out ca.pem -days 2 -subj '/CN=Kavelune Test CA'") &&
              run("openssl req -x509 " + key + " -keyout stranger.key -out stranger.pem -days 2 -subj '/CN=Stranger'");
    }
    bool ok() const { return ok_; }
    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // A server certificate named `name` for the subject alternative names `names`.
    bool makeServer(const std::string& name, const std::string& names, const std::string& ca = "ca") {
        folder_.write(name + ".ext", "subjectAltName=" + names + "\n");
        return run("openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + name +
                   ".key -out " + name + ".csr -subj '/CN=" + name + "'") &&
               run("openssl x509 -req -in " + name + ".csr -CA " + ca + ".pem -CAkey " + ca +
                   ".key -CAcreateserial -days 2 -out " + name + ".pem -extfile " + name + ".ext");
    }

private:
    bool run(const std::string& command) {
        return testing::runCommand("cd '" + folder_.path().string() + "' && " + command + " 2>&1") == 0;
    }
    TempFolder folder_;
    bool ok_ = false;
};

// Sets SSL_CERT_FILE for the length of a test, so OpenSSL's default trust is the test's CA.
class TrustedCertificates {
public:
    explicit TrustedCertificates(const std::string& file) {
        if (const char* old = std::getenv("SSL_CERT_FILE"))
            saved_ = old;
        setenv("SSL_CERT_FILE", file.c_str(), 1);
    }
    ~TrustedCertificates() { saved_ ? setenv("SSL_CERT_FILE", saved_->c_str(), 1) : unsetenv("SSL_CERT_FILE"); }

private:
    std::optional<std::string> saved_;
};

TEST(AiosmtpdSend, StartTlsChecksTheCertificateBeforeLoggingIn) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    ASSERT_TRUE(certificates.makeServer("good", "IP:127.0.0.1"));
    ASSERT_TRUE(certificates.makeServer("elsewhere", "DNS:mail.example.org"));
    ASSERT_TRUE(certificates.makeServer("unknown", "IP:127.0.0.1", "stranger"));
    struct Row {
        const char* certificate;
        std::string result;
    };
    const Row rows[] = {
        {"good", "OK"},
        {"elsewhere", "Error: TLS negotiation failed: certificate verify failed: IP address mismatch"},
        {"unknown", "Error: TLS negotiation failed: certificate verify failed: unable to get local issuer certificate"},
    };
    const TrustedCertificates trust(certificates.path("ca.pem"));
    for (const Row& row : rows) {
        const std::string name = row.certificate;
        SmtpPeer peer("aiosmtpd_peer.py", {"--mode", "starttls", "--cert", certificates.path(name + ".pem"), "--key",
                                           certificates.path(name + ".key"), "--seconds", row.result == "OK" ? "20" : "1"});
        ASSERT_NE(peer.port(), 0);
        posix::TcpMailConnector connector;
        MailManager manager(kInvitationMailerHeader, connector);
        manager.setPassword("secret");
        const std::string result = manager.Send(request(peer.server(), "<p>hi</p>"));
        EXPECT_EQ(result.substr(0, result.find(" Last Rcvd = ")), row.result) << name;

        const nlohmann::json record = peer.finish();
        if (row.result != "OK") {
            EXPECT_TRUE(record["messages"].empty()) << name;
            continue;
        }
        ASSERT_EQ(record["messages"].size(), 1u);
        EXPECT_EQ(record["messages"][0]["tls"], true);
        EXPECT_EQ(record["messages"][0]["login"], "me");
        EXPECT_EQ(record["messages"][0]["password"], "secret");
    }
}

TEST(AiosmtpdSend, ImplicitTlsConnectionSpeaksSmtp) {
    TestCertificates certificates;
    ASSERT_TRUE(certificates.ok());
    ASSERT_TRUE(certificates.makeServer("good", "IP:127.0.0.1"));
    const TrustedCertificates trust(certificates.path("ca.pem"));
    SmtpPeer peer("aiosmtpd_peer.py", {"--mode", "implicit-tls", "--cert", certificates.path("good.pem"), "--key",
                                       certificates.path("good.key"), "--seconds", "5"});
    ASSERT_NE(peer.port(), 0);

    posix::TcpMailConnector connector;
    std::string error;
    auto connection = connector.connect("127.0.0.1", peer.port(), true, std::chrono::seconds(5), error);
    ASSERT_NE(connection, nullptr) << error;
    std::string reply;
    ASSERT_TRUE(connection->readSome(reply, std::chrono::seconds(5)));
    EXPECT_EQ(reply.substr(0, 4), "220 ");
    ASSERT_TRUE(connection->write("QUIT\r\n"));
    reply.clear();
    ASSERT_TRUE(connection->readSome(reply, std::chrono::seconds(5)));
    EXPECT_EQ(reply.substr(0, 4), "221 ");
    connection->close();
}

}  // namespace
}  // namespace kavelune
