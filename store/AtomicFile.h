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

// A seam for tests that fail a write on purpose. Every file operation of every
// writer (create the temporary file, each write, the flush, the close, the
// replace) is counted; when the count reaches `failAt` (1-based) that one
// operation fails as the platform would have failed it. failAt 0 turns the
// failures off; both calls restart the count.
namespace atomicfaults {
void failOperation(long failAt);
long operationsCounted();
// True when the operation now starting must fail (used by the two writers).
bool nextOperationFails();
// Called on the writer's thread with the count, before each operation (a test stops the
// program right there); nullptr for none.
void onOperation(void (*hook)(long counted));
}  // namespace atomicfaults

inline bool writeFileAtomically(const std::string& path, const char* data, std::size_t size) {
    AtomicFileWriter writer(path);
    return writer.write(data, size) && writer.commit();
}

inline bool writeFileAtomically(const std::string& path, const std::string& bytes) {
    return writeFileAtomically(path, bytes.data(), bytes.size());
}
