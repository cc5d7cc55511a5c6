// Buffered, bounds-checked reading of a whole file front to back, with the
// same accessors as ByteReader so that one parser serves files and buffers.
// Large runs are read straight into their destination.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

enum class FileOpenResult { Opened, Missing, Unreadable };

class FileReader {
public:
    // A small buffer is for tests that want every path through the buffering.
    explicit FileReader(std::size_t bufferSize = 256 * 1024) : bufferSize_(bufferSize > 0 ? bufferSize : 1) {}
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    FileOpenResult open(const std::string& path);
    void close();

    std::size_t offset() const { return static_cast<std::size_t>(pos_); }
    std::size_t size() const { return static_cast<std::size_t>(size_); }
    std::size_t remaining() const { return static_cast<std::size_t>(size_ - pos_); }
    bool failed() const { return failed_; }
    bool canRead(std::size_t count) const { return !failed_ && count <= remaining(); }

    bool skip(std::size_t count);
    bool u8(std::uint8_t& value);
    bool u32LE(std::uint32_t& value);
    bool i32LE(std::int32_t& value);
    bool bytes(void* out, std::size_t count);
    bool cString(std::string& out, std::size_t count);

private:
    bool take(std::size_t count);
    bool copyOut(unsigned char* out, std::size_t count);

    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
    std::size_t bufferSize_;
    std::unique_ptr<unsigned char[]> buffer_;
    std::size_t bufferStart_ = 0;
    std::size_t bufferEnd_ = 0;
    bool failed_ = false;
};

enum class ReadBytesResult { Ok, Missing, Unreadable };

// Reads a whole file (for the small files and the fuzzers' seeds).
ReadBytesResult readFileBytes(const std::string& path, std::string& bytes);
