#pragma once

#include <deque>
#include <filesystem>
#include <mutex>
#include <string>

#include "base/message_box.h"

namespace kavelune::posix {

// Answers message boxes from a script instead of showing them, for runs without anyone at the
// screen (the end-to-end tests). The answers are taken in order; once they run out, each box
// gets the answer a user closing it would give (No, Cancel or OK). Every box is appended to a
// log as one line: caption, tab, text (line breaks written as \n), tab, answer.
class ScriptedMessageAnswers {
public:
    // `answers`: words separated by commas: ok, yes, no, cancel.
    ScriptedMessageAnswers(const std::string& answers, std::filesystem::path log);

    MessageAnswer answer(const MessageRequest& request);

    // Installs scripted answers when KAVELUNE_MESSAGE_ANSWERS is set (it may be empty), with
    // the log in KAVELUNE_MESSAGE_LOG. True when installed.
    static bool installFromEnvironment();

    static const char* answerName(MessageAnswer answer);

private:
    std::mutex mutex_;
    std::deque<MessageAnswer> answers_;
    std::filesystem::path log_;
};

}  // namespace kavelune::posix
