#pragma once

#include <filesystem>
#include <functional>

#include "app/menu/window_commands.h"

namespace kavelune::qt {

// Opens a saved invitation (dropped on the character or named on the command line) into the
// program's content folders and sends the commands that show its character, dance and sound. A
// refused invitation says why in a message box.
void openInvitationInProgram(const std::filesystem::path& file, const std::filesystem::path& programFolder,
                             const std::function<void(const WindowCommand&)>& send);

}  // namespace kavelune::qt
