// The platform's file times of backup slots and data files.
#include <windows.h>

#include "backup/BackupSlots.h"
#include "store/Wide932.h"

namespace backup {

namespace {

// Opens the file for reading without sharing, as a slot in use by another
// program counts as free; the last-write time as a local file time.
bool localLastWrite(const std::string& path, FILETIME& local) {
    HANDLE file = CreateFileW(wide::from932(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME written = {};
    const bool ok = GetFileTime(file, nullptr, nullptr, &written) && FileTimeToLocalFileTime(&written, &local);
    CloseHandle(file);
    return ok;
}

class WinFileTimes : public FileTimes {
public:
    bool localWriteTime(const std::string& path, StampTime& time) const override {
        FILETIME local = {};
        SYSTEMTIME s = {};
        if (!localLastWrite(path, local) || !FileTimeToSystemTime(&local, &s)) return false;
        time.year = s.wYear;
        time.month = s.wMonth;
        time.day = s.wDay;
        time.hour = s.wHour;
        time.minute = s.wMinute;
        time.second = s.wSecond;
        return true;
    }
    bool localFileTime(const std::string& path, std::uint64_t& time) const override {
        FILETIME local = {};
        if (!localLastWrite(path, local)) return false;
        time = (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
        return true;
    }
    std::uint64_t localNow() const override {
        FILETIME utc = {}, local = {};
        GetSystemTimeAsFileTime(&utc);
        if (!FileTimeToLocalFileTime(&utc, &local)) return UINT64_MAX;
        return (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
    }
};

}  // namespace

const FileTimes& systemFileTimes() {
    static const WinFileTimes times;
    return times;
}

}  // namespace backup
