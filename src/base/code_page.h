#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The Windows code pages our three interface languages use where text leaves the program
// (mail bodies and headers). Inside the program every text is UTF-8.
inline constexpr int kCodePageWestern = 1252;
inline constexpr int kCodePageKorean = 949;
inline constexpr int kCodePageJapanese = 932;

// Converts UTF-8 text to `codePage` (1252, 949 or 932). A character the code page cannot hold,
// and a byte that is not valid UTF-8, becomes "?", the way Windows converts. An unknown code
// page gives the text unchanged.
std::string utf8ToCodePage(std::string_view utf8, int codePage);

// Converts text in `codePage` to UTF-8; bytes that do not decode become U+FFFD. An unknown
// code page gives the text unchanged.
std::string codePageToUtf8(std::string_view bytes, int codePage);

}  // namespace kavelune
