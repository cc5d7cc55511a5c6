#include "search/MemoText.h"

#include <array>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "io/TextCodec.h"
#include "store/Cp932.h"

namespace search {

namespace {

constexpr FoldedChar PUNCTUATION = 0x20000;  // every mark and space, of either width
constexpr FoldedChar KANA = 0x10000;         // + the katakana's code point, voiceless
constexpr FoldedChar DROPPED = 0;            // voiced marks: left out on both sides

bool validTrail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Katakana code point without its voiced or semi-voiced mark.
std::uint32_t voiceless(std::uint32_t u) {
    if (u >= 0x30AC && u <= 0x30C2 && u % 2 == 0) return u - 1;
    if (u == 0x30C5 || u == 0x30C7 || u == 0x30C9) return u - 1;
    if (u >= 0x30D0 && u <= 0x30DD) return u - (u - 0x30CF) % 3;
    if (u == 0x30F4) return 0x30A6;
    return u;
}

// Half-width katakana 0xA6-0xDD as full-width code points.
const std::uint16_t HALF_KANA[] = {
    0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6,
    0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE,
    0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3};

FoldedChar foldSingle(unsigned char c, bool matchCase) {
    if (c >= 'a' && c <= 'z') return matchCase ? c : c - 0x20;
    if (c < 0x20 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) return c;
    if (c < 0x7F) return PUNCTUATION;
    if (c >= 0xA1 && c <= 0xA5) return PUNCTUATION;
    if (c == 0xDE || c == 0xDF) return DROPPED;
    if (c >= 0xA6 && c <= 0xDD) return KANA + voiceless(HALF_KANA[c - 0xA6]);
    return c;
}

FoldedChar foldDouble(unsigned char lead, unsigned char trail, bool matchCase) {
    const unsigned code = lead << 8 | trail;
    if (lead > 0x84) return code;              // kanji and the rest: as they are
    if (code == 0x815B) return KANA + 0x30FC;  // the long vowel mark
    if (code == 0x814A || code == 0x814B) return DROPPED;
    if (lead == 0x81) return PUNCTUATION;
    if (code >= 0x824F && code <= 0x8258) return '0' + (code - 0x824F);
    if (code >= 0x8260 && code <= 0x8279) return 'A' + (code - 0x8260);
    if (code >= 0x8281 && code <= 0x829A)
        return foldSingle(static_cast<unsigned char>('a' + (code - 0x8281)), matchCase);
    if (code >= 0x829F && code <= 0x82F1) return KANA + voiceless(0x30A1 + (code - 0x829F));  // hiragana
    if (code >= 0x8340 && code <= 0x8396) return KANA + voiceless(0x30A1 + (code - 0x8340) - (trail > 0x7F ? 1 : 0));
    if (!matchCase && code >= 0x83BF && code <= 0x83D6) return code - 0x20;  // Greek
    if (!matchCase && code >= 0x8470 && code <= 0x8491 && code != 0x847F)
        return code - (code > 0x847F ? 0x31 : 0x30);  // Cyrillic
    return code;
}

// foldSingle for every byte, for each way of matching case.
const FoldedChar* singleFolds(bool matchCase) {
    static const auto tables = [] {
        std::array<std::array<FoldedChar, 256>, 2> t{};
        for (int c = 0; c < 256; ++c) {
            t[0][c] = foldSingle(static_cast<unsigned char>(c), false);
            t[1][c] = foldSingle(static_cast<unsigned char>(c), true);
        }
        return t;
    }();
    return tables[matchCase ? 1 : 0].data();
}

// The value of each byte as a hex digit, or -1.
const std::array<std::int8_t, 256> HEX_DIGITS = [] {
    std::array<std::int8_t, 256> digits{};
    for (int c = 0; c < 256; ++c) {
        digits[c] = -1;
        if (c >= '0' && c <= '9') digits[c] = static_cast<std::int8_t>(c - '0');
        if (c >= 'a' && c <= 'f') digits[c] = static_cast<std::int8_t>(c - 'a' + 10);
        if (c >= 'A' && c <= 'F') digits[c] = static_cast<std::int8_t>(c - 'A' + 10);
    }
    return digits;
}();

int hexDigit(char c) { return HEX_DIGITS[static_cast<unsigned char>(c)]; }

// Characters outside code page 932 fold to this plus their UTF-16 unit; a
// character beyond U+FFFF is its two units, on the page as in the search text.
constexpr FoldedChar OUTSIDE = 0x1000000;
constexpr std::uint16_t NO_CODE = 0xFFFF;

// The code page 932 code of each UTF-16 unit (NO_CODE for none): the code the
// code page gives the character, so of two codes for one character (NEC and
// IBM rows) the one typed text gets. Made once, on the first search that
// needs it.
const std::uint16_t* cp932Codes() {
    static const std::vector<std::uint16_t> codes = [] {
        std::vector<std::uint16_t> table(0x10000, NO_CODE);
        for (std::uint16_t c = 0; c < 0x80; ++c) table[c] = c;
        std::string bytes, code;
        std::u16string text;
        const auto add = [&] {
            if (!textcodec::cp932ToUtf16(bytes, text) || text.size() != 1 || table[text[0]] != NO_CODE ||
                !textcodec::utf16ToCp932(text, code))
                return;
            std::uint16_t value = 0;
            for (char b : code) value = static_cast<std::uint16_t>(value << 8 | static_cast<unsigned char>(b));
            table[text[0]] = value;
        };
        for (unsigned first = 0x80; first <= 0xFF; ++first) {
            bytes.assign(1, static_cast<char>(first));
            if (!cp932::isLeadByte(static_cast<unsigned char>(first))) {
                add();
                continue;
            }
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                bytes.resize(1);
                bytes += static_cast<char>(trail);
                if (validTrail(static_cast<unsigned char>(trail))) add();
            }
        }
        return table;
    }();
    return codes.data();
}

bool inRange(char32_t c, char32_t first, char32_t last) { return c >= first && c <= last; }

// Units that code page 932 lacks but whose twin it holds: the width forms and
// their counterparts, and kana the code page has only in another form.
const char16_t TWINS[][2] = {
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00A5, 0xFFE5}, {0x00A6, 0xFFE4},  // ¢￠ £￡ ¥￥ ¦￤
    {0x00AC, 0xFFE2}, {0x00AF, 0xFFE3}, {0xFFE6, 0x20A9}, {0xFFE8, 0x2502},  // ¬￢ ¯￣ ￦₩ ￨│
    {0xFFED, 0x25A0}, {0xFFEE, 0x25CB}, {0x3094, 0x30F4},                    // ￭■ ￮○ ゔヴ
};

