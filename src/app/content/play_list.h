#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kavelune {

// A play list file (".lst" in the Info folder): plain UTF-8 text, one sound a line, played in
// the order written. A sound is a path relative to the program folder ("Sounds\song.mp3", either
// slash) or an absolute one; a relative path that is not found there is taken from the list's
// own folder instead. Blank lines and lines starting with "#" are skipped, so an M3U list reads
// as well.
class PlayList {
public:
    // The songs of a list's text, as written.
    static PlayList parse(std::string_view text);

    // Reads the list at `storedPath` (relative to `programFolder`, or absolute) and settles each
    // relative song against the program folder or the list's folder. Nothing when the file cannot
    // be read.
    static std::optional<PlayList> load(const std::filesystem::path& programFolder, std::string_view storedPath);

    const std::vector<std::string>& songs() const { return songs_; }
    bool empty() const { return songs_.empty(); }

private:
    std::vector<std::string> songs_;
};

// Where playback stands in the list that is playing.
class PlayListCursor {
public:
    PlayListCursor(std::string listPath, PlayList list) : listPath_(std::move(listPath)), list_(std::move(list)) {}

    const std::string& listPath() const { return listPath_; }
    const PlayList& list() const { return list_; }
    std::size_t position() const { return position_; }
    // The song at the position; null for an empty list.
    const std::string* current() const;

    // Moves to the song equal to `song` (letter case and slash kind ignored) and says whether
    // the list holds it; the position stays otherwise.
    bool seek(std::string_view song);

    // Moves to the next song. After the last one it starts again from the first when `wrap` is
    // set; otherwise it stays and says false.
    bool advance(bool wrap);

private:
    std::string listPath_;
    PlayList list_;
    std::size_t position_ = 0;
};

}  // namespace kavelune
