#pragma once
// Whole files in and out of the memo editor: a page loaded from or saved to a
// text or RTF file, and the whole-file reads and writes under them. A text file
// is read as UTF-8 or UTF-16 when it is one, else as code page 932; a page is
// written as code page 932 when every character fits, else as UTF-8 with a BOM.
#include <windows.h>

#include <cstddef>
#include <string>

namespace textfiles {

// What reading a file for a page found.
enum class PageFile { READ, UNREADABLE, TOO_LARGE };

// Reads a file for a page whose editor allows `limit` characters: plain text,
// or RTF counted in a hidden control of `edit`'s class. Shows nothing; the
// bytes are left empty unless the file was read and fits.
PageFile ReadPageFile(HWND edit, const char* path, bool rtf, std::size_t limit, std::string& bytes);
// Tells the user why a file was not read into a page.
void ReportNotRead(HWND owner, const char* path, PageFile result, std::size_t limit);
// Makes what ReadPageFile read the editor's whole content.
void ShowPageFile(HWND edit, const std::string& bytes, bool rtf);
// The text limit, in characters, of a control of `edit`'s class given
// `characters` the way the page display gives each page it shows.
std::size_t LimitOfNewPage(HWND edit, int characters);

// Sets the file's bytes as the editor's plain text / streams them in as RTF.
// A file whose text would not fit the editor's text limit is refused with a
// message box instead of being cut short. On any failure the editor is
// unchanged and the result is false.
bool LoadTextFile(HWND edit, const char* path);
bool LoadRtfFile(HWND edit, const char* path);

// Writes the editor's plain text / its RTF to the file; the write's success.
// `wroteUtf8` tells that the text needed UTF-8.
bool SaveTextFile(HWND edit, const char* path, bool* wroteUtf8 = nullptr);
bool SaveRtfFile(HWND edit, const char* path);

// Saves the page shown in the editor under the file type of the save
// dialog's filter: 2 (RTF) as RTF, 1 and 3 (and anything else) as plain text.
bool SavePageAs(HWND edit, const char* path, int filter, bool* wroteUtf8 = nullptr);
// Asks for a file with the save dialog (owner `owner`), starting at the
// proposed `path`, which then holds the chosen file. False when cancelled;
// a failed write is reported to the user and returns false; a text written as
// UTF-8 is told once.
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

}  // namespace textfiles
