#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// What a character is made of on disk: its description file (when it has one), the model
// archives and attachments it names, and every texture image and texture parameter file those
// models use, each relative to the folder the character loads from.
struct CharacterFiles {
    std::filesystem::path folder;
    std::vector<std::filesystem::path> files;  // existing files only, each once, the main file first
};

// The files of the character `storedCharacter` (as the launch settings name it) in
// `programFolder`. Names that lead out of the character's folder are left out.
CharacterFiles characterFiles(const std::filesystem::path& programFolder, std::string_view storedCharacter);

// Whether the character already lives in `userContent`: its description file, or its model when
// it has none, lies there (links followed). A character whose files cannot be found counts as
// the user's, since there is nothing to copy.
bool isUsersCharacter(const std::filesystem::path& programFolder, std::string_view storedCharacter,
                      const std::filesystem::path& userContent);

// The platform's side of the copy: where the user's own content is and what must follow a change
// to it.
class UserContentShelf {
public:
    virtual ~UserContentShelf() = default;
    // The user's content folder (holding Characters, Sequences, ...); empty when there is none.
    virtual std::filesystem::path folder() = 0;
    // After something was added: the program folder shows the user's content again.
    virtual void contentChanged() = 0;
};

// Copies the character into the user's Characters folder, in a folder of its own named after the
// character ("Girl"; "Girl 2" and on when that name is taken, so nothing of the user's is
// overwritten), keeping the layout its names expect. Returns the stored path the copy loads by
// ("Characters\Girl\Girl.txt"); nothing when there was nothing to copy or a file could not be
// copied, in which case nothing is left behind.
std::optional<std::string> addToMyCharacters(const std::filesystem::path& programFolder,
                                             std::string_view storedCharacter, UserContentShelf& shelf);

}  // namespace kavelune
