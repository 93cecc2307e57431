#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace kavelune {

bool writeFileAtomically(const std::filesystem::path& target, const std::string& bytes,
                         std::filesystem::perms permissions) {
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    std::size_t written = 0;
    while (ok && written < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            ok = false;
        } else {
            written += static_cast<std::size_t>(n);
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        // mkstemp creates the file 0600; most of our files are ordinary user files (0644).
        ok = ::chmod(name.data(), static_cast<mode_t>(permissions) & 07777) == 0;
    }
    if (ok) {
        ok = std::rename(name.data(), target.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(name.data());
    }
    return ok;
}

}  // namespace kavelune
