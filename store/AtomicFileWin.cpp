// Windows side of the atomic file write: temporary file beside the target,
// FlushFileBuffers, MoveFileExW over the target.
#include <windows.h>

#include "store/AtomicFile.h"
#include "store/Wide932.h"

namespace {

using atomicfaults::Operation;
using atomicfaults::seamed;

// Creates a file that did not exist before, so two writers never share one.
HANDLE createTemporary(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + "~" + std::to_string(attempt);
        if (atomicfaults::nextOperationFails(Operation::Create, tempPath)) return INVALID_HANDLE_VALUE;
        HANDLE file =
            CreateFileW(wide::from932(tempPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool isDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

void removeLeftoverTemporaries(const std::string& path) {
    const std::string::size_type slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide::from932(path + "~*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = wide::to932(found.cFileName);
        const std::string::size_type tilde = name.rfind('~');
        if (tilde != std::string::npos && isDigits(name.substr(tilde + 1)) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            removeFile(folder + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

bool replaceFile(const std::string& from, const std::string& to) {
    return seamed(Operation::Replace, to, from, [&] {
        return MoveFileExW(wide::from932(from).c_str(), wide::from932(to).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

bool moveFileTo(const std::string& from, const std::string& to) {
    return seamed(Operation::Move, to, from, [&] {
        return MoveFileExW(wide::from932(from).c_str(), wide::from932(to).c_str(),
                           MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH) != 0;
    });
}

bool copyFileTo(const std::string& from, const std::string& to) {
    return seamed(Operation::Copy, to, from,
                  [&] { return CopyFileW(wide::from932(from).c_str(), wide::from932(to).c_str(), TRUE) != 0; });
}

bool removeFile(const std::string& path) {
    return seamed(Operation::Delete, path, std::string(), [&] { return DeleteFileW(wide::from932(path).c_str()) != 0; });
}

struct AtomicFileWriter::Impl {
    std::string path;
    std::string tempPath;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool created = false;
    bool failed = false;
    bool committed = false;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path) : impl_(new Impl) {
    impl_->path = path;
    if (!path.empty()) impl_->file = createTemporary(path, impl_->tempPath);
    impl_->created = impl_->file != INVALID_HANDLE_VALUE;
    impl_->failed = !impl_->created;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (impl_->file != INVALID_HANDLE_VALUE) CloseHandle(impl_->file);
    if (impl_->created && !impl_->committed) removeFile(impl_->tempPath);
}

bool AtomicFileWriter::ok() const { return !impl_->failed; }

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (!impl_->failed && size > 0) {
        DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (atomicfaults::nextOperationFails(Operation::Write, impl_->tempPath) || !WriteFile(impl_->file, bytes, chunk, &written, nullptr) ||
            written == 0) {
            impl_->failed = true;
            break;
        }
        bytes += written;
        size -= written;
    }
    return !impl_->failed;
}

bool AtomicFileWriter::commit() {
    if (impl_->failed || impl_->committed) return false;
    bool ok = !atomicfaults::nextOperationFails(Operation::Flush, impl_->tempPath) && FlushFileBuffers(impl_->file) != 0;
    if (!CloseHandle(impl_->file) || atomicfaults::nextOperationFails(Operation::Close, impl_->tempPath)) ok = false;
    impl_->file = INVALID_HANDLE_VALUE;
    if (ok && !replaceFile(impl_->tempPath, impl_->path)) ok = false;
    if (!ok) {
        impl_->failed = true;
        return false;  // the destructor removes the temporary file
    }
    impl_->committed = true;
    return true;
}
