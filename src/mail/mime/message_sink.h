#pragma once

#include <string_view>

namespace kavelune {

// Where a composed message goes: the open DATA phase of an SMTP dialogue, or a test's buffer.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // False once the bytes cannot be delivered; stays false after that.
    virtual bool write(std::string_view bytes) = 0;
    // Whether the user asked to stop; looked at while the long HTML body is written.
    virtual bool cancelRequested() const = 0;
};

}  // namespace kavelune
