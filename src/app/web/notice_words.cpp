#include "app/web/notice_words.h"

namespace kavelune {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

std::string_view cutWord(std::string_view word) {
    if (word.size() <= kMaxNoticeWordBytes) return word;
    std::size_t end = kMaxNoticeWordBytes;
    while (end > 0 && isContinuationByte(word[end])) --end;
    return word.substr(0, end);
}

}  // namespace

std::vector<std::string> noticeWords(std::string_view text, std::size_t count) {
    std::vector<std::string> words;
    std::size_t position = 0;
    while (words.size() < count) {
        while (position < text.size() && isBlank(text[position])) ++position;
        if (position >= text.size()) break;
        std::size_t end = position;
        while (end < text.size() && !isBlank(text[end])) ++end;
        words.emplace_back(cutWord(text.substr(position, end - position)));
        position = end;
    }
    return words;
}

}  // namespace kavelune
