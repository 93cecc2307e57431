#pragma once

#include <QDialog>

#include <filesystem>

#include "app/menu/menu_text.h"
#include "mail/settings/mail_settings.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace kavelune::qt {

// The Mail Preference dialog: the user's own sender address, outgoing server and login, kept in
// mail.cfg. It edits the program's one MailSettings record, which the Send Mail dialog reads.
class MailPreferenceDialog : public QDialog {
public:
    // Reads `configFile` into `settings` (a missing file leaves them as they are) and fills the
    // boxes from them.
    MailPreferenceDialog(MailSettings& settings, std::filesystem::path configFile, MenuLanguage language);

    void accept() override;

private:
    void authenticationTicked(bool on);

    MailSettings& settings_;
    const std::filesystem::path configFile_;
    const MenuLanguage language_;

    QLineEdit* address_ = nullptr;
    QLineEdit* server_ = nullptr;
    QCheckBox* authentication_ = nullptr;
    QGroupBox* group_ = nullptr;
    QLabel* loginLabel_ = nullptr;
    QLabel* passwordLabel_ = nullptr;
    QLineEdit* login_ = nullptr;
    QLineEdit* password_ = nullptr;
    QCheckBox* remember_ = nullptr;
};

}  // namespace kavelune::qt
