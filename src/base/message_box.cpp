#include "base/message_box.h"

#include <iostream>
#include <mutex>

namespace kavelune {

namespace {

std::mutex& handlerMutex() {
    static std::mutex mutex;
    return mutex;
}

MessageBoxHandler& installedHandler() {
    static MessageBoxHandler handler;
    return handler;
}

MessageAnswer defaultAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::OkCancel: return MessageAnswer::Cancel;
        case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

}  // namespace

MessageAnswer showMessageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(handlerMutex());
        handler = installedHandler();
    }
    MessageRequest request{text, caption, buttons};
    if (handler) {
        return handler(request);
    }
    std::cerr << caption << ": " << text << '\n';
    return defaultAnswer(buttons);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(handlerMutex());
    MessageBoxHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

}  // namespace kavelune
