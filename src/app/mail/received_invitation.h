#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/menu/window_commands.h"

namespace kavelune {

// A saved invitation taken into the program.
struct ReceivedInvitation {
    // Load character (2), dance (1) and sound (0) for what the invitation names, in that order.
    std::vector<WindowCommand> commands;
    std::vector<std::string> unpacked;  // stored paths written below the program folder
    std::string error;                  // why the invitation was refused
};

// Whether a file's name says it is a saved invitation: a mail message (".eml") or the page on its
// own (".html", ".htm"), letter case ignored.
bool isSavedInvitationName(const std::filesystem::path& file);

// Opens a saved invitation into the program's content folders. The invitation is unpacked into a
// private folder below `temporaryFolder` first; only when every file it brought and every path
// its launch file names lies in Characters, Sequences, Sounds or Info is anything copied into
// `programFolder`. So an invitation cannot replace the launch files, mail.cfg or the programs
// themselves, and a refused one leaves the program folder as it was.
bool receiveInvitation(const std::filesystem::path& file, const std::filesystem::path& programFolder,
                       const std::filesystem::path& temporaryFolder, ReceivedInvitation& received);

// The box a refused invitation shows: caption "Error".
std::string invitationRefusedText(const std::string& error);

}  // namespace kavelune
