#include "platform/posix/content_view.h"

#include <fstream>
#include <system_error>

namespace kavelune::posix {

namespace {

namespace fs = std::filesystem;

// Marks a folder as a view this code made, and so may remove.
constexpr const char* kViewMark = ".kavelune-content-view";

bool isView(const fs::path& folder) {
    std::error_code error;
    return fs::is_regular_file(folder / kViewMark, error);
}

// Links every file below `root` into `view` where the view has nothing of that name yet.
void addRoot(const fs::path& root, const fs::path& view) {
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    for (auto it = fs::recursive_directory_iterator(root, options, error); !error && it != fs::end(it);
         it.increment(error)) {
        const fs::path relative = it->path().lexically_relative(root);
        const fs::path target = view / relative;
        std::error_code status;
        if (it->is_directory(status)) {
            // A file of an earlier root with this name hides the folder, as it hides a file.
            if (fs::is_symlink(target, status) && !fs::is_directory(target, status)) it.disable_recursion_pending();
            else fs::create_directories(target, status);
            continue;
        }
        if (fs::exists(fs::symlink_status(target, status)) || !it->is_regular_file(status)) continue;
        fs::create_symlink(fs::absolute(it->path(), status), target, status);
    }
}

}  // namespace

bool composeContentView(const std::vector<fs::path>& roots, const fs::path& view) {
    std::error_code error;
    if (fs::exists(view, error)) {
        if (!isView(view)) return false;
        fs::remove_all(view, error);
        if (error) return false;
    }
    if (!fs::create_directories(view, error) || error) return false;
    std::ofstream(view / kViewMark) << "made by Kavelune at each start; safe to delete\n";
    for (const fs::path& root : roots) addRoot(root, view);
    return isView(view);
}

}  // namespace kavelune::posix