char16_t twin(char16_t u) {
    for (const auto& pair : TWINS)
        if (pair[0] == u) return pair[1];
    if (inRange(u, 0xFFE9, 0xFFEC)) return static_cast<char16_t>(u - 0xFFE9 + 0x2190);  // ￩￪￫￬ ←↑→↓
    if (u == 0x3095 || u == 0x3096) return static_cast<char16_t>(u + 0x60);             // ゕゖ ヵヶ
    if (inRange(u, 0x30F7, 0x30FA)) return static_cast<char16_t>(u - 8);                // ヷヸヹヺ ワヰヱヲ
    // half-width Hangul as the compatibility jamo
    if (u == 0xFFA0) return 0x3164;
    if (inRange(u, 0xFFA1, 0xFFBE)) return static_cast<char16_t>(u - 0xFFA1 + 0x3131);
    if (inRange(u, 0xFFC2, 0xFFC7)) return static_cast<char16_t>(u - 0xFFC2 + 0x314F);
    if (inRange(u, 0xFFCA, 0xFFCF)) return static_cast<char16_t>(u - 0xFFCA + 0x3155);
    if (inRange(u, 0xFFD2, 0xFFD7)) return static_cast<char16_t>(u - 0xFFD2 + 0x315B);
    if (inRange(u, 0xFFDA, 0xFFDC)) return static_cast<char16_t>(u - 0xFFDA + 0x3161);
    if (inRange(u, 0x0622, 0x0627) && u != 0x0624 && u != 0x0626) return 0x0627;  // alef with or without hamza
    return u;
}

// Marks and format characters an editor may pass over: combining marks, the
// kana's combining voiced marks, Hebrew and Arabic points, the kashida, zero
// widths and direction marks, the soft hyphen, variation selectors.
bool passedOver(char16_t u) {
    return (inRange(u, 0x0300, 0x036F) && u != 0x0345) || u == 0x3099 || u == 0x309A || inRange(u, 0x0591, 0x05C7) ||
           inRange(u, 0x0610, 0x061A) || inRange(u, 0x064B, 0x065F) || u == 0x0640 || u == 0x0670 ||
           inRange(u, 0x06D6, 0x06ED) || inRange(u, 0x200B, 0x200F) || inRange(u, 0x202A, 0x202E) ||
           inRange(u, 0x2060, 0x206F) || u == 0x00AD || u == 0xFEFF || inRange(u, 0xFE00, 0xFE0F) ||
           inRange(u, 0x180B, 0x180E);
}

