#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "app/menu/window_commands.h"

// A dropped avatar (.vrm, .glb, .gltf) becomes a character of the user's own: the content kit
// beside the program imports it into the user's Characters folder, then it loads like any
// character there. This is what the import runs and what it gives.
namespace kavelune {

struct AvatarImportPlan {
    std::string name;                    // the character's name, from the file's
    std::vector<std::string> commandLine;  // the kit's import, output into the character folder
    WindowCommand load;                  // loads the imported character from the program folder
};

// `kit` is the content kit program; `userContent` the folder that receives the user's content.
AvatarImportPlan planAvatarImport(const std::filesystem::path& avatar, const std::filesystem::path& kit,
                                  const std::filesystem::path& userContent);

// Why an import failed, for the user, from what the kit printed and its exit status.
std::string avatarImportFailure(const std::string& printed, int status);

}  // namespace kavelune
