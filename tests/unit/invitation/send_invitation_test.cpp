#include "mail/invitation/send_invitation.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "invitation_fixture.h"
#include "mail/invitation/open_invitation.h"
#include "unit/mail/scripted_server.h"

namespace kavelune {
namespace {

class RefusingConnector final : public MailConnector {
public:
    std::unique_ptr<MailConnection> connect(const std::string&, std::uint16_t, bool, std::chrono::milliseconds,
                                            std::string& error) override {
        error = "Error: connect failed";
        return nullptr;
    }
};

struct SendInvitationTest : ::testing::Test {
    testing::TempFolder program;
    testing::TempFolder temporary;
    InvitationContent content = testing::writeProgramFolder(program);
    InvitationSetup setup;
    MailForm form;

    void SetUp() override {
        setup.sources = {program.path(), kInstallerDataLE, temporary.path()};
        form.sender = "me@x.y";
        form.server = "smtp.test";
        form.recipients = "a@x.y, b@x.y;c@x.y";
        form.subject = "Hi\r\nBcc: sneaky@x.y";
        form.message = "line one\nline two";
    }
};

TEST_F(SendInvitationTest, SendsThePageAndLeavesNoTemporaryFiles) {
    testing::ScriptedServer server;
    testing::ScriptedConnector connector(server);
    setup.codePage = kCodePageKorean;
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    SendControls controls;
    controls.progress = [&](std::size_t done, std::size_t range) { progress.emplace_back(done, range); };

    InvitationResult result = SendInvitation(form, content, setup, connector, controls);
    EXPECT_TRUE(result.sent);
    EXPECT_EQ(result.text, "Send mail completed!");
    EXPECT_EQ(result.caption, "Send");
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));

    auto rcpt = std::count_if(server.commands.begin(), server.commands.end(),
                              [](const std::string& c) { return c.rfind("RCPT TO:", 0) == 0; });
    EXPECT_EQ(rcpt, 3);
    EXPECT_NE(server.message.find("Subject: Hi  Bcc: sneaky@x.y\r\n"), std::string::npos);
    EXPECT_NE(server.message.find("charset=\"euc-kr\""), std::string::npos);
    EXPECT_NE(server.message.find("\r\n\r\nline one\r\nline two\r\n"), std::string::npos);
    ASSERT_GE(progress.size(), 2u);  // the page with its archives is several 2048-byte steps
    EXPECT_EQ(progress.front().first, 0u);
    EXPECT_EQ(progress.back().first, progress.back().second);

    // What went over the wire opens again as an invitation.
    testing::TempFolder received;
    OpenedInvitation opened;
    ASSERT_TRUE(openInvitation(received.write("invitation.eml", server.message), received / "content", opened))
        << opened.error;
    EXPECT_EQ(opened.dance, content.dance);
}

TEST_F(SendInvitationTest, FailuresSayWhyAndLeaveNoTemporaryFiles) {
    RefusingConnector refusing;
    InvitationResult refused = SendInvitation(form, content, setup, refusing);
    EXPECT_FALSE(refused.sent);
    EXPECT_EQ(refused.caption, "Send");
    EXPECT_NE(refused.text.find("connect"), std::string::npos) << refused.text;
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));

    testing::ScriptedServer server;
    testing::ScriptedConnector connector(server);
    std::atomic<bool> cancel{true};
    InvitationResult cancelled = SendInvitation(form, content, setup, connector, {{}, &cancel});
    EXPECT_EQ(cancelled.text, "UserBreak: Cancel message ");
    EXPECT_TRUE(server.commands.empty());

    form.recipients = " ,; ";
    EXPECT_FALSE(SendInvitation(form, content, setup, connector).sent);
    EXPECT_TRUE(server.commands.empty());

    std::filesystem::remove(program / "KaveluneLE.bin");
    form.recipients = "a@x.y";
    InvitationResult missing = SendInvitation(form, content, setup, connector);
    EXPECT_EQ(missing.text, "KaveluneLE.bin file not found.");
    EXPECT_EQ(missing.caption, "ERROR");
    EXPECT_TRUE(std::filesystem::is_empty(temporary.path()));
}

}  // namespace
}  // namespace kavelune
