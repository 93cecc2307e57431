#include "app/menu/my_characters.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "base/path_resolution.h"
#include "base/text.h"
#include "model/character_description.h"
#include "model/character_loader.h"
#include "model/character_model.h"
#include "model/dcz_reader.h"
#include "model/texture/texture_parameters.h"

namespace kavelune {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCharactersFolder = "Characters";
// How many "Girl 2", "Girl 3" ... are tried before giving up on a free name.
constexpr int kMaxNameTries = 100;

fs::path charactersFolderOf(const fs::path& programFolder) {
    return resolveContentPath(programFolder, kCharactersFolder);
}

fs::path characterFolder(const fs::path& programFolder, std::string_view storedCharacter) {
    return characterFolderFor(programFolder, charactersFolderOf(programFolder), storedCharacter);
}

// `file` under `folder` as a relative path, or empty when it lies outside.
fs::path relativeInside(const fs::path& folder, const fs::path& file) {
    const fs::path relative = file.lexically_normal().lexically_relative(folder.lexically_normal());
    if (relative.empty() || *relative.begin() == "..") return {};
    return relative;
}

bool isFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error);
}

// Gathers existing files, each once, in the order they are first named.
class FileList {
public:
    explicit FileList(fs::path folder) : folder_(std::move(folder)) {}

    void add(const fs::path& file) {
        const fs::path relative = relativeInside(folder_, file);
        if (relative.empty() || !isFile(file)) return;
        if (std::find(files_.begin(), files_.end(), relative) == files_.end()) files_.push_back(relative);
    }
    void addStored(std::string_view stored) { add(resolveContentPath(folder_, stored)); }

    std::vector<fs::path> take() { return std::move(files_); }

private:
    fs::path folder_;
    std::vector<fs::path> files_;
};

// A texture name stands for a parameter file and the images it maps, or else for an image (a TGA
// beside it is preferred) and its environment map.
void addTexture(FileList& list, const fs::path& folder, const std::string& textureName) {
    if (textureName.empty()) return;
    const fs::path parameterFile = resolveContentPath(folder, textureParameterFileName(textureName));
    std::ifstream in(parameterFile);
    TextureParameterFile parameters;
    if (in && readTextureParameters(in, parameters)) {
        list.add(parameterFile);
        for (const TextureParameterLine& line : parameters.lines) {
            if (line.kind == TextureParameterLine::Kind::Map) list.addStored(line.file);
        }
        return;
    }
    list.addStored(textureName);
    list.addStored(replaceEnding(textureName, 3, "tga"));
    list.addStored(replaceEnding(textureName, 4, "env.jpg"));
}

void addModelTextures(FileList& list, const fs::path& folder, const fs::path& archive) {
    CharacterModel model;
    if (!loadModelArchive(archive, model)) return;
    for (const MeshPart& part : model.parts) addTexture(list, folder, part.textureSpec);
    for (const auto& hand : model.hands) {
        for (const MeshPart& part : hand.parts) addTexture(list, folder, part.textureSpec);
    }
}

// The description file, or the model of a character without one.
fs::path mainFile(const fs::path& folder, std::string_view storedCharacter) {
    fs::path description;
    const std::vector<CharacterEntry> entries = loadCharacterDescription(folder, storedCharacter, &description);
    if (!description.empty()) return description;
    return entries.empty() ? fs::path{} : resolveContentPath(folder, entries.front().modelFile + ".dcz");
}

bool copyAll(const CharacterFiles& character, const fs::path& target) {
    std::error_code error;
    for (const fs::path& file : character.files) {
        const fs::path destination = target / file;
        fs::create_directories(destination.parent_path(), error);
        if (error) return false;
        // Copied from what a link points at: the user's copy must not depend on the original.
        fs::copy_file(character.folder / file, destination, fs::copy_options::none, error);
        if (error) return false;
    }
    return true;
}

}  // namespace

CharacterFiles characterFiles(const fs::path& programFolder, std::string_view storedCharacter) {
    CharacterFiles result;
    result.folder = characterFolder(programFolder, storedCharacter);
    FileList list(result.folder);
    fs::path description;
    const std::vector<CharacterEntry> entries =
        loadCharacterDescription(result.folder, storedCharacter, &description);
    if (!description.empty()) list.add(description);
    for (const CharacterEntry& entry : entries) {
        const fs::path model = resolveContentPath(result.folder, entry.modelFile + ".dcz");
        list.add(model);
        addModelTextures(list, result.folder, model);
        if (entry.attachmentFile.empty()) continue;
        const fs::path attachment = resolveContentPath(result.folder, entry.attachmentFile);
        list.add(attachment);
        addModelTextures(list, result.folder, attachment);
    }
    result.files = list.take();
    return result;
}

bool isUsersCharacter(const fs::path& programFolder, std::string_view storedCharacter, const fs::path& userContent) {
    const fs::path file = mainFile(characterFolder(programFolder, storedCharacter), storedCharacter);
    std::error_code error;
    if (file.empty() || !isFile(file)) return true;
    const fs::path real = fs::canonical(file, error);
    if (error) return true;
    const fs::path user = fs::weakly_canonical(userContent, error);
    return !error && !userContent.empty() && !relativeInside(user, real).empty();
}

std::optional<std::string> addToMyCharacters(const fs::path& programFolder, std::string_view storedCharacter,
                                             UserContentShelf& shelf) {
    const CharacterFiles character = characterFiles(programFolder, storedCharacter);
    const fs::path userContent = shelf.folder();
    if (character.files.empty() || userContent.empty()) return std::nullopt;

    const std::string name = characterBaseName(storedCharacter);
    const fs::path characters = userContent / kCharactersFolder;
    std::error_code error;
    fs::create_directories(characters, error);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const std::string folderName = attempt == 1 ? name : name + " " + std::to_string(attempt);
        const fs::path target = characters / folderName;
        // Made here and only here, so a folder that exists already (the user's) is never written into.
        if (!fs::create_directory(target, error)) {
            if (error) return std::nullopt;
            continue;
        }
        if (!copyAll(character, target)) {
            fs::remove_all(target, error);
            return std::nullopt;
        }
        shelf.contentChanged();
        const std::string mainName = character.files.front().generic_string();
        return joinStoredPath(joinStoredPath(kCharactersFolder, folderName), mainName);
    }
    return std::nullopt;
}

}  // namespace kavelune
