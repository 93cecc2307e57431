#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/pairing_rule.h"
#include "model/character_description.h"
#include "model/character_model.h"
#include "model/dcz_reader.h"

namespace kavelune {

// What the currently loaded dance says about pairing: its two names and its rule.
struct DancePairing {
    std::string firstName;
    std::string secondName;
    PairingRule rule;
};

// The model's fourth rule must accept the dance's names, and the dance's rule the model's.
bool pairingAllows(const ModelHeader& model, const DancePairing& dance);

struct CharacterLoadResult {
    // Loaded models in entry order, each placed (position, turn, dancer) and carrying its
    // attachment. The scene replaces its models with these only when the list is not empty.
    std::vector<std::unique_ptr<CharacterModel>> models;
    bool pairingRefused = false;  // a pairing rule refused: nothing was loaded
    std::filesystem::path descriptionFile;  // empty when the single default entry was used

    bool ok() const { return !models.empty(); }
};

// Loads a character from `folder` (the Characters folder, or the folder a requested path
// points into): the description, the pairing check against `dance` (null when no dance is
// loaded) and every entry's model and attachment. Entries that fail are skipped.
CharacterLoadResult loadCharacter(const std::filesystem::path& folder, std::string_view requested,
                                  const DancePairing* dance);

// The folder to load a requested character from: the folder part of a requested path, resolved
// under `programFolder`, when it names an existing folder; otherwise `charactersFolder`.
std::filesystem::path characterFolderFor(const std::filesystem::path& programFolder,
                                         const std::filesystem::path& charactersFolder,
                                         std::string_view requested);

}  // namespace kavelune
