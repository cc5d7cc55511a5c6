// Whole-file writes that never leave a half-written file behind.
//
// The bytes go to a new temporary file in the target's folder, are flushed to
// the disk, and the temporary file then replaces the target in one step. When
// anything fails (cannot create, short write, flush or replace fails) the
// temporary file is removed, the old target stays exactly as it was, and the
// result is false.
//
// Paths are byte strings: code page 932 on Windows, the file system's bytes
// elsewhere.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Writes a file in pieces with the same promise: nothing changes at the
// target until commit() succeeds; a writer destroyed without a successful
// commit removes its temporary file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything has failed; later writes and the commit then fail too.
    bool ok() const;
    bool write(const void* data, std::size_t size);
    bool commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Removes the temporary files that writers of `path` left behind when the
// process was killed before the replace ("<path>~<number>"). The file name of
// `path` may hold wildcards ("backup*.qpd") on Windows. Call it at start-up,
// before any writer of those files runs.
void removeLeftoverTemporaries(const std::string& path);

// Renames `from` over `to` in one step, through to the disk (a file written
// beside its place beforehand, put there at last). Counted by the seam below
// like a writer's replace; false leaves both files as they were.
bool replaceFile(const std::string& from, const std::string& to);

// The other file operations that change a book's files, counted by the seam
// below like a write: a move or a copy to a name that must not exist yet (false
// when it does), and a delete.
bool moveFileTo(const std::string& from, const std::string& to);
bool copyFileTo(const std::string& from, const std::string& to);
bool removeFile(const std::string& path);

// A seam for tests that fail a write on purpose or stop the program in the
// middle of one. Every file operation (a writer's create of its temporary
// file, each write, the flush, the close, the replace; a move, copy or
// delete) is counted; when the count reaches `failAt` (1-based) that one
// operation fails as the platform would have failed it. failAt 0 turns the
// failures off; both calls restart the count. A build with
// QUILT_NO_WRITE_SEAM (the release) counts nothing, fails nothing and calls
// no hook.
namespace atomicfaults {
enum class Operation { Create, Write, Flush, Close, Replace, Move, Copy, Delete };
const char* nameOf(Operation operation);
// One operation: `path` the file it makes, writes, fills or removes (a writer's temporary file
// up to the close), `from` the file whose bytes a replace, move or copy puts at `path`.
struct Event {
    long counted;
    Operation operation;
    const std::string& path;
    const std::string& from;
};
void failOperation(long failAt);
long operationsCounted();
// True when the operation now starting must fail (used by the file operations themselves).
bool nextOperationFails(Operation operation, const std::string& path, const std::string& from = std::string());
// The operation succeeded (a replace, move, copy or delete: the file at `path` changed).
void operationDone(Operation operation, const std::string& path, const std::string& from = std::string());
// Called on the operation's own thread before each operation (a test stops the program right
// there) and after each one that changed a file; nullptr for none.
void onOperation(void (*before)(const Event& event), void (*done)(const Event& event) = nullptr);

// One operation that changes a file, through the seam: counted, failed when it is the one, told when done.
template <typename Run>
bool seamed(Operation operation, const std::string& path, const std::string& from, Run run) {
    if (nextOperationFails(operation, path, from) || !run()) return false;
    operationDone(operation, path, from);
    return true;
}
}  // namespace atomicfaults

inline bool writeFileAtomically(const std::string& path, const char* data, std::size_t size) {
    AtomicFileWriter writer(path);
    return writer.write(data, size) && writer.commit();
}

inline bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    return writeFileAtomically(path, bytes.data(), bytes.size());
}
