#include "base/little_endian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace kavelune::le {

namespace {

template <std::size_t N>
bool readRaw(std::istream& in, std::array<unsigned char, N>& bytes) {
    in.read(reinterpret_cast<char*>(bytes.data()), N);
    return static_cast<std::size_t>(in.gcount()) == N && !in.fail();
}

template <typename T>
T readUnsigned(std::istream& in) {
    std::array<unsigned char, sizeof(T)> bytes{};
    if (!readRaw(in, bytes)) {
        in.setstate(std::ios::failbit);
        return 0;
    }
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value = static_cast<T>(value | (static_cast<T>(bytes[i]) << (8 * i)));
    }
    return value;
}

template <typename T>
void writeUnsigned(std::ostream& out, T value) {
    std::array<char, sizeof(T)> bytes{};
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    out.write(bytes.data(), bytes.size());
}

}  // namespace

std::uint8_t readU8(std::istream& in) { return readUnsigned<std::uint8_t>(in); }
std::uint16_t readU16(std::istream& in) { return readUnsigned<std::uint16_t>(in); }
std::uint32_t readU32(std::istream& in) { return readUnsigned<std::uint32_t>(in); }
std::int8_t readI8(std::istream& in) { return static_cast<std::int8_t>(readU8(in)); }
std::int16_t readI16(std::istream& in) { return static_cast<std::int16_t>(readU16(in)); }
std::int32_t readI32(std::istream& in) { return static_cast<std::int32_t>(readU32(in)); }
float readF32(std::istream& in) { return std::bit_cast<float>(readU32(in)); }

std::string readBytes(std::istream& in, std::size_t count) {
    std::string bytes;
    // Grow in bounded steps so a corrupt count cannot ask for gigabytes up front.
    constexpr std::size_t kStep = 1 << 16;
    while (bytes.size() < count && in) {
        std::size_t chunk = std::min(kStep, count - bytes.size());
        std::size_t old = bytes.size();
        bytes.resize(old + chunk);
        in.read(bytes.data() + old, static_cast<std::streamsize>(chunk));
        if (static_cast<std::size_t>(in.gcount()) != chunk) {
            in.setstate(std::ios::failbit);
            bytes.resize(old + static_cast<std::size_t>(in.gcount()));
            break;
        }
    }
    return bytes;
}

std::string readStr16(std::istream& in) {
    std::uint16_t length = readU16(in);
    if (!in) {
        return {};
    }
    return readBytes(in, length);
}

std::string readTag(std::istream& in, std::size_t letters) { return readBytes(in, letters); }

void skip(std::istream& in, std::size_t count) {
    char buffer[4096];
    while (count > 0 && in) {
        std::size_t chunk = std::min(count, sizeof buffer);
        in.read(buffer, static_cast<std::streamsize>(chunk));
        if (static_cast<std::size_t>(in.gcount()) != chunk) {
            in.setstate(std::ios::failbit);
            return;
        }
        count -= chunk;
    }
}

void writeU8(std::ostream& out, std::uint8_t value) { writeUnsigned(out, value); }
void writeU16(std::ostream& out, std::uint16_t value) { writeUnsigned(out, value); }
void writeU32(std::ostream& out, std::uint32_t value) { writeUnsigned(out, value); }
void writeI8(std::ostream& out, std::int8_t value) { writeU8(out, static_cast<std::uint8_t>(value)); }
void writeI16(std::ostream& out, std::int16_t value) {
    writeU16(out, static_cast<std::uint16_t>(value));
}
void writeI32(std::ostream& out, std::int32_t value) {
    writeU32(out, static_cast<std::uint32_t>(value));
}
void writeF32(std::ostream& out, float value) { writeU32(out, std::bit_cast<std::uint32_t>(value)); }

void writeStr16(std::ostream& out, const std::string& text) {
    std::size_t length = std::min<std::size_t>(text.size(), 0xFFFF);
    writeU16(out, static_cast<std::uint16_t>(length));
    out.write(text.data(), static_cast<std::streamsize>(length));
}

void writeBytes(std::ostream& out, const std::string& bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kavelune::le
