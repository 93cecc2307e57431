#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/view/sprite_view_types.h"
#include "audio_engine/song_tags.h"

namespace kavelune::balloon {

// What the balloon says: a bold title, a body, and a line that opens a web page when clicked.
struct Texts {
    std::string title;
    std::string body;
    std::string link;
    bool operator==(const Texts&) const = default;
};

// The demonstration the balloon command shows. The first time the balloon appears with this
// title, the program's icon and the home address as its link; after that it shows the sample
// paragraph alone, for a shorter time.
inline constexpr std::string_view kDemonstrationTitle = "TestBalloon";
inline constexpr int kFirstDemonstrationMilliseconds = 4000;
inline constexpr int kDemonstrationMilliseconds = 2000;
std::string_view demonstrationText();
// The rectangle the demonstration points at, hanging below the command's point.
ScreenRect demonstrationTarget(int x, int y);

// How long a song's name stays beside the character once the song starts.
inline constexpr int kSongMilliseconds = 4000;
// A song's balloon: its title (or, without one, its file name) and its artist.
Texts songTexts(const std::optional<SongTags>& tags, std::string_view fileName);

}  // namespace kavelune::balloon
