#include <gtest/gtest.h>

#include <cstdlib>

#include "app/menu/menu_text.h"
#include "app/menu/user_language.h"
#include "base/code_page.h"
#include "base/text.h"
#include "support/temp_folder.h"

namespace kavelune {
namespace {

std::string hexOf(std::string_view bytes) {
    static const char* digits = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

// The bytes Python's own codecs make of each (text, codec) pair, as hex, in one run.
std::vector<std::string> pythonEncodedHex(const std::vector<std::pair<std::string, std::string>>& texts) {
    testing::TempFolder folder;
    std::string arguments;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto input = folder.write("text" + std::to_string(i), texts[i].first);
        arguments += " " + texts[i].second + " '" + input.string() + "'";
    }
    std::string output;
    int status = testing::runCommand(
        "python3 -c \"import sys; a = sys.argv[1:]; [print(open(f, encoding='utf-8', newline='').read()"
        ".encode(c).hex()) for c, f in zip(a[::2], a[1::2])]\"" + arguments, &output);
    EXPECT_EQ(status, 0);
    std::vector<std::string> lines = splitOn(output, '\n');
    lines.resize(texts.size());
    return lines;
}

TEST(MenuTextTest, TableHasEveryRowInEveryLanguage) {
    for (MenuLanguage language : {MenuLanguage::English, MenuLanguage::Korean, MenuLanguage::Japanese}) {
        for (int row = 0; row < MenuText::kRowCount; ++row) {
            EXPECT_FALSE(MenuText::text(language, row).empty()) << "row " << row;
        }
        EXPECT_TRUE(MenuText::text(language, -1).empty());
        EXPECT_TRUE(MenuText::text(language, MenuText::kRowCount).empty());
    }
    EXPECT_EQ(MenuText::text(MenuLanguage::English, MenuText::kWebSite), "Go to jivora ...\tF1");
    EXPECT_EQ(MenuText::text(MenuLanguage::Korean, MenuText::kLoop), "전체반복\tL");
    EXPECT_EQ(MenuText::text(MenuLanguage::Japanese, MenuText::kAlwaysOnTop), "常に手前に表示する\tT");
    EXPECT_EQ(MenuText::text(MenuLanguage::English, 23), "The message could not be sent.\n\nYou should have mail account.");
    EXPECT_EQ(MenuText::text(MenuLanguage::English, 25), "Outgoing  Mail Server(SMTP) :");
    EXPECT_EQ(MenuText::text(MenuLanguage::English, MenuText::kMailCharset), "ISO-8859-1");
    EXPECT_EQ(MenuText::text(MenuLanguage::Korean, MenuText::kMailCharset), "euc-kr");
    EXPECT_EQ(MenuText::text(MenuLanguage::Japanese, MenuText::kMailCharset), "Shift_JIS");
}

TEST(MenuTextTest, LanguageIdentifiersChooseColumnsAndCodePages) {
    EXPECT_EQ(menuLanguageFor(1041), MenuLanguage::Japanese);
    EXPECT_EQ(menuLanguageFor(1042), MenuLanguage::Korean);
    EXPECT_EQ(menuLanguageFor(1033), MenuLanguage::English);
    EXPECT_EQ(menuLanguageFor(2057), MenuLanguage::English);
    EXPECT_EQ(codePageOf(MenuLanguage::English), 1252);
    EXPECT_EQ(codePageOf(MenuLanguage::Korean), 949);
    EXPECT_EQ(codePageOf(MenuLanguage::Japanese), 932);

    LanguageColumn column(1033);
    EXPECT_EQ(column.text(MenuText::kExit), "Exit\tESC");
    column.setLanguageId(1042);
    EXPECT_EQ(column.text(MenuText::kExit), "종료\tESC");
    column.setLanguageId(1041);
    EXPECT_EQ(column.text(MenuText::kExit), "終了\tESC");
}

// Every text in its code page must be the bytes Windows would hold; Python's cp949 and cp932
// codecs follow the Windows tables, so they serve as the reference.
TEST(MenuTextTest, EncodedRowsMatchTheWindowsCodePages) {
    std::vector<std::pair<std::string, std::string>> texts;
    std::vector<std::string> ours;
    for (int row = 0; row < MenuText::kRowCount; ++row) {
        texts.emplace_back(MenuText::text(MenuLanguage::Korean, row), "cp949");
        ours.push_back(hexOf(MenuText::encoded(MenuLanguage::Korean, row)));
        texts.emplace_back(MenuText::text(MenuLanguage::Japanese, row), "cp932");
        ours.push_back(hexOf(MenuText::encoded(MenuLanguage::Japanese, row)));
    }
    std::vector<std::string> reference = pythonEncodedHex(texts);
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(ours[i], reference[i]) << texts[i].second << " row " << i / 2;
    }
    EXPECT_EQ(MenuText::encoded(MenuLanguage::English, MenuText::kLoop), "Loop\tL");
}

TEST(CodePageTest, UnmappableAndBrokenInputBecomeReplacements) {
    EXPECT_EQ(utf8ToCodePage("caf\xC3\xA9", 1252), "caf\xE9");
    EXPECT_EQ(utf8ToCodePage("a한b", 1252), "a?b");
    EXPECT_EQ(utf8ToCodePage("a\xFF" "b", 949), "a?b");
    EXPECT_EQ(utf8ToCodePage("cut \xED\x95", 949), "cut ?");
    EXPECT_EQ(utf8ToCodePage("same", 12345), "same");
    EXPECT_EQ(codePageToUtf8("caf\xE9", 1252), "caf\xC3\xA9");
    EXPECT_EQ(codePageToUtf8(utf8ToCodePage("メール設定", 932), 932), "メール設定");
    EXPECT_EQ(codePageToUtf8(utf8ToCodePage("메일 설정", 949), 949), "메일 설정");
    EXPECT_EQ(codePageToUtf8("\x82", 932), "\xEF\xBF\xBD");
    std::string longText(5000, 'x');
    longText += "한";
    EXPECT_EQ(codePageToUtf8(utf8ToCodePage(longText, 949), 949), longText);
}

TEST(UserLanguageTest, LocaleNamesAndEnvironmentChooseTheLanguage) {
    EXPECT_EQ(languageIdFromLocale("ko_KR.UTF-8"), 1042);
    EXPECT_EQ(languageIdFromLocale("ja_JP.eucJP"), 1041);
    EXPECT_EQ(languageIdFromLocale("ja"), 1041);
    EXPECT_EQ(languageIdFromLocale("kok_IN"), 1033);
    EXPECT_EQ(languageIdFromLocale("C"), 1033);
    EXPECT_EQ(languageIdFromLocale(""), 1033);

    // LC_ALL wins over LC_MESSAGES, which wins over LANG; an empty value does not count.
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "ja_JP.UTF-8", 1);
    setenv("LANG", "ko_KR.UTF-8", 1);
    EXPECT_EQ(userDefaultLanguageId(), 1041);
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(userDefaultLanguageId(), 1042);
    setenv("LC_ALL", "en_GB.UTF-8", 1);
    EXPECT_EQ(userDefaultLanguageId(), 1033);
    unsetenv("LC_ALL");
    unsetenv("LANG");
    EXPECT_EQ(userDefaultLanguageId(), 1033);
}

}  // namespace
}  // namespace kavelune
