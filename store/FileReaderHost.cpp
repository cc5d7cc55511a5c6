// Host side of the file reader's open: fopen, with an absent file told apart from
// a folder that is not there.
#include <sys/stat.h>

#include <cerrno>

#include "store/FileReader.h"

namespace {

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

FileFault faultOfPlatformError(const std::string& path, unsigned long code) {
    switch (static_cast<int>(code)) {
        case ENOENT: {
            const std::string::size_type slash = path.find_last_of('/');
            const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
            return isFolder(folder) ? FileFault::NoFile : FileFault::NoFolder;
        }
        case ENOTDIR:
            return FileFault::NoFolder;
        case ENXIO:
        case ENODEV:
            return FileFault::NoDrive;
        case EACCES:
        case EPERM:
            return FileFault::Denied;
        case ETXTBSY:
        case EBUSY:
            return FileFault::InUse;
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
        case ESTALE:
        case ETIMEDOUT:
            return FileFault::Offline;
        case ENOMEDIUM:
            return FileFault::NotReady;
        default:
            return FileFault::ReadError;
    }
}

FileFault openForReading(const std::string& path, std::FILE*& file) {
    unsigned long injected = 0;
    file = nullptr;
    if (filefaults::openFails(path, injected)) return faultOfPlatformError(path, injected);
    errno = 0;
    file = std::fopen(path.c_str(), "rb");
    return file ? FileFault::None : faultOfPlatformError(path, static_cast<unsigned long>(errno));
}
