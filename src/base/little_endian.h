#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

// Little-endian field readers and writers for the binary content formats. A reader that runs
// past the end leaves the stream failed and returns 0 (or an empty text); callers parse a whole
// record and test the stream once.
namespace kavelune::le {

std::uint8_t readU8(std::istream& in);
std::uint16_t readU16(std::istream& in);
std::uint32_t readU32(std::istream& in);
std::int8_t readI8(std::istream& in);
std::int16_t readI16(std::istream& in);
std::int32_t readI32(std::istream& in);
float readF32(std::istream& in);
// A "text": u16 byte count, then that many bytes, no terminator.
std::string readStr16(std::istream& in);
// Exactly `count` raw bytes (fails the stream when fewer remain).
std::string readBytes(std::istream& in, std::size_t count);
// A two- or four-letter tag.
std::string readTag(std::istream& in, std::size_t letters);
// Skips `count` bytes; fails the stream when fewer remain.
void skip(std::istream& in, std::size_t count);

void writeU8(std::ostream& out, std::uint8_t value);
void writeU16(std::ostream& out, std::uint16_t value);
void writeU32(std::ostream& out, std::uint32_t value);
void writeI8(std::ostream& out, std::int8_t value);
void writeI16(std::ostream& out, std::int16_t value);
void writeI32(std::ostream& out, std::int32_t value);
void writeF32(std::ostream& out, float value);
// Writes a u16 count and the bytes; texts longer than 65535 bytes are cut to fit.
void writeStr16(std::ostream& out, const std::string& text);
void writeBytes(std::ostream& out, const std::string& bytes);

}  // namespace kavelune::le
