#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// The HTML alternative of a saved mail message (.eml): the first text/html part found through
// any multipart nesting, with its transfer encoding (7bit, 8bit, binary, quoted-printable or
// base64) undone. A text that is not a MIME message (a page saved on its own) is returned
// unchanged. False when a MIME message holds no HTML part or its part cannot be decoded.
bool htmlOfSavedMail(std::string_view text, std::string& html);

}  // namespace kavelune
