// Page texts that stay in the data file: the open file they are read from,
// a place in it, and the two readers over it (front to back for the load,
// a window for the walks over every page).
//
// The program keeps the data file it read open while it runs: others may read,
// rename or delete it, never write it, so a place keeps pointing at the bytes
// it was read from. A save writes a new file and the places then point into
// that one. A file that is open cannot be replaced by a rename, so a save
// closes it for that moment (release); a source reopens its file only when it
// still has the size it had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "store/FileReader.h"

class TextSource {
public:
    TextSource(std::string path, std::uint64_t size) : path_(std::move(path)), size_(size) {}
    virtual ~TextSource() = default;
    const std::string& path() const { return path_; }
    std::uint64_t size() const { return size_; }
    // Exactly `count` bytes from `offset`, or false (the medium went away, a
    // read error, a file that is no longer the one that was read).
    virtual bool read(std::uint64_t offset, void* out, std::size_t count) const = 0;
    // Closes the file until the next read or reopen.
    virtual void release() const {}
    virtual bool reopen() const { return true; }
    // The file was replaced: closed, and never opened again.
    void retire() const {
        retired_ = true;
        release();
    }
    bool retired() const { return retired_; }

private:
    std::string path_;
    std::uint64_t size_;
    mutable bool retired_ = false;
};

using TextSourcePtr = std::shared_ptr<const TextSource>;

// Opens a file for reading, sharing read and delete but not write. Null when
// it cannot be opened; `result` says why.
TextSourcePtr openTextSource(const std::string& path, FileOpenResult* result = nullptr);
// The same for a file just written of `size` bytes, opened now if it can be,
// else at its first read.
TextSourcePtr textSourceAt(const std::string& path, std::uint64_t size);

// Where a page's text (without its NUL) or a secure page's cipher is.
struct TextPlace {
    TextSourcePtr source;  // none: the bytes are held in the record
    std::uint64_t offset = 0;
    std::uint32_t length = 0;
    bool cipher = false;  // the place is of the cipher, not of the text
};

// Reads a source front to back with the accessors of FileReader, and tells
// where texts and ciphers are instead of reading them out.
class SourceReader {
public:
    explicit SourceReader(TextSourcePtr source, std::size_t bufferSize = 256 * 1024);

    std::size_t offset() const { return static_cast<std::size_t>(pos_); }
    std::size_t size() const { return static_cast<std::size_t>(size_); }
    std::size_t remaining() const { return static_cast<std::size_t>(size_ - pos_); }
    bool canRead(std::size_t count) const { return !failed_ && count <= remaining(); }

    bool skip(std::size_t count);
    bool i32LE(std::int32_t& value);
    bool bytes(void* out, std::size_t count);
    bool cString(std::string& out, std::size_t count);
    // A stored C string of `count` bytes: its place up to the first NUL.
    bool placeOfText(TextPlace& place, std::size_t count);
    // `count` raw bytes.
    bool placeOfCipher(TextPlace& place, std::size_t count);

private:
    bool fill();

    TextSourcePtr source_;
    std::uint64_t size_ = 0;
    std::uint64_t pos_ = 0;
    std::string buffer_;
    std::uint64_t bufferAt_ = 0;  // file offset of buffer_[0]
    std::size_t buffered_ = 0;
    bool failed_ = false;
};

// Reads places through a window of the file: places read in file order (a
// save, a search, a cleanup over every page) cost one read a window.
class PlaceWindow {
public:
    // The bytes of the place, valid until the next call; null when they cannot be read.
    const char* bytes(const TextPlace& place);
    // Lets go of the file.
    void release();

private:
    TextSourcePtr source_;
    std::string buffer_;
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
};
