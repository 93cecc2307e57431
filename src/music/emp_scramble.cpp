#include "music/emp_scramble.h"

namespace kavelune {

namespace {

// A 32-bit linear congruential keystream; its high byte is the key of each position.
class Keystream {
public:
    explicit Keystream(std::uint8_t seed) : state_(0x9E3779B9u ^ (seed * 0x01010101u)) {}
    unsigned char next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<unsigned char>(state_ >> 24);
    }

private:
    std::uint32_t state_;
};

unsigned char chain(unsigned char previousScrambled) {
    return static_cast<unsigned char>((previousScrambled << 3) | (previousScrambled >> 5));
}

}  // namespace

void scrambleEmp(unsigned char* bytes, std::size_t size, std::uint8_t seed) {
    Keystream keys(seed);
    unsigned char previous = seed;
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(bytes[i] ^ keys.next() ^ chain(previous));
        previous = bytes[i];
    }
}

void unscrambleEmp(unsigned char* bytes, std::size_t size, std::uint8_t seed) {
    Keystream keys(seed);
    unsigned char previous = seed;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char scrambled = bytes[i];
        bytes[i] = static_cast<unsigned char>(scrambled ^ keys.next() ^ chain(previous));
        previous = scrambled;
    }
}

}  // namespace kavelune
