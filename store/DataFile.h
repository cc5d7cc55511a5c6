// The data file: version block, header and the record list.
//
//   0    32   version block (magic, save kind, book number)
//   32   108  header, base part
//   140  180  header, extension (when the header's extension size is > 0)
//   320  4    number of records
//   324  ...  records in tree pre-order
//
// Integers are 32-bit little-endian; strings are code page 932 with one NUL,
// and every stored length counts the NUL. Backups use the same format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "store/PageTable.h"

constexpr char CURRENT_MAGIC[] = "qpad300";     // string resource 115
constexpr char PREVIOUS_MAGIC[] = "qpad200b1";  // read by the same reader

enum class SaveKind : std::int32_t { ExitData = 0, Periodic = 1, BeforeRestore = 2, BeforeDelete = 3 };

constexpr std::size_t VERSION_BLOCK_SIZE = 32;
constexpr std::size_t MAGIC_SIZE = 12;
constexpr std::size_t HEADER_SIZE = 288;
constexpr std::size_t HEADER_BASE_SIZE = 108;
constexpr std::size_t HEADER_EXTENSION_SIZE = 180;
constexpr std::size_t PREVIOUS_EXTENSION_READ = 16;
constexpr std::size_t RECORD_HEAD_SIZE = 24;
constexpr std::size_t RECORD_LIST_OFFSET = VERSION_BLOCK_SIZE + HEADER_SIZE + 4;  // 324
constexpr std::int32_t EXTENSION_FORMAT = 300;
constexpr int WINDOW_COLOUR_COUNT = 18;

constexpr std::int32_t BLOCK_SCROLL = 1;   // scrollH, scrollV, selStart, selEnd
constexpr std::int32_t BLOCK_SECURE = 16;  // isSecure, textHash, cipher length
constexpr std::int32_t BLOCK_SCROLL_PAYLOAD = 16;
constexpr std::int32_t BLOCK_SECURE_PAYLOAD = 40;

struct VersionBlock {
    char magic[MAGIC_SIZE] = {};  // NUL-padded
    std::int32_t saveKind = 0;
    std::int32_t bookNumber = 0;
};

// A version block with the current magic.
VersionBlock makeVersionBlock(SaveKind kind, std::int32_t bookNumber);
// The magic up to its first NUL (at most 12 bytes).
std::string magicOf(const VersionBlock& version);
void encodeVersionBlock(const VersionBlock& version, unsigned char out[VERSION_BLOCK_SIZE]);
VersionBlock decodeVersionBlock(const unsigned char in[VERSION_BLOCK_SIZE]);

// The 288-byte header; the comments give the offset in the header.
struct DataFileHeader {
    std::int32_t bookmark = 0;             // 0: order of the bookmarked record
    std::int32_t windowColourIndex = 0;    // 4: background brush, 10 = custom colour
    std::uint32_t customWindowColour = 0;  // 8: COLORREF
    std::uint8_t listLines = 0;            // 12: page list lines and buttons
    std::uint8_t noWrap = 0;               // 13
    std::uint8_t urlDetection = 0;         // 14
    std::uint8_t copyAsText = 0;           // 15
    std::uint8_t pasteAsText = 0;          // 16
                                           // 17..19: padding, written as zeros
    std::int32_t reserved20 = 0;           // 20: always written as 0
    std::int32_t standardFontHeight = 0;   // 24
    char standardFontFace[32] = {};        // 28: NUL-padded
    std::uint8_t reserved60[32] = {};      // 60
    std::int32_t reserved92 = 0;           // 92
    std::uint32_t standardFontColour = 0;  // 96: COLORREF
    std::int32_t textLimit = 0;            // 100
    std::int32_t extensionSize = 0;        // 104
    std::int32_t extensionFormat = 0;      // 108
    std::uint32_t listTextColour = 0;      // 112
    std::uint32_t listBackColour = 0;      // 116
    std::uint32_t memoBackColour = 0;      // 120
    std::int32_t passwordRegistered = 0;   // 124
    std::uint8_t checkValue[128] = {};     // 128: SHA-256, then zeros
    std::uint8_t salt[32] = {};            // 256
};

// The standard font's height in pixels as a book may hold it: the font chooser takes 1 to
// 1638 points, 2184 pixels at 96 pixels per inch. A new book's height is 15.
constexpr std::int32_t STANDARD_FONT_HEIGHT_MAX = 2184;
constexpr std::int32_t STANDARD_FONT_HEIGHT_DEFAULT = 15;

// The header of a new book: default colours and font, no password.
DataFileHeader newFileHeader();
void encodeHeader(const DataFileHeader& header, unsigned char out[HEADER_SIZE]);
DataFileHeader decodeHeader(const unsigned char in[HEADER_SIZE]);
std::string fontFaceOf(const DataFileHeader& header);
void setFontFace(DataFileHeader& header, const std::string& face);
// Forgets a password registration: flag, check value and salt.
void clearPasswordRegistration(DataFileHeader& header);

