#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "io/FileNames.h"

namespace {

// The bytes the platform's path-character test reports as invalid, wildcard
// or separator: the control bytes, the reserved characters < > : " / \ | and
// the wildcards ? *. Everything else, 0x7F and 0x80..0xFF included, is a
// valid character of a long file name.
bool documentedAsReplaced(int c) { return c < 0x20 || (c != 0 && std::strchr("<>:\"/\\|?*", c) != nullptr); }

bool isNameLeadByte(int c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFE); }

TEST(FileNames, EverySingleByteFollowsThePathCharacterTest) {
    for (int c = 0; c < 256; ++c) {
        EXPECT_EQ(documentedAsReplaced(c), filenames::isReplacedInName(static_cast<unsigned char>(c))) << c;
        // alone, as the last byte of a name: a lead byte without its second byte goes too
        std::string name(1, static_cast<char>(c));
        const bool expected = documentedAsReplaced(c) || isNameLeadByte(c);
        EXPECT_EQ(expected, filenames::cleanFileName(name)) << c;
        EXPECT_EQ(expected ? std::string("_") : std::string(1, static_cast<char>(c)), name) << c;
    }
}

TEST(FileNames, CleaningKeepsLineBreaksAndDoubleByteCharacters) {
    const struct {
        const char* in;
        const char* out;
        bool replaced;
    } cases[] = {
        {"a/b:c", "a_b_c", true},
        {"表示ソフト", "表示ソフト", false},  // second bytes 0x5C stay
        {"x*?<>|\"", "x______", true},
        {"a\r\nb", "a\r\nb", false},
        {"a\rb\n", "a_b_", true},
        {"\xB1\xB2\x7F", "\xB1\xB2\x7F", false},                      // half-width kana, DEL
        {"ok\x81", "ok_", true},                                      // a lead byte at the end would eat a separator
        {"a\x81:b\x81/c\xE0", "a__b__c_", true},                      // ... or let ':' and '/' through
        {"\x81\\\x81\x7E\x81\xFC", "\x81\\\x81\x7E\x81\xFC", false},  // whole characters
        {"", "", false},
    };
    for (const auto& c : cases) {
        std::string name = c.in;
        EXPECT_EQ(c.replaced, filenames::cleanFileName(name)) << c.in;
        EXPECT_EQ(c.out, name) << c.in;
    }
}

TEST(FileNames, DeviceNamesAndFullyReplacedNamesGetAPrefix) {
    const struct {
        const char* title;
        const char* base;
    } cases[] = {
        {"CON", "_CON"},
        {"nul", "_nul"},
        {"Com1", "_Com1"},
        {"LPT9", "_LPT9"},
        {"aux.txt", "_aux.txt"},
        {"PRN ", "_PRN "},
        {"COM10", "COM10"},
        {"CONSOLE", "CONSOLE"},
        {"LPT0", "LPT0"},
        {"???", "_???"},
        {"/", "_/"},
        {"a?", "a?"},
        {"_", "_"},
        {"", ""},
        {"メモ", "メモ"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.base, filenames::creatableBase(c.title)) << c.title;
}

TEST(FileNames, TitleExtensionAndDropTypeOfAPath) {
    const struct {
        const char* path;
        const char* title;
        const char* extension;
        int dropType;  // only a lower-case "rtf" is read as RTF
    } cases[] = {
        {"C:\\dir\\note.rtf", "note", "rtf", 2}, {"C:\\表\\表.rtf", "表", "rtf", 2},  // 表 ends in 0x5C
        {"/tmp/x/a.b.RTF", "a.b", "RTF", 1},     {"C:\\dir.rtf\\note", "note", "", 1},
        {"note.log", "note", "log", 1},          {"note.rtf.txt", "note.rtf", "txt", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.title, filenames::titleOfPath(c.path)) << c.path;
        EXPECT_EQ(c.extension, filenames::extensionOf(c.path)) << c.path;
        EXPECT_EQ(c.dropType, filenames::droppedFileType(c.path)) << c.path;
    }
}

}  // namespace
