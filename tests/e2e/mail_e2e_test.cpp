// The invitation mail as a user meets it: the Mail Preference dialog saving mail.cfg, the Send
// Mail dialog sending to a real SMTP server while the character dances on, and a saved
// invitation dropped on the character or named at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "desktop_session.h"
#include "mail/invitation/invitation_package.h"
#include "support/smtp_receiver.h"
#include "support/temp_folder.h"

namespace kavelune::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kTitle = "Kavelune";

// The value a saved launch file gives `key`, without its quotes.
std::string savedValue(const std::string& saved, const std::string& key) {
    std::istringstream lines(saved);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key, 0) != 0 || line.size() <= key.size() || (line[key.size()] != '\t' && line[key.size()] != ' ')) {
            continue;
        }
        const std::size_t open = line.find('"');
        const std::size_t close = line.rfind('"');
        if (open != std::string::npos && close > open) return line.substr(open + 1, close - open - 1);
    }
    return {};
}

class MailE2ETest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.ready()) << "Xvfb did not start";
        session.copyDemoContent();
    }

    // Starts the program on the demo content and waits until the character shows.
    void startAndWait(const std::vector<std::string>& arguments = {}) {
        session.showDesktopPicture();
        desktop = session.screenshot();
        program = session.startWithScene(arguments, {"KAVELUNE_BACKDROP=tiles"});
        const auto found = session.waitForWindow(kTitle, 20s);
        ASSERT_TRUE(found) << "no window titled Kavelune";
        window = *found;
        ASSERT_TRUE(eventually([&] { return session.screenshot().differingPixels(desktop, box()) > 2000; }, 20s))
            << "the character never showed";
    }

    WindowBox box() const { return session.windowBox(window).value_or(WindowBox{}); }

    // Keys (xdotool names) for `target`, which gets the keyboard first.
    void press(unsigned long target, const std::string& keys) {
        session.xdotool("windowfocus --sync " + std::to_string(target));
        session.xdotool("key --delay 80 " + keys);
    }
    void type(unsigned long target, const std::string& text) {
        session.xdotool("windowfocus --sync " + std::to_string(target));
        session.xdotool("type --delay 30 '" + text + "'");
    }

    bool logHas(const std::string& line) const {
        return readFile(session.messageLog()).find(line + "\n") != std::string::npos;
    }

    std::string exitAndReadSaved() {
        press(window, "Escape");
        EXPECT_EQ(session.waitForExit(program, 15s), 0);
        return readFile(session.home() / "current.txt");
    }

    DesktopSession session;
    Screenshot desktop;
    pid_t program = -1;
    unsigned long window = 0;
};

TEST_F(MailE2ETest, F7OpensMailPreferenceBesideTheCharacterAndOkSavesMailCfg) {
    startAndWait();
    press(window, "F7");
    const auto dialog = session.waitForWindow("Mail Preference", 10s);
    ASSERT_TRUE(dialog) << "F7 opened no Mail Preference dialog";
    const auto dialogBox = session.windowBox(*dialog);
    ASSERT_TRUE(dialogBox);
    // 256 pixels right of the sprite window, unless that would push it off the screen.
    // The window moves a little as it fits the dancing character.
    EXPECT_NEAR(dialogBox->x, std::min(box().x + 256, DesktopSession::kWidth - dialogBox->width), 40);
    EXPECT_NEAR(dialogBox->y, box().y, 40) << "level with its top";

    type(*dialog, "me@example.org");
    press(*dialog, "Tab");
    type(*dialog, "smtp.example.org");
    press(*dialog, "Return");
    ASSERT_TRUE(eventually([&] { return session.visibleWindowCount("Mail Preference") == 0; }, 10s))
        << "OK did not close the dialog";
    const std::string saved = readFile(session.home() / "mail.cfg");
    EXPECT_EQ(saved, "<Address>\t\t\t\t\t\t\t\t\t\t<me@example.org>\r\n<SMTP>\t\t\t\t\t\t\t\t\t\t<smtp.example.org>\r\n"
                     "<Authentication>\t\t\t\t\t\t\t\t\t\t<0>\r\n");
    EXPECT_EQ(readFile(session.messageLog()), "");
}

