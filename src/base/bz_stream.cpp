#include "base/bz_stream.h"

#include <fstream>

#include "base/zlib_block.h"

namespace kavelune {

bool bzStreamBuf::inflateFrom(const std::uint8_t* data, std::size_t size) {
    ok_ = inflateZlib(data, size, content_, &zlibError_);
    if (!ok_) {
        content_.clear();
    }
    setg(content_.data(), content_.data(), content_.data() + content_.size());
    return ok_;
}

bzStreamBuf::pos_type bzStreamBuf::seekoff(off_type offset, std::ios_base::seekdir dir,
                                           std::ios_base::openmode which) {
    if (!(which & std::ios_base::in)) {
        return pos_type(off_type(-1));
    }
    off_type base = 0;
    if (dir == std::ios_base::cur) {
        base = gptr() - eback();
    } else if (dir == std::ios_base::end) {
        base = static_cast<off_type>(content_.size());
    }
    off_type target = base + offset;
    if (target < 0 || target > static_cast<off_type>(content_.size())) {
        return pos_type(off_type(-1));
    }
    setg(eback(), eback() + target, egptr());
    return pos_type(target);
}

bzStreamBuf::pos_type bzStreamBuf::seekpos(pos_type position, std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

bzifstream::bzifstream() : std::istream(&buffer_) { setstate(std::ios::failbit); }

bzifstream::bzifstream(const std::filesystem::path& file) : std::istream(&buffer_) { open(file); }

bzifstream::bzifstream(const std::uint8_t* data, std::size_t size) : std::istream(&buffer_) {
    open(data, size);
}

bool bzifstream::open(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(file, bytes)) {
        buffer_.inflateFrom(nullptr, 0);
        setstate(std::ios::failbit);
        return false;
    }
    return open(bytes.data(), bytes.size());
}

bool bzifstream::open(const std::uint8_t* data, std::size_t size) {
    clear();
    if (!buffer_.inflateFrom(data, size)) {
        setstate(std::ios::failbit);
        return false;
    }
    return true;
}

bool readWholeFile(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) {
        return false;
    }
    in.seekg(0, std::ios::beg);
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    return static_cast<std::streamoff>(in.gcount()) == size;
}

}  // namespace kavelune
