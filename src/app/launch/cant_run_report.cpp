#include "app/launch/cant_run_report.h"

#include "base/message_box.h"

namespace kavelune {

void reportCantRun(const std::function<void()>& releaseLock, const std::function<void()>& openSite) {
    if (releaseLock) releaseLock();
    if (showMessageBox(kCantRunText, "Error", MessageButtons::YesNo) == MessageAnswer::Yes && openSite) {
        openSite();
    }
}

}  // namespace kavelune