// Punctuation and spaces, folded together as the code page's own are.
bool isPunctuation(char16_t u) {
    return inRange(u, 0x00A0, 0x00BF) || inRange(u, 0x2000, 0x206F) || inRange(u, 0x2E00, 0x2E7F) ||
           inRange(u, 0x3000, 0x303F) || u == 0x30A0 || inRange(u, 0xFE10, 0xFE1F) || inRange(u, 0xFE30, 0xFE6F) ||
           u == 0xFF5F || u == 0xFF60;
}

// Letters of scripts whose case pairs are not one simple rule each, and the
// letters whose other case is a character of another kind (ſ and s, µ and Μ,
// the Kelvin sign and k, the iota subscript and Ι): any character when case
// is ignored.
bool caseUnsure(char32_t c) {
    return c == 0x00B5 || c == 0x0345 || c == 0x0130 || c == 0x0131 || c == 0x017F || inRange(c, 0x0180, 0x02AF) ||
           inRange(c, 0x0370, 0x0385) || inRange(c, 0x03CF, 0x03FF) || inRange(c, 0x10A0, 0x10FF) ||
           inRange(c, 0x13A0, 0x13FF) || inRange(c, 0x1C80, 0x1DBF) || c == 0x1E9B || inRange(c, 0x1F00, 0x1FFF) ||
           c == 0x2126 || c == 0x212A || c == 0x212B || c == 0x2132 || c == 0x214E || inRange(c, 0x2C60, 0x2D2F) ||
           inRange(c, 0xA640, 0xA69F) || inRange(c, 0xA720, 0xA7FF) || inRange(c, 0xAB30, 0xABBF) ||
           inRange(c, 0xFB00, 0xFB17) || inRange(c, 0x10400, 0x1044F) || inRange(c, 0x104B0, 0x104FF) ||
           inRange(c, 0x10570, 0x105BF) || inRange(c, 0x10C80, 0x10CFF) || inRange(c, 0x118A0, 0x118FF) ||
           inRange(c, 0x16E40, 0x16E9F) || inRange(c, 0x1E900, 0x1E95F);
}

// The capital of a letter outside code page 932 (the letter itself when it has none).
char16_t capital(char16_t u) {
    const bool even = u % 2 == 0;
    if (u == 0x00C5 || u == 0x00E5) return 0x212B;  // Å as the Ångström sign, which the code page holds
    if (inRange(u, 0x00E0, 0x00FE) && u != 0x00F7) return static_cast<char16_t>(u - 0x20);
    if (u == 0x00FF) return 0x0178;
    if (inRange(u, 0x0100, 0x0137) || inRange(u, 0x014A, 0x0177) || inRange(u, 0x0460, 0x0481) ||
        inRange(u, 0x048A, 0x04BF) || inRange(u, 0x04D0, 0x052F) || inRange(u, 0x1E00, 0x1E95) ||
        inRange(u, 0x1EA0, 0x1EFF))
        return even ? u : static_cast<char16_t>(u - 1);  // the capital on the even unit
    if (inRange(u, 0x0139, 0x0148) || inRange(u, 0x0179, 0x017E) || inRange(u, 0x04C1, 0x04CE))
        return even ? static_cast<char16_t>(u - 1) : u;  // the capital on the odd unit
    if (u == 0x03C2) return 0x03A3;                      // final sigma
    if (u == 0x03AC) return 0x0386;
    if (inRange(u, 0x03AD, 0x03AF)) return static_cast<char16_t>(u - 0x25);
    if (u == 0x03CC) return 0x038C;
    if (u == 0x03CD || u == 0x03CE) return static_cast<char16_t>(u - 0x3F);
    if (u == 0x03CA || u == 0x03CB) return static_cast<char16_t>(u - 0x20);
    if (inRange(u, 0x0450, 0x045F)) return static_cast<char16_t>(u - 0x50);
    if (u == 0x04CF) return 0x04C0;
    if (inRange(u, 0x0561, 0x0586)) return static_cast<char16_t>(u - 0x30);
    if (u == 0x1E9E) return 0x00DF;  // capital sharp s with the small one
    if (inRange(u, 0x2170, 0x217F) || u == 0x2184) return static_cast<char16_t>(u - (u == 0x2184 ? 1 : 0x10));
    if (inRange(u, 0x24D0, 0x24E9)) return static_cast<char16_t>(u - 26);
    if (inRange(u, 0x2C30, 0x2C5F)) return static_cast<char16_t>(u - 0x30);
    return u;
}

