#pragma once
// Moving the memo editor's content in and out: RTF streamed to and from
// memory, the editor's plain text, and whole-file load and save as text or
// RTF. All text is code page 932 bytes; lengths are bytes, never characters.
#include <windows.h>

#include <cstddef>
#include <string>

namespace rtfstream {

// Replaces the editor's whole content by reading `rtf` (zero-terminated) as RTF.
// A text longer than the control's text limit raises the limit to its length
// rather than being cut short.
void StreamInRtf(HWND edit, const char* rtf);

// Bytes of the content written out as RTF, by a counting pass.
std::size_t RtfLength(HWND edit);
// Appends the content as RTF to the zero-terminated string in `buffer`
// (usually empty), never writing past `capacity` bytes and keeping it
// zero-terminated. A buffer of RtfLength() + 1 bytes takes all of it.
void StreamOutRtf(HWND edit, char* buffer, std::size_t capacity);
// The content as RTF: the counting pass, then the filling pass.
std::string StreamOutRtf(HWND edit);

// Bytes a buffer needs for the editor's plain text in code page 932 with CR LF
// line breaks, its terminating zero not counted. Exact on Windows; some
// rich-edit versions give a little more, never less.
std::size_t TextByteLength(HWND edit);
// The editor's plain text (its window text) in code page 932, CR LF line breaks.
std::string EditorText(HWND edit);

// Sets the file's bytes as the editor's plain text / streams them in as RTF.
// A file whose text would not fit the editor's text limit is refused with a
// message box instead of being cut short. On any failure the editor is
// unchanged and the result is false.
bool LoadTextFile(HWND edit, const char* path);
bool LoadRtfFile(HWND edit, const char* path);

// Writes the editor's plain text / its RTF to the file; the write's success.
bool SaveTextFile(HWND edit, const char* path);
bool SaveRtfFile(HWND edit, const char* path);

// Saves the page shown in the editor under the file type of the save
// dialog's filter: 2 (RTF) as RTF, 1 and 3 (and anything else) as plain text.
bool SavePageAs(HWND edit, const char* path, int filter);
// Asks for a file with the save dialog (owner `owner`), starting at the
// proposed `path`, which then holds the chosen file. False when cancelled;
// a failed write is reported to the user and returns false.
bool SavePageToFile(HWND edit, HWND owner, std::string& path);

// Reads the whole file into `buffer` and terminates it with a zero byte. The
// file is opened without sharing; false when it cannot be opened or read, or
// when `capacity` is less than its size + 1.
bool ReadWholeFile(const char* path, char* buffer, std::size_t capacity);
// The whole file as bytes; false when it cannot be read or holds more than
// `maxBytes` bytes.
bool ReadWholeFile(const char* path, std::string& bytes, std::size_t maxBytes);

// Writes `text` without its terminating zero as the whole file. The bytes go
// to a temporary file beside the target that then replaces it, so a failed
// write leaves the old file as it was.
bool WriteWholeFile(const char* path, const char* text);

}  // namespace rtfstream
