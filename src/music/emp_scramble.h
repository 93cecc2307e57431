#pragma once

#include <cstddef>
#include <cstdint>

namespace kavelune {

// The .emp scheme: MP3 bytes pass through a keystream with cipher-byte chaining, keyed by a
// one-byte seed. It keeps the length, and unscrambling undoes scrambling exactly. It only
// keeps songs from being played as plain MP3 files; it is not encryption.
constexpr std::uint8_t kEmpSeed = 0x6B;

void scrambleEmp(unsigned char* bytes, std::size_t size, std::uint8_t seed = kEmpSeed);
void unscrambleEmp(unsigned char* bytes, std::size_t size, std::uint8_t seed = kEmpSeed);

}  // namespace kavelune
