#pragma once

#include <string_view>

namespace kavelune {

// The language identifier of a POSIX locale name: "ja..." gives 1041, "ko..." 1042, anything
// else (including "C" and an empty name) 1033.
int languageIdFromLocale(std::string_view locale);

// The user's interface language: the locale for messages, taken from LC_ALL, else
// LC_MESSAGES, else LANG (the first that is set and not empty).
int userDefaultLanguageId();

}  // namespace kavelune
