#include "app/content/play_list.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "base/path_resolution.h"
#include "base/text.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

// A list is a handful of lines; anything far bigger is not a play list.
constexpr std::uintmax_t kMaxListBytes = 1u << 20;

bool isAbsoluteStored(std::string_view path) { return !path.empty() && path.front() == '/'; }

bool isFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The folder part of a stored path: everything before its last slash of either kind.
std::string_view storedFolderOf(std::string_view path) {
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

bool sameStoredPath(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char ca = a[i] == '/' ? '\\' : asciiLower(a[i]);
        char cb = b[i] == '/' ? '\\' : asciiLower(b[i]);
        if (ca != cb) return false;
    }
    return true;
}

}  // namespace

PlayList PlayList::parse(std::string_view text) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
    PlayList list;
    for (const std::string& line : splitOn(text, '\n')) {
        std::string_view song = trimBlanks(line);
        if (song.empty() || song.front() == '#') continue;
        list.songs_.emplace_back(song);
    }
    return list;
}

std::optional<PlayList> PlayList::load(const fs::path& programFolder, std::string_view storedPath) {
    fs::path file = resolveContentPath(programFolder, storedPath);
    std::error_code error;
    std::uintmax_t size = fs::file_size(file, error);
    if (error || size > kMaxListBytes) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;

    PlayList list = parse(text);
    std::string_view listFolder = storedFolderOf(storedPath);
    for (std::string& song : list.songs_) {
        if (isAbsoluteStored(song) || listFolder.empty() || isFile(resolveContentPath(programFolder, song))) continue;
        std::string besideList = joinStoredPath(listFolder, song);
        if (isFile(resolveContentPath(programFolder, besideList))) song = std::move(besideList);
    }
    return list;
}

const std::string* PlayListCursor::current() const {
    return position_ < list_.songs().size() ? &list_.songs()[position_] : nullptr;
}

bool PlayListCursor::seek(std::string_view song) {
    const std::vector<std::string>& songs = list_.songs();
    for (std::size_t i = 0; i < songs.size(); ++i) {
        if (sameStoredPath(songs[i], song)) {
            position_ = i;
            return true;
        }
    }
    return false;
}

bool PlayListCursor::advance(bool wrap) {
    if (list_.empty()) return false;
    if (position_ + 1 < list_.songs().size()) {
        ++position_;
        return true;
    }
    if (!wrap) return false;
    position_ = 0;
    return true;
}

}  // namespace kavelune
