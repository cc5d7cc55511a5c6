#include "store/FileReader.h"

#include <cctype>
#include <cstring>

#include "store/ZeroByte.h"

namespace {

bool seekEnd(std::FILE* file, std::uint64_t& size) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) return false;
    long long end = _ftelli64(file);
    bool ok = end >= 0 && _fseeki64(file, 0, SEEK_SET) == 0;
#else
    if (fseeko(file, 0, SEEK_END) != 0) return false;
    off_t end = ftello(file);
    bool ok = end >= 0 && fseeko(file, 0, SEEK_SET) == 0;
#endif
    size = ok ? static_cast<std::uint64_t>(end) : 0;
    return ok;
}

}  // namespace

FileReader::~FileReader() { close(); }

void FileReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

FileOpenResult FileReader::open(const std::string& path) {
    close();
    pos_ = 0;
    size_ = 0;
    bufferStart_ = bufferEnd_ = 0;
    failed_ = false;
    fault_ = openForReading(path, file_);
    if (!file_) {
        failed_ = true;
        return fault_ == FileFault::NoFile ? FileOpenResult::Missing : FileOpenResult::Unreadable;
    }
    if (!seekEnd(file_, size_)) {
        close();
        failed_ = true;
        fault_ = FileFault::ReadError;
        return FileOpenResult::Unreadable;
    }
    if (!buffer_) buffer_.reset(new unsigned char[bufferSize_]);
    return FileOpenResult::Opened;
}

bool FileReader::take(std::size_t count) {
    if (failed_ || !file_ || count > remaining()) {
        failed_ = true;
        return false;
    }
    return true;
}

// Hands out buffered bytes first; a run at least as large as the buffer goes
// straight from the file into its destination.
bool FileReader::copyOut(unsigned char* out, std::size_t count) {
    std::size_t buffered = bufferEnd_ - bufferStart_;
    std::size_t first = buffered < count ? buffered : count;
    if (first > 0) {
        if (out) std::memcpy(out, buffer_.get() + bufferStart_, first);
        bufferStart_ += first;
        count -= first;
        if (out) out += first;
        pos_ += first;
    }
    while (count > 0) {
        if (count >= bufferSize_ && out) {
            std::size_t got = std::fread(out, 1, count, file_);
            pos_ += got;
            if (got != count) {
                failed_ = true;
                return false;
            }
            return true;
        }
        bufferStart_ = 0;
        bufferEnd_ = std::fread(buffer_.get(), 1, bufferSize_, file_);
        if (bufferEnd_ == 0) {
            failed_ = true;  // the file shrank under us, or a read error
            return false;
        }
        std::size_t part = bufferEnd_ < count ? bufferEnd_ : count;
        if (out) {
            std::memcpy(out, buffer_.get(), part);
            out += part;
        }
        bufferStart_ = part;
        count -= part;
        pos_ += part;
    }
    return true;
}

bool FileReader::skip(std::size_t count) {
    if (!take(count)) return false;
    std::size_t buffered = bufferEnd_ - bufferStart_;
    if (count <= buffered) {
        bufferStart_ += count;
        pos_ += count;
        return true;
    }
    std::uint64_t target = pos_ + count;
    bufferStart_ = bufferEnd_ = 0;
#ifdef _WIN32
    bool ok = _fseeki64(file_, static_cast<long long>(target), SEEK_SET) == 0;
#else
    bool ok = fseeko(file_, static_cast<off_t>(target), SEEK_SET) == 0;
#endif
    if (!ok) {
        failed_ = true;
        return false;
    }
    pos_ = target;
    return true;
}

bool FileReader::u8(std::uint8_t& value) { return bytes(&value, 1); }

bool FileReader::u32LE(std::uint32_t& value) {
    unsigned char p[4];
    if (!bytes(p, 4)) return false;
    value = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
            static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return true;
}

bool FileReader::i32LE(std::int32_t& value) {
    std::uint32_t raw = 0;
    if (!u32LE(raw)) return false;
    value = static_cast<std::int32_t>(raw);
    return true;
}

bool FileReader::bytes(void* out, std::size_t count) {
    if (!take(count)) return false;
    if (count <= bufferEnd_ - bufferStart_) {  // the common small read
        std::memcpy(out, buffer_.get() + bufferStart_, count);
        bufferStart_ += count;
        pos_ += count;
        return true;
    }
    return copyOut(static_cast<unsigned char*>(out), count);
}

bool FileReader::cString(std::string& out, std::size_t count) {
    if (!take(count)) return false;
    if (count <= bufferEnd_ - bufferStart_) {  // straight from the buffer, no zero fill
        const unsigned char* p = buffer_.get() + bufferStart_;
        out.assign(reinterpret_cast<const char*>(p), zeroByteOffset(p, count));
        bufferStart_ += count;
        pos_ += count;
        return true;
    }
    out.resize(count);
    if (count > 0 && !copyOut(reinterpret_cast<unsigned char*>(&out[0]), count)) {
        out.clear();
        return false;
    }
    out.resize(zeroByteOffset(out.data(), count));
    return true;
}

ReadBytesResult readFileBytes(const std::string& path, std::string& bytes, FileFault* fault) {
    bytes.clear();
    FileReader reader;
    FileOpenResult opened = reader.open(path);
    if (fault) *fault = reader.fault();
    if (opened == FileOpenResult::Missing) return ReadBytesResult::Missing;
    if (opened != FileOpenResult::Opened) return ReadBytesResult::Unreadable;
    bytes.resize(reader.size());
    if (!bytes.empty() && !reader.bytes(&bytes[0], bytes.size())) {
        bytes.clear();
        if (fault) *fault = FileFault::ReadError;
        return ReadBytesResult::Unreadable;
    }
    return ReadBytesResult::Ok;
}

namespace filefaults {

namespace {
std::string gPrefix;
unsigned long gError = 0;

bool startsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}
}  // namespace

void failOpens(const std::string& prefix, unsigned long error) {
    gPrefix = prefix;
    gError = error;
}

bool openFails(const std::string& path, unsigned long& error) {
    if (gPrefix.empty() || !startsWithIgnoringCase(path, gPrefix)) return false;
    error = gError;
    return true;
}

}  // namespace filefaults
