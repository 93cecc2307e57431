#include "app/menu/menu_text.h"

#include <array>

#include "base/code_page.h"
#include "edition/edition_traits.h"

namespace kavelune {

namespace {

// Columns: English, Korean, Japanese.
using TextRow = std::array<std::string_view, 3>;

constexpr std::array<TextRow, MenuText::kRowCount> kRows{{
    {"Go to jivora ...\tF1", "지보라에 접속하기 ...\tF1", "jivoraサイトへ...\tF1"},  // 0
    {"Character", "캐릭터", "キャラクター"},  // 1
    {"Dance", "댄스", "ダンス"},  // 2
    {"Sound", "음악", "サウンド"},  // 3
    {"Play List", "플레이 리스트", "リスト"},  // 4
    {"Loop\tL", "전체반복\tL", "ループ\tL"},  // 5
    {"Shadow\tW", "그림자\tW", "影\tW"},  // 6
    {"Always on Top\tT", "항상위로\tT", "常に手前に表示する\tT"},  // 7
    {"Size", "크기", "サイズ"},  // 8
    {"Refresh\tF5", "다시그리기\tF5", "リフレッシュ\tF5"},  // 9
    {"Send Mail ...\tF6", "메일 보내기 ...\tF6", "メール送信\tF6"},  // 10
    {"Mail Preference ...\tF7", "메일 설정 ...\tF7", "メール設定\tF7"},  // 11
    {"Exit\tESC", "종료\tESC", "終了\tESC"},  // 12
    {"Small\t1", "작게\t1", "小さい\t1"},  // 13
    {"Medium\t2", "보통\t2", "普通\t2"},  // 14
    {"Large\t3", "크게\t3", "大きい\t3"},  // 15
    {"From :", "보내는 사람 :", "From :"},  // 16
    {"To :", "받는 사람 :", "To :"},  // 17
    {"Cc :", "참조 :", "Cc :"},  // 18
    {"Bcc :", "숨은참조 :", "Bcc :"},  // 19
    {"Subject", "제목", "Subject"},  // 20
    {"Send", "보내기", "送信"},  // 21
    {"Please enter your email address", "이메일 주소를 입력해 주세요.", "メールアドレスを入力して下さい。"},  // 22
    {"The message could not be sent.\n\nYou should have mail account.", "메일계정이 없어 메일을 보낼수 없습니다.", "メールは送信されませんでした。\n\nメールサーバーを指定して下さい。"},  // 23
    {"ISO-8859-1", "euc-kr", "Shift_JIS"},  // 24
    {"Outgoing  Mail Server(SMTP) :", "메일발송 서버(SMTP) :", "メールサーバー(SMTP) :"},  // 25
    {"Authentication server", "인증 서버 설정", "Authentication server"},  // 26
    {"Username :", "사용자ID :", "ユ－ザ－名 :"},  // 27
    {"Password :", "패스워드 :", "パスワ－ド :"},  // 28
    {"Requires authentication server", "인증서버(Authentication) 사용", "Requires authentication server"},  // 29
    {"Remember username and password", "사용자ID와 비밀번호 기억하기", "IDとパスワ－ドを記憶する。"},  // 30
    {"Mail Preference", "메일 설정", "メール設定"},  // 31
    {"Mail Address :", "메일 주소 :", "メールアドレス"},  // 32
    {"The message could not be sent.\n\nYou must specify some recipients for the message.", "받는사람, 제목, 내용을 입력해야 메일을 발송할 수 있습니다.", "メッセージが送れませんでした。\n\nYou must specify some recipients for the message."},  // 33
    {"Enter valid email address.", "이메일 주소(보내는 사람)를 바르게 입력해 주세요.", "Enter valid email(sender) address."},  // 34
    {"Enter valid SMTP server.", "SMTP 서버주소를 입력해 주세요.", "Enter valid SMTP server."},  // 35
}};

// Columns as above; rows in the order of DesktopItem.
constexpr std::array<TextRow, 4> kDesktopItems{{
    {"Show", "보이기", "表示"},
    {"Hide", "숨기기", "隠す"},
    {"Start with the desktop", "시작할 때 실행", "ログイン時に起動"},
    {"Add to my characters", "내 캐릭터에 추가", "マイキャラクターに追加"},
}};

}  // namespace

MenuLanguage menuLanguageFor(int languageId) {
    switch (languageId) {
        case kLanguageIdJapanese: return MenuLanguage::Japanese;
        case kLanguageIdKorean: return MenuLanguage::Korean;
        default: return MenuLanguage::English;
    }
}

int codePageOf(MenuLanguage language) {
    switch (language) {
        case MenuLanguage::Korean: return kCodePageKorean;
        case MenuLanguage::Japanese: return kCodePageJapanese;
        case MenuLanguage::English: break;
    }
    return kCodePageWestern;
}

std::string_view MenuText::text(MenuLanguage language, int row) {
    if (row < 0 || row >= kRowCount) return {};
    return kRows[static_cast<std::size_t>(row)][static_cast<std::size_t>(language)];
}

std::string_view desktopItemText(MenuLanguage language, DesktopItem item) {
    return kDesktopItems[static_cast<std::size_t>(item)][static_cast<std::size_t>(language)];
}

std::string MenuText::encoded(MenuLanguage language, int row) {
    return utf8ToCodePage(text(language, row), codePageOf(language));
}

}  // namespace kavelune

namespace kavelune {

int EditionMenuText::rowCount() const { return edition_.alwaysOnTop ? MenuText::kRowCount : MenuText::kRowCount - 1; }

std::string_view EditionMenuText::row(MenuLanguage language, int tableRow) const {
    if (tableRow < 0 || tableRow >= rowCount()) return {};
    if (!edition_.alwaysOnTop && tableRow >= MenuText::kAlwaysOnTop) ++tableRow;
    return text(language, tableRow);
}

std::string_view EditionMenuText::text(MenuLanguage language, int meaning) const {
    if (meaning == MenuText::kWebSite && !edition_.webSiteItem[0].empty()) {
        return edition_.webSiteItem[static_cast<std::size_t>(language)];
    }
    if (meaning == MenuText::kAlwaysOnTop && !edition_.alwaysOnTop) return {};
    return MenuText::text(language, meaning);
}

}  // namespace kavelune
