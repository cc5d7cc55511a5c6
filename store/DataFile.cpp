// Detection, reader and writer of the current data file generation.
#include "store/DataFile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "store/AtomicFile.h"
#include "store/ByteReader.h"
#include "store/ByteWriter.h"
#include "store/FileReader.h"
#include "store/TextSource.h"
#include "store/TreeSource.h"
#include "store/ZeroByte.h"

namespace {

const char* const OLDER_MAGICS[] = {"quiltpad090", "quiltpad093", "quiltpad096",
                                    "quiltpad097", "quiltpad100", "qpad110.1"};

std::string magicOfBytes(const unsigned char* first, std::size_t size) {
    const void* nul = std::memchr(first, 0, size);
    std::size_t length = nul ? static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - first) : size;
    return std::string(reinterpret_cast<const char*>(first), length);
}

// Reports the first problem and where it starts; later reports are ignored.
// Inside the record list the message names the record and where it starts.
struct Damage {
    ReadReport* report;
    int record = -1;
    std::size_t recordStart = 0;
    bool fail(const std::string& what, std::size_t offset) {
        if (report && report->problem.empty()) {
            report->problem = record < 0 ? what
                                         : "record " + std::to_string(record) + " (offset " +
                                               std::to_string(recordStart) + "): " + what;
            report->problemOffset = static_cast<std::int64_t>(offset);
        }
        return false;
    }
};

std::string str(long long value) { return std::to_string(value); }

// Values a damaged or foreign file may carry that the program cannot use.
void normaliseHeader(DataFileHeader& header, int recordCount) {
    header.bookmark = bookmarkIndex(header.bookmark, recordCount);
    if (header.windowColourIndex < 0 || header.windowColourIndex >= WINDOW_COLOUR_COUNT) header.windowColourIndex = 0;
    // no height shows nothing, and a huge one overflows the conversion to twips
    std::int32_t& height = header.standardFontHeight;
    if (height == 0 || height == INT_MIN) height = STANDARD_FONT_HEIGHT_DEFAULT;
    if (height < 0) height = -height;
    if (height > STANDARD_FONT_HEIGHT_MAX) height = STANDARD_FONT_HEIGHT_MAX;
}

template <class Reader>
bool readHeader(Reader& in, const std::string& magic, DataFileHeader& header, Damage& damage) {
    // Parts the file does not hold keep the values for a new file.
    unsigned char raw[HEADER_SIZE];
    encodeHeader(newFileHeader(), raw);
    if (!in.bytes(raw, HEADER_BASE_SIZE))
        return damage.fail("the header ends early (file size " + str(in.size()) + ")", in.offset());
    std::int32_t extensionSize = bytes::getI32LE(raw + 104);
    if (extensionSize > 0) {
        if (magic == CURRENT_MAGIC) {
            // Always the full extension, whatever size is stored.
            if (!in.bytes(raw + HEADER_BASE_SIZE, HEADER_EXTENSION_SIZE))
                return damage.fail("the header extension ends early", in.offset());
        } else {
            std::size_t size = static_cast<std::size_t>(extensionSize);
            std::size_t part = std::min(size, PREVIOUS_EXTENSION_READ);
            if (!in.bytes(raw + HEADER_BASE_SIZE, part) || !in.skip(size - part))
                return damage.fail("the header extension of " + str(extensionSize) + " bytes runs past the end",
                                   in.offset());
        }
    }
    header = decodeHeader(raw);
    return true;
}