// One UTF-16 unit of the page or of the search text, folded as above.
FoldedChar foldUnit(char16_t u, bool matchCase, const std::uint16_t* codes) {
    std::uint16_t code = codes[u];
    if (code == NO_CODE) {
        if (passedOver(u)) return DROPPED;
        u = twin(u);
        if (!matchCase && caseUnsure(u)) return ANY_CHARACTER;
        if (!matchCase) u = capital(u);
        code = codes[u];
        if (code == NO_CODE) return isPunctuation(u) ? PUNCTUATION : OUTSIDE + u;
    }
    return code < 0x100 ? singleFolds(matchCase)[code]
                        : foldDouble(static_cast<unsigned char>(code >> 8), code & 0xFF, matchCase);
}

// Collects characters, pairing the bytes of double-byte characters, into a
// buffer of at least one place for each byte of the page.
class TextSink {
public:
    TextSink(FoldedChar* out, bool matchCase)
        : start_(out), out_(out), single_(singleFolds(matchCase)), matchCase_(matchCase) {}

    std::size_t count() const { return static_cast<std::size_t>(out_ - start_); }

    // A byte of text; `dbcs` false for a run whose bytes are not code page 932.
    void byte(unsigned char c, bool dbcs) { out_ = fold(out_, c, dbcs); }

    // Text bytes and their escapes from `at` up to anything else (a brace, a control
    // word, an escape that cannot be read): most of a page is read here. Returns where
    // it stopped.
    const char* run(const char* at, const char* end, bool dbcs) {
        FoldedChar* out = out_;
        while (at < end) {
            unsigned char c = static_cast<unsigned char>(*at);
            if (c == '\\') {
                if (end - at < 4 || at[1] != '\'') break;
                const int high = hexDigit(at[2]), low = hexDigit(at[3]);
                if (high < 0 || low < 0) break;
                c = static_cast<unsigned char>(high * 16 + low);
                at += 4;
            } else if (c == '{' || c == '}') {
                break;
            } else if (++at, c == '\r' || c == '\n') {
                continue;
            }
            out = fold(out, c, dbcs);
        }
        out_ = out;
        return at;
    }
    void character(FoldedChar c) {
        flush();
        out_ = put(out_, c);
    }
    void flush() {
        if (lead_) out_ = put(out_, ANY_CHARACTER);
        lead_ = 0;
    }

private:
    FoldedChar* fold(FoldedChar* out, unsigned char c, bool dbcs) {
        if (lead_) {
            const unsigned char lead = lead_;
            lead_ = 0;
            if (validTrail(c)) return put(out, foldDouble(lead, c, matchCase_));
            out = put(out, ANY_CHARACTER);
        }
        if (c >= 0x80) {
            if (!dbcs) return put(out, ANY_CHARACTER);
            if (cp932::isLeadByte(c)) {
                lead_ = c;
                return out;
            }
        }
        return put(out, single_[c]);
    }
    static FoldedChar* put(FoldedChar* out, FoldedChar c) {
        *out = c;
        return c == DROPPED ? out : out + 1;
    }
    FoldedChar* start_;
    FoldedChar* out_;
    const FoldedChar* single_;
    bool matchCase_;
    unsigned char lead_ = 0;
};

// What a control word does to the reading.
enum class Action : std::uint8_t { NONE, FONT_TABLE, BIN, FONT, CHARSET, CODE_PAGE, UC, U, HIDDEN, BREAK, TAB, ANY };
constexpr std::uint8_t SKIPPED = 1;  // a group whose content is never text of the page
// Where rich-edit versions part ways: a picture stands as a blank or as
// nothing, an object as its result's text or as one character, a field's
// result is shown or left out, hidden text is found or not, and the texts of
// headers, footers, notes and the two-part Unicode groups are each shown by
// some and skipped by others. A page holding any of them is never ruled out.
constexpr std::uint8_t UNSURE = 2;
constexpr std::uint8_t PICTURE = 4;  // unsure even inside a group that is never text ("\\*\\shppict")

