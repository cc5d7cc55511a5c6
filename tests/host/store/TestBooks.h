// Helpers for the page store tests: temporary folders, whole-file access and
// a builder for hand-made data files.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/common/FileBytes.h"

#include <stdlib.h>

namespace testbooks {

using testcommon::readFile;
using testcommon::writeFile;

// A folder of its own for each test, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/quiltstore_XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made ? made : "/tmp";
    }
    ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Bytes laid out by hand, as a test writes a file the way the format says.
class Bytes {
public:
    Bytes& i32(std::int32_t v) {
        auto u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) s_.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
        return *this;
    }
    Bytes& u8(unsigned v) {
        s_.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& raw(const std::string& bytes) {
        s_ += bytes;
        return *this;
    }
    // A string field padded with NULs to size bytes.
    Bytes& padded(const std::string& text, std::size_t size) {
        std::string field = text;
        field.resize(size, '\0');
        s_ += field;
        return *this;
    }
    Bytes& zeros(std::size_t count) {
        s_.append(count, '\0');
        return *this;
    }
    const std::string& str() const { return s_; }
    std::size_t size() const { return s_.size(); }

private:
    std::string s_;
};

inline std::int32_t i32At(const std::string& bytes, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}

}  // namespace testbooks
