#pragma once

#include <filesystem>
#include <optional>

#include "app/menu/sprite_menu_model.h"

namespace kavelune {

class LaunchSettings;

// The program's popup menu. It is laid out on the first right click that opens it, in the
// language of that moment and from the content found then, and is not rebuilt for a language
// switch or new files afterwards; only the program's own copy of a character into the user's
// content lays it out anew (forget()), so the copy can be chosen.
class SpriteMenu {
public:
    explicit SpriteMenu(const EditionTraits& edition = kaveluneLE()) : edition_(edition) {}

    // The menu to show now: built on the first call; the check marks follow `settings` and
    // `desktop` on every call.
    const SpriteMenuModel& open(const std::filesystem::path& programFolder, MenuLanguage language,
                                const LaunchSettings& settings, const DesktopItemState& desktop = {});

    // The next open() lays the menu out again from the content found then.
    void forget() { model_.reset(); }

    bool isBuilt() const { return model_.has_value(); }

    // What choosing `id` sends to the window (see SpriteMenuModel::commandFor); nothing before
    // the menu was built.
    std::optional<WindowCommand> choose(int id, LaunchSettings& settings) const;

private:
    const EditionTraits& edition_;
    std::optional<SpriteMenuModel> model_;
};

}  // namespace kavelune