struct WordEntry {
    std::string_view name;
    Action action;
    std::uint8_t flags;
};

constexpr WordEntry WORDS[] = {
    {"fonttbl", Action::FONT_TABLE, 0},
    {"colortbl", Action::NONE, SKIPPED},
    {"stylesheet", Action::NONE, SKIPPED},
    {"info", Action::NONE, SKIPPED},
    {"pict", Action::NONE, SKIPPED | UNSURE | PICTURE},
    {"objdata", Action::NONE, SKIPPED},
    {"themedata", Action::NONE, SKIPPED},
    {"datastore", Action::NONE, SKIPPED},
    {"latentstyles", Action::NONE, SKIPPED},
    {"colorschememapping", Action::NONE, SKIPPED},
    {"listtable", Action::NONE, SKIPPED},
    {"listoverridetable", Action::NONE, SKIPPED},
    {"rsidtbl", Action::NONE, SKIPPED},
    {"generator", Action::NONE, SKIPPED},
    {"xmlnstbl", Action::NONE, SKIPPED},
    {"fontemb", Action::NONE, SKIPPED},
    {"fontfile", Action::NONE, SKIPPED},
    {"panose", Action::NONE, SKIPPED},
    {"falt", Action::NONE, SKIPPED},
    {"revtbl", Action::NONE, SKIPPED},
    {"object", Action::NONE, UNSURE | PICTURE},
    {"field", Action::NONE, UNSURE},
    {"fldrslt", Action::NONE, UNSURE},
    {"upr", Action::NONE, UNSURE},
    {"v", Action::HIDDEN, 0},  // \v0 ends hidden text
    {"header", Action::NONE, UNSURE},
    {"headerl", Action::NONE, UNSURE},
    {"headerr", Action::NONE, UNSURE},
    {"headerf", Action::NONE, UNSURE},
    {"footer", Action::NONE, UNSURE},
    {"footerl", Action::NONE, UNSURE},
    {"footerr", Action::NONE, UNSURE},
    {"footerf", Action::NONE, UNSURE},
    {"footnote", Action::NONE, UNSURE},
    {"annotation", Action::NONE, UNSURE},
    {"shp", Action::NONE, UNSURE},
    {"shpinst", Action::NONE, UNSURE},
    {"do", Action::NONE, UNSURE},
    {"txe", Action::NONE, UNSURE},
    {"bin", Action::BIN, 0},
    {"f", Action::FONT, 0},
    {"fcharset", Action::CHARSET, 0},
    {"ansicpg", Action::CODE_PAGE, 0},
    {"uc", Action::UC, 0},
    {"u", Action::U, 0},
    {"par", Action::BREAK, 0},
    {"sect", Action::BREAK, 0},
    {"page", Action::BREAK, 0},
    {"row", Action::BREAK, 0},
    {"line", Action::ANY, 0},  // a line break: one character that some editors find as a blank
    {"tab", Action::TAB, 0},
    {"cell", Action::ANY, 0},
    {"emdash", Action::ANY, 0},
    {"endash", Action::ANY, 0},
    {"emspace", Action::ANY, 0},
    {"enspace", Action::ANY, 0},
    {"qmspace", Action::ANY, 0},
    {"bullet", Action::ANY, 0},
    {"lquote", Action::ANY, 0},
    {"rquote", Action::ANY, 0},
    {"ldblquote", Action::ANY, 0},
    {"rdblquote", Action::ANY, 0},
};

// Every page of a whole-book search is read here: the words are views into the page's
// RTF, looked up among those sharing their first letter.
const WordEntry& lookUp(std::string_view word) {
    static const WordEntry none{"", Action::NONE, 0};
    static const auto byLetter = [] {
        std::array<std::vector<WordEntry>, 26> lists;
        for (const WordEntry& entry : WORDS) lists[static_cast<std::size_t>(entry.name[0] - 'a')].push_back(entry);
        return lists;
    }();
    if (word[0] < 'a' || word[0] > 'z') return none;
    for (const WordEntry& entry : byLetter[static_cast<std::size_t>(word[0] - 'a')])
        if (entry.name == word) return entry;
    return none;
}

