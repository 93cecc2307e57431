#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kavelune {

// What is on screen, as the caller's launch record holds it. Paths are stored paths relative to
// the program folder, with backslashes.
struct InvitationContent {
    std::string sound;
    std::string dance;
    std::string character;
    // The files the dance uses: its motion pool files, as "Sequences\Motion Pool\<name>" or as
    // bare names (which get that folder).
    std::vector<std::string> danceFiles;
    // The current state in the launch file's written form; it becomes kavelune.txt.
    std::string launchFileText;
};

inline constexpr std::size_t kMaxCharacterFiles = 32;
inline constexpr const char* kMotionPoolFolder = "Sequences\\Motion Pool";

// Whether a file of the character's folder goes into the invitation: the text after the name's
// last period, in lower case, must occur somewhere in "dcz:cfg:txt:bmp:jpg:tga" (so "c", "t:b"
// and an empty extension match too); a name without a period never does.
bool isCharacterFileName(const std::string& fileName);

// The stored paths the invitation carries, in order: the sound, the dance, the dance's motion
// pool files, then up to 32 files of the character's folder and its subfolders (by the rule
// above, folders and files in name order), each written as the character folder, a backslash
// and its path below that folder. Empty paths and repeats are left out. A character that lies
// directly in the program folder brings only its own file, and "mail.cfg" never goes along:
// the user's password is not content.
std::vector<std::string> invitationContentList(const InvitationContent& content,
                                               const std::filesystem::path& programFolder);

}  // namespace kavelune
