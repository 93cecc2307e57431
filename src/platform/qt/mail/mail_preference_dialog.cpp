#include "platform/qt/mail/mail_preference_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/mail/mail_dialog_text.h"
#include "base/message_box.h"
#include "mail/settings/mail_dialog_rules.h"
#include "platform/qt/mail/dialog_units.h"
#include "platform/qt/mail/utf8_byte_limit.h"

namespace kavelune::qt {

namespace {

// The address and server boxes take this many bytes.
constexpr std::size_t kBoxLimit = 2047;
// Logins and passwords go into one AUTH line each; longer ones are not real.
constexpr std::size_t kLoginLimit = 255;

QString text(MenuLanguage language, int row) { return QString::fromStdString(mailText(language, row)); }

}  // namespace

MailPreferenceDialog::MailPreferenceDialog(MailSettings& settings, std::filesystem::path configFile,
                                           MenuLanguage language)
    : settings_(settings), configFile_(std::move(configFile)), language_(language) {
    readMailConfig(configFile_, settings_);

    setFont(mailDialogFont());
    const DialogUnits units(font());
    setWindowTitle(text(language_, mail_text::kPreferenceTitle));
    setFixedSize(units.size(233, 154));

    // The group box is made first so that it lies behind the boxes drawn inside its frame.
    group_ = new QGroupBox(text(language_, mail_text::kAuthenticationGroup), this);
    group_->setGeometry(units.rect(7, 64, 219, 63));

    auto* addressLabel = new QLabel(text(language_, mail_text::kAddressLabel), this);
    addressLabel->setGeometry(units.rect(7, 13, 92, 8));
    auto* serverLabel = new QLabel(text(language_, mail_text::kOutgoingServerLabel), this);
    serverLabel->setGeometry(units.rect(7, 30, 97, 8));
    loginLabel_ = new QLabel(text(language_, mail_text::kUserNameLabel), this);
    loginLabel_->setGeometry(units.rect(16, 79, 37, 8));
    passwordLabel_ = new QLabel(text(language_, mail_text::kPasswordLabel), this);
    passwordLabel_->setGeometry(units.rect(16, 95, 36, 8));

    // Made in the order the Tab key should visit them.
    address_ = new QLineEdit(this);
    address_->setGeometry(units.rect(106, 9, 120, 13));
    limitUtf8Bytes(*address_, kBoxLimit);
    server_ = new QLineEdit(this);
    server_->setGeometry(units.rect(106, 28, 120, 13));
    limitUtf8Bytes(*server_, kBoxLimit);
    authentication_ = new QCheckBox(text(language_, mail_text::kAuthenticationBox), this);
    authentication_->setGeometry(units.rect(8, 51, 218, 10));
    login_ = new QLineEdit(this);
    login_->setGeometry(units.rect(56, 77, 158, 13));
    limitUtf8Bytes(*login_, kLoginLimit);
    password_ = new QLineEdit(this);
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(units.rect(56, 95, 158, 13));
    limitUtf8Bytes(*password_, kLoginLimit);
    remember_ = new QCheckBox(text(language_, mail_text::kRememberBox), this);
    remember_->setGeometry(units.rect(56, 113, 164, 10));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.rect(58, 133, 50, 14));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(units.rect(125, 133, 50, 14));
    cancel->setAutoDefault(false);

    const PreferenceBoxes boxes = preferenceBoxesFor(settings_);
    address_->setText(QString::fromStdString(boxes.address));
    server_->setText(QString::fromStdString(boxes.server));
    authentication_->setChecked(boxes.authentication);
    remember_->setChecked(boxes.remember);
    if (boxes.authentication) {
        login_->setText(QString::fromStdString(boxes.login));
        password_->setText(QString::fromStdString(boxes.password));
    }
    authenticationTicked(boxes.authentication);

    // The flags follow the boxes at once; a Cancel afterwards keeps them for this run, though
    // not in mail.cfg.
    connect(authentication_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.authentication = on;
        authenticationTicked(on);
    });
    connect(remember_, &QCheckBox::toggled, this, [this](bool on) { settings_.remember = on; });
    connect(ok, &QPushButton::clicked, this, &MailPreferenceDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &MailPreferenceDialog::reject);
}

void MailPreferenceDialog::authenticationTicked(bool on) {
    const bool enabled = authenticationGroupEnabled(on);
    for (QWidget* part : std::initializer_list<QWidget*>{group_, loginLabel_, passwordLabel_, login_, password_, remember_}) {
        part->setEnabled(enabled);
    }
}

void MailPreferenceDialog::accept() {
    PreferenceBoxes boxes;
    boxes.address = toUtf8(address_->text());
    boxes.server = toUtf8(server_->text());
    boxes.authentication = authentication_->isChecked();
    boxes.remember = remember_->isChecked();
    boxes.login = toUtf8(login_->text());
    boxes.password = toUtf8(password_->text());
    switch (confirmPreferences(settings_, boxes, configFile_)) {
        case PreferenceOutcome::InvalidAddress:
            showMessageBox(mailText(language_, mail_text::kEnterAddress), kInformationCaption);
            address_->setFocus();
            address_->selectAll();
            return;
        case PreferenceOutcome::WriteFailed:
            // The settings hold for this run; the user should know they will not be there next time.
            showMessageBox("The mail settings could not be saved to " + configFile_.string() + ".", kErrorCaption);
            break;
        case PreferenceOutcome::Saved:
            break;
    }
    QDialog::accept();
}

}  // namespace kavelune::qt