template <class Reader>
bool readBlocks(Reader& in, std::int32_t blockTotal, PageRecord& record, std::int32_t& cipherLength, ReadReport* report,
                Damage& damage) {
    long long consumed = 0;
    while (consumed < blockTotal) {
        std::size_t at = in.offset();
        std::int32_t tag = 0, size = 0;
        if (!in.i32LE(tag) || !in.i32LE(size)) return damage.fail("a block head runs past the end", at);
        if (tag == BLOCK_SCROLL) {
            if (!in.i32LE(record.scrollH) || !in.i32LE(record.scrollV) || !in.i32LE(record.selStart) ||
                !in.i32LE(record.selEnd))
                return damage.fail("block 1 runs past the end", at);
            consumed += 8 + BLOCK_SCROLL_PAYLOAD;
            if (report) report->scrollBlocks = true;
        } else if (tag == BLOCK_SECURE) {
            if (!in.i32LE(record.isSecure) || !in.bytes(record.textHash.data(), record.textHash.size()) ||
                !in.i32LE(cipherLength))
                return damage.fail("block 16 runs past the end", at);
            consumed += 8 + BLOCK_SECURE_PAYLOAD;
        } else {
            if (size < 0 || !in.skip(static_cast<std::size_t>(size)))
                return damage.fail("block " + str(tag) + " of " + str(size) + " bytes runs past the end", at);
            consumed += 8 + static_cast<long long>(size);
        }
    }
    return true;
}

// A file read in memory holds its texts; one read from an open source leaves
// them at their places.
template <class Reader>
bool readText(Reader& in, PageRecord& record, std::size_t count) {
    return in.cString(record.text, count);
}
bool readText(SourceReader& in, PageRecord& record, std::size_t count) { return in.placeOfText(record.place, count); }
template <class Reader>
bool readCipherBytes(Reader& in, PageRecord& record, std::size_t count) {
    record.cipher.resize(count);
    return count == 0 || in.bytes(&record.cipher[0], count);
}
bool readCipherBytes(SourceReader& in, PageRecord& record, std::size_t count) {
    return in.placeOfCipher(record.place, count);
}

template <class Reader>
bool readRecord(Reader& in, int index, PageRecord& record, ReadReport* report, Damage& damage) {
    const std::size_t start = in.offset();
    damage.record = index;
    damage.recordStart = start;
    unsigned char head[RECORD_HEAD_SIZE];
    if (!in.bytes(head, sizeof head)) return damage.fail("the record list ends early", start);
    record.order = bytes::getI32LE(head);
    record.parentOrder = bytes::getI32LE(head + 4);
    record.isFolder = head[8];
    record.isExpanded = head[9];
    const std::int32_t titleLength = bytes::getI32LE(head + 12);
    const std::int32_t textLength = bytes::getI32LE(head + 16);
    const std::int32_t blockTotal = bytes::getI32LE(head + 20);
    std::int32_t cipherLength = 0;
    if (!readBlocks(in, blockTotal, record, cipherLength, report, damage)) return false;
    if (titleLength < 0 || !in.cString(record.title, static_cast<std::size_t>(titleLength)))
        return damage.fail("title length " + str(titleLength) + " runs past the end", in.offset());
    if (record.isSecure != 0) {
        record.isSecure = 1;
        if (cipherLength < 0 || !in.canRead(static_cast<std::size_t>(cipherLength)))
            return damage.fail("cipher length " + str(cipherLength) + " runs past the end", in.offset());
        if (!readCipherBytes(in, record, static_cast<std::size_t>(cipherLength)))
            return damage.fail("the cipher cannot be read", in.offset());
    } else if (textLength < 0 || !readText(in, record, static_cast<std::size_t>(textLength))) {
        return damage.fail("text length " + str(textLength) + " runs past the end", in.offset());
    }
    record.isFolder = record.isFolder != 0 ? 1 : 0;
    record.isExpanded = record.isExpanded != 0 ? 1 : 0;
    return true;
}

// The version block and the header.
template <class Reader>
bool readHead(Reader& in, DataFileHeader& header, VersionBlock& version, Damage& damage) {
    ReadReport* report = damage.report;
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!in.bytes(first, VERSION_BLOCK_SIZE)) return damage.fail("shorter than 32 bytes", 0);
    std::string magic = magicOfBytes(first, VERSION_BLOCK_SIZE);
    if (report) report->magic = magic;
    if (magic != CURRENT_MAGIC && magic != PREVIOUS_MAGIC)
        return damage.fail("not a data file this reader knows (magic \"" + magic + "\")", 0);
    version = decodeVersionBlock(first);
    return readHeader(in, magic, header, damage);
}

