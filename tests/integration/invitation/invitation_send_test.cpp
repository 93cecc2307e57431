#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>

#include "mail/invitation/open_invitation.h"
#include "mail/invitation/send_invitation.h"
#include "platform/posix/tcp_mail_connector.h"
#include "support/smtp_receiver.h"
#include "support/temp_folder.h"
#include "unit/invitation/invitation_fixture.h"

namespace kavelune {
namespace {

using namespace std::chrono_literals;

TEST(InvitationSendTest, RealServerReceivesAnInvitationThatOpensAgain) {
    testing::TempFolder program;
    testing::TempFolder temporary;
    testing::TempFolder received;
    InvitationContent content = testing::writeProgramFolder(program);

    testing::SmtpReceiver peer(KAVELUNE_SMTP_RECEIVER, received.path());
    const int port = peer.port();
    ASSERT_GT(port, 0) << "aiosmtpd did not start";

    InvitationSetup setup;
    setup.sources = {program.path(), kInstallerDataLE, temporary.path()};
    setup.serverTimeout = 10s;
    MailForm form;
    form.sender = "me@example.org";
    form.server = peer.server();
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
