#pragma once

#include <QDialog>

#include <atomic>
#include <functional>
#include <memory>

#include "app/mail/mail_environment.h"
#include "mail/settings/mail_dialog_rules.h"
#include "mail/settings/mail_form.h"
#include "platform/qt/mail/invitation_send_job.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace kavelune::qt {

// The Send Mail dialog: sender, recipients, subject and message of an invitation to the
// character and dance on screen. The mail goes out on a thread of its own, with a progress bar
// and a Cancel that stops it; the dialog closes once the mail has been sent.
class SendMailDialog : public QDialog {
public:
    // What is on screen when Send is pressed, taken on the user interface thread.
    using ContentSource = std::function<InvitationContent()>;

    // `form` holds the accounts the lookup found and the account in use.
    SendMailDialog(MailForm form, MailEnvironment environment, ContentSource content);
    ~SendMailDialog() override;

    // Stops a running send and lets go of it, for a dialog that is going away with the program.
    void shutDown();

    // Cancel, Escape and the window's close button: they stop a running send and leave the
    // dialog open, or else close it.
    void reject() override;

private:
    void send();
    void showProgress(std::size_t done, std::size_t range);
    void sendFinished(const InvitationResult& result);
    void endSending();

    MailForm form_;
    const MailEnvironment environment_;
    const ContentSource content_;
    SendDialogState state_ = SendDialogState::Idle;
    bool shutDown_ = false;
    std::unique_ptr<InvitationSendJob> job_;

    QComboBox* sender_ = nullptr;
    QLineEdit* recipients_ = nullptr;
    QLineEdit* subject_ = nullptr;
    QPlainTextEdit* message_ = nullptr;
    QPushButton* send_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

}  // namespace kavelune::qt
