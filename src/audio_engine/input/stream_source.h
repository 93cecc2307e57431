#pragma once

#include <istream>
#include <memory>

#include "audio_engine/input/byte_source.h"

namespace kavelune::engine {

// A byte source over any input stream that can only be read forward, such as a socket or a
// pipe wrapped in a stream buffer. It never seeks, so songs read through it have no length.
class StreamSource : public ByteSource {
public:
    explicit StreamSource(std::unique_ptr<std::istream> stream) : stream_(std::move(stream)) {}

    std::int64_t read(void* buffer, std::size_t size) override;
    bool seekable() const override { return false; }
    std::int64_t seek(std::int64_t offset, int whence) override;
    std::int64_t size() const override { return -1; }

private:
    std::unique_ptr<std::istream> stream_;
    std::int64_t offset_ = 0;
};

}  // namespace kavelune::engine
