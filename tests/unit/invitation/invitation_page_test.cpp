#include "mail/invitation/invitation_page.h"

#include <gtest/gtest.h>

#include "base/code_page.h"

namespace kavelune {
namespace {

TEST(InvitationPageTest, PageIsTheSixteenItemsByteForByte) {
    InvitationPageSettings settings{"T", "S", "http://s/", "M", "http://m/", "C", "K", "http://i/x.cab"};
    InvitationPayload payload{"abc", "", "hi"};
    std::string expected =
        "\n<html><title>T</title><body><br>\n"
        "line one<br>\nline two"
        "\n<br><br><br>" + std::string(52, '=') + "<br>\n"
        "S : <a href=\"http://s/\"> http://s/ </a><br>\n"
        "M : <a href=\"http://m/\"> http://m/ </a><br>\n"
        "<OBJECT ID=\"C\" CLASSID=\"CLSID:K\"\n CODEBASE=\"http://i/x.cab#version=1,2,0,1\">\n\n"
        "<PARAM NAME=\"ExitOnEnd\"\t\t\tVALUE=\"0\">\n\n"
        "<PARAM NAME=\"Program\"\t\t\tVALUE=\"KaveluneLE.exe\">\n\n"
        "<PARAM NAME=\"TempInstall\"\t\tVALUE=\"1\">\n\n"
        "<PARAM NAME=\"ProgramSource\"\t\tVALUE=\"\nYWJj"
        "\n\"> <PARAM NAME=\"DataSource\" VALUE=\"\n"
        "\n\"><PARAM NAME=\"StartFileSource\" VALUE=\"\naGk="
        "\n\"></OBJECT></body></html>\n";
    EXPECT_EQ(buildInvitationPage(settings, "line one\r\nline two", payload, kCodePageWestern), expected);
}

TEST(InvitationPageTest, MessageLinesAndLanguage) {
    EXPECT_EQ(messageAsPageText("a\r\nb\nc\r"), "a<br>\nb<br>\nc\r");
    std::string page = buildInvitationPage({}, "\xEC\x95\x88\xEB\x85\x95\n", {}, kCodePageKorean);
    EXPECT_NE(page.find(utf8ToCodePage("\xEC\x95\x88\xEB\x85\x95", kCodePageKorean) + "<br>\n"), std::string::npos);
    EXPECT_EQ(page.find("\xEC\x95\x88"), std::string::npos);
}

}  // namespace
}  // namespace kavelune
