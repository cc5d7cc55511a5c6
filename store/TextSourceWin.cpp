// Windows side of the open data file: a handle that shares read and delete but
// not write (no other program changes the bytes under the places; the file may
// still be renamed aside), positioned reads.
#include <windows.h>

#include "store/TextSource.h"
#include "store/Wide932.h"

namespace {

HANDLE openShared(const std::string& path, std::uint64_t& size) {
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return file;
    LARGE_INTEGER bytes;
    if (!GetFileSizeEx(file, &bytes) || bytes.QuadPart < 0) {
        CloseHandle(file);
        SetLastError(ERROR_READ_FAULT);
        return INVALID_HANDLE_VALUE;
    }
    size = static_cast<std::uint64_t>(bytes.QuadPart);
    return file;
}

// Where the file is on its volume: a file opened again by path must be the one that was read.
struct Identity {
    DWORD volume = 0;
    DWORD high = 0, low = 0;
    bool known = false;
};

Identity identityOf(HANDLE file) {
    Identity id;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (file != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file, &info))
        id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow, true};
    return id;
}

class WinSource : public TextSource {
public:
    WinSource(const std::string& path, HANDLE file, std::uint64_t size)
        : TextSource(path, size), file_(file), identity_(identityOf(file)) {}
    ~WinSource() override { release(); }
    // A read that fails (a drive that dropped and came back, a share after sleep: the handle is
    // dead) opens the file again by path once; it goes on only when it is the same file.
    bool read(std::uint64_t offset, void* out, std::size_t count) const override {
        if (readOnce(offset, out, count)) return true;
        release();
        return readOnce(offset, out, count);
    }
    void release() const override {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }
    bool reopen() const override {
        if (file_ != INVALID_HANDLE_VALUE) return true;
        if (retired()) return false;
        std::uint64_t now = 0;
        file_ = openShared(path(), now);
        if (file_ == INVALID_HANDLE_VALUE) return false;
        const Identity id = identityOf(file_);
        const bool same = !identity_.known || !id.known ||
                          (id.volume == identity_.volume && id.high == identity_.high && id.low == identity_.low);
        if (now != size() || !same) {
            release();  // not the file that was read
            return false;
        }
        if (!identity_.known) identity_ = id;
        return true;
    }

private:
    bool readOnce(std::uint64_t offset, void* out, std::size_t count) const {
        if (!reopen()) return false;
        char* to = static_cast<char*>(out);
        while (count > 0) {
            OVERLAPPED at = {};
            at.Offset = static_cast<DWORD>(offset);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD chunk = count > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count);
            DWORD got = 0;
            if (!ReadFile(file_, to, chunk, &got, &at) || got == 0) return false;
            to += got;
            offset += got;
            count -= got;
        }
        return true;
    }

    mutable HANDLE file_;
    mutable Identity identity_;
};

}  // namespace

TextSourcePtr openTextSource(const std::string& path, FileOpenResult* result) {
    FileOpenResult ignored;
    FileOpenResult& outcome = result ? *result : ignored;
    std::uint64_t size = 0;
    HANDLE file = openShared(path, size);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        outcome = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? FileOpenResult::Missing
                                                                                   : FileOpenResult::Unreadable;
        return nullptr;
    }
    outcome = FileOpenResult::Opened;
    return std::make_shared<WinSource>(path, file, size);
}

TextSourcePtr textSourceAt(const std::string& path, std::uint64_t size) {
    const auto source = std::make_shared<WinSource>(path, INVALID_HANDLE_VALUE, size);
    source->reopen();
    return source;
}
