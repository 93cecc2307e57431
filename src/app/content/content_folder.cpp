#include "app/content/content_folder.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

struct ListedEntry {
    std::string name;
    bool isFolder = false;
};

std::vector<ListedEntry> listSorted(const fs::path& folder) {
    std::vector<ListedEntry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        entries.push_back({it->path().filename().string(), it->is_directory(typeError)});
    }
    std::sort(entries.begin(), entries.end(), [](const ListedEntry& a, const ListedEntry& b) {
        std::string la = toLowerAscii(a.name), lb = toLowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return entries;
}

std::string lowerExtension(const std::string& name) {
    std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return {};
    return toLowerAscii(name.substr(dot + 1));
}

void scanInto(ContentFolder& node, const fs::path& folder, const std::vector<std::string>& types,
              int depth) {
    // Deep enough for any real content tree; stops a link loop from recursing forever.
    constexpr int kMaxDepth = 32;
    if (depth > kMaxDepth) return;
    for (const ListedEntry& entry : listSorted(folder)) {
        if (entry.isFolder) {
            auto child = std::make_unique<ContentFolder>();
            child->name = entry.name;
            child->label = ContentFolder::baseNameOf(entry.name);
            scanInto(*child, folder / entry.name, types, depth + 1);
            node.children.push_back(std::move(child));
        } else if (entry.name.find('.') != std::string::npos &&
                   std::find(types.begin(), types.end(), lowerExtension(entry.name)) != types.end()) {
            auto child = std::make_unique<ContentFolder>();
            child->isItem = true;
            child->name = entry.name;
            child->label = ContentFolder::baseNameOf(entry.name);
            node.children.push_back(std::move(child));
        }
    }
}

// The child a grouped folder stands for: an item named exactly "<folder>.<type>", the types
// tried in ascending order for each child in turn.
const ContentFolder* groupedChild(const ContentFolder& folder, const std::vector<std::string>& sortedTypes) {
    for (const auto& child : folder.children) {
        if (!child->isItem) continue;
        for (const std::string& type : sortedTypes) {
            if (child->name == folder.name + "." + type) return child.get();
        }
    }
    return nullptr;
}

void assignIn(ContentFolder& node, bool grouping, int& nextId, int& budget,
              const std::vector<std::string>& groupTypes) {
    if (node.isItem) {
        node.id = nextId++;
        node.greyed = budget < 0;
        node.shown = true;
        --budget;
        return;
    }
    if (node.children.empty()) {
        return;
    }
    if (grouping) {
        if (const ContentFolder* chosen = groupedChild(node, groupTypes)) {
            node.name = node.name + "\\" + chosen->name;
            node.isItem = true;
            node.children.clear();
            assignIn(node, grouping, nextId, budget, groupTypes);
            return;
        }
    }
    node.shown = true;
    node.greyed = budget < 0;
    --budget;
    for (auto& child : node.children) {
        assignIn(*child, grouping, nextId, budget, groupTypes);
    }
}

bool findIn(const ContentFolder& node, int id, std::string& path) {
    if (node.isItem) {
        return node.id == id;
    }
    for (const auto& child : node.children) {
        std::size_t mark = path.size();
        path += "\\" + child->name;
        if (findIn(*child, id, path)) return true;
        path.resize(mark);
    }
    return false;
}

void rangeIn(const ContentFolder& node, std::optional<std::pair<int, int>>& range) {
    if (node.isItem && node.id >= 0) {
        if (!range) range = std::make_pair(node.id, node.id);
        range->first = std::min(range->first, node.id);
        range->second = std::max(range->second, node.id);
    }
    for (const auto& child : node.children) rangeIn(*child, range);
}

}  // namespace

std::string ContentFolder::baseNameOf(std::string_view name) {
    std::size_t dot = name.find_last_of('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::vector<std::string> parseTypeList(std::string_view types) {
    std::vector<std::string> parsed;
    std::size_t start = 0;
    for (std::size_t semicolon = types.find(';'); semicolon != std::string_view::npos;
         semicolon = types.find(';', start)) {
        parsed.push_back(toLowerAscii(types.substr(start, semicolon - start)));
        start = semicolon + 1;
    }
    return parsed;
}

std::unique_ptr<ContentFolder> scanContentRoot(const fs::path& programFolder, const ContentRootSpec& root,
                                               std::string title) {
    auto node = std::make_unique<ContentFolder>();
    node->name = root.folder;
    node->label = std::move(title);
    // The folder itself may differ in letter case from the name we look for.
    fs::path folder = programFolder / root.folder;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        for (const ListedEntry& entry : listSorted(programFolder)) {
            if (entry.isFolder && equalsNoCase(entry.name, root.folder)) {
                folder = programFolder / entry.name;
                break;
            }
        }
    }
    scanInto(*node, folder, parseTypeList(root.types), 0);
    return node;
}

void assignMenuIds(ContentFolder& root, const ContentRootSpec& rootKind, int& nextId) {
    int budget = kContentEntryBudget;
    std::vector<std::string> groupTypes = parseTypeList(rootKind.types);
    std::sort(groupTypes.begin(), groupTypes.end());
    assignIn(root, rootKind.grouping, nextId, budget, groupTypes);
}

std::optional<std::string> findContentPath(const ContentFolder& root, int id) {
    std::string path = root.name;
    if (findIn(root, id, path)) return path;
    return std::nullopt;
}

std::optional<std::pair<int, int>> contentIdRange(const ContentFolder& root) {
    std::optional<std::pair<int, int>> range;
    rangeIn(root, range);
    return range;
}

}  // namespace kavelune
