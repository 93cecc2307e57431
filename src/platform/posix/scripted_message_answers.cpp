#include "platform/posix/scripted_message_answers.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>

#include "base/text.h"

namespace kavelune::posix {

namespace {

std::optional<MessageAnswer> parseAnswer(std::string_view word) {
    const std::string lower = toLowerAscii(trimBlanks(word));
    if (lower == "ok") return MessageAnswer::Ok;
    if (lower == "yes") return MessageAnswer::Yes;
    if (lower == "no") return MessageAnswer::No;
    if (lower == "cancel") return MessageAnswer::Cancel;
    return std::nullopt;
}

bool fits(MessageAnswer answer, MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return answer == MessageAnswer::Ok;
        case MessageButtons::YesNo: return answer == MessageAnswer::Yes || answer == MessageAnswer::No;
        case MessageButtons::OkCancel:
            return answer == MessageAnswer::Ok || answer == MessageAnswer::Cancel;
    }
    return false;
}

MessageAnswer closingAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::YesNo: return MessageAnswer::No;
        case MessageButtons::OkCancel: return MessageAnswer::Cancel;
        case MessageButtons::Ok: break;
    }
    return MessageAnswer::Ok;
}

std::string oneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

}  // namespace

ScriptedMessageAnswers::ScriptedMessageAnswers(const std::string& answers,
                                               std::filesystem::path log)
    : log_(std::move(log)) {
    for (const std::string& word : splitOn(answers, ',')) {
        if (auto answer = parseAnswer(word)) {
            answers_.push_back(*answer);
        }
    }
}

const char* ScriptedMessageAnswers::answerName(MessageAnswer answer) {
    switch (answer) {
        case MessageAnswer::Yes: return "yes";
        case MessageAnswer::No: return "no";
        case MessageAnswer::Cancel: return "cancel";
        case MessageAnswer::Ok: break;
    }
    return "ok";
}

MessageAnswer ScriptedMessageAnswers::answer(const MessageRequest& request) {
    std::lock_guard lock(mutex_);
    MessageAnswer answer = closingAnswer(request.buttons);
    if (!answers_.empty()) {
        // A scripted answer the box has no button for counts as closing the box.
        if (fits(answers_.front(), request.buttons)) {
            answer = answers_.front();
        }
        answers_.pop_front();
    }
    if (!log_.empty()) {
        std::ofstream out(log_, std::ios::app | std::ios::binary);
        out << oneLine(request.caption) << '\t' << oneLine(request.text) << '\t'
            << answerName(answer) << '\n';
    }
    return answer;
}

bool ScriptedMessageAnswers::installFromEnvironment() {
    const char* answers = std::getenv("KAVELUNE_MESSAGE_ANSWERS");
    if (!answers) {
        return false;
    }
    const char* log = std::getenv("KAVELUNE_MESSAGE_LOG");
    auto script = std::make_shared<ScriptedMessageAnswers>(answers, log ? log : "");
    setMessageBoxHandler([script](const MessageRequest& request) { return script->answer(request); });
    return true;
}

}  // namespace kavelune::posix
