// Little-endian stores into a byte buffer: the writing side of ByteReader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace bytes {

inline void putU32LE(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}

inline void putI32LE(unsigned char* at, std::int32_t value) { putU32LE(at, static_cast<std::uint32_t>(value)); }

inline std::uint32_t getU32LE(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

inline std::int32_t getI32LE(const unsigned char* at) { return static_cast<std::int32_t>(getU32LE(at)); }

}  // namespace bytes
