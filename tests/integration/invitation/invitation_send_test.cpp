#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <thread>

#include "mail/invitation/open_invitation.h"
#include "mail/invitation/send_invitation.h"
#include "platform/posix/tcp_mail_connector.h"
#include "support/temp_folder.h"
#include "unit/invitation/invitation_fixture.h"

extern char** environ;

namespace kavelune {
namespace {

using namespace std::chrono_literals;

// The aiosmtpd peer, started for one message and never left running.
class SmtpPeer {
public:
    explicit SmtpPeer(const testing::TempFolder& folder) : folder_(folder) {
        std::string portFile = (folder / "port").string();
        std::string out = folder.path().string();
        std::vector<std::string> arguments = {KAVELUNE_SYSTEM_PYTHON, KAVELUNE_INVITATION_PEER, "--port-file", portFile,
                                              "--out", out, "--seconds", "60"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
    }
    ~SmtpPeer() {
        if (pid_ > 0 && !finish(1s)) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // The port, once the server listens; 0 when it never does.
    int port() const {
        for (auto until = std::chrono::steady_clock::now() + 20s; pid_ > 0 && std::chrono::steady_clock::now() < until;) {
            std::string text = testing::readFile(folder_ / "port");
            if (!text.empty()) return std::stoi(text);
            std::this_thread::sleep_for(50ms);
        }
        return 0;
    }

    // Waits for the peer to write its results and end; true when it ended well.
    bool finish(std::chrono::seconds limit) {
        for (auto until = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < until;) {
            int status = 0;
            pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                pid_ = -1;
                return WIFEXITED(status) && WEXITSTATUS(status) == 0;
            }
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

private:
    const testing::TempFolder& folder_;
    pid_t pid_ = -1;
};

TEST(InvitationSendTest, RealServerReceivesAnInvitationThatOpensAgain) {
    testing::TempFolder program;
    testing::TempFolder temporary;
    testing::TempFolder received;
    InvitationContent content = testing::writeProgramFolder(program);

    SmtpPeer peer(received);
    int port = peer.port();
    ASSERT_GT(port, 0) << "aiosmtpd did not start";

    InvitationSetup setup;
    setup.sources = {program.path(), kInstallerDataLE, temporary.path()};
    setup.serverTimeout = 10s;
    MailForm form;
    form.sender = "me@example.org";
    form.server = "127.0.0.1:" + std::to_string(port);
    form.recipients = "friend@example.org, second@example.org;third@example.org";
    form.subject = "Dance with me";
    form.message = "Look at this!\nCaf\xC3\xA9 dance.";

    posix::TcpMailConnector connector;
    InvitationResult result = SendInvitation(form, content, setup, connector);
    ASSERT_TRUE(result.sent) << result.text;
    ASSERT_TRUE(peer.finish(30s));
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));

    auto summary = nlohmann::json::parse(testing::readFile(received / "summary.json"));
    EXPECT_EQ(summary["rcpt_tos"].size(), 3u);
    EXPECT_EQ(summary["to"], "<friend@example.org>");
    EXPECT_EQ(summary["mail_from"], "me@example.org");
    EXPECT_EQ(summary["subject"], "Dance with me");
    EXPECT_EQ(summary["content_type"], "multipart/alternative");
    ASSERT_EQ(summary["parts"].size(), 2u);
    EXPECT_EQ(summary["parts"][1]["type"], "text/html");
    EXPECT_EQ(summary["parts"][1]["charset"], "iso-8859-1");
    EXPECT_EQ(summary["plain"], "Look at this!\r\nCaf\xC3\xA9 dance.\r\n");  // é as ISO-8859-1, read back as latin-1

    // Both what the mail program would save and the page alone open into a content folder.
    for (const char* saved : {"page.html", "message.eml"}) {
        std::filesystem::path root = received / (std::string(saved) + ".content");
        OpenedInvitation opened;
        ASSERT_TRUE(openInvitation(received / saved, root, opened)) << saved << ": " << opened.error;
        EXPECT_EQ(opened.character, content.character);
        EXPECT_EQ(opened.dance, content.dance);
        EXPECT_EQ(opened.sound, content.sound);
        EXPECT_EQ(opened.unpacked.size(), 8u);
        EXPECT_EQ(testing::readFile(opened.characterFile), testing::readFile(program / "Characters/Girl/girl.txt"));
        EXPECT_EQ(testing::readFile(root / "Sounds/song.mp3"), testing::readFile(program / "Sounds/song.mp3"));
    }
}

}  // namespace
}  // namespace kavelune
