#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// One node of a content menu tree: a folder (with children) or an item (a file, or a grouped
// folder standing for the file of its own name). Every node owns its children.
struct ContentFolder {
    int id = -1;          // menu identifier once the node became an item
    bool isItem = false;
    bool greyed = false;  // appended past the entry budget
    bool shown = false;   // appended to the menu (a folder without children is not)
    std::string name;     // as on disk; a grouped folder: "Folder\File.ext"
    std::string label;    // text shown: the base name, or a root's title
    std::vector<std::unique_ptr<ContentFolder>> children;

    // The name up to its last "." (the whole name when it has none).
    static std::string baseNameOf(std::string_view name);
};

// The four content roots of the menu, with the types each offers and whether folders group.
struct ContentRootSpec {
    const char* folder;
    const char* types;  // "dcz;cfg;txt;": a type counts only when a ";" follows it
    bool grouping;
    int command;        // window command an item sends
};

inline constexpr ContentRootSpec kCharacterRoot{"Characters", "dcz;cfg;txt;", true, 2};
inline constexpr ContentRootSpec kSequenceRoot{"Sequences", "dsq;", false, 1};
inline constexpr ContentRootSpec kSoundRoot{"Sounds", "mp3;emp;", false, 0};
inline constexpr ContentRootSpec kInfoRoot{"Info", "lst;", false, 53};

// Entries a root may add before the rest are greyed.
inline constexpr int kContentEntryBudget = 60000;

// The lower-cased types of a type list; the text after the last ";" does not count.
std::vector<std::string> parseTypeList(std::string_view types);

// Scans `folderName` below `programFolder` into a tree. Sub-folders become folder nodes
// (scanned in turn), files of the listed types item nodes. Entries are taken in name order,
// letter case ignored, so the menu is the same on every system. A folder that cannot be read
// stays without children. The process's current folder is never changed.
std::unique_ptr<ContentFolder> scanContentRoot(const std::filesystem::path& programFolder,
                                               const ContentRootSpec& root, std::string title);

// Hands out menu identifiers the way the menu is built: items take the next id from the shared
// counter; a folder with children becomes a submenu, or (with grouping) one item when it holds
// a file named like itself; a folder without children is left out. Past the budget entries are
// greyed.
void assignMenuIds(ContentFolder& root, const ContentRootSpec& rootKind, int& nextId);

// The stored path of the item with `id`: the root's name and the names on the way, joined by
// backslashes ("Characters\Girl\Girl.dcz").
std::optional<std::string> findContentPath(const ContentFolder& root, int id);

// Ids of the first and last item of a tree (for ranges); nullopt when it has none.
std::optional<std::pair<int, int>> contentIdRange(const ContentFolder& root);

}  // namespace kavelune
