#pragma once

#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/content/content_folder.h"
#include "app/menu/menu_text.h"
#include "app/menu/window_commands.h"
#include "edition/edition_traits.h"

namespace kavelune {

class LaunchSettings;

// One entry of the popup menu as plain data, for whichever toolkit shows it.
struct MenuEntry {
    enum class Kind { Item, Separator, Submenu };

    Kind kind = Kind::Item;
    int id = 0;           // items only; 0 for separators and submenus
    std::string text;     // UTF-8, the part before the tab
    std::string keyHint;  // the part after the tab, shown right-aligned; may be empty
    bool checkable = false;
    bool checked = false;
    bool greyed = false;  // shown but cannot be chosen
    std::vector<MenuEntry> children;  // submenus only
};

// The menu's identifiers. One counter from 30001 hands them out: the items of the four content
// trees in order, then Small, Medium, Large, Loop, Shadow, Always on Top (in the editions that
// have it), Refresh, Send Mail, Mail Preference and Exit, then the desktop's own items: Start
// with the desktop and Add to my characters (shown above Exit). A range's start is taken before its
// tree is built, so a missing tree leaves an empty range.
struct SpriteMenuIds {
    static constexpr int kWebSite = 30000;
    static constexpr int kFirstContent = 30001;

    int characterStart = kFirstContent;
    int danceStart = kFirstContent;
    int soundStart = kFirstContent;
    int playListStart = kFirstContent;
    int sizeStart = kFirstContent;  // Small; Medium and Large follow
    int loop = 0;
    int shadow = 0;
    int topWindow = 0;  // 0 when the edition has no Always on Top item
    int refresh = 0;
    int sendMail = 0;
    int mailPreference = 0;
    int exit = 0;
    int startWithDesktop = 0;
    int addToMyCharacters = 0;
};

// The state of the desktop's own items when the menu opens.
struct DesktopItemState {
    bool startsWithDesktop = false;  // the login start is there: the item is checked
    bool characterIsTheUsers = true;  // the character is already in the user's content: greyed
};

// The popup menu built from the content folders and the text table, and the meaning of each
// identifier it can return.
class SpriteMenuModel {
public:
    // Scans Characters, Sequences, Sounds and Info under `programFolder` and lays the menu out in
    // `language` as `edition` has it, with check marks from `settings`.
    static SpriteMenuModel build(const std::filesystem::path& programFolder, MenuLanguage language,
                                 const LaunchSettings& settings, const EditionTraits& edition = kaveluneLE());

    const std::vector<MenuEntry>& entries() const { return entries_; }
    const SpriteMenuIds& ids() const { return ids_; }

    // Sets the check marks of Loop, Shadow and Always on Top from `settings`, and the desktop's
    // own items from `desktop`.
    void updateChecks(const LaunchSettings& settings, const DesktopItemState& desktop = {});

    // What choosing `id` does: the switches flip in `settings` first, then the command that goes
    // to the window. Nothing for 0 (the menu was dismissed), an unknown id, or a content item
    // whose path cannot be found.
    std::optional<WindowCommand> commandFor(int id, LaunchSettings& settings) const;

    // The entry with `id` anywhere in the menu, or null.
    const MenuEntry* findEntry(int id) const;

private:
    std::optional<WindowCommand> contentCommandFor(int id) const;

    std::vector<MenuEntry> entries_;
    SpriteMenuIds ids_;
    // Characters, Sequences, Sounds, Info: the trees the items' paths come from.
    std::array<std::unique_ptr<ContentFolder>, 4> roots_;
};

}  // namespace kavelune
