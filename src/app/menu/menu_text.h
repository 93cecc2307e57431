#pragma once

#include <atomic>
#include <string>
#include <string_view>

namespace kavelune {

struct EditionTraits;

// Windows language identifiers, as the language switch and the web notices use them.
inline constexpr int kLanguageIdEnglish = 1033;
inline constexpr int kLanguageIdJapanese = 1041;
inline constexpr int kLanguageIdKorean = 1042;

enum class MenuLanguage { English, Korean, Japanese };

// 1041 gives Japanese, 1042 Korean, any other identifier English.
MenuLanguage menuLanguageFor(int languageId);

// The code page a language's texts take where they leave the program: 1252, 949 or 932.
int codePageOf(MenuLanguage language);

// The fixed table of interface texts: rows 0 to 15 for the popup menu, 16 to 35 for the mail
// dialogs, row 24 the mail character set name. A tab separates a menu text from its key hint.
class MenuText {
public:
    static constexpr int kRowCount = 36;

    enum Row : int {
        kWebSite = 0,
        kCharacterMenu = 1,
        kDanceMenu = 2,
        kSoundMenu = 3,
        kPlayListMenu = 4,
        kLoop = 5,
        kShadow = 6,
        kAlwaysOnTop = 7,
        kSizeMenu = 8,
        kRefresh = 9,
        kSendMail = 10,
        kMailPreference = 11,
        kExit = 12,
        kSmall = 13,
        kMedium = 14,
        kLarge = 15,
        kMailCharset = 24,
    };

    // The row's text in UTF-8; empty for a row outside the table.
    static std::string_view text(MenuLanguage language, int row);

    // The row's text in the language's code page, for bytes that leave the program.
    static std::string encoded(MenuLanguage language, int row);
};

// The items the program adds for the desktop it runs on, beside the fixed table: the tray's
// Show and Hide, the login start and the copy of a character into the user's own content.
enum class DesktopItem { Show, Hide, StartWithDesktop, AddToMyCharacters };

// The item's text in UTF-8.
std::string_view desktopItemText(MenuLanguage language, DesktopItem item);

// The text table as an edition lays it out. KaveluneTrova's has no Always on Top row, so it has
// 35 rows with every row after the sixth one up, and its first row names the partner's site.
class EditionMenuText {
public:
    explicit EditionMenuText(const EditionTraits& edition) : edition_(edition) {}

    int rowCount() const;
    // Row `tableRow` of this edition's table; empty outside it.
    std::string_view row(MenuLanguage language, int tableRow) const;
    // The text with the meaning of MenuText row `meaning`; empty when the edition has no such row.
    std::string_view text(MenuLanguage language, int meaning) const;

private:
    const EditionTraits& edition_;
};

// The language column in use. It starts from the user's language and the F10 to F12 keys
// switch it; the mail dialogs read it from their own threads, hence the atomic.
class LanguageColumn {
public:
    explicit LanguageColumn(int languageId = kLanguageIdEnglish) : language_(menuLanguageFor(languageId)) {}

    void setLanguageId(int languageId) { language_.store(menuLanguageFor(languageId)); }
    MenuLanguage language() const { return language_.load(); }
    std::string_view text(int row) const { return MenuText::text(language(), row); }

private:
    std::atomic<MenuLanguage> language_;
};

}  // namespace kavelune
