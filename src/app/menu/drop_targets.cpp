#include "app/menu/drop_targets.h"

#include <system_error>

#include "app/mail/received_invitation.h"
#include "base/path_resolution.h"
#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

// "C:/Chars/Girl/" names the folder Girl just as "C:/Chars/Girl" does.
fs::path withoutTrailingSlash(const fs::path& path) {
    fs::path normal = path.lexically_normal();
    return normal.has_filename() ? normal : normal.parent_path();
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// The file a dropped character folder stands for: the first of its own name with ".dcz",
// ".cfg" or ".txt" that exists (letter case ignored), else the ".dcz" for the loader to report.
fs::path characterInFolder(const fs::path& folder) {
    std::string name = folder.filename().string();
    for (const char* type : {".dcz", ".cfg", ".txt"}) {
        fs::path candidate = resolveContentPath(folder, name + type);
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    return folder / (name + ".dcz");
}

// Relative to the program folder when the path lies under it, so the choice moves with the
// program; otherwise the absolute path as it is.
std::string contentPathFor(const fs::path& path, const fs::path& programFolder) {
    std::error_code error;
    fs::path relative = fs::proximate(path, programFolder, error);
    if (!error && !relative.empty() && relative.is_relative() && *relative.begin() != "..") {
        return toStoredPath(programFolder, path);
    }
    fs::path absolute = fs::absolute(path, error);
    return (error ? path : absolute).generic_string();
}

}  // namespace

DropKind classifyDrop(const fs::path& dropped) {
    fs::path path = withoutTrailingSlash(dropped);
    std::string name = path.filename().string();
    for (const char* type : {".dcz", ".txt", ".cfg"}) {
        if (endsWithNoCase(name, type)) return DropKind::Character;
    }
    if (endsWithNoCase(name, ".dsq")) return DropKind::Dance;
    for (const char* type : {".vrm", ".glb", ".gltf"}) {
        if (endsWithNoCase(name, type) && !isFolder(path)) return DropKind::Avatar;
    }
    if (isSavedInvitationName(path) && !isFolder(path)) return DropKind::Invitation;
    if (!name.empty() && name.find('.') == std::string::npos && isFolder(path)) return DropKind::CharacterFolder;
    return DropKind::Ignored;
}

std::vector<WindowCommand> dropCommands(const std::vector<fs::path>& dropped, const fs::path& programFolder) {
    std::vector<WindowCommand> commands;
    for (const fs::path& entry : dropped) {
        fs::path path = withoutTrailingSlash(entry);
        switch (classifyDrop(path)) {
            case DropKind::Character:
                commands.push_back(commandWithPath(window_command::kLoadCharacter, contentPathFor(path, programFolder)));
                break;
            case DropKind::Dance:
                commands.push_back(commandWithPath(window_command::kLoadDance, contentPathFor(path, programFolder)));
                break;
            case DropKind::CharacterFolder:
                commands.push_back(commandWithPath(window_command::kLoadCharacter,
                                                   contentPathFor(characterInFolder(path), programFolder)));
                break;
            case DropKind::Invitation:
            case DropKind::Avatar:
            case DropKind::Ignored:
                break;
        }
    }
    return commands;
}

namespace {

std::vector<fs::path> droppedOfKind(const std::vector<fs::path>& dropped, DropKind kind) {
    std::vector<fs::path> found;
    for (const fs::path& entry : dropped) {
        fs::path path = withoutTrailingSlash(entry);
        if (classifyDrop(path) == kind) found.push_back(path);
    }
    return found;
}

}  // namespace

std::vector<fs::path> droppedInvitations(const std::vector<fs::path>& dropped) {
    return droppedOfKind(dropped, DropKind::Invitation);
}

std::vector<fs::path> droppedAvatars(const std::vector<fs::path>& dropped) {
    return droppedOfKind(dropped, DropKind::Avatar);
}

}  // namespace kavelune
