#include "platform/qt/qt_popup_menu.h"

#include <QAction>
#include <QMenu>

namespace kavelune::qt {

namespace {

QString menuText(const MenuEntry& entry) {
    // A lone "&" would make the next letter a mnemonic; content names may hold one.
    QString text = QString::fromStdString(entry.text).replace("&", "&&");
    if (!entry.keyHint.empty()) {
        text += '\t' + QString::fromStdString(entry.keyHint);
    }
    return text;
}

}  // namespace

void fillMenu(QMenu& menu, const std::vector<MenuEntry>& entries) {
    for (const MenuEntry& entry : entries) {
        switch (entry.kind) {
            case MenuEntry::Kind::Separator:
                menu.addSeparator();
                break;
            case MenuEntry::Kind::Submenu: {
                QMenu* sub = menu.addMenu(menuText(entry));
                sub->setEnabled(!entry.greyed);
                fillMenu(*sub, entry.children);
                break;
            }
            case MenuEntry::Kind::Item: {
                QAction* action = menu.addAction(menuText(entry));
                action->setData(entry.id);
                action->setEnabled(!entry.greyed);
                action->setCheckable(entry.checkable);
                action->setChecked(entry.checked);
                break;
            }
        }
    }
}

int runPopupMenu(const SpriteMenuModel& model, QPoint at) {
    QMenu menu;
    fillMenu(menu, model.entries());
    QAction* chosen = menu.exec(at);
    return chosen ? chosen->data().toInt() : 0;
}

}  // namespace kavelune::qt
