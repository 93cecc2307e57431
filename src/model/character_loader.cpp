#include "model/character_loader.h"

#include <system_error>

#include "base/path_resolution.h"
#include "model/attachment.h"

namespace kavelune {

namespace {

std::filesystem::path modelArchivePath(const std::filesystem::path& folder,
                                       const CharacterEntry& entry) {
    return resolveContentPath(folder, entry.modelFile + ".dcz");
}

// Every model whose header can be read must agree with the dance; a model that cannot be read
// is left to fail in the load itself.
bool allEntriesPair(const std::filesystem::path& folder, const std::vector<CharacterEntry>& entries,
                    const DancePairing& dance) {
    for (const auto& entry : entries) {
        ModelHeader header;
        if (readArchiveHeader(modelArchivePath(folder, entry), header) &&
            !pairingAllows(header, dance)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool pairingAllows(const ModelHeader& model, const DancePairing& dance) {
    return model.rules[3].accepts(dance.firstName, dance.secondName) &&
           dance.rule.accepts(model.firstName, model.secondName);
}

CharacterLoadResult loadCharacter(const std::filesystem::path& folder, std::string_view requested,
                                  const DancePairing* dance) {
    CharacterLoadResult result;
    std::vector<CharacterEntry> entries =
        loadCharacterDescription(folder, requested, &result.descriptionFile);
    if (dance != nullptr && !allEntriesPair(folder, entries, *dance)) {
        result.pairingRefused = true;
        return result;
    }
    for (const auto& entry : entries) {
        auto model = std::make_unique<CharacterModel>();
        if (!loadModelArchive(modelArchivePath(folder, entry), *model)) {
            continue;
        }
        model->stagePosition = entry.position;
        model->turn = entry.turn;
        model->dancer = entry.dancer;
        if (!entry.attachmentFile.empty()) {
            auto prop = std::make_unique<CharacterModel>();
            if (loadModelArchive(resolveContentPath(folder, entry.attachmentFile), *prop)) {
                bindAttachment(*model, std::move(prop), entry.anchor, entry.attachmentOffset);
            }
        }
        result.models.push_back(std::move(model));
    }
    return result;
}

std::filesystem::path characterFolderFor(const std::filesystem::path& programFolder,
                                         const std::filesystem::path& charactersFolder,
                                         std::string_view requested) {
    std::size_t slash = requested.find_last_of("\\/");
    if (slash == std::string_view::npos || slash == 0) {
        return charactersFolder;
    }
    std::filesystem::path folder = resolveContentPath(programFolder, requested.substr(0, slash));
    std::error_code error;
    return std::filesystem::is_directory(folder, error) ? folder : charactersFolder;
}

}  // namespace kavelune
