#pragma once

#include <filesystem>
#include <string>

// The demo's characters, written into a program folder's Characters folder:
//  - Mira/Mira.dcz: a grouped character with hand models and an animated top;
//  - Toma/Toma.txt + Toma.dcz: grouped, longer legs, holding a microphone (a prop model);
//  - Pia.dcz and Kai.dcz: loose archives, danced together by the description file Duet.txt.
namespace kvl::demo {

// The character a fresh program folder starts with, as a launch file names it.
inline constexpr const char* kDefaultCharacter = "Characters\\Mira\\Mira.dcz";
// Characters the menu offers: Mira, Toma, Duet, Pia and Kai.
inline constexpr int kCharacterCount = 5;

bool writeCharacters(const std::filesystem::path& programFolder, std::string& error);

}  // namespace kvl::demo
