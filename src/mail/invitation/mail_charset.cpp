#include "mail/invitation/mail_charset.h"

#include "base/code_page.h"

namespace kavelune {

std::string mailCharsetName(int codePage) {
    switch (codePage) {
    case kCodePageKorean: return "euc-kr";
    case kCodePageJapanese: return "Shift_JIS";
    default: return "ISO-8859-1";
    }
}

std::string withCrLfLineEnds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string asOneLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace kavelune
