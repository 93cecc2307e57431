#pragma once

#include "app/menu/window_control.h"

namespace kavelune {

// Stands in for the mail dialogs and the speech balloon until they exist: each says, in an
// information box, that the feature is not available yet.
class PlaceholderDialogs : public DialogLauncher {
public:
    void startSendMail() override;
    void startMailPreference() override;
    void showBalloon(int x, int y) override;
};

}  // namespace kavelune
