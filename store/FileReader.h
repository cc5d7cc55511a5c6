// Buffered, bounds-checked reading of a whole file front to back, with the
// same accessors as ByteReader so that one parser serves files and buffers.
// Large runs are read straight into their destination.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

enum class FileOpenResult { Opened, Missing, Unreadable };

// Why a file did not open. Only NoFile is an absent file: its folder is there and
// can be read. Every other fault means the place cannot be reached now, which says
// nothing about whether the file exists.
enum class FileFault {
    None,
    NoFile,     // the folder is there and holds no such file
    NoFolder,   // the folder is missing
    NoDrive,    // the drive is missing (a removed stick, a letter no longer mapped)
    Offline,    // a network share cannot be reached
    NotReady,   // the device is not ready (no medium, still waking)
    Denied,     // no permission to read
    InUse,      // another program holds the file without sharing it
    ReadError,  // any other failure of the platform
};

// The platform's open of a file for binary reading. On failure `file` is null and the
// fault says why (an absent file is told apart from a folder that cannot be reached).
FileFault openForReading(const std::string& path, std::FILE*& file);
// The reason for a platform error (a Windows error code; an errno value elsewhere) met
// while opening `path`; an absent file's folder is looked at.
FileFault faultOfPlatformError(const std::string& path, unsigned long error);

// A seam for tests: every open of a path that begins with `prefix` (compared without
// regard to case) fails as the platform fails with `error` (a Windows error code; an
// errno value elsewhere). An empty prefix ends it.
namespace filefaults {
void failOpens(const std::string& prefix, unsigned long error);
// True, with the error, when an open of `path` must fail now.
bool openFails(const std::string& path, unsigned long& error);
}  // namespace filefaults

class FileReader {
public:
    // A small buffer is for tests that want every path through the buffering.
    explicit FileReader(std::size_t bufferSize = 256 * 1024) : bufferSize_(bufferSize > 0 ? bufferSize : 1) {}
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Missing only for FileFault::NoFile; fault() tells the reason of the others.
    FileOpenResult open(const std::string& path);
    void close();
    FileFault fault() const { return fault_; }

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
    FileFault fault_ = FileFault::None;
};

enum class ReadBytesResult { Ok, Missing, Unreadable };

// Reads a whole file (for the small files and the fuzzers' seeds); `fault`, when
// given, says why it did not open.
ReadBytesResult readFileBytes(const std::string& path, std::string& bytes, FileFault* fault = nullptr);
