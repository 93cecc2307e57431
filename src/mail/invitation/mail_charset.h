#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The MIME character set name of the interface language's code page: "euc-kr" for 949,
// "Shift_JIS" for 932, "ISO-8859-1" otherwise.
std::string mailCharsetName(int codePage);

// Line ends of typed text made CR LF, the only line end a mail body may carry: lone LFs (what
// the desktop's text boxes give) and lone CRs become CR LF, existing CR LFs stay.
std::string withCrLfLineEnds(std::string_view text);

// A header value kept on one line: CR and LF become spaces, so typed text cannot start a header
// of its own.
std::string asOneLine(std::string_view text);

}  // namespace kavelune
