#include "mail/settings/mail_settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "mail/settings/mail_address.h"
#include "mail/settings/mail_dialog_rules.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

const std::string kTabs(10, '\t');

std::string line(const std::string& key, const std::string& value) {
    return "<" + key + ">" + kTabs + "<" + value + ">\r\n";
}

TEST(MailConfigTest, WrittenLinesFollowTheSwitches) {
    struct Case {
        const char* name;
        MailSettings settings;
        std::string expected;
    };
    const Case cases[] = {
        {"empty address leaves no Address line", {"", "smtp.x", false, false, "", ""},
         line("SMTP", "smtp.x") + line("Authentication", "0")},
        {"authentication on, remember off: no login", {"a@b.c", "smtp.x", true, false, "me", "pw"},
         line("Address", "a@b.c") + line("SMTP", "smtp.x") + line("Authentication", "1") + line("RememberIDPW", "0")},
        {"remembered login without password: ID, no PW", {"a@b.c", "", true, true, "me", ""},
         line("Address", "a@b.c") + line("Authentication", "1") + line("RememberIDPW", "1") + line("ID", "bWU=")},
        {"remember without authentication writes neither", {"", "", false, true, "me", "pw"},
         line("Authentication", "0")},
        {"everything", {"a@b.c", "smtp.x:587", true, true, "abc", "pw"},
         line("Address", "a@b.c") + line("SMTP", "smtp.x:587") + line("Authentication", "1") +
             line("RememberIDPW", "1") + line("ID", "YWJj") + line("PW", "cHc=")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatMailConfig(c.settings), c.expected) << c.name;
    }
}

TEST(MailConfigTest, ReadingKeepsWhatTheFileDoesNotSayAndSkipsOddLines) {
    MailSettings settings;
    settings.server = "kept";
    applyMailConfig("# <Address>\t<commented@x.y>\n"
                    "<address>\t<lower-case key is not ours>\n"
                    "<Address> no value pair\n"
                    "<Authentication>\t<yes>\n"
                    "<RememberIDPW>\t<0>\n"
                    "<ID>\t<>\n"
                    "<Address>\t<last@x.y>",  // no line break at the end: still read
                    settings);
    EXPECT_EQ(settings.address, "last@x.y");
    EXPECT_EQ(settings.server, "kept");
    EXPECT_TRUE(settings.authentication);
    EXPECT_FALSE(settings.remember);
    EXPECT_TRUE(settings.login.empty());
}

TEST(MailConfigTest, RoundTripKeepsLongLoginsAndPasswordsAndIsPrivate) {
    testing::TempFolder folder;
    auto file = folder / "mail.cfg";
    folder.write("mail.cfg", "old");
    ::chmod(file.c_str(), 0644);

    MailSettings written{"someone@example.org", "mail.example.org:465", true, true,
                         std::string(70, 'L') + "\xED\x95\x9C", std::string(100, 'p') + "<>;"};
    ASSERT_TRUE(writeMailConfig(file, written));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    MailSettings read;
    ASSERT_TRUE(readMailConfig(file, read));
    EXPECT_EQ(read.address, written.address);
    EXPECT_EQ(read.server, written.server);
    EXPECT_EQ(read.login, written.login);
    EXPECT_EQ(read.password, written.password);
    EXPECT_TRUE(read.authentication);
    EXPECT_TRUE(read.remember);

    MailSettings untouched{"a@b.c", "s", false, false, "", ""};
    EXPECT_FALSE(readMailConfig(folder / "missing.cfg", untouched));
    EXPECT_EQ(untouched.address, "a@b.c");
}

TEST(MailAddressTest, TheCheckBothDialogsUse) {
    struct Case {
        const char* address;
        bool valid;
    };
    const Case cases[] = {
        {"me@example.com", true},  {"first.last@example", true},  // period only before the at sign
        {"me@localhost", false},   {"me.example.com", false},     {"", false},
        {"me @example.com", true},  // a space is not refused
        {"me;you@x.y", false},     {"a(b)@x.y", false},          {"a%b@x.y", false},
        {"a@x.y\r\nRCPT TO:<b@x.y>", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isValidMailAddress(c.address), c.valid) << c.address;
}

TEST(MailPreferenceTest, OkKeepsTheStoredPasswordWhenTheBoxIsEmptyAndRefusesBadAddresses) {
    testing::TempFolder folder;
    auto file = folder / "mail.cfg";
    MailSettings settings{"old@x.y", "smtp.x", true, true, "me", "secret"};

    PreferenceBoxes boxes = preferenceBoxesFor(settings);
    boxes.password.clear();
    boxes.address = "new@x.y";
    EXPECT_EQ(confirmPreferences(settings, boxes, file), PreferenceOutcome::Saved);
    MailSettings reread;
    ASSERT_TRUE(readMailConfig(file, reread));
    EXPECT_EQ(reread.password, "secret");
    EXPECT_EQ(reread.address, "new@x.y");

    boxes.address = "no-at-sign.example";
    EXPECT_EQ(confirmPreferences(settings, boxes, file), PreferenceOutcome::InvalidAddress);
    EXPECT_EQ(settings.address, "new@x.y");

    EXPECT_EQ(confirmPreferences(settings, PreferenceBoxes{}, folder / "no" / "such" / "mail.cfg"),
              PreferenceOutcome::WriteFailed);
}

}  // namespace
}  // namespace kavelune
