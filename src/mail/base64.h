#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The mail subsystem's Base64 (standard alphabet, "=" padding). The encoder breaks its output
// with a bare line feed whenever the character count, line feeds included, passes a multiple
// of 80 after a full four-character group; inputs under 60 bytes therefore stay on one line,
// and 60 bytes give 80 characters and a line feed.
std::string base64Encode(std::string_view bytes);

// Decodes four characters to three bytes. Characters outside the alphabet ("=" included) count
// as zero bits; line breaks are skipped so an encoder's multi-line output decodes whole. The
// result ends at the first zero byte, since what is decoded here is always text.
std::string base64Decode(std::string_view text);

}  // namespace kavelune
