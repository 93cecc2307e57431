#include "app/menu/placeholder_dialogs.h"

#include "base/message_box.h"

namespace kavelune {

namespace {
constexpr const char* kCaption = "Information";
}

void PlaceholderDialogs::startSendMail() {
    showMessageBox("Sending mail is not available in this version yet.", kCaption);
}

void PlaceholderDialogs::startMailPreference() {
    showMessageBox("Mail preferences are not available in this version yet.", kCaption);
}

void PlaceholderDialogs::showBalloon(int, int) {
    showMessageBox("The speech balloon is not available in this version yet.", kCaption);
}

}  // namespace kavelune