template <class Reader>
bool readBook(Reader& in, PageTable& table, DataFileHeader& header, VersionBlock& version, ReadReport* report) {
    Damage damage{report};
    if (!readHead(in, header, version, damage)) return false;
    std::int32_t count = 0;
    std::size_t countAt = in.offset();
    if (!in.i32LE(count)) return damage.fail("the record count is missing", countAt);
    if (count < 0 || static_cast<std::size_t>(count) > in.remaining() / RECORD_HEAD_SIZE)
        return damage.fail("record count " + str(count) + " cannot fit in the remaining " +
                               str(static_cast<long long>(in.remaining())) + " bytes",
                           countAt);
    table.reserve(count);
    for (int k = 0; k < count; ++k) {
        // Read in place: a book of many pages spends its time here.
        table.addEmptyRecord(NO_ITEM);
        PageRecord& record = table.recordAt(k);
        if (!readRecord(in, k, record, report, damage)) return false;
        // The tree is rebuilt from parentOrder: it must name an earlier record.
        if (record.parentOrder < 0 || record.parentOrder >= k) record.parentOrder = -1;
    }
    // The writer writes nothing after the last record. What follows is left
    // unread, as the counted records are the book; the caller is told.
    if (report && in.remaining() > 0) {
        report->extraBytes = static_cast<std::int64_t>(in.remaining());
        report->extraOffset = static_cast<std::int64_t>(in.offset());
    }
    normaliseHeader(header, count);
    return true;
}

template <class Reader>
bool readBookInto(Reader& in, PageTable& table, DataFileHeader& header, VersionBlock& version, ReadReport* report) {
    table.clear();
    header = newFileHeader();
    if (readBook(in, table, header, version, report)) return true;
    table.clear();
    header = newFileHeader();
    return false;
}

}  // namespace

bool isOlderMagic(const std::string& magic) {
    for (const char* older : OLDER_MAGICS)
        if (magic == older) return true;
    return false;
}

int detectDataBytes(const void* first, std::size_t size) {
    if (size < VERSION_BLOCK_SIZE) return DATA_FILE_UNUSABLE;
    std::string magic = magicOfBytes(static_cast<const unsigned char*>(first), VERSION_BLOCK_SIZE);
    if (magic == CURRENT_MAGIC || magic == PREVIOUS_MAGIC) return DATA_FILE_CURRENT;
    return isOlderMagic(magic) ? DATA_FILE_OLDER : DATA_FILE_UNUSABLE;
}

int detectDataFile(const std::string& path, FileFault* fault) {
    FileReader in;
    FileOpenResult opened = in.open(path);
    if (fault) *fault = in.fault();
    if (opened == FileOpenResult::Missing) return DATA_FILE_MISSING;
    if (opened != FileOpenResult::Opened) return DATA_FILE_UNREACHABLE;
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!in.bytes(first, VERSION_BLOCK_SIZE)) return DATA_FILE_UNUSABLE;
    return detectDataBytes(first, VERSION_BLOCK_SIZE);
}

bool readFirst32(const std::string& path, unsigned char buffer[VERSION_BLOCK_SIZE]) {
    // A file too short to have a version block leaves zeros, never stale bytes.
    std::memset(buffer, 0, VERSION_BLOCK_SIZE);
    FileReader in;
    return in.open(path) == FileOpenResult::Opened && in.bytes(buffer, VERSION_BLOCK_SIZE);
}

bool readDataFile(const std::string& path, PageTable& table, DataFileHeader& header, VersionBlock& version,
                  ReadReport* report) {
    FileReader in;
    FileOpenResult opened = in.open(path);
    if (opened != FileOpenResult::Opened) {
        table.clear();
        header = newFileHeader();
        if (report) {
            report->missing = opened == FileOpenResult::Missing;
            report->problem = report->missing ? "the file does not exist" : "the file cannot be opened";
        }
        return false;
    }
    return readBookInto(in, table, header, version, report);
}

