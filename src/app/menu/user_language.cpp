#include "app/menu/user_language.h"

#include <cstdlib>

#include "app/menu/menu_text.h"
#include "base/text.h"

namespace kavelune {

int languageIdFromLocale(std::string_view locale) {
    // "ko_KR.UTF-8", "ja_JP.eucJP@x", "ko": the language is the part before "_", "." or "@".
    std::string_view language = locale.substr(0, locale.find_first_of("_.@"));
    if (equalsNoCase(language, "ja")) return kLanguageIdJapanese;
    if (equalsNoCase(language, "ko")) return kLanguageIdKorean;
    return kLanguageIdEnglish;
}

int userDefaultLanguageId() {
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return languageIdFromLocale(value);
    }
    return kLanguageIdEnglish;
}

}  // namespace kavelune
