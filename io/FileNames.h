// Names of exported files and folders, and the parts of a file path that an
// import needs. All names are code page 932 bytes.
#pragma once

#include <string>

namespace filenames {

// True for a single byte that the platform's path-character test calls
// invalid, a wildcard or a separator: the control bytes 0x00..0x1F and
// " * / : < > ? \ |. Every other byte, 0x7F and 0x80..0xFF included, is an
// ordinary file-name character.
bool isReplacedInName(unsigned char c);

// Cleans a name in place, from the start: a CR LF pair is kept, a Shift-JIS
// lead byte (0x81..0x9F, 0xE0..0xFE) is kept with the second byte after it
// (0x40..0x7E, 0x80..0xFC), and every other byte that isReplacedInName is
// replaced by "_". A lead byte without such a second byte is replaced too,
// and the byte after it is looked at on its own: left in, it would hide a
// ':' or '/' from the cleaning, and at the end of a name it would join the
// separator or dot appended next into one character. Each byte is kept or
// becomes "_"; cleaning a cleaned name changes nothing. True when anything
// was replaced.
bool cleanFileName(std::string& name);

// CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9 in any case, alone or followed
// by an extension ("nul.rtf"): names Windows keeps for its devices.
bool isReservedDeviceName(const std::string& name);

// The base of an exported file or folder name: the title itself, with "_"
// in front when cleaning would replace every byte of it or when it is a
// device name, so that the file can be created.
std::string creatableBase(const std::string& title);

// The file name of a path without its folder and its extension (the part
// after the last dot). Both '\\' and '/' end a folder; a backslash that is
// the second byte of a double-byte character does not.
std::string titleOfPath(const std::string& path);
// The part after the last dot of the file name; empty when there is none.
std::string extensionOf(const std::string& path);

// How a dropped file is read: 2 (RTF) when its extension is "rtf", compared
// case-sensitively, otherwise 1 (plain text).
int droppedFileType(const std::string& path);

}  // namespace filenames
