// The version block and the 288-byte header, field by field.
#include "store/DataFile.h"

#include <cstring>

#include "store/ByteWriter.h"

namespace {

// ＭＳ ゴシック in code page 932, spelled out so that it does not depend on
// the compiler's execution character set.
constexpr char DEFAULT_FONT_FACE[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";

}  // namespace

VersionBlock makeVersionBlock(SaveKind kind, std::int32_t bookNumber) {
    VersionBlock version;
    std::memcpy(version.magic, CURRENT_MAGIC, sizeof CURRENT_MAGIC);
    version.saveKind = static_cast<std::int32_t>(kind);
    version.bookNumber = bookNumber;
    return version;
}

std::string magicOf(const VersionBlock& version) {
    const void* nul = std::memchr(version.magic, 0, MAGIC_SIZE);
    std::size_t length = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - version.magic) : MAGIC_SIZE;
    return std::string(version.magic, length);
}

void encodeVersionBlock(const VersionBlock& version, unsigned char out[VERSION_BLOCK_SIZE]) {
    std::memset(out, 0, VERSION_BLOCK_SIZE);
    std::memcpy(out, version.magic, MAGIC_SIZE);
    bytes::putI32LE(out + 12, version.saveKind);
    bytes::putI32LE(out + 16, version.bookNumber);
}

VersionBlock decodeVersionBlock(const unsigned char in[VERSION_BLOCK_SIZE]) {
    VersionBlock version;
    std::memcpy(version.magic, in, MAGIC_SIZE);
    version.saveKind = bytes::getI32LE(in + 12);
    version.bookNumber = bytes::getI32LE(in + 16);
    return version;
}

DataFileHeader newFileHeader() {
    DataFileHeader header;
    header.customWindowColour = 0xC0C0C0;
    header.noWrap = 1;
    header.urlDetection = 1;
    header.standardFontHeight = STANDARD_FONT_HEIGHT_DEFAULT;
    std::memcpy(header.standardFontFace, DEFAULT_FONT_FACE, sizeof DEFAULT_FONT_FACE);
    header.textLimit = 0x20000;
    header.extensionSize = static_cast<std::int32_t>(HEADER_EXTENSION_SIZE);
    header.extensionFormat = EXTENSION_FORMAT;
    header.listBackColour = 0xFFFFFF;
    header.memoBackColour = 0xFFFFFF;
    return header;
}

void encodeHeader(const DataFileHeader& h, unsigned char out[HEADER_SIZE]) {
    using namespace bytes;
    std::memset(out, 0, HEADER_SIZE);
    putI32LE(out + 0, h.bookmark);
    putI32LE(out + 4, h.windowColourIndex);
    putU32LE(out + 8, h.customWindowColour);
    out[12] = h.listLines;
    out[13] = h.noWrap;
    out[14] = h.urlDetection;
    out[15] = h.copyAsText;
    out[16] = h.pasteAsText;
    putI32LE(out + 20, h.reserved20);
    putI32LE(out + 24, h.standardFontHeight);
    std::memcpy(out + 28, h.standardFontFace, 32);
    std::memcpy(out + 60, h.reserved60, 32);
    putI32LE(out + 92, h.reserved92);
    putU32LE(out + 96, h.standardFontColour);
    putI32LE(out + 100, h.textLimit);
    putI32LE(out + 104, h.extensionSize);
    putI32LE(out + 108, h.extensionFormat);
    putU32LE(out + 112, h.listTextColour);
    putU32LE(out + 116, h.listBackColour);
    putU32LE(out + 120, h.memoBackColour);
    putI32LE(out + 124, h.passwordRegistered);
    std::memcpy(out + 128, h.checkValue, 128);
    std::memcpy(out + 256, h.salt, 32);
}

DataFileHeader decodeHeader(const unsigned char in[HEADER_SIZE]) {
    using namespace bytes;
    DataFileHeader h;
    h.bookmark = getI32LE(in + 0);
    h.windowColourIndex = getI32LE(in + 4);
    h.customWindowColour = getU32LE(in + 8);
    h.listLines = in[12];
    h.noWrap = in[13];
    h.urlDetection = in[14];
    h.copyAsText = in[15];
    h.pasteAsText = in[16];
    h.reserved20 = getI32LE(in + 20);
    h.standardFontHeight = getI32LE(in + 24);
    std::memcpy(h.standardFontFace, in + 28, 32);
    std::memcpy(h.reserved60, in + 60, 32);
    h.reserved92 = getI32LE(in + 92);
    h.standardFontColour = getU32LE(in + 96);
    h.textLimit = getI32LE(in + 100);
    h.extensionSize = getI32LE(in + 104);
    h.extensionFormat = getI32LE(in + 108);
    h.listTextColour = getU32LE(in + 112);
    h.listBackColour = getU32LE(in + 116);
    h.memoBackColour = getU32LE(in + 120);
    h.passwordRegistered = getI32LE(in + 124);
    std::memcpy(h.checkValue, in + 128, 128);
    std::memcpy(h.salt, in + 256, 32);
    return h;
}

std::string fontFaceOf(const DataFileHeader& header) {
    const char* face = header.standardFontFace;
    const void* nul = std::memchr(face, 0, sizeof header.standardFontFace);
    return std::string(face, nul ? static_cast<const char*>(nul) - face : sizeof header.standardFontFace);
}

void setFontFace(DataFileHeader& header, const std::string& face) {
    std::memset(header.standardFontFace, 0, sizeof header.standardFontFace);
    // Keeps a terminating NUL, as the face is used as a C string.
    std::size_t length =
        face.size() < sizeof header.standardFontFace ? face.size() : sizeof header.standardFontFace - 1;
    std::memcpy(header.standardFontFace, face.data(), length);
}

void clearPasswordRegistration(DataFileHeader& header) {
    header.passwordRegistered = 0;
    std::memset(header.checkValue, 0, sizeof header.checkValue);
    std::memset(header.salt, 0, sizeof header.salt);
}
