#pragma once
// Moving the memo editor's content in and out: RTF streamed to and from
// memory and the editor's plain text (whole files: io/TextFiles.h). All text
// is code page 932 bytes; lengths are bytes, never characters.
#include <windows.h>

#include <cstddef>
#include <string>

namespace rtfstream {

// Replaces the editor's whole content by reading `rtf` (zero-terminated) as RTF.
// A text longer than the control's text limit raises the limit to its length
// rather than being cut short.
void StreamInRtf(HWND edit, const char* rtf);
// Replaces the content with plain text (code page 932, or any character as
// UTF-16), never read as RTF however it begins. The caller has checked it fits
// the text limit.
void StreamInText(HWND edit, const std::string& text);
void StreamInText(HWND edit, const std::wstring& text);
// A hidden control of the editor's class, for measuring without touching the page.
HWND ScratchOf(HWND edit);

// Bytes of the content written out as RTF, by a counting pass.
std::size_t RtfLength(HWND edit);
// Appends the content as RTF to the zero-terminated string in `buffer`
// (usually empty), never writing past `capacity` bytes and keeping it
// zero-terminated. A buffer of RtfLength() + 1 bytes takes all of it.
void StreamOutRtf(HWND edit, char* buffer, std::size_t capacity);
// The content as RTF: the counting pass, then the filling pass.
std::string StreamOutRtf(HWND edit);

// The editor's text limit in characters.
std::size_t TextLimit(HWND edit);
// Characters a plain text becomes in the editor (a CR LF is one paragraph mark).
std::size_t PlainTextCharacters(const std::string& text);
std::size_t PlainTextCharacters(const std::wstring& text);
// Characters an RTF text becomes in a control of the editor's class.
std::size_t RtfCharacters(HWND edit, const std::string& rtf);

// Bytes a buffer needs for the editor's plain text in code page 932 with CR LF
// line breaks, its terminating zero not counted. Exact on Windows; some
// rich-edit versions give a little more, never less.
std::size_t TextByteLength(HWND edit);
// The editor's plain text (its window text) in code page 932, CR LF line breaks.
std::string EditorText(HWND edit);
// Characters the editor holds, in UTF-16 units, as its text limit counts them.
std::size_t CharacterCount(HWND edit);

// The editor's plain text in UTF-16 units, CR LF line breaks: characters outside code
// page 932 (pasted from elsewhere) included.
std::wstring EditorTextUnicode(HWND edit);
// Replaces the selection with UTF-16 text, always as text, even when it begins like RTF.
void ReplaceSelectionUnicode(HWND edit, const std::wstring& text);

}  // namespace rtfstream