// detectDataFile results.
constexpr int DATA_FILE_CURRENT = 0;   // "qpad300" or "qpad200b1": readDataFile
constexpr int DATA_FILE_OLDER = 1;     // first or second generation: readOldDataFile
constexpr int DATA_FILE_UNUSABLE = 2;  // too short, unknown magic
constexpr int DATA_FILE_MISSING = 3;   // its folder is there and holds no such file
// The file or its folder cannot be reached now (a missing drive or folder, a share
// offline, a device not ready, no permission, held by another program): whether a
// book is there is unknown, so it is neither unusable nor missing.
constexpr int DATA_FILE_UNREACHABLE = 4;

enum class FileFault;
// `fault`, when given, says why the file did not open (DATA_FILE_MISSING, DATA_FILE_UNREACHABLE).
int detectDataFile(const std::string& path, FileFault* fault = nullptr);
// The same decision over the first bytes of a file.
int detectDataBytes(const void* first, std::size_t size);
bool isOlderMagic(const std::string& magic);
// Reads the first 32 bytes; true when the file opened and had them (the
// buffer is zeros otherwise).
bool readFirst32(const std::string& path, unsigned char buffer[VERSION_BLOCK_SIZE]);

// What a reader found; `problem` is empty after a successful read.
struct ReadReport {
    std::string magic;
    bool missing = false;
    bool scrollBlocks = false;  // some record carried block 1
    std::string problem;
    std::int64_t problemOffset = -1;  // where the damage starts, -1 when unknown
    // Bytes after the last counted record (or page): read past, not used.
    std::int64_t extraBytes = 0;
    std::int64_t extraOffset = -1;
};

// Reads a "qpad300" or "qpad200b1" file. The table is cleared and the header
// and version block start from the values for a new file. A file that ends
// inside the record list, whose stored lengths run past its end, or whose
// record count cannot fit in its size is damaged: the result is false, the
// table empty. Bytes after the last counted record are left unread; the
// report counts them (extraBytes) so the caller can keep the file aside.
bool readDataFile(const std::string& path, PageTable& table, DataFileHeader& header, VersionBlock& version,
                  ReadReport* report = nullptr);
class FileReader;
// The same over a file that is already open, read from its start.
bool readDataFile(FileReader& in, PageTable& table, DataFileHeader& header, VersionBlock& version,
                  ReadReport* report = nullptr);
class TextSource;
// The same over a file opened as a source, read from its start: the texts and
// ciphers stay in it as places, read when needed.
bool readDataFile(const std::shared_ptr<const TextSource>& source, PageTable& table, DataFileHeader& header,
                  VersionBlock& version, ReadReport* report = nullptr);
bool parseDataFile(const void* data, std::size_t size, PageTable& table, DataFileHeader& header, VersionBlock& version,
                   ReadReport* report = nullptr);

// For salvaging a damaged file held in memory: its version block and header,
// where its record list starts and the stored count (-1 when the file ends
// before it; not checked against the size). False when the version block or
// the header cannot be read.
bool parseDataFileHead(const void* data, std::size_t size, DataFileHeader& header, VersionBlock& version,
                       std::size_t& recordsAt, std::int32_t& count, ReadReport* report = nullptr);
// One record at `offset`, read whole or not at all; `next` is the offset after
// it. parentOrder is kept as stored.
bool parseRecordAt(const void* data, std::size_t size, std::size_t offset, PageRecord& record, std::size_t& next,
                   ReadReport* report = nullptr);

// The whole file as bytes, records by `order` (ties in table order); empty
// when a text's place cannot be read. The
// fixed header values (reserved 0, extension size 180, format 300) and the
// zero padding are written whatever the header holds.
std::string buildDataFile(const PageTable& table, const DataFileHeader& header, const VersionBlock& version,
                          bool writeScroll);
// Writes the file atomically; false leaves any old file as it was, and so
// does a text or cipher whose place cannot be read (the same holds for the
// two below). Unchanged texts are copied
// from their places in large sequential reads.
bool writeDataFile(const std::string& path, const VersionBlock& version, bool writeScroll, const PageTable& table,
                   const DataFileHeader& header);
// writeDataFile, and then every text and cipher of the table is a place in
// the new file: the file the book was read from (or any other) is no longer
// read, and the changed texts held in memory are let go. A file of places
// that is `path` is closed for the replace and, replaced, never read again.
bool saveDataFile(const std::string& path, const VersionBlock& version, bool writeScroll, PageTable& table,
                  const DataFileHeader& header);