bool readDataFile(FileReader& in, PageTable& table, DataFileHeader& header, VersionBlock& version, ReadReport* report) {
    return readBookInto(in, table, header, version, report);
}

bool readDataFile(const TextSourcePtr& source, PageTable& table, DataFileHeader& header, VersionBlock& version,
                  ReadReport* report) {
    SourceReader in(source);
    if (!readBookInto(in, table, header, version, report)) return false;
    table.holdFile(source);
    return true;
}

bool parseDataFile(const void* data, std::size_t size, PageTable& table, DataFileHeader& header, VersionBlock& version,
                   ReadReport* report) {
    ByteReader in(data, size);
    return readBookInto(in, table, header, version, report);
}

bool parseDataFileHead(const void* data, std::size_t size, DataFileHeader& header, VersionBlock& version,
                       std::size_t& recordsAt, std::int32_t& count, ReadReport* report) {
    ByteReader in(data, size);
    Damage damage{report};
    header = newFileHeader();
    count = -1;
    if (!readHead(in, header, version, damage)) return false;
    if (!in.i32LE(count)) count = -1;
    recordsAt = in.offset();
    return true;
}

bool parseRecordAt(const void* data, std::size_t size, std::size_t offset, PageRecord& record, std::size_t& next,
                   ReadReport* report) {
    ByteReader in(data, size);
    Damage damage{report};
    record = PageRecord();
    if (!in.skip(offset) || !readRecord(in, -1, record, report, damage)) return false;
    next = in.offset();
    return true;
}

