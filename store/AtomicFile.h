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
#include <string>

bool writeFileAtomically(const std::string& path, const char* data, std::size_t size);

inline bool writeFileAtomically(const std::string& path, const std::string& bytes)
{
    return writeFileAtomically(path, bytes.data(), bytes.size());
}
