#include "base/path_resolution.h"

#include <system_error>

#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

// Finds `component` in `folder`, first exactly, then without regard to case.
fs::path matchComponent(const fs::path& folder, const std::string& component) {
    fs::path exact = folder / component;
    std::error_code error;
    if (component == "." || component == ".." || fs::exists(exact, error)) {
        return exact;
    }
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (equalsNoCase(name, component)) {
            return it->path();
        }
    }
    return exact;
}

}  // namespace

fs::path resolveContentPath(const fs::path& root, std::string_view stored) {
    // Only a POSIX absolute path leaves `root`; a leading `\` is how stored folders are written
    // relative to the program folder ("\\Sequences\\Motion Pool").
    bool absolute = !stored.empty() && stored.front() == '/';
    fs::path current = absolute ? fs::path("/") : root;
    std::string component;
    auto flush = [&]() {
        if (!component.empty()) {
            current = matchComponent(current, component);
            component.clear();
        }
    };
    for (char c : stored) {
        if (c == '\\' || c == '/') {
            flush();
        } else {
            component.push_back(c);
        }
    }
    flush();
    return current;
}

std::string joinStoredPath(std::string_view left, std::string_view right) {
    std::string joined(left);
    while (!joined.empty() && (joined.back() == '\\' || joined.back() == '/')) {
        joined.pop_back();
    }
    std::size_t start = 0;
    while (start < right.size() && (right[start] == '\\' || right[start] == '/')) {
        ++start;
    }
    if (!joined.empty() && start < right.size()) {
        joined.push_back('\\');
    }
    joined.append(right.substr(start));
    return joined;
}

std::string storedFileName(std::string_view stored) {
    std::size_t slash = stored.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? stored : stored.substr(slash + 1));
}

std::string toStoredPath(const fs::path& root, const fs::path& path) {
    std::error_code error;
    fs::path relative = fs::proximate(path, root, error);
    if (error || relative.empty() || *relative.begin() == "..") {
        // Outside the root: keep the absolute POSIX path, which resolveContentPath reads back
        // as absolute (a backslashed form would be taken as relative to the root).
        return path.generic_string();
    }
    std::string stored = relative.generic_string();
    for (char& c : stored) {
        if (c == '/') c = '\\';
    }
    return stored;
}

}  // namespace kavelune
