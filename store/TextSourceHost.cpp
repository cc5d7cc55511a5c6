// Host side of the open data file: a descriptor and positioned reads.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/TextSource.h"

namespace {

// The descriptor of a regular file and its size; -1 when it cannot be opened.
int openRegular(const std::string& path, std::uint64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        size = static_cast<std::uint64_t>(info.st_size);
        return fd;
    }
    const int error = errno;
    if (fd >= 0) ::close(fd);
    errno = fd >= 0 ? EISDIR : error;
    return -1;
}

class HostSource : public TextSource {
public:
    HostSource(const std::string& path, int fd, std::uint64_t size) : TextSource(path, size), fd_(fd) {}
    ~HostSource() override { release(); }
    bool read(std::uint64_t offset, void* out, std::size_t count) const override {
        if (!reopen()) return false;
        char* to = static_cast<char*>(out);
        while (count > 0) {
            const ssize_t got = ::pread(fd_, to, count, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            to += got;
            offset += static_cast<std::uint64_t>(got);
            count -= static_cast<std::size_t>(got);
        }
        return true;
    }
    void release() const override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool reopen() const override {
        if (fd_ >= 0) return true;
        if (retired()) return false;
        std::uint64_t now = 0;
        fd_ = openRegular(path(), now);
        if (fd_ >= 0 && now != size()) release();  // not the file that was read
        return fd_ >= 0;
    }

private:
    mutable int fd_;
};

}  // namespace

TextSourcePtr openTextSource(const std::string& path, FileOpenResult* result) {
    FileOpenResult ignored;
    FileOpenResult& outcome = result ? *result : ignored;
    std::uint64_t size = 0;
    const int fd = openRegular(path, size);
    if (fd < 0) {
        outcome = (errno == ENOENT || errno == ENOTDIR) ? FileOpenResult::Missing : FileOpenResult::Unreadable;
        return nullptr;
    }
    outcome = FileOpenResult::Opened;
    return std::make_shared<HostSource>(path, fd, size);
}

TextSourcePtr textSourceAt(const std::string& path, std::uint64_t size) {
    const auto source = std::make_shared<HostSource>(path, -1, size);
    source->reopen();
    return source;
}
