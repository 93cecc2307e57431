#include "app/content/content_registry.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "base/message_box.h"
#include "base/path_resolution.h"
#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

bool canOpenForReading(const fs::path& file) {
    std::error_code error;
    if (fs::is_directory(file, error)) return false;
    std::ifstream in(file, std::ios::binary);
    return static_cast<bool>(in);
}

bool matchesTypeFilter(const std::string& name, std::string_view filter) {
    if (name.size() < 3) return false;
    std::string_view ending = std::string_view(name).substr(name.size() - 3);
    for (std::size_t i = 0; i + 3 <= filter.size(); i += 3) {
        if (equalsNoCase(ending, filter.substr(i, 3))) return true;
    }
    return false;
}

}  // namespace

void ContentRegistry::registerStandardKinds(const fs::path& programFolder) {
    current_ = programFolder;
    // Content made on another system may name these folders in another letter case.
    registerKind(kCharacterKind, resolveContentPath(programFolder, "Characters"));
    registerKind(kSequenceKind, resolveContentPath(programFolder, "Sequences"));
    registerKind(kSoundKind, resolveContentPath(programFolder, "Sounds"));
    registerKind(kInfoKind, resolveContentPath(programFolder, "Info"));
}

void ContentRegistry::registerKind(const std::string& kind, const fs::path& absoluteFolder) {
    folders_[kind] = absoluteFolder;
}

std::optional<fs::path> ContentRegistry::folderOf(const std::string& kind) const {
    auto it = folders_.find(kind);
    if (it == folders_.end()) return std::nullopt;
    return it->second;
}

void ContentRegistry::enter(const std::string& kind, std::string_view subPath) {
    stack_.push_back(current_);
    auto it = folders_.find(kind);
    // The registered folder may itself differ in letter case from what is on disk.
    fs::path base = it != folders_.end()
                        ? resolveContentPath(it->second.parent_path(), it->second.filename().string())
                        : current_;
    current_ = resolveContentPath(base, subPath);
}

void ContentRegistry::leave() {
    if (stack_.empty()) return;
    current_ = stack_.back();
    stack_.pop_back();
}

void ContentRegistry::setListingRule(std::string suffix, ListingRule rule) {
    ruleSuffix_ = std::move(suffix);
    rule_ = rule;
}

bool ContentRegistry::folderQualifies(const std::string& name) const {
    switch (rule_) {
        case ListingRule::None:
            return true;
        case ListingRule::FolderHoldsFile:
            return canOpenForReading(resolveContentPath(current_, name + "\\" + ruleSuffix_));
        case ListingRule::FolderHoldsNamesake:
            return canOpenForReading(resolveContentPath(current_, name + "\\" + name + ruleSuffix_));
        case ListingRule::FolderHoldsAnyNamesake:
            for (const std::string& alternative : splitOn(ruleSuffix_, ';')) {
                if (!alternative.empty() &&
                    canOpenForReading(resolveContentPath(current_, name + "\\" + name + alternative))) {
                    return true;
                }
            }
            return false;
    }
    return false;
}

std::vector<std::string> ContentRegistry::list(std::string_view typeFilter) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(current_, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        std::error_code statusError;
        fs::file_status status = it->status(statusError);
        if (statusError || !fs::exists(status)) {
            // Listed but gone (or a dangling link): tell the user and go on.
            showMessageBox("Files/Directory does not exist!", name);
            continue;
        }
        if (fs::is_directory(status)) {
            if (typeFilter.empty() && folderQualifies(name)) names.push_back(name);
        } else if (!typeFilter.empty() && matchesTypeFilter(name, typeFilter)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    rule_ = ListingRule::None;
    ruleSuffix_.clear();
    return names;
}

std::vector<std::string> ContentRegistry::characters() {
    enter(kCharacterKind, "");
    setListingRule(".dcz", ListingRule::FolderHoldsNamesake);
    std::vector<std::string> names = list("");
    leave();
    for (std::string& name : names) name = "Characters\\" + name + "\\" + name + ".dcz";
    return names;
}

std::vector<std::string> ContentRegistry::dances() {
    enter(kSequenceKind, "");
    std::vector<std::string> names = list("dsq");
    leave();
    for (std::string& name : names) name = "Sequences\\" + name;
    return names;
}

std::optional<std::string> ContentRegistry::firstCharacter() {
    std::vector<std::string> offered = characters();
    if (offered.empty()) return std::nullopt;
    return offered.front();
}

std::optional<std::string> ContentRegistry::firstDance() {
    std::vector<std::string> offered = dances();
    if (offered.empty()) return std::nullopt;
    return offered.front();
}

}  // namespace kavelune
