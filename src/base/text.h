#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// ASCII-only case helpers: content names and keys are compared the way the content was made,
// byte by byte with A-Z folded.
char asciiLower(char c);
std::string toLowerAscii(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
bool endsWithNoCase(std::string_view text, std::string_view suffix);

// Removes spaces, tabs, carriage returns and line feeds at both ends.
std::string_view trimBlanks(std::string_view text);

// The leading decimal integer of `text` (optional sign, then digits); 0 when there is none.
// Saturates instead of overflowing.
long long leadingInteger(std::string_view text);

std::vector<std::string> splitOn(std::string_view text, char separator);

// `name` with its last `count` characters (all of it when shorter) replaced by `ending`, as
// texture names are varied into their TGA, environment-map and parameter-file names.
std::string replaceEnding(std::string_view name, std::size_t count, std::string_view ending);

}  // namespace kavelune
