#pragma once

#include <QPoint>

class QMenu;

#include "app/menu/sprite_menu_model.h"

namespace kavelune::qt {

// Shows the menu model as a Qt popup at a screen point and returns the id chosen, 0 when the
// menu was dismissed. Key hints stand right-aligned beside their texts.
int runPopupMenu(const SpriteMenuModel& model, QPoint at);

// Adds the entries to `menu` as actions (each carrying its id as data) and submenus.
void fillMenu(QMenu& menu, const std::vector<MenuEntry>& entries);

}  // namespace kavelune::qt
