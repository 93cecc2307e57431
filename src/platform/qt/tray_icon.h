#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "app/menu/sprite_menu_model.h"

class QMenu;
class QSystemTrayIcon;

namespace kavelune::qt {

// The program's icon in the desktop's tray (a StatusNotifierItem where the desktop hosts them,
// else the X11 system tray), with the character's popup menu under Show or Hide. A click on the
// icon brings the character back to the front.
class TrayIcon : public QObject {
    Q_OBJECT

public:
    // What the tray asks of the program.
    struct Hooks {
        std::function<const SpriteMenuModel&()> menu;  // the popup menu as it is now
        std::function<void(int)> choose;               // an id of that menu was chosen
        std::function<MenuLanguage()> language;
        std::function<bool()> characterShown;
        std::function<void(bool)> showCharacter;       // true shows and raises, false hides
    };

    // Whether the desktop has a tray to put the icon in.
    static bool available();

    TrayIcon(const QString& toolTip, Hooks hooks);
    ~TrayIcon() override;

private:
    // The menu is laid out again each time it opens, so its texts and marks are current.
    void refill();
    void chosen(int id);

    Hooks hooks_;
    std::unique_ptr<QMenu> menu_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace kavelune::qt
