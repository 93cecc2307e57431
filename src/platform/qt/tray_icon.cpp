#include "platform/qt/tray_icon.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "platform/qt/qt_popup_menu.h"

namespace kavelune::qt {

namespace {

// The installed icon's name in the icon theme.
constexpr const char* kThemeIcon = "net.kavelune.KaveluneLE";
// The id of Show/Hide; the popup menu's own ids start at 30000.
constexpr int kShowHideId = -1;

// A small figure for a program that runs without its installed icon (a build or unpacked copy).
QIcon drawnIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 40, 120), 3, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(QColor(240, 180, 60));
    painter.drawEllipse(QPointF(16, 7), 5, 5);
    painter.drawLine(QPointF(16, 12), QPointF(16, 21));  // body
    painter.drawLine(QPointF(16, 15), QPointF(7, 9));    // arms up, dancing
    painter.drawLine(QPointF(16, 15), QPointF(25, 11));
    painter.drawLine(QPointF(16, 21), QPointF(9, 30));   // legs
    painter.drawLine(QPointF(16, 21), QPointF(24, 29));
    return QIcon(pixmap);
}

}  // namespace

bool TrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

TrayIcon::TrayIcon(const QString& toolTip, Hooks hooks)
    : hooks_(std::move(hooks)), menu_(std::make_unique<QMenu>()), icon_(std::make_unique<QSystemTrayIcon>()) {
    icon_->setIcon(QIcon::fromTheme(kThemeIcon, drawnIcon()));
    icon_->setToolTip(toolTip);
    refill();
    icon_->setContextMenu(menu_.get());
    connect(menu_.get(), &QMenu::aboutToShow, this, &TrayIcon::refill);
    connect(icon_.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick) hooks_.showCharacter(true);
    });
    icon_->show();
}

TrayIcon::~TrayIcon() {
    // The menu goes after the icon that shows it.
    icon_.reset();
}

void TrayIcon::refill() {
    for (QMenu* submenu : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
        submenu->setParent(nullptr);
        submenu->deleteLater();
    }
    menu_->clear();
    const bool shown = hooks_.characterShown();
    QAction* showHide = menu_->addAction(QString::fromUtf8(
        desktopItemText(hooks_.language(), shown ? DesktopItem::Hide : DesktopItem::Show)));
    showHide->setData(kShowHideId);
    menu_->addSeparator();
    fillMenu(*menu_, hooks_.menu().entries());
    // Each action reports itself: a tray menu is shown by the desktop, not run by us, and
    // submenus shown that way do not all pass their choice up.
    for (QAction* action : menu_->findChildren<QAction*>()) {
        if (action->menu() || action->isSeparator()) continue;
        connect(action, &QAction::triggered, this, [this, id = action->data().toInt()] { chosen(id); });
    }
}

void TrayIcon::chosen(int id) {
    if (id == kShowHideId) {
        hooks_.showCharacter(!hooks_.characterShown());
        return;
    }
    if (id != 0) hooks_.choose(id);
}

}  // namespace kavelune::qt
