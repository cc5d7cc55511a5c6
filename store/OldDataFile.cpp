#include "store/OldDataFile.h"

#include <cstring>

#include "io/TextCodec.h"
#include "store/ByteReader.h"
#include "store/ByteWriter.h"
#include "store/Cp932.h"
#include "store/FileReader.h"

namespace {

bool fail(ReadReport* report, const std::string& what, std::size_t offset) {
    if (report && report->problem.empty()) {
        report->problem = what;
        report->problemOffset = static_cast<std::int64_t>(offset);
    }
    return false;
}

template <class Reader>
bool readOldBook(Reader& in, PageTable& table, ReadReport* report) {
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!in.bytes(first, sizeof first)) return fail(report, "shorter than 32 bytes", 0);
    std::string magic = magicOf(decodeVersionBlock(first));
    if (report) report->magic = magic;
    if (detectDataBytes(first, sizeof first) != DATA_FILE_OLDER)
        return fail(report, "not a file of an older generation (magic \"" + magic + "\")", 0);
    std::int32_t count = bytes::getI32LE(first + 12);
    if (!in.skip(OLD_HEADER_SIZE - VERSION_BLOCK_SIZE)) return fail(report, "the header ends early", in.offset());
    const std::size_t pageHead = 4 + OLD_TITLE_SIZE;
    if (count < 0 || static_cast<std::size_t>(count) > in.remaining() / pageHead)
        return fail(report,
                    "page count " + std::to_string(count) + " cannot fit in the remaining " +
                        std::to_string(in.remaining()) + " bytes",
                    12);
    table.reserve(count);
    for (int i = 0; i < count; ++i) {
        const std::size_t start = in.offset();
        const std::string where = "page " + std::to_string(i) + " (offset " + std::to_string(start) + "): ";
        std::int32_t length = 0;
        PageRecord record;
        if (!in.i32LE(length) || !in.cString(record.title, OLD_TITLE_SIZE))
            return fail(report, where + "the page list ends early", start);
        if (length < 0 || !in.cString(record.text, static_cast<std::size_t>(length)))
            return fail(report, where + "text length " + std::to_string(length) + " runs past the end", in.offset());
        record.order = i;
        record.parentOrder = -1;
        record.isFolder = 0;
        record.isExpanded = 1;
        table.appendRecord(std::move(record));
    }
    // Bytes after the last page are left unread, as after the last record.
    if (report && in.remaining() > 0) {
        report->extraBytes = static_cast<std::int64_t>(in.remaining());
        report->extraOffset = static_cast<std::int64_t>(in.offset());
    }
    return true;
}

template <class Reader>
bool readOldBookInto(Reader& in, PageTable& table, ReadReport* report) {
    table.clear();
    if (readOldBook(in, table, report)) return true;
    table.clear();
    return false;
}

}  // namespace

bool readOldDataFile(const std::string& path, PageTable& table, ReadReport* report) {
    FileReader in;
    FileOpenResult opened = in.open(path);
    if (opened != FileOpenResult::Opened) {
        table.clear();
        if (report) {
            report->missing = opened == FileOpenResult::Missing;
            report->problem = report->missing ? "the file does not exist" : "the file cannot be opened";
        }
        return false;
    }
    return readOldBookInto(in, table, report);
}

bool parseOldDataFile(const void* data, std::size_t size, PageTable& table, ReadReport* report) {
    ByteReader in(data, size);
    return readOldBookInto(in, table, report);
}

namespace {

// Code page 932 text after the page's header: line breaks become \par,
// non-ASCII bytes \'xx escapes.
void appendPlainText(std::string& out, const std::string& text) {
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
            out += "\\par\r\n";
        } else if (cp932::isLeadByte(c) && i + 1 < n) {
            // Both bytes escaped: a trail byte may look like \ { or }.
            cp932::appendRtfEscape(out, c);
            cp932::appendRtfEscape(out, static_cast<unsigned char>(text[++i]));
        } else if (c >= 0x80 || c < 0x20) {
            if (c == '\t')
                out += "\\tab ";
            else
                cp932::appendRtfEscape(out, c);
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(c);
        }
    }
}

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// text[begin, end) after the page's header: a piece that code page 932 holds
// as its bytes, else split in two, down to single characters outside it, each
// unit of which becomes \uN with N signed, as RTF counts, and "?" for readers
// that know no \u (the header's \uc1 says one such character follows).
void appendUnicodeText(std::string& out, const std::u16string& text, std::size_t begin, std::size_t end) {
    std::string bytes;
    if (textcodec::utf16ToCp932(text.substr(begin, end - begin), bytes)) return appendPlainText(out, bytes);
    const bool pair = end - begin == 2 && isHighSurrogate(text[begin]) && isLowSurrogate(text[begin + 1]);
    if (end - begin == 1 || pair) {
        for (std::size_t i = begin; i < end; ++i) {
            const int unit = text[i];
            out += "\\u" + std::to_string(unit < 0x8000 ? unit : unit - 0x10000) + "?";
        }
        return;
    }
    // never between the halves of a surrogate pair or of a CR LF (one \par)
    std::size_t middle = begin + (end - begin) / 2;
    if ((isHighSurrogate(text[middle - 1]) && isLowSurrogate(text[middle])) ||
        (text[middle - 1] == u'\r' && text[middle] == u'\n'))
        ++middle;
    appendUnicodeText(out, text, begin, middle);
    appendUnicodeText(out, text, middle, end);
}

}  // namespace

std::string plainTextToRtf(const std::string& text) {
    std::string out(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_HEAD_LENGTH);
    out.reserve(out.size() + text.size() * 2 + 16);
    if (!text.empty()) out += ' ';
    appendPlainText(out, text);
    out += "\\par\r\n}\r\n";
    return out;
}

std::string plainTextToRtf(const std::u16string& text) {
    std::string cp932;
    if (textcodec::utf16ToCp932(text, cp932)) return plainTextToRtf(cp932);
    std::string out(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_HEAD_LENGTH);
    out.reserve(out.size() + text.size() * 4 + 16);
    out += ' ';
    appendUnicodeText(out, text, 0, text.size());
    out += "\\par\r\n}\r\n";
    return out;
}