bool isLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// A control word's number as strtol reads it: clamped to the range of a long; a lone
// minus sign is 0 and not consumed.
long readNumber(std::string_view s, std::size_t& pos) {
    const bool negative = s[pos] == '-';
    std::size_t at = pos + (negative ? 1 : 0);
    if (at >= s.size() || !isDigit(static_cast<unsigned char>(s[at]))) return 0;
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long>::max()) + (negative ? 1 : 0);
    unsigned long long magnitude = 0;
    bool over = false;
    for (; at < s.size() && isDigit(static_cast<unsigned char>(s[at])); ++at) {
        const unsigned digit = static_cast<unsigned>(s[at] - '0');
        if (!over && magnitude > (limit - digit) / 10) over = true;
        if (!over) magnitude = magnitude * 10 + digit;
    }
    pos = at;
    if (over) magnitude = limit;
    if (!negative) return static_cast<long>(magnitude);
    return magnitude == limit ? std::numeric_limits<long>::min() : -static_cast<long>(magnitude);
}

struct GroupState {
    bool skip = false;
    bool dbcs = true;  // the current font's bytes are code page 932
    int uc = 1;        // fallback characters after \uN
    bool fontTable = false;
};

class RtfReader {
public:
    RtfReader(std::string_view rtf, TextSink& sink, bool matchCase) : s_(rtf), sink_(sink), matchCase_(matchCase) {}

    // False when the RTF cannot be read, or holds what editors show differently.
    bool read() {
        std::vector<GroupState> stack;
        GroupState state;
        const std::size_t size = s_.size();
        while (pos_ < size) {
            const unsigned char c = static_cast<unsigned char>(s_[pos_]);
            if (c == '{') {
                ++pos_;
                skipCount_ = 0;  // fallback characters end with their group
                stack.push_back(state);
                firstInGroup_ = true;
                continue;
            }
            if (c == '}') {
                ++pos_;
                if (stack.empty()) return false;
                state = stack.back();
                skipCount_ = 0;
                stack.pop_back();
                firstInGroup_ = false;
                continue;
            }
            const bool first = firstInGroup_;
            firstInGroup_ = false;
            if (skipCount_ == 0 && !state.skip && !state.fontTable && textRun(state)) continue;
            if (c == '\\') {
                if (!control(state, first)) return false;
                continue;
            }
            ++pos_;
            if (c == '\r' || c == '\n') continue;
            text(state, c);
        }
        sink_.flush();
        return stack.empty() && !unsure_;
    }

private:
    // Text in a group that shows it, read by the sink; false when there was none.
    bool textRun(const GroupState& state) {
        const char* const start = s_.data() + pos_;
        const char* const stop = sink_.run(start, s_.data() + s_.size(), state.dbcs);
        pos_ = static_cast<std::size_t>(stop - s_.data());
        return stop != start;
    }

    void text(const GroupState& state, unsigned char c) {
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        if (state.fontTable) {
            if (c == ';') fontNumber_ = -1;
            return;
        }
        if (!state.skip) sink_.byte(c, state.dbcs);
    }

    void symbol(const GroupState& state, FoldedChar c) {
        if (skipCount_ > 0) {
            --skipCount_;
            return;
        }
        if (!state.skip && !state.fontTable) sink_.character(c);
    }

