// Where a stored C string ends. Some C libraries search for the zero byte one
// byte at a time, and every page's text is searched on each read and each
// write of the book, so this looks at a machine word at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The offset of the first zero byte in [p, p + n), or n when there is none.
inline std::size_t zeroByteOffset(const void* data, std::size_t n) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    const std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if ((word - ones) & ~word & highs) break;  // some byte of this word is zero
    }
    for (; i < n; ++i)
        if (p[i] == 0) return i;
    return n;
}
