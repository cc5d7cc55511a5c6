// File times of backup slots on the host: the same calendar and ordering
// from the file system's modification time.
#include "backup/BackupSlots.h"

#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace backup {

namespace {

bool modified(const std::string& path, struct stat& info) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    close(fd);
    return ok;
}

class HostFileTimes : public FileTimes {
public:
    bool localWriteTime(const std::string& path, StampTime& time) const override {
        struct stat info;
        std::tm local{};
        if (!modified(path, info) || !localtime_r(&info.st_mtime, &local)) return false;
        time = datestamp::StampTimeOf(local);
        return true;
    }
    bool localFileTime(const std::string& path, std::uint64_t& time) const override {
        struct stat info;
        if (!modified(path, info)) return false;
        time = static_cast<std::uint64_t>(info.st_mtim.tv_sec) * 10000000u +
               static_cast<std::uint64_t>(info.st_mtim.tv_nsec / 100);
        return true;
    }
    std::uint64_t localNow() const override {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<std::uint64_t>(now.tv_sec) * 10000000u + static_cast<std::uint64_t>(now.tv_nsec / 100);
    }
};

}  // namespace

const FileTimes& systemFileTimes() {
    static const HostFileTimes times;
    return times;
}

}  // namespace backup