    bool control(GroupState& state, bool firstInGroup) {
        ++pos_;  // the backslash
        if (pos_ >= s_.size()) return false;
        const char c = s_[pos_];
        if (c == '\'') {
            if (pos_ + 2 >= s_.size()) return false;
            const int high = hexDigit(s_[pos_ + 1]), low = hexDigit(s_[pos_ + 2]);
            pos_ += 3;
            if (high < 0 || low < 0) return false;
            text(state, static_cast<unsigned char>(high * 16 + low));
            return true;
        }
        if (!isLetter(static_cast<unsigned char>(c))) {
            ++pos_;
            controlSymbol(state, c, firstInGroup);
            return true;
        }
        const std::size_t wordAt = pos_;
        while (pos_ < s_.size() && isLetter(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        const std::string_view word = s_.substr(wordAt, pos_ - wordAt);
        bool hasValue = false;
        long value = 0;
        if (pos_ < s_.size() && (s_[pos_] == '-' || isDigit(static_cast<unsigned char>(s_[pos_])))) {
            value = readNumber(s_, pos_);
            hasValue = true;
        }
        if (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        controlWord(state, lookUp(word), hasValue, value, firstInGroup);
        return true;
    }

    void controlSymbol(GroupState& state, char c, bool firstInGroup) {
        switch (c) {
            case '*':
                ignorable_ = firstInGroup;
                return;
            case '\\':
            case '{':
            case '}':
                text(state, static_cast<unsigned char>(c));
                return;
            case '~':
            case '_':
                symbol(state, ANY_CHARACTER);
                return;
            default:
                return;  // \- optional hyphen, \| \: and the like
        }
    }

    void controlWord(GroupState& state, const WordEntry& word, bool hasValue, long value, bool firstInGroup) {
        const bool destination = firstInGroup || ignorable_;
        const bool ignorable = ignorable_;
        ignorable_ = false;
        const bool unsure = (word.flags & UNSURE) || (word.action == Action::HIDDEN && (!hasValue || value != 0));
        if (unsure && (!state.skip || (word.flags & PICTURE))) unsure_ = true;
        if (destination && word.action == Action::FONT_TABLE) {
            state.fontTable = true;
            return;
        }
        // "\*" marks a group that is never text: field instructions, bookmarks,
        // and whatever a later writer adds
        if ((destination && (word.flags & SKIPPED)) || ignorable) {
            state.skip = true;
            return;
        }
        valued(state, word.action, hasValue, value);
    }

    void valued(GroupState& state, Action action, bool hasValue, long value) {
        switch (action) {
            case Action::BIN:
                if (hasValue && value > 0) pos_ += static_cast<std::size_t>(value);
                return;
            case Action::FONT:
                if (hasValue) font(state, static_cast<int>(value));
                return;
            case Action::CHARSET:
                if (state.fontTable && fontNumber_ >= 0) fontCharsets_[fontNumber_] = static_cast<int>(value);
                return;
            case Action::CODE_PAGE:
                if (!hasValue) return;
                defaultDbcs_ = value == 932;
                state.dbcs = defaultDbcs_;
                return;
            case Action::UC:
                if (hasValue) state.uc = static_cast<int>(value);
                return;
            case Action::U:
                if (!hasValue) return;
                {
                    const long unit = value < 0 ? value + 65536 : value;
                    symbol(state, unit >= 0 && unit <= 0xFFFF ? unicode(static_cast<char16_t>(unit)) : ANY_CHARACTER);
                }
                skipCount_ = state.uc;
                return;
            case Action::BREAK:
                return symbol(state, '\r');
            case Action::TAB:
                return symbol(state, '\t');
            case Action::ANY:
                return symbol(state, ANY_CHARACTER);
            default:
                return;
        }
    }

    // A \uN character: ASCII as its byte, the rest by the code page's table.
    FoldedChar unicode(char16_t unit) {
        if (unit < 0x80) return foldSingle(static_cast<unsigned char>(unit), matchCase_);
        if (!codes_) codes_ = cp932Codes();
        return foldUnit(unit, matchCase_, codes_);
    }

    void font(GroupState& state, int number) {
        if (state.fontTable) {
            fontNumber_ = number;
            fontCharsets_[number] = 1;  // until \fcharset says otherwise
            return;
        }
        const auto found = fontCharsets_.find(number);
        const int charset = found == fontCharsets_.end() ? 1 : found->second;
        // 128: Shift-JIS; 1: the default character set, which the book's code page decides
        state.dbcs = charset == 128 || (charset == 1 && defaultDbcs_);
    }

    std::string_view s_;
    TextSink& sink_;
    bool matchCase_;
    std::size_t pos_ = 0;
    bool firstInGroup_ = false;
    bool ignorable_ = false;
    bool unsure_ = false;
    int skipCount_ = 0;
    int fontNumber_ = -1;
    bool defaultDbcs_ = true;
    std::unordered_map<int, int> fontCharsets_;
    const std::uint16_t* codes_ = nullptr;
};

// The folded text into `out`; false when the RTF cannot be read.
bool foldInto(std::string_view rtf, bool matchCase, std::vector<FoldedChar>& out) {
    out.resize(rtf.size() + 1);  // never more characters than bytes
    TextSink sink(out.data(), matchCase);
    bool ok = true;
    if (rtf.substr(0, 5) != "{\\rtf") {
        for (unsigned char c : rtf) sink.byte(c, true);  // the editor takes it as plain text
        sink.flush();
    } else {
        ok = RtfReader(rtf, sink, matchCase).read();
    }
    out.resize(ok ? sink.count() : 0);
    return ok;
}

}  // namespace

std::vector<FoldedChar> foldedMemoText(std::string_view rtf, bool matchCase, bool& ok) {
    std::vector<FoldedChar> out;
    ok = foldInto(rtf, matchCase, out);
    return out;
}

std::vector<FoldedChar> foldedSearchText(const std::string& text, bool matchCase, bool& ok) {
    std::vector<FoldedChar> out;
    ok = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        FoldedChar f;
        if (cp932::isLeadByte(c)) {
            if (i + 1 >= text.size() || !validTrail(static_cast<unsigned char>(text[i + 1]))) return {};
            f = foldDouble(c, static_cast<unsigned char>(text[++i]), matchCase);
        } else {
            if (c < 0x20 && c != '\t') return {};
            f = foldSingle(c, matchCase);
        }
        if (f != DROPPED) out.push_back(f);
    }
    ok = !out.empty();
    return out;
}

std::vector<FoldedChar> foldedSearchText(const std::u16string& text, bool matchCase, bool& ok) {
    std::vector<FoldedChar> out;
    ok = false;
    const std::uint16_t* codes = cp932Codes();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u < 0x20 && u != u'\t') return {};
        const bool pair = inRange(u, 0xD800, 0xDBFF) && i + 1 < text.size() && inRange(text[i + 1], 0xDC00, 0xDFFF);
        if (pair && !matchCase &&
            caseUnsure(0x10000 + (static_cast<char32_t>(u - 0xD800) << 10) + (text[i + 1] - 0xDC00))) {
            out.insert(out.end(), 2, ANY_CHARACTER);  // a cased letter beyond U+FFFF: either unit may be any
            ++i;
            continue;
        }
        const FoldedChar f = foldUnit(u, matchCase, codes);
        if (f != DROPPED) out.push_back(f);
    }
    ok = !out.empty();
    return out;
}

