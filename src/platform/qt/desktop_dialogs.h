#pragma once

#include <QPointer>
#include <QRect>

#include <filesystem>
#include <memory>
#include <string>

#include "app/menu/window_control.h"
#include "mail/invitation/invitation_package.h"
#include "mail/settings/mail_settings.h"
#include "platform/qt/balloon_presenter.h"

class QDialog;
class QWindow;

namespace kavelune {
class LanguageColumn;
class LaunchSettings;
class WebLinks;
struct MailEnvironment;
}  // namespace kavelune

namespace kavelune::qt {

// The windows the commands open beside the sprite window: the mail dialogs and, in the edition
// that has one, the speech balloon, which also names each song as it starts.
class DesktopDialogs : public DialogLauncher {
public:
    struct Options {
        bool speechBalloon = true;  // the second edition has none
        bool songTitles = true;     // settings.ini: a starting song is named in the balloon
        BalloonSetup balloon;

        // What the mail dialogs need; without the launch settings and the web links they are
        // not offered.
        LaunchSettings* launchSettings = nullptr;  // what is on screen
        WebLinks* web = nullptr;                   // the site address and the default account
        const LanguageColumn* language = nullptr;  // the texts of the dialogs
        std::filesystem::path programFolder;       // the content and the installer data file
        std::filesystem::path stateFolder;         // mail.cfg
        std::string installerFileName = kInstallerDataLE;
    };

    DesktopDialogs(QWindow& owner, Options options);
    ~DesktopDialogs() override;

    // DialogLauncher
    void startSendMail() override;
    void startMailPreference() override;
    void showBalloon(int x, int y) override;

    // A song started: its name beside the character at `character` (screen pixels).
    void announceSong(const std::filesystem::path& playingFile, const std::string& songPath, const QRect& character);
    // The character moved to `character`: a song balloon that is up goes along.
    void characterMoved(const QRect& character);

private:
    bool mailAvailable() const;
    MailEnvironment mailEnvironment() const;
    // Shows a dialog beside the sprite window, without holding up the window.
    void present(QDialog& dialog);

    QWindow& owner_;
    Options options_;
    std::unique_ptr<BalloonPresenter> balloons_;
    MailSettings mailSettings_;  // the user's own account, shared by both mail dialogs
    QPointer<QDialog> sendDialog_;
    QPointer<QDialog> preferenceDialog_;
};

}  // namespace kavelune::qt
