#include "mail/settings/mail_dialog_rules.h"

#include "mail/settings/mail_address.h"

namespace kavelune {

SendFormCheck checkSendForm(const MailForm& form) {
    if (!isValidMailAddress(form.sender)) return SendFormCheck::InvalidSender;
    if (form.recipients.empty() || form.subject.empty() || form.message.empty()) {
        return SendFormCheck::MissingFields;
    }
    return SendFormCheck::Ready;
}

bool sendButtonEnabled(SendDialogState state) {
    return state == SendDialogState::Idle;
}

CancelAction cancelAction(SendDialogState state) {
    return state == SendDialogState::Sending ? CancelAction::CancelSend : CancelAction::CloseDialog;
}

PreferenceBoxes preferenceBoxesFor(const MailSettings& settings) {
    PreferenceBoxes boxes;
    boxes.address = settings.address;
    boxes.server = settings.server;
    boxes.authentication = settings.authentication;
    boxes.remember = settings.authentication && settings.remember;
    boxes.login = settings.login;
    boxes.password = settings.password;
    return boxes;
}

bool authenticationGroupEnabled(bool authenticationTicked) {
    return authenticationTicked;
}

PreferenceOutcome confirmPreferences(MailSettings& settings, const PreferenceBoxes& boxes,
                                     const std::filesystem::path& configFile) {
    if (!boxes.address.empty() && !isValidMailAddress(boxes.address)) {
        return PreferenceOutcome::InvalidAddress;
    }
    settings.address = boxes.address;
    settings.server = boxes.server;
    settings.authentication = boxes.authentication;
    if (boxes.authentication) {
        if (!boxes.login.empty()) settings.login = boxes.login;
        if (!boxes.password.empty()) settings.password = boxes.password;
        settings.remember = boxes.remember;
    }
    return writeMailConfig(configFile, settings) ? PreferenceOutcome::Saved : PreferenceOutcome::WriteFailed;
}

}  // namespace kavelune
