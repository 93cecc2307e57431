#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// The longest word a web notice may carry, in bytes.
inline constexpr std::size_t kMaxNoticeWordBytes = 259;

// The first `count` whitespace-separated words of a notice file. A longer word is cut to
// kMaxNoticeWordBytes, at a character border so that UTF-8 stays whole.
std::vector<std::string> noticeWords(std::string_view text, std::size_t count);

}  // namespace kavelune