namespace {

std::size_t cStringLength(const std::string& s) { return zeroByteOffset(s.data(), s.size()); }

// Table indices in the order the records are written: by `order`, ties in
// table order. After a refresh the orders are 0..n-1 and this is one pass.
std::vector<int> writeSequence(const PageTable& table) {
    const int n = table.count();
    std::vector<int> sequence(static_cast<std::size_t>(n), -1);
    bool direct = true;
    for (int i = 0; i < n && direct; ++i) {
        std::int32_t order = table.recordAt(i).order;
        if (order < 0 || order >= n || sequence[static_cast<std::size_t>(order)] != -1)
            direct = false;
        else
            sequence[static_cast<std::size_t>(order)] = i;
    }
    if (direct) return sequence;
    for (int i = 0; i < n; ++i) sequence[static_cast<std::size_t>(i)] = i;
    std::stable_sort(sequence.begin(), sequence.end(),
                     [&](int a, int b) { return table.recordAt(a).order < table.recordAt(b).order; });
    return sequence;
}

std::size_t recordSize(const PageRecord& r, bool writeScroll) {
    std::size_t size = RECORD_HEAD_SIZE + cStringLength(r.title) + 1;
    size += writeScroll ? 8 + BLOCK_SCROLL_PAYLOAD : 0;
    size += r.isSecure != 0 ? 8 + BLOCK_SECURE_PAYLOAD + cipherSize(r) : textLength(r) + 1;
    return size;
}

// Collects the file in memory.
struct StringOut {
    std::string& bytes;
    std::uint64_t at = 0;
    bool put(const void* data, std::size_t size) {
        bytes.append(static_cast<const char*>(data), size);
        at += size;
        return true;
    }
};

// What a record's text or cipher is written from: held bytes, or its place
// in the old file read through the window (pages in file order: one read a
// window). Null when the place cannot be read: the save must fail.
const char* contentBytes(const PageRecord& r, bool secure, PlaceWindow& window, std::size_t& length) {
    if (secure) {
        length = cipherSize(r);
        return r.cipher.empty() && hasCipherPlace(r) ? window.bytes(r.place) : r.cipher.data();
    }
    length = textLength(r);
    return r.text.empty() && hasTextPlace(r) ? window.bytes(r.place) : r.text.data();
}

// Streams the file through a reused buffer, so that saving a large book
// needs no second copy of it in memory.
class FileOut {
public:
    explicit FileOut(AtomicFileWriter& file) : file_(file) { buffer_.reserve(CAPACITY); }
    std::uint64_t at = 0;  // bytes put so far
    bool put(const void* data, std::size_t size) {
        at += size;
        if (buffer_.size() + size > CAPACITY && !flush()) return false;
        if (size >= CAPACITY) return file_.write(data, size);
        buffer_.append(static_cast<const char*>(data), size);
        return true;
    }
    bool flush() {
        bool ok = file_.write(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

private:
    static constexpr std::size_t CAPACITY = 1024 * 1024;
    AtomicFileWriter& file_;
    std::string buffer_;
};

// `contentAt` gets the offset of the text or cipher in the file.
template <class Out>
bool putRecord(Out& out, const PageRecord& r, bool writeScroll, PlaceWindow& window, std::uint64_t& contentAt) {
    using bytes::putI32LE;
    const bool secure = r.isSecure != 0;
    const std::size_t titleLength = cStringLength(r.title);
    std::size_t contentLength = 0;
    const char* content = contentBytes(r, secure, window, contentLength);
    if (!content) return false;
    const std::size_t storedTextLength = secure ? textLength(r) : contentLength;
    // The head and the blocks: at most 24 + 24 + 48 bytes.
    unsigned char head[RECORD_HEAD_SIZE + 8 + BLOCK_SCROLL_PAYLOAD + 8 + BLOCK_SECURE_PAYLOAD] = {};
    putI32LE(head, r.order);
    putI32LE(head + 4, r.parentOrder);
    head[8] = r.isFolder;
    head[9] = r.isExpanded;
    putI32LE(head + 12, static_cast<std::int32_t>(titleLength + 1));
    putI32LE(head + 16, static_cast<std::int32_t>(storedTextLength + 1));
    putI32LE(head + 20, (writeScroll ? 8 + BLOCK_SCROLL_PAYLOAD : 0) + (secure ? 8 + BLOCK_SECURE_PAYLOAD : 0));
    unsigned char* at = head + RECORD_HEAD_SIZE;
    if (writeScroll) {
        const std::int32_t scroll[] = {BLOCK_SCROLL, BLOCK_SCROLL_PAYLOAD, r.scrollH, r.scrollV, r.selStart, r.selEnd};
        for (std::int32_t value : scroll) {
            putI32LE(at, value);
            at += 4;
        }
    }
    if (secure) {
        putI32LE(at, BLOCK_SECURE);
        putI32LE(at + 4, BLOCK_SECURE_PAYLOAD);
        putI32LE(at + 8, 1);
        std::memcpy(at + 12, r.textHash.data(), r.textHash.size());
        putI32LE(at + 44, static_cast<std::int32_t>(contentLength));
        at += 8 + BLOCK_SECURE_PAYLOAD;
    }
    static const char NUL = '\0';
    bool ok =
        out.put(head, static_cast<std::size_t>(at - head)) && out.put(r.title.data(), titleLength) && out.put(&NUL, 1);
    contentAt = out.at;
    if (secure) return ok && out.put(content, contentLength);
    return ok && out.put(content, contentLength) && out.put(&NUL, 1);
}

// `contentAt` (one per record, by table index) gets where each text or cipher went.
template <class Out>
bool putDataFile(Out& out, const PageTable& table, const DataFileHeader& header, const VersionBlock& version,
                 bool writeScroll, const std::vector<int>& sequence, std::vector<std::uint64_t>& contentAt) {
    unsigned char start[VERSION_BLOCK_SIZE + HEADER_SIZE + 4];
    encodeVersionBlock(version, start);
    DataFileHeader fixed = header;
    fixed.reserved20 = 0;
    fixed.extensionSize = static_cast<std::int32_t>(HEADER_EXTENSION_SIZE);
    fixed.extensionFormat = EXTENSION_FORMAT;
    encodeHeader(fixed, start + VERSION_BLOCK_SIZE);
    bytes::putI32LE(start + VERSION_BLOCK_SIZE + HEADER_SIZE, table.count());
    if (!out.put(start, sizeof start)) return false;
    PlaceWindow window;
    contentAt.assign(static_cast<std::size_t>(table.count()), 0);
    for (int index : sequence)
        if (!putRecord(out, table.recordAt(index), writeScroll, window, contentAt[static_cast<std::size_t>(index)]))
            return false;
    return true;
}

// Every text and cipher of the table becomes its place in the file just
// written; the bytes held for changed pages are let go.
void placeContents(PageTable& table, const TextSourcePtr& source, const std::vector<std::uint64_t>& contentAt) {
    table.holdFile(source);
    for (int i = 0; i < table.count(); ++i) {
        PageRecord& r = table.recordAt(i);
        const bool secure = r.isSecure != 0;
        const std::size_t length = secure ? cipherSize(r) : textLength(r);
        if (length == 0) continue;  // an empty text or cipher stays held: there is nothing to read
        r.place = TextPlace{source, contentAt[static_cast<std::size_t>(i)], static_cast<std::uint32_t>(length), secure};
        if (secure)
            std::string().swap(r.cipher);
        else
            std::string().swap(r.text);
    }
}

}  // namespace

std::string buildDataFile(const PageTable& table, const DataFileHeader& header, const VersionBlock& version,
                          bool writeScroll) {
    const std::vector<int> sequence = writeSequence(table);
    std::size_t total = RECORD_LIST_OFFSET;
    for (int index : sequence) total += recordSize(table.recordAt(index), writeScroll);
    std::string bytes;
    bytes.reserve(total);
    StringOut out{bytes};
    std::vector<std::uint64_t> contentAt;
    if (!putDataFile(out, table, header, version, writeScroll, sequence, contentAt)) bytes.clear();
    return bytes;
}

namespace {

bool writeFile(const std::string& path, const VersionBlock& version, bool writeScroll, const PageTable& table,
               const DataFileHeader& header, std::vector<std::uint64_t>& contentAt, std::uint64_t& size) {
    AtomicFileWriter file(path);
    FileOut out(file);
    if (!file.ok() || !putDataFile(out, table, header, version, writeScroll, writeSequence(table), contentAt) ||
        !out.flush())
        return false;
    // Every place is read. A file that is open cannot be replaced, and the target may be
    // one of them under another spelling of its path (another letter case, a short name):
    // every file is closed for the replace, and opened again unless it was replaced (one
    // replaced under another spelling no longer has the size it had, or nothing points at it
    // once the save moves the places).
    const std::vector<const TextSource*> sources = placeFiles(table);
    for (const TextSource* source : sources) source->release();
    const bool ok = file.commit();
    for (const TextSource* source : sources) {
        if (ok && source->path() == path)
            source->retire();
        else
            source->reopen();
    }
    size = out.at;
    return ok;
}

}  // namespace

bool writeDataFile(const std::string& path, const VersionBlock& version, bool writeScroll, const PageTable& table,
                   const DataFileHeader& header) {
    std::vector<std::uint64_t> contentAt;
    std::uint64_t size = 0;
    return writeFile(path, version, writeScroll, table, header, contentAt, size);
}

bool saveDataFile(const std::string& path, const VersionBlock& version, bool writeScroll, PageTable& table,
                  const DataFileHeader& header) {
    std::vector<std::uint64_t> contentAt;
    std::uint64_t size = 0;
    if (!writeFile(path, version, writeScroll, table, header, contentAt, size)) return false;
    // The file is written, and the places point into it (opened now, or at the first read).
    placeContents(table, textSourceAt(path, size), contentAt);
    return true;
}
