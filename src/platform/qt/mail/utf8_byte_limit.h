#pragma once

#include <cstddef>
#include <string>

class QLineEdit;
class QPlainTextEdit;
class QString;

namespace kavelune::qt {

// The mail's boxes hold so many bytes of UTF-8, not so many characters: a box refuses typing
// or pasting past its limit instead of cutting what was typed when the mail goes out.
void limitUtf8Bytes(QLineEdit& box, std::size_t limit);
void limitUtf8Bytes(QPlainTextEdit& box, std::size_t limit);

std::string toUtf8(const QString& text);

}  // namespace kavelune::qt
