#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <streambuf>
#include <vector>

namespace kavelune {

// Stream buffer holding the whole inflated content of one zlib stream. Reading past the end
// fails the stream like any file would.
class bzStreamBuf : public std::streambuf {
public:
    bzStreamBuf() = default;

    // Inflates a memory block (copied). Returns false when the block is not a complete zlib
    // stream; the buffer is then empty.
    bool inflateFrom(const std::uint8_t* data, std::size_t size);

    bool ok() const { return ok_; }
    int zlibError() const { return zlibError_; }
    std::size_t size() const { return content_.size(); }
    const std::vector<char>& content() const { return content_; }

protected:
    pos_type seekoff(off_type offset, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

private:
    std::vector<char> content_;
    bool ok_ = false;
    int zlibError_ = 0;
};

// Input stream over a whole file or memory block inflated in one go. A file that cannot be read
// or does not inflate leaves the stream failed; nothing is printed and the program goes on.
class bzifstream : public std::istream {
public:
    bzifstream();
    explicit bzifstream(const std::filesystem::path& file);
    bzifstream(const std::uint8_t* data, std::size_t size);

    bool open(const std::filesystem::path& file);
    bool open(const std::uint8_t* data, std::size_t size);

    bzStreamBuf& buffer() { return buffer_; }
    const bzStreamBuf& buffer() const { return buffer_; }

private:
    bzStreamBuf buffer_;
};

// Reads a whole file into memory; false when it cannot be opened or read.
bool readWholeFile(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes);

}  // namespace kavelune
