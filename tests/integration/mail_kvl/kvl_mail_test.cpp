// kvl mail as a user runs it: the invitation of a program folder's saved state sent to a real
// SMTP server, and the mail settings written and read back.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <algorithm>

#include "mail/invitation/open_invitation.h"
#include "support/smtp_receiver.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::TempFolder;

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// The generated demo folder (everything beside the programs but the programs), with a user home
// of its own so that no mail program of the machine's user is asked for accounts.
class KvlMailTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const fs::directory_entry& entry : fs::directory_iterator(KAVELUNE_PROGRAM_DIR)) {
            const bool program = entry.is_regular_file() &&
                                 (entry.status().permissions() & fs::perms::owner_exec) != fs::perms::none;
            if (!program) fs::copy(entry.path(), home / entry.path().filename(), fs::copy_options::recursive);
        }
        ASSERT_TRUE(fs::exists(home / "KaveluneLE.bin")) << "the build writes the installer data beside the programs";
    }

    // Runs kvl with `arguments`; its exit status, and what it printed in `output`.
    int kvl(const std::string& arguments, std::string& output) const {
        const std::string command = "HOME=" + quoted(user.path().string()) + " timeout 60 " KAVELUNE_KVL " " +
                                    arguments + " 2>&1";
        return testing::runCommand(command, &output);
    }

    std::string homeOption() const { return "--home " + quoted(home.path().string()); }

    static std::string lastLine(const std::string& output) {
        std::string text = output;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        const std::size_t newline = text.rfind('\n');
        return newline == std::string::npos ? text : text.substr(newline + 1);
    }

    TempFolder home;
    TempFolder user;
};

TEST_F(KvlMailTest, TheInvitationOfTheSavedStateReachesTheServerAndOpensAgain) {
    TempFolder received;
    testing::SmtpReceiver server(KAVELUNE_SMTP_RECEIVER, received.path());
    ASSERT_GT(server.port(), 0) << "aiosmtpd did not start";
    std::string output;
    ASSERT_EQ(kvl("mail settings " + homeOption() + " --write --address me@example.org --server " + server.server(),
                  output), 0) << output;

    const fs::path message = user.write("message.txt", "Look at this!\nCaf\xC3\xA9 dance.");
    const fs::path pageOut = user / "sent.html";
    const int status = kvl("mail send " + homeOption() + " --to " + quoted("friend@example.org, b@example.org;c@example.org") +
                               " --subject " + quoted("Dance with me") + " --message-file " + quoted(message.string()) +
                               " --timeout 20 --page-out " + quoted(pageOut.string()),
                           output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(lastLine(output), "Send mail completed!");
    ASSERT_TRUE(server.finish(30s));

    const auto summary = nlohmann::json::parse(testing::readFile(received / "summary.json"));
    EXPECT_EQ(summary["mail_from"], "me@example.org");
    EXPECT_EQ(summary["rcpt_tos"].size(), 3u);
    EXPECT_EQ(summary["subject"], "Dance with me");
    EXPECT_EQ(summary["plain"], "Look at this!\r\nCaf\xC3\xA9 dance.\r\n");
    // The page kvl saved is the page the server got.
    EXPECT_EQ(testing::readFile(pageOut), testing::readFile(received / "page.html"));

    // It opens into a fresh folder with the saved state's character and dance, and the motion
    // pool files the dance needs came along.
    TempFolder receiver;
    OpenedInvitation opened;
    ASSERT_TRUE(openInvitation(received / "message.eml", receiver.path(), opened)) << opened.error;
    std::string launch;
    ASSERT_EQ(kvl("launch " + quoted(home.path().string()) + " --json", launch), 0) << launch;
    const auto state = nlohmann::json::parse(launch);
    EXPECT_EQ(opened.character, state["character"]);
    EXPECT_EQ(opened.dance, state["dance"]);
    EXPECT_TRUE(fs::is_regular_file(opened.characterFile));
    EXPECT_TRUE(std::any_of(opened.unpacked.begin(), opened.unpacked.end(),
                            [](const std::string& entry) { return entry.rfind("Sequences\\Motion Pool\\", 0) == 0; }));
    EXPECT_EQ(opened.installerData, testing::readFile(home / "KaveluneLE.bin"));
}

TEST_F(KvlMailTest, FormsTheDialogWouldNotSendAreRefusedWithItsMessage) {
    struct Case {
        std::string arguments;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"--sender me@example --to a@example.org --subject s --message m", "Enter valid email address."},
        {"--sender me@example.org --to '' --subject s --message m",
         "You must specify some recipients for the message."},
        {"--sender me@example.org --to a@example.org --subject s --message '' --language ko",
         "받는사람, 제목, 내용을 입력해야 메일을 발송할 수 있습니다."},
    };
    for (const Case& test : cases) {
        std::string output;
        // No server listens there: a form that got as far as sending would fail differently.
        EXPECT_EQ(kvl("mail send " + homeOption() + " --server 127.0.0.1:1 " + test.arguments, output), 1) << output;
        EXPECT_EQ(lastLine(output), test.message) << test.arguments;
    }
}

TEST_F(KvlMailTest, SettingsWrittenAsThePreferenceDialogSavesThemReadBack) {
    std::string output;
    ASSERT_EQ(kvl("mail settings " + homeOption() +
                      " --write --address me@example.org --server smtp.example.org:587 --auth 1 --remember 1"
                      " --login me --password 's3cret pass'",
                  output), 0) << output;
    const fs::path file = home / "mail.cfg";
    EXPECT_NE(testing::readFile(file).find("<ID>\t\t\t\t\t\t\t\t\t\t<bWU=>\r\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u) << "mail.cfg holds a password: its owner's alone";

    // An empty password box keeps the stored password; an address that fails the check saves
    // nothing.
    ASSERT_EQ(kvl("mail settings " + homeOption() + " --write --address me@example.org --server other.example.org",
                  output), 0) << output;
    EXPECT_EQ(kvl("mail settings " + homeOption() + " --write --address 'me;you@example.org' --server x.example.org",
                  output), 1);
    EXPECT_EQ(lastLine(output), "Please enter your email address");

    ASSERT_EQ(kvl("mail settings " + homeOption() + " --json", output), 0) << output;
    const auto json = nlohmann::json::parse(output);
    EXPECT_EQ(json["file"], fs::absolute(file).string());
    EXPECT_EQ(json["address"], "me@example.org");
    EXPECT_EQ(json["server"], "other.example.org");
    EXPECT_EQ(json["authentication"], true);
    EXPECT_EQ(json["remember"], true);
    EXPECT_EQ(json["login"], "me");
    EXPECT_EQ(json["password"], "s3cret pass");
}

}  // namespace
}  // namespace kavelune
