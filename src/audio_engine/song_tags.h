#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kavelune {

// What a song's ID3 tags say about it, in UTF-8. A field the tags leave out is empty.
struct SongTags {
    std::string title;
    std::string artist;
    bool operator==(const SongTags&) const = default;
};

// The title and artist of an MPEG audio file, from its ID3v2 tag and, for what that lacks, its
// ID3v1 tag. Nothing when the file cannot be read or names neither.
std::optional<SongTags> readSongTags(const std::filesystem::path& song);

// One line naming a song: "Title — Artist", or just the title when the artist is unknown.
// Without a title the song is named by `fileName` (with the artist when there is one).
std::string songCaption(const std::optional<SongTags>& tags, std::string_view fileName);

// The caption of the song at `song`, named by its own file name when its tags say nothing.
// (A song played from a converted copy reads its tags from the copy and passes the name the
// user knows to the overload above.)
std::string songCaption(const std::filesystem::path& song);

}  // namespace kavelune
