// POSIX side of the atomic whole-file write: temporary file beside the
// target, fsync, rename over the target, fsync of the folder.
#include "store/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string folderOf(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Creates a file that did not exist before, so two writers never share one.
int createTemporary(const std::string& path, std::string& tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + "~" + std::to_string(static_cast<long>(getpid())) + "-" + std::to_string(attempt);
        int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t done = write(fd, data, size);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

void syncFolder(const std::string& path)
{
    int dir = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    fsync(dir);
    close(dir);
}

} // namespace

bool writeFileAtomically(const std::string& path, const char* data, std::size_t size)
{
    if (path.empty())
        return false;
    std::string tempPath;
    int fd = createTemporary(path, tempPath);
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, data, size) && fsync(fd) == 0;
    if (close(fd) != 0)
        ok = false;
    if (ok && std::rename(tempPath.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        unlink(tempPath.c_str());
        return false;
    }
    // The rename is only durable once the folder's entry is on disk too.
    syncFolder(path);
    return true;
}
