#pragma once
// The clipboard's Unicode text and RTF (and its text as code page 932, for callers
// that keep text in it), and the two
// steps the memo editor runs around every cut, copy and paste ("copy as
// text" and "paste as text").
//
// Every operation opens and closes the clipboard itself (no owner window);
// nothing is held between calls.
#include <windows.h>

#include <cstddef>
#include <string>

namespace clipboard {

// The registered "Rich Text Format" clipboard format.
UINT RtfFormat();

// The clipboard's Unicode text, every character as it is; written alone or beside others.
bool ReadClipboardUnicode(std::wstring& text);
bool WriteClipboardUnicode(const std::wstring& text, bool emptyFirst);
// Reads the clipboard's text in code page 932 (a character it lacks reads as '?'). `text` is emptied first; false when there is
// no text or the clipboard cannot be opened.
bool ReadClipboardText(std::string& text);
// Puts the code page 932 `text` on the clipboard as Unicode text, emptying the clipboard first only
// when asked (so it can sit beside other formats). False, with nothing done,
// for an empty text or when the clipboard cannot be opened.
bool WriteClipboardText(const std::string& text, bool emptyFirst);
// Byte length of the clipboard's text; 0 when there is none.
std::size_t ClipboardTextLength();

// The same for any format that holds a zero-terminated byte string.
bool ReadClipboardFormat(UINT format, std::string& text);
// Always empties the clipboard first.
bool WriteClipboardFormat(const std::string& text, UINT format);
std::size_t ClipboardFormatLength(UINT format);

// Runs after the control has cut or copied. With copy-as-text on, reduces
// whatever text the clipboard holds to its Unicode text alone (any RTF is dropped) and
// reports that it acted, even when there was nothing to reduce.
bool CopyAsTextStep(bool copyAsText);

// Pastes for the editor. `previousProc` is the control's own window procedure
// (the one its subclass replaced), used for the control's own paste; nullptr
// when the control is not subclassed. Returns whether it acted; when it did
// not, the caller lets the control paste by itself.
bool PasteStep(HWND edit, WNDPROC previousProc, bool pasteAsText);

// Characters a paste into the editor would add at most (the extra line
// breaks after a text that ends with one included); 0 with nothing to paste.
std::size_t PasteCharacters(HWND edit, bool pasteAsText);

}  // namespace clipboard
