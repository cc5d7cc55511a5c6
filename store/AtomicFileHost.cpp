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

using atomicfaults::Operation;
using atomicfaults::seamed;

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
        if (atomicfaults::nextOperationFails(Operation::Create, tempPath)) return -1;
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
    return seamed(Operation::Replace, to, from, [&] {
        if (std::rename(from.c_str(), to.c_str()) != 0) return false;
        syncFolder(to);
        return true;
    });
}

// A hard link, then the old name goes: never over a file that exists.
bool moveFileTo(const std::string& from, const std::string& to) {
    return seamed(Operation::Move, to, from, [&] {
        if (link(from.c_str(), to.c_str()) != 0) return false;
        unlink(from.c_str());
        syncFolder(to);
        return true;
    });
}

bool copyFileTo(const std::string& from, const std::string& to) {
    return seamed(Operation::Copy, to, from, [&] {
        const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = in < 0 ? -1 : open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        bool ok = out >= 0;
        char buffer[65536];
        for (ssize_t got; ok && (got = read(in, buffer, sizeof buffer)) != 0;)
            ok = got > 0 && ::write(out, buffer, static_cast<std::size_t>(got)) == got;
        if (in >= 0) close(in);
        if (out >= 0 && (close(out) != 0 || !ok)) unlink(to.c_str());
        return out >= 0 && ok;
    });
}

bool removeFile(const std::string& path) {
    return seamed(Operation::Delete, path, std::string(), [&] { return unlink(path.c_str()) == 0; });
}

void removeLeftoverTemporaries(const std::string& path) {
    glob_t found;
    if (glob((path + "~*").c_str(), 0, nullptr, &found) != 0) return;
    for (std::size_t i = 0; i < found.gl_pathc; ++i) {
        const std::string name = found.gl_pathv[i];
        const std::string tail = name.substr(name.rfind('~') + 1);
        if (!tail.empty() && tail.find_first_not_of("0123456789-") == std::string::npos) removeFile(name);
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
    if (!impl_->committed && !impl_->tempPath.empty() && impl_->fd >= 0) removeFile(impl_->tempPath);
}

bool AtomicFileWriter::ok() const { return !impl_->failed; }

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (!impl_->failed && size > 0) {
        ssize_t done = atomicfaults::nextOperationFails(Operation::Write, impl_->tempPath) ? -1 : ::write(impl_->fd, bytes, size);
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
    bool ok = !atomicfaults::nextOperationFails(Operation::Flush, impl_->tempPath) && fsync(impl_->fd) == 0;
    if (close(impl_->fd) != 0 || atomicfaults::nextOperationFails(Operation::Close, impl_->tempPath)) ok = false;
    impl_->fd = -2;  // closed; the temporary file may still need removing
    if (ok && !replaceFile(impl_->tempPath, impl_->path)) ok = false;
    if (!ok) {
        removeFile(impl_->tempPath);
        impl_->failed = true;
        return false;
    }
    impl_->committed = true;  // replaceFile synced the folder: the rename is on disk too
    return true;
}
