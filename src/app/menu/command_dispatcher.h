#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "app/menu/keyboard.h"
#include "app/content/play_list.h"
#include "app/menu/window_commands.h"
#include "edition/edition_traits.h"

namespace kavelune {

class ActivityLog;
class ContentRegistry;
class DialogLauncher;
class LanguageColumn;
class LaunchSettings;
class SceneControl;
class WindowControl;

// Carries out the window commands, whoever sends them: the menu, the keys, dropped files and the
// music player's end-of-song notice. It is the one writer of the launch settings' content
// entries: the scene's loaders report what they loaded and the dispatcher stores it.
//
// Play lists: choosing one plays its songs in order; at the end of each song the next one
// starts. After the last song the program ends when exit-on-end is set, the list starts again
// when loop is set, and otherwise playback stops. Choosing a single sound ends the list.
class CommandDispatcher {
public:
    // `activityLog`, when given, receives what was loaded and the window position key's line.
    CommandDispatcher(std::filesystem::path programFolder, LaunchSettings& settings, LanguageColumn& language,
                      SceneControl& scene, WindowControl& window, DialogLauncher& dialogs,
                      const EditionTraits& edition = kaveluneLE(), ActivityLog* activityLog = nullptr);

    // Carries out `command`; false for a number outside the table, which the window handles in
    // its default way.
    bool dispatch(const WindowCommand& command);

    // A key pressed in the sprite window: flips its switch, then sends its command, or switches
    // the interface language. False for a key without a binding.
    bool pressKey(Key key);

    // A character typed with or without Alt, for the accelerators. False when none applies.
    bool typeAccelerator(char32_t character, bool altHeld);

    // At start-up, once the scene exists: loads the dance and then the character that the launch
    // settings name, each falling back to the first one `content` offers (and, when that one is
    // damaged, to the next that loads), loads the clip motion list in the editions that have
    // one, applies the shadow switch, takes up the play list and starts playing. Files that are
    // there but do not load are reported once. False, after telling the user, when there is no
    // dance or no character to show.
    bool startScene(ContentRegistry& content);

    // At start-up, once the scene exists: takes up the play list that LaunchSettings names. When
    // the saved sound is one of its songs the list goes on from there; otherwise its first song
    // is loaded. A list that can no longer be read is forgotten.
    void resumePlayList();

    // The play list that is playing, if any.
    const PlayListCursor* playList() const { return playList_ ? &*playList_ : nullptr; }

    // How many dance and character loads have been tried, loaded or not: a caller can tell
    // whether a command read and decoded files.
    std::size_t modelLoadsTried() const { return modelLoadsTried_; }

private:
    void loadSound(const std::string& path);
    bool loadDance(const std::string& path);
    bool loadCharacter(const std::string& path);
    // The user's own choice of a dance or character (menu, drop): a failure is reported.
    void chooseDance(const std::string& path);
    void chooseCharacter(const std::string& path);
    // Loads the launch choice, else the first of `offered` that loads. Files that are there but
    // did not load go to `damaged`.
    bool loadWithFallback(const std::string& chosen, const std::vector<std::string>& offered,
                          bool (CommandDispatcher::*load)(const std::string&), std::vector<std::string>& damaged);
    // A path that names a file which is there (so a failed load means damage, not absence).
    bool isPresent(const std::string& path) const;
    void togglePause();
    // Loads the dances Info\clipMotion.txt lists as the scene's clips. A listed file that
    // cannot be opened is reported, one that is no dance skipped; either way later clips
    // number one lower.
    void loadClipMotions();
    void logWindowPosition();
    void choosePlayList(const std::string& path);
    void endOfMusic();
    void restart();
    // Loads the song at the cursor, moving on past songs that fail, at most once round the
    // list. False when none loads.
    bool loadSongAtCursor();

    std::filesystem::path programFolder_;
    LaunchSettings& settings_;
    LanguageColumn& language_;
    SceneControl& scene_;
    WindowControl& window_;
    DialogLauncher& dialogs_;
    const EditionTraits& edition_;
    ActivityLog* activityLog_;
    std::optional<PlayListCursor> playList_;
    std::size_t modelLoadsTried_ = 0;
};

}  // namespace kavelune
