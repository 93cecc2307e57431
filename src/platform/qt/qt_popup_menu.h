#pragma once

#include <QPoint>

#include "app/menu/sprite_menu_model.h"

namespace kavelune::qt {

// Shows the menu model as a Qt popup at a screen point and returns the id chosen, 0 when the
// menu was dismissed. Key hints stand right-aligned beside their texts.
int runPopupMenu(const SpriteMenuModel& model, QPoint at);

}  // namespace kavelune::qt
