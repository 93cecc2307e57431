#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// Content kinds and the folders they live in, below the program folder.
inline constexpr const char* kCharacterKind = "character";
inline constexpr const char* kSequenceKind = "sequence";
inline constexpr const char* kSoundKind = "sound";
inline constexpr const char* kInfoKind = "Info";
inline constexpr const char* kMotionPoolKind = "MotionPool";

// A one-shot rule for which folders the next empty-filter listing takes.
enum class ListingRule {
    None,
    FolderHoldsFile,          // mode 0: folder X is taken when X\suffix exists
    FolderHoldsNamesake,      // mode 1: when X\X<suffix> exists
    FolderHoldsAnyNamesake,   // mode 2: suffix "a;b;c", when X\X<a|b|c> exists
};

// Maps content kinds to absolute folders and keeps a stack of current folders of its own, so
// loaders can enter a kind's folder and list it without moving the process's current folder.
class ContentRegistry {
public:
    // Registers the four standard kinds below `programFolder` and makes it the current folder.
    void registerStandardKinds(const std::filesystem::path& programFolder);
    void registerKind(const std::string& kind, const std::filesystem::path& absoluteFolder);
    std::optional<std::filesystem::path> folderOf(const std::string& kind) const;

    // Pushes the current folder and moves to the kind's folder joined with `subPath` (or to
    // `subPath` from the current folder, for a kind that is not registered).
    void enter(const std::string& kind, std::string_view subPath);
    // Pops back to the folder before the matching enter. Does nothing on an empty stack.
    void leave();
    const std::filesystem::path& currentFolder() const { return current_; }
    void setCurrentFolder(const std::filesystem::path& folder) { current_ = folder; }

    // Sets the rule for the next listing only.
    void setListingRule(std::string suffix, ListingRule rule);

    // Sorted names in the current folder. With a non-empty filter (a run of 3-letter types,
    // "dsq" or "mp3emp") the files whose names end in one of them, letter case ignored; with an
    // empty filter the folders, as the listing rule decides. Clears the rule.
    std::vector<std::string> list(std::string_view typeFilter);

    // Stored paths of the characters on offer (`Characters\X\X.dcz` for each folder X holding
    // its namesake archive) and of the dances (`Sequences\` + each .dsq), in name order.
    std::vector<std::string> characters();
    std::vector<std::string> dances();
    // The first of each, when there is one.
    std::optional<std::string> firstCharacter();
    std::optional<std::string> firstDance();

private:
    bool folderQualifies(const std::string& name) const;

    std::map<std::string, std::filesystem::path> folders_;
    std::vector<std::filesystem::path> stack_;
    std::filesystem::path current_;
    std::string ruleSuffix_;
    ListingRule rule_ = ListingRule::None;
};

}  // namespace kavelune
