// Text inside the program is UTF-16; code page 932 and the files' encodings at the edge.
#include <gtest/gtest.h>

#include <string>

#include "io/TextCodec.h"

namespace {

TEST(TextCodec, ACharacterFitsCodePage932OnlyWhenItReadsBackAsItself) {
    const struct {
        std::u16string text;
        const char* bytes;  // null: does not fit
    } cases[] = {
        {u"表", "\x95\x5c"},  {u"ｱ", "\xb1"},     {u"①", "\x87\x40"}, {u"～", "\x81\x60"},
        {u"\\~", "\\~"},      {u"≒", "\x81\xe0"},  // of its two codes, the one typed text gets
        {u"é", nullptr},      {u"ß", nullptr},    {u"🍣", nullptr},    {u"𠮷", nullptr},
        {u"한", nullptr},     {u"简", nullptr},   {u"¥", nullptr},    {u"〜", nullptr},  // no look-alikes
        {u"\xD83C", nullptr},                                                            // half a surrogate pair
    };
    for (const auto& c : cases) {
        std::string bytes;
        EXPECT_EQ(c.bytes != nullptr, textcodec::utf16ToCp932(c.text, bytes)) << c.bytes;
        EXPECT_EQ(c.bytes ? c.bytes : "", bytes);
        const std::u16string around = u"a\u8868" + c.text + u"\u00E9";  // a表…é
        EXPECT_EQ(c.bytes ? around.size() - 1 : 2u, textcodec::firstOutsideCp932(around));
        std::u16string back;
        EXPECT_EQ(c.bytes != nullptr, textcodec::cp932ToUtf16(bytes, back) && back == c.text);
    }
}

TEST(TextCodec, TextFilesAreReadByTheirMarkOrTheirForm) {
    const struct {
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"", u""},
        {"plain", u"plain"},
        {"\x95\x5c\x8e\xa6", u"表示"},                                // code page 932
        {"\xE8\xA1\xA8\xF0\x9F\x8D\xA3", u"表🍣"},                     // UTF-8 without a mark
        {"\xEF\xBB\xBF\xC3\xA9z", u"éz"},                             // UTF-8 with its mark
        {"\xEF\xBB\xBF\xE6\x97x", u"\uFFFD\uFFFDx"},                  // with a cut character
        {"\xFF\xFE\x3C\xD8\x63\xDFz", u"🍣"},                          // UTF-16LE, odd byte dropped
        {std::string("\xFE\xFF\xD8\x3C\xDF\x63\0z", 8), u"🍣z"},       // UTF-16BE
        {"a\xA0\x85\x40\n\x95\x5c\x82", u"a\uFFFD\uFFFD\n表\uFFFD"},  // bytes that are no character
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, textcodec::decodeTextFile(c.bytes)) << c.bytes;
}

TEST(TextCodec, TextIsWrittenInCodePage932WhenItFitsElseInUtf8) {
    const struct {
        std::u16string text;
        std::string bytes;
        bool utf8;
    } cases[] = {
        {u"", "", false},
        {u"表z\r\n", "\x95\x5cz\r\n", false},
        {u"é表", "\xEF\xBB\xBF\xC3\xA9\xE8\xA1\xA8", true},
        {u"x\xD83C", "\xEF\xBB\xBFx\xEF\xBF\xBD", true},  // half a pair becomes U+FFFD
    };
    for (const auto& c : cases) {
        bool utf8 = !c.utf8;
        EXPECT_EQ(c.bytes, textcodec::encodeTextFile(c.text, utf8));
        EXPECT_EQ(c.utf8, utf8);
    }
    // an overlong form is no UTF-8
    EXPECT_EQ(u"\uFFFD\uFFFD\U0001F363", textcodec::utf8ToUtf16("\xC0\xAF\xF0\x9F\x8D\xA3"));
}

}  // namespace
