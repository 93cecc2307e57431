#include "mail/invitation/safe_entry_path.h"

#include <system_error>

#include "base/path_resolution.h"

namespace kavelune {

namespace fs = std::filesystem;

bool safeRelativeComponents(std::string_view stored, std::vector<std::string>& components) {
    components.clear();
    if (stored.empty() || stored.front() == '\\' || stored.front() == '/') return false;
    std::string component;
    auto flush = [&]() {
        if (component == "..") return false;
        if (!component.empty() && component != ".") components.push_back(component);
        component.clear();
        return true;
    };
    for (char c : stored) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f || c == ':') return false;
        if (c == '\\' || c == '/') {
            if (!flush()) return false;
        } else {
            component.push_back(c);
        }
    }
    if (!flush()) return false;
    return !components.empty();
}

namespace {

bool isWithin(const fs::path& path, const fs::path& root) {
    auto p = path.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++p) {
        if (r->empty()) continue;  // the empty last element of a root with a trailing separator
        if (p == path.end() || *p != *r) return false;
    }
    return true;
}

}  // namespace

bool placeBelow(const fs::path& root, std::string_view stored, fs::path& target) {
    std::vector<std::string> components;
    if (!safeRelativeComponents(stored, components)) return false;
    std::string joined;
    for (const std::string& component : components) {
        if (!joined.empty()) joined += '\\';
        joined += component;
    }
    std::error_code error;
    fs::path canonicalRoot = fs::weakly_canonical(root, error);
    if (error) return false;
    fs::path place = resolveContentPath(canonicalRoot, joined);
    // A link among the existing folders (or the file itself) could lead anywhere.
    fs::path real = fs::weakly_canonical(place, error);
    if (error || !isWithin(real, canonicalRoot) || real == canonicalRoot) return false;
    target = real;
    return true;
}

}  // namespace kavelune
