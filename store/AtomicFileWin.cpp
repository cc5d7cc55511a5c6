// Windows side of the atomic whole-file write: temporary file beside the
// target, FlushFileBuffers, MoveFileExA over the target.
#include <windows.h>

#include "store/AtomicFile.h"

namespace {

// Creates a file that did not exist before, so two writers never share one.
HANDLE createTemporary(const std::string& path, std::string& tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + "~" + std::to_string(attempt);
        HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE file, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const char* data, std::size_t size)
{
    if (path.empty())
        return false;
    std::string tempPath;
    HANDLE file = createTemporary(path, tempPath);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = writeAll(file, data, size) && FlushFileBuffers(file);
    if (!CloseHandle(file))
        ok = false;
    if (ok && !MoveFileExA(tempPath.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ok = false;
    if (!ok) {
        DeleteFileA(tempPath.c_str());
        return false;
    }
    return true;
}
