#pragma once

#include <filesystem>
#include <vector>

#include "app/menu/window_commands.h"

namespace kavelune {

enum class DropKind { Character, Dance, CharacterFolder, Invitation, Avatar, Ignored };

// What a dropped file or folder is: a character by a ".dcz", ".txt" or ".cfg" ending, a dance
// by ".dsq" (letter case ignored), a character folder when it is a folder whose name has no
// dot; a saved invitation by a file name ending ".eml", ".html" or ".htm"; an avatar to import by
// ".vrm", ".glb" or ".gltf"; anything else (sounds, play lists, other files) is ignored.
DropKind classifyDrop(const std::filesystem::path& dropped);

// The commands a drop sends, in the order of the dropped names: load character (2) or load dance
// (1) with the content path. A character folder stands for the character file named like the
// folder inside it ("Girl" gives "Girl/Girl.dcz"; a ".cfg" or ".txt" of that name when there is
// no ".dcz"). Paths under `programFolder` become stored paths relative to it, others stay
// absolute. Nothing touches the process's current folder.
std::vector<WindowCommand> dropCommands(const std::vector<std::filesystem::path>& dropped,
                                        const std::filesystem::path& programFolder);

// The saved invitations among the dropped names, in drop order. They are opened rather than
// loaded, so they send no command of their own.
std::vector<std::filesystem::path> droppedInvitations(const std::vector<std::filesystem::path>& dropped);

// The avatars among the dropped names, in drop order. They are imported first and load as
// characters when their import is done.
std::vector<std::filesystem::path> droppedAvatars(const std::vector<std::filesystem::path>& dropped);

}  // namespace kavelune
