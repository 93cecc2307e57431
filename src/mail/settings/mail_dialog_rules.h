#pragma once

#include <filesystem>
#include <string>

#include "mail/settings/mail_form.h"
#include "mail/settings/mail_settings.h"

namespace kavelune {

// What the two mail dialogs decide, apart from drawing them, so every front end decides alike.

// --- Send Mail dialog ---

enum class SendFormCheck {
    Ready,          // send
    InvalidSender,  // "Enter valid email address." (row 34), caption "Information"
    MissingFields,  // no recipients, subject or message (row 33), caption "Information"
};
SendFormCheck checkSendForm(const MailForm& form);

enum class SendDialogState { Idle, Sending };

// Send is pressed once: it stays disabled while a send runs.
bool sendButtonEnabled(SendDialogState state);

enum class CancelAction { CancelSend, CloseDialog };
// Cancel stops a running send (the dialog stays open) and otherwise closes the dialog.
CancelAction cancelAction(SendDialogState state);

// --- Mail Preference dialog ---

// The dialog's boxes and check boxes.
struct PreferenceBoxes {
    std::string address;
    std::string server;
    bool authentication = false;
    bool remember = false;
    std::string login;
    std::string password;
};

// The boxes as the dialog opens on `settings`: the remember box is ticked as stored only when
// authentication is on; unticked authentication unticks both.
PreferenceBoxes preferenceBoxesFor(const MailSettings& settings);

// The login and password boxes, their labels, the group and the remember box follow the
// authentication box.
bool authenticationGroupEnabled(bool authenticationTicked);

enum class PreferenceOutcome {
    Saved,           // mail.cfg written; the dialog closes
    WriteFailed,     // settings kept in memory, mail.cfg could not be written; the dialog closes
    InvalidAddress,  // nothing saved: "Please enter your email address" (row 22), "Information"
};

// OK in the Mail Preference dialog. The address and server boxes are taken as they are. With
// authentication ticked, a non-empty login or password box replaces the stored one (an empty
// password box keeps the password already known) and the remember box is taken. An empty address
// or one that passes the check is saved to `configFile`.
PreferenceOutcome confirmPreferences(MailSettings& settings, const PreferenceBoxes& boxes,
                                     const std::filesystem::path& configFile);

}  // namespace kavelune
