#include "platform/qt/desktop_dialogs.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include <cstdlib>

#include "app/launch/launch_settings.h"
#include "app/mail/mail_dialog_text.h"
#include "app/mail/mail_environment.h"
#include "app/web/web_links.h"
#include "base/message_box.h"
#include "mail/settings/account_lookup.h"
#include "platform/posix/user_folders.h"
#include "platform/qt/mail/mail_preference_dialog.h"
#include "platform/qt/mail/send_mail_dialog.h"

namespace kavelune::qt {

namespace {

constexpr const char* kCaption = "Information";
// The mail dialogs open this far right of the sprite window's left edge, level with its top.
constexpr int kDialogOffset = 256;

// The shown dialog, moved as little as needed to lie wholly on the screen.
QPoint onScreen(QPoint wanted, QSize size, const QScreen* screen) {
    if (!screen) return wanted;
    const QRect area = screen->availableGeometry();
    const int x = std::max(area.left(), std::min(wanted.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(wanted.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

}  // namespace

DesktopDialogs::DesktopDialogs(QWindow& owner, Options options) : owner_(owner), options_(std::move(options)) {
    if (options_.speechBalloon) {
        balloons_ = std::make_unique<BalloonPresenter>(&owner, std::move(options_.balloon));
        balloons_->setSongTitlesEnabled(options_.songTitles);
    }
    if (options_.stateFolder.empty()) options_.stateFolder = options_.programFolder;
}

DesktopDialogs::~DesktopDialogs() {
    // A dialog may be inside a message box of its own right now: it goes once that has returned.
    if (auto* send = dynamic_cast<SendMailDialog*>(sendDialog_.data())) send->shutDown();
    for (QDialog* dialog : {sendDialog_.data(), preferenceDialog_.data()}) {
        if (!dialog) continue;
        dialog->hide();
        dialog->deleteLater();
    }
}

bool DesktopDialogs::mailAvailable() const { return options_.launchSettings && options_.web && options_.language; }

MailEnvironment DesktopDialogs::mailEnvironment() const {
    MailEnvironment environment;
    environment.programFolder = options_.programFolder;
    environment.stateFolder = options_.stateFolder;
    if (const char* home = std::getenv("HOME"); home && *home) environment.userHome = home;
    environment.temporaryFolder = posix::userTemporaryFolder();
    environment.installerFileName = options_.installerFileName;
    environment.language = options_.language->language();
    environment.siteAddress = options_.web->siteAddress();
    environment.webDefault = {options_.web->mailText(1), options_.web->mailText(2), options_.web->mailText(3)};
    return environment;
}

void DesktopDialogs::present(QDialog& dialog) {
    dialog.setAttribute(Qt::WA_DeleteOnClose);
    // The program ends with the sprite window, not with the last dialog.
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    dialog.winId();
    if (QWindow* window = dialog.windowHandle()) window->setTransientParent(&owner_);
    const QRect owner = owner_.geometry();
    dialog.move(onScreen(QPoint(owner.left() + kDialogOffset, owner.top()), dialog.frameGeometry().size(),
                         owner_.screen()));
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void DesktopDialogs::startSendMail() {
    if (!mailAvailable()) {
        showMessageBox("Sending mail is not available in this version yet.", kCaption);
        return;
    }
    // One invitation at a time: the key again brings the open dialog forward.
    if (sendDialog_) {
        sendDialog_->raise();
        sendDialog_->activateWindow();
        return;
    }
    const MailEnvironment environment = mailEnvironment();
    MailForm form;
    form.reset();
    if (!loadAccounts(form, mailSettings_, accountLookupFor(environment))) {
        showMessageBox(mailText(environment.language, mail_text::kNoMailAccount), kErrorCaption);
        return;
    }
    LaunchSettings& settings = *options_.launchSettings;
    auto* dialog = new SendMailDialog(std::move(form), environment, [&settings] { return invitationContentOf(settings); });
    sendDialog_ = dialog;
    present(*dialog);
}

void DesktopDialogs::startMailPreference() {
    if (!mailAvailable()) {
        showMessageBox("Mail preferences are not available in this version yet.", kCaption);
        return;
    }
    if (preferenceDialog_) {
        preferenceDialog_->raise();
        preferenceDialog_->activateWindow();
        return;
    }
    auto* dialog = new MailPreferenceDialog(mailSettings_, options_.stateFolder / kMailConfigFileName,
                                           options_.language->language());
    preferenceDialog_ = dialog;
    present(*dialog);
}

void DesktopDialogs::showBalloon(int x, int y) {
    if (balloons_) balloons_->showDemonstration(x, y);
}

void DesktopDialogs::announceSong(const std::filesystem::path& playingFile, const std::string& songPath,
                                  const QRect& character) {
    if (!balloons_) return;
    balloons_->announceSong(playingFile, std::filesystem::path(songPath).filename().string(), character);
}

void DesktopDialogs::characterMoved(const QRect& character) {
    if (balloons_) balloons_->followCharacter(character);
}

}  // namespace kavelune::qt
