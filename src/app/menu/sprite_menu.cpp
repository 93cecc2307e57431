#include "app/menu/sprite_menu.h"

#include "app/launch/launch_settings.h"

namespace kavelune {

const SpriteMenuModel& SpriteMenu::open(const std::filesystem::path& programFolder, MenuLanguage language,
                                        const LaunchSettings& settings, const DesktopItemState& desktop) {
    if (!model_) model_ = SpriteMenuModel::build(programFolder, language, settings, edition_);
    model_->updateChecks(settings, desktop);
    return *model_;
}

std::optional<WindowCommand> SpriteMenu::choose(int id, LaunchSettings& settings) const {
    if (!model_) return std::nullopt;
    return model_->commandFor(id, settings);
}

}  // namespace kavelune
