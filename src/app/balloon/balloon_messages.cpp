#include "app/balloon/balloon_messages.h"

namespace kavelune::balloon {

namespace {

// Half the demonstration target's width: the target spans this far to each side of the point.
constexpr int kDemonstrationHalfWidth = 100;
constexpr int kDemonstrationHeight = 100;

}  // namespace

std::string_view demonstrationText() {
    return "Hello! I dance on your desktop to the song that is playing. Right-click me to choose "
           "another character, dance or song, drag me with the right mouse button to move me, "
           "turn me with the left button, and hold both buttons to bring me closer or send me "
           "further away.";
}

ScreenRect demonstrationTarget(int x, int y) {
    return ScreenRect{x - kDemonstrationHalfWidth, y, x + kDemonstrationHalfWidth, y + kDemonstrationHeight};
}

Texts songTexts(const std::optional<SongTags>& tags, std::string_view fileName) {
    Texts texts;
    texts.title = tags && !tags->title.empty() ? tags->title : std::string(fileName);
    if (tags) {
        texts.body = tags->artist;
    }
    return texts;
}

}  // namespace kavelune::balloon
