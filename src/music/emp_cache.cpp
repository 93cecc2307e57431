#include "music/emp_cache.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "base/atomic_file.h"
#include "base/path_resolution.h"
#include "music/emp_scramble.h"

namespace kavelune {

namespace {

bool readWhole(const std::string& path, std::string& bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Creates `folder` (and its parents) and closes it to other users.
bool makePrivateFolder(const std::filesystem::path& folder) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error)) {
        return false;
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace, error);
    return !error;
}

// A copy made before the song last changed would play the old song.
bool copyIsCurrent(const std::filesystem::path& copy, const std::string& empPath) {
    std::error_code error;
    auto copyTime = std::filesystem::last_write_time(copy, error);
    if (error) {
        return false;
    }
    auto songTime = std::filesystem::last_write_time(empPath, error);
    return error || copyTime >= songTime;  // without the song, the copy is all there is
}

}  // namespace

std::string EmpCache::targetName(const std::string& empPath) {
    std::string name = storedFileName(empPath);
    if (name.size() < 3) {
        return name + ".mp3";
    }
    return name.replace(name.size() - 3, 3, "mp3");
}

EmpCache::Result EmpCache::prepare(const std::string& empPath, std::filesystem::path& target) {
    if (folder_.empty() && findFolder_) {
        folder_ = findFolder_();
    }
    if (folder_.empty() || !makePrivateFolder(folder_)) {
        return Result::NoFolder;
    }
    target = folder_ / targetName(empPath);
    std::error_code error;
    if (std::filesystem::is_regular_file(target, error) && copyIsCurrent(target, empPath)) {
        if (std::ifstream(target, std::ios::binary)) {
            return Result::Ready;
        }
    }
    std::string bytes;
    if (!readWhole(empPath, bytes)) {
        return Result::SourceUnreadable;
    }
    unscrambleEmp(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return writeFileAtomically(target, bytes) ? Result::Ready : Result::TargetUnwritable;
}

}  // namespace kavelune
