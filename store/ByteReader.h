// Bounds-checked reader over a byte buffer, for the binary file formats.
//
// Every accessor names its byte order. A read that would run past the end
// reads nothing, returns false and leaves the reader failed: later reads fail
// too, so a parser can check once after a run of reads. The reader never
// hands out bytes it did not have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class ByteReader {
public:
    ByteReader(const void* data, std::size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}

    std::size_t offset() const { return pos_; }
    std::size_t size() const { return size_; }
    std::size_t remaining() const { return size_ - pos_; }
    bool failed() const { return failed_; }
    // Pointer to the next unread byte (valid for remaining() bytes).
    const unsigned char* current() const { return data_ + pos_; }

    bool canRead(std::size_t count) const { return !failed_ && count <= size_ - pos_; }

    bool skip(std::size_t count) {
        if (!take(count)) return false;
        pos_ += count;
        return true;
    }

    bool u8(std::uint8_t& value) {
        if (!take(1)) return false;
        value = data_[pos_++];
        return true;
    }

    bool u32LE(std::uint32_t& value) {
        if (!take(4)) return false;
        const unsigned char* p = data_ + pos_;
        value = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
        pos_ += 4;
        return true;
    }

    bool i32LE(std::int32_t& value) {
        std::uint32_t raw = 0;
        if (!u32LE(raw)) return false;
        value = static_cast<std::int32_t>(raw);
        return true;
    }

    bool bytes(void* out, std::size_t count) {
        if (!take(count)) return false;
        if (count > 0) std::memcpy(out, data_ + pos_, count);
        pos_ += count;
        return true;
    }

    // Reads count bytes and keeps them up to their first NUL: the stored
    // strings count their terminating NUL, and a field may be NUL-padded.
    bool cString(std::string& out, std::size_t count) {
        if (!take(count)) return false;
        const unsigned char* p = data_ + pos_;
        const void* nul = count > 0 ? std::memchr(p, 0, count) : nullptr;
        std::size_t length = nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - p) : count;
        out.assign(reinterpret_cast<const char*>(p), length);
        pos_ += count;
        return true;
    }

private:
    bool take(std::size_t count) {
        if (failed_ || count > size_ - pos_) {
            failed_ = true;
            return false;
        }
        return true;
    }

    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};
