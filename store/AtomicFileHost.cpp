// POSIX side of the atomic file write: temporary file beside the target,
// fsync, rename over the target, fsync of the folder.
#include "store/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Creates a file that did not exist before, so two writers never share one.
int createTemporary(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + "~" + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(attempt);
        if (atomicfaults::nextOperationFails()) return -1;
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void syncFolder(const std::string& path) {
    int dir = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    fsync(dir);
    close(dir);
}

}  // namespace

bool replaceFile(const std::string& from, const std::string& to) {
    if (atomicfaults::nextOperationFails() || std::rename(from.c_str(), to.c_str()) != 0) return false;
    syncFolder(to);
    return true;
}

void removeLeftoverTemporaries(const std::string& path) {
    glob_t found;
    if (glob((path + "~*").c_str(), 0, nullptr, &found) != 0) return;
    for (std::size_t i = 0; i < found.gl_pathc; ++i) {
        const std::string name = found.gl_pathv[i];
        const std::string tail = name.substr(name.rfind('~') + 1);
        if (!tail.empty() && tail.find_first_not_of("0123456789-") == std::string::npos) unlink(name.c_str());
    }
    globfree(&found);
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::string tempPath;
    int fd = -1;
    bool failed = false;
    bool committed = false;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path) : impl_(new Impl) {
    impl_->path = path;
    impl_->fd = path.empty() ? -1 : createTemporary(path, impl_->tempPath);
    impl_->failed = impl_->fd < 0;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (impl_->fd >= 0) close(impl_->fd);
    if (!impl_->committed && !impl_->tempPath.empty() && impl_->fd >= 0) unlink(impl_->tempPath.c_str());
}

bool AtomicFileWriter::ok() const { return !impl_->failed; }

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (!impl_->failed && size > 0) {
        ssize_t done = atomicfaults::nextOperationFails() ? -1 : ::write(impl_->fd, bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            impl_->failed = true;
            break;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return !impl_->failed;
}

bool AtomicFileWriter::commit() {
    if (impl_->failed || impl_->committed) return false;
    bool ok = !atomicfaults::nextOperationFails() && fsync(impl_->fd) == 0;
    if (close(impl_->fd) != 0 || atomicfaults::nextOperationFails()) ok = false;
    impl_->fd = -2;  // closed; the temporary file may still need removing
    if (ok && (atomicfaults::nextOperationFails() || std::rename(impl_->tempPath.c_str(), impl_->path.c_str()) != 0))
        ok = false;
    if (!ok) {
        unlink(impl_->tempPath.c_str());
        impl_->failed = true;
        return false;
    }
    impl_->committed = true;
    // The rename is only durable once the folder's entry is on disk too.
    syncFolder(impl_->path);
    return true;
}
