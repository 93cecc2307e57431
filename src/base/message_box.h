#pragma once

#include <functional>
#include <string>

namespace kavelune {

// Modal message boxes, as the subsystems ask for them. The desktop program installs a handler
// that shows real dialogs; tests and the content kit install scripted answers. Without a
// handler the text goes to standard error and the default answer is returned.
enum class MessageButtons { Ok, YesNo, OkCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    std::string text;
    std::string caption;
    MessageButtons buttons = MessageButtons::Ok;
};

using MessageBoxHandler = std::function<MessageAnswer(const MessageRequest&)>;

// Shows a box through the installed handler.
MessageAnswer showMessageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons = MessageButtons::Ok);

// Installs a handler and returns the previous one (empty for the default).
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);

}  // namespace kavelune
