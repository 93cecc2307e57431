#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// Base64 of binary data as mail carries it: white space (the encoder's line feeds, the CR LFs a
// mail transport adds) is skipped, "=" ends the data. Unlike the mail Base64 for texts it keeps
// zero bytes. False for any other character outside the alphabet or a dangling last character.
bool decodeBase64Data(std::string_view text, std::string& bytes);

// Quoted-printable: "=XX" is the byte XX, "=" at a line end joins the lines; anything else is
// taken as it is.
std::string decodeQuotedPrintable(std::string_view text);

}  // namespace kavelune
