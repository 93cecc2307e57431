#include "app/menu/avatar_drop_import.h"

#include <cctype>

namespace kavelune {

namespace {

// The file's name without its type, kept to letters, digits, "-" and "_" so it is a safe folder
// and file name everywhere; an avatar with no such character in its name is called "Avatar".
std::string characterNameOf(const std::filesystem::path& avatar) {
    std::string name;
    for (unsigned char c : avatar.stem().string()) {
        name += (std::isalnum(c) || c == '-' || c == '_') && c < 0x80 ? static_cast<char>(c) : '_';
    }
    const bool meaningful = name.find_first_not_of('_') != std::string::npos;
    return meaningful ? name.substr(0, 64) : "Avatar";
}

}  // namespace

AvatarImportPlan planAvatarImport(const std::filesystem::path& avatar, const std::filesystem::path& kit,
                                  const std::filesystem::path& userContent) {
    AvatarImportPlan plan;
    plan.name = characterNameOf(avatar);
    const std::filesystem::path folder = userContent / "Characters" / plan.name;
    plan.commandLine = {kit.string(), "import", avatar.string(), "--out", folder.string(), "--name", plan.name};
    // Stored paths are written with backslashes, as the launch files keep them.
    plan.load = commandWithPath(window_command::kLoadCharacter, "Characters\\" + plan.name + "\\" + plan.name + ".dcz");
    return plan;
}

std::string avatarImportFailure(const std::string& printed, int status) {
    // The kit says why on its last line that starts with its own name.
    const std::string mark = "kvl import: ";
    const std::size_t at = printed.rfind(mark);
    if (at != std::string::npos) {
        std::string reason = printed.substr(at + mark.size());
        reason = reason.substr(0, reason.find('\n'));
        if (!reason.empty()) return reason;
    }
    if (status < 0) return "the content kit (kvl) could not be started";
    return "the import failed (status " + std::to_string(status) + ")";
}

}  // namespace kavelune
