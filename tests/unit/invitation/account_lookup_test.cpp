#include "mail/settings/account_lookup.h"

#include <gtest/gtest.h>

#include "mail/settings/system_mail_accounts.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

// A home folder with one Thunderbird profile (two identities, the second on the default server)
// and one Evolution account.
void writeMailPrograms(const testing::TempFolder& home) {
    home.write(".thunderbird/profiles.ini",
               "[General]\nStartWithLastProfile=1\n\n"
               "[Profile1]\nName=old\nIsRelative=1\nPath=old.profile\n\n"
               "[Profile0]\nName=default\nIsRelative=1\nPath=ab12.default\nDefault=1\n");
    home.write(".thunderbird/ab12.default/prefs.js",
               "// Mozilla User Preferences\n"
               "user_pref(\"mail.accountmanager.accounts\", \"account2,account1\");\n"
               "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
               "user_pref(\"mail.account.account2.identities\", \"id2\");\n"
               "user_pref(\"mail.identity.id1.useremail\", \"tb.one@example.org\");\n"
               "user_pref(\"mail.identity.id1.smtpServer\", \"smtp2\");\n"
               "user_pref(\"mail.identity.id2.useremail\", \"tb.two@example.org\");\n"
               "user_pref(\"mail.smtp.defaultserver\", \"smtp1\");\n"
               "user_pref(\"mail.smtpserver.smtp1.hostname\", \"smtp.example.org\");\n"
               "user_pref(\"mail.smtpserver.smtp1.port\", 587);\n"
               "user_pref(\"mail.smtpserver.smtp1.username\", \"two\");\n"
               "user_pref(\"mail.smtpserver.smtp2.hostname\", \"mail.\\u0065xample.net\");\n"
               "user_pref(\"mail.smtpserver.smtp2.port\", 25);\n");
    home.write(".thunderbird/old.profile/prefs.js",
               "user_pref(\"mail.identity.id1.useremail\", \"old@example.org\");\n"
               "user_pref(\"mail.smtpserver.smtp1.hostname\", \"old.example.org\");\n"
               "user_pref(\"mail.smtpservers\", \"smtp1\");\n");
    home.write(".config/evolution/sources/1234.source",
               "[Data Source]\nDisplayName=me@evo.example\nEnabled=true\n\n"
               "[Mail Identity]\nAddress=me@evo.example\nName=Me\n\n"
               "[Mail Submission]\nTransportUid=5678\n");
    home.write(".config/evolution/sources/5678.source",
               "[Data Source]\nParent=abcd\n\n[Mail Transport]\nBackendName=smtp\n\n"
               "[Authentication]\nHost=smtp.evo.example\nPort=465\nUser=me\n");
    home.write(".config/evolution/sources/9999.source",  // switched off in Evolution
               "[Data Source]\nEnabled=false\n\n[Mail Identity]\nAddress=off@evo.example\n\n"
               "[Mail Submission]\nTransportUid=5678\n");
}

AccountLookup lookupIn(const testing::TempFolder& home) {
    return AccountLookup{home / "mail.cfg", home.path(), {}, "Please enter your email address"};
}

TEST(AccountLookupTest, MailProgramsInOrderDefaultProfileFirst) {
    testing::TempFolder home;
    writeMailPrograms(home);
    std::vector<MailAccount> accounts = systemMailAccounts(home.path());
    ASSERT_EQ(accounts.size(), 4u);
    EXPECT_EQ(accounts[0].address, "tb.two@example.org");
    EXPECT_EQ(accounts[0].server, "smtp.example.org:587");
    EXPECT_EQ(accounts[0].userName, "two");
    EXPECT_EQ(accounts[1].address, "tb.one@example.org");
    EXPECT_EQ(accounts[1].server, "mail.example.net");
    EXPECT_EQ(accounts[2].address, "old@example.org");
    EXPECT_EQ(accounts[3].address, "me@evo.example");
    EXPECT_EQ(accounts[3].server, "smtp.evo.example:465");
    EXPECT_EQ(accounts[3].userName, "me");

    EXPECT_EQ(systemMailAccounts(home.path(), 2).size(), 2u);
}

TEST(AccountLookupTest, OwnAccountFirstAndAlone) {
    testing::TempFolder home;
    writeMailPrograms(home);
    home.write("mail.cfg", "<Address>\t<me@own.example>\n<SMTP>\t<smtp.own.example>\n<Authentication>\t<1>\n"
                           "<RememberIDPW>\t<1>\n<ID>\t<bWU=>\n<PW>\t<cHc=>\n");
    MailForm form;
    MailSettings settings;  // a fresh run: the saved account still counts
    ASSERT_TRUE(loadAccounts(form, settings, lookupIn(home)));
    ASSERT_EQ(form.accounts.size(), 1u);
    EXPECT_EQ(form.sender, "me@own.example");
    EXPECT_EQ(form.server, "smtp.own.example");
    EXPECT_EQ(form.userName, "me");
    EXPECT_EQ(form.password, "pw");

    // A login typed for this run only (not remembered) is what the send uses.
    MailForm typed;
    MailSettings session{"me@own.example", "smtp.own.example", true, false, "session", "typed"};
    ASSERT_TRUE(loadAccounts(typed, session, lookupIn(home)));
    EXPECT_EQ(typed.userName, "session");
    EXPECT_EQ(typed.password, "typed");
}

TEST(AccountLookupTest, MailProgramsThenTheWebDefault) {
    testing::TempFolder home;
    writeMailPrograms(home);
    MailForm form;
    MailSettings settings;
    ASSERT_TRUE(loadAccounts(form, settings, lookupIn(home)));
    EXPECT_EQ(form.accounts.size(), 4u);
    EXPECT_EQ(form.sender, "tb.two@example.org");
    EXPECT_TRUE(form.password.empty());

    testing::TempFolder empty;
    AccountLookup lookup = lookupIn(empty);
    MailForm none;
    EXPECT_FALSE(loadAccounts(none, settings, lookup));

    lookup.webDefault = {"smtp.service.example", "guest", "guestpw"};
    MailForm web;
    ASSERT_TRUE(loadAccounts(web, settings, lookup));
    ASSERT_EQ(web.accounts.size(), 1u);
    EXPECT_EQ(web.sender, "Please enter your email address");
    EXPECT_EQ(web.server, "smtp.service.example");
    EXPECT_EQ(web.password, "guestpw");

    // Choosing a listed account by its address switches server and login.
    form.sender = "me@evo.example";
    selectAccountForSender(form);
    EXPECT_EQ(form.selectedAccount, 3);
    EXPECT_EQ(form.server, "smtp.evo.example:465");
}

}  // namespace
}  // namespace kavelune