TEST_F(MailE2ETest, F6SendsTheInvitationWhileTheCharacterDancesOn) {
    TempFolder received;
    // The server holds its answer back for a while, so the send is still running when the
    // screenshots are taken.
    SmtpReceiver server(KAVELUNE_SMTP_RECEIVER, received.path(), 4.0);
    ASSERT_GT(server.port(), 0) << "aiosmtpd did not start";
    std::ofstream(session.home() / "mail.cfg", std::ios::binary)
        << "<Address>\t<me@example.org>\r\n<SMTP>\t<" << server.server() << ">\r\n";
    startAndWait();

    press(window, "F6");
    const auto dialog = session.waitForWindow("Mail", 10s);
    ASSERT_TRUE(dialog) << "F6 opened no Send Mail dialog";
    // The sender is filled in from mail.cfg: the keyboard starts in the recipients box.
    type(*dialog, "friend@example.org");
    press(*dialog, "Tab");
    type(*dialog, "Dance with me");
    press(*dialog, "Tab");
    type(*dialog, "Look at this!");
    press(*dialog, "Tab space");

    ASSERT_TRUE(eventually([&] { return server.received(); }, 30s)) << "no mail reached the server";
    // Only the part of the sprite window that the dialog does not cover.
    WindowBox character = box();
    character.width = std::min(character.width, 250);
    const Screenshot first = session.screenshot();
    std::this_thread::sleep_for(600ms);
    const Screenshot second = session.screenshot();
    EXPECT_FALSE(fs::exists(received / "summary.json")) << "the send was over before the screenshots";
    EXPECT_GT(second.differingPixels(first, character), 200) << "the character stood still while the mail was sent";

    ASSERT_TRUE(server.finish(30s));
    ASSERT_TRUE(eventually([&] { return logHas("Send\tSend mail completed!\tok"); }, 15s))
        << readFile(session.messageLog());
    EXPECT_TRUE(eventually([&] { return session.visibleWindowCount("Mail") == 0; }, 10s)) << "the dialog stayed open";
    const std::string summary = readFile(received / "summary.json");
    EXPECT_NE(summary.find("\"subject\": \"Dance with me\""), std::string::npos) << summary;
    EXPECT_NE(summary.find("friend@example.org"), std::string::npos) << summary;
    EXPECT_NE(readFile(received / "page.html").find("DataSource"), std::string::npos);
}

class InvitationE2ETest : public MailE2ETest {
protected:
    // A saved invitation page to Toma dancing Moonlit, made from a second copy of the demo, while
    // the receiving program folder has no Toma of its own.
    fs::path makeInvitation() {
        for (const fs::directory_entry& entry : fs::directory_iterator(session.home())) {
            fs::copy(entry.path(), sender / entry.path().filename(), fs::copy_options::recursive);
        }
        fs::remove_all(session.home() / "Characters" / "Toma");
        InvitationContent content;
        content.character = "Characters\\Toma\\Toma.dcz";
        content.dance = "Sequences\\Moonlit.dsq";
        content.sound = "Sounds\\Moonlit.mp3";
        content.launchFileText = "character\t\t\"Characters\\Toma\\Toma.dcz\"\r\ndance\t\t\t\"Sequences\\Moonlit.dsq\"\r\n";
        InvitationPayload payload;
        PackageOutcome outcome;
        EXPECT_TRUE(buildInvitationPayload(content, {sender.path(), kInstallerDataLE, {}}, payload, outcome))
            << outcome.error;
        return sender.write("Invitation.html", buildInvitationPage({}, "Come and dance", payload, 1252));
    }

    void expectTomaDancesMoonlit() {
        EXPECT_TRUE(eventually([&] { return fs::exists(session.home() / "Characters" / "Toma" / "Toma.dcz"); }, 10s))
            << "the invitation was not unpacked into the program folder";
        std::this_thread::sleep_for(1500ms);
        const std::string saved = exitAndReadSaved();
        EXPECT_EQ(savedValue(saved, "character"), "Characters\\Toma\\Toma.dcz") << saved;
        EXPECT_EQ(savedValue(saved, "dance"), "Sequences\\Moonlit.dsq") << saved;
        EXPECT_EQ(readFile(session.messageLog()), "");
    }

    TempFolder sender;
};

TEST_F(InvitationE2ETest, ASavedInvitationDroppedOnTheCharacterIsOpenedAndDanced) {
    const fs::path invitation = makeInvitation();
    startAndWait();
    const WindowBox where = box();
    EXPECT_EQ(session.dropFiles(window, where.x + where.width / 2, where.y + where.height / 2, {invitation}), 0);
    expectTomaDancesMoonlit();
}

TEST_F(InvitationE2ETest, AnInvitationNamedAtStartIsOpened) {
    const fs::path invitation = makeInvitation();
    startAndWait({"--open-invitation", invitation.string()});
    expectTomaDancesMoonlit();
}

}  // namespace
}  // namespace kavelune::testing