namespace {

// The search text folded once for all the pages of a whole-book search.
template <class Text>
class FoldedNeedle {
public:
    // The folded text, or null when it cannot be folded (the editor decides).
    const std::vector<FoldedChar>* of(const Text& text, bool matchCase) {
        if (!made_ || matchCase != matchCase_ || text != text_) {
            text_ = text;
            matchCase_ = matchCase;
            folded_ = foldedSearchText(text, matchCase, ok_);
            made_ = true;
        }
        return ok_ ? &folded_ : nullptr;
    }

private:
    Text text_;
    bool matchCase_ = false;
    bool made_ = false;
    bool ok_ = false;
    std::vector<FoldedChar> folded_;
};

// Whether `needle` is at some place of `memo`; ANY_CHARACTER on the page, and
// with `needleAny` in the search text too, matches every character.
template <bool needleAny>
bool holds(const std::vector<FoldedChar>& memo, const std::vector<FoldedChar>& needle) {
    if (memo.size() < needle.size()) return false;
    const std::size_t last = memo.size() - needle.size();
    for (std::size_t at = 0; at <= last; ++at) {
        std::size_t i = 0;
        while (i < needle.size() && (memo[at + i] == needle[i] || memo[at + i] == ANY_CHARACTER ||
                                     (needleAny && needle[i] == ANY_CHARACTER)))
            ++i;
        if (i == needle.size()) return true;
    }
    return false;
}

bool pageMayHold(std::string_view rtf, const std::vector<FoldedChar>* needle, bool matchCase) {
    if (!needle) return true;
    thread_local std::vector<FoldedChar> memo;  // a whole-book search reads every page into it
    const bool ok = foldInto(rtf, matchCase, memo);
    bool needleAny = false;
    for (FoldedChar c : *needle) needleAny = needleAny || c == ANY_CHARACTER;
    const bool may = !ok || (needleAny ? holds<true>(memo, *needle) : holds<false>(memo, *needle));
    if (memo.capacity() > 1024 * 1024) std::vector<FoldedChar>().swap(memo);  // a very long page is let go
    return may;
}

}  // namespace

bool memoMayContain(std::string_view rtf, const std::string& text, bool matchCase) {
    thread_local FoldedNeedle<std::string> needle;
    return pageMayHold(rtf, needle.of(text, matchCase), matchCase);
}

bool memoMayContain(std::string_view rtf, const std::u16string& text, bool matchCase) {
    thread_local FoldedNeedle<std::u16string> needle;
    return pageMayHold(rtf, needle.of(text, matchCase), matchCase);
}

}  // namespace search
