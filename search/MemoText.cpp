#include "search/MemoText.h"

#include <array>
#include <limits>
#include <string_view>
#include <unordered_map>

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
                    const long code = value < 0 ? value + 65536 : value;
                    symbol(state,
                           code < 0x80 ? foldSingle(static_cast<unsigned char>(code), matchCase_) : ANY_CHARACTER);
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

bool memoMayContain(std::string_view rtf, const std::string& text, bool matchCase) {
    bool ok = false;
    const std::vector<FoldedChar> needle = foldedSearchText(text, matchCase, ok);
    if (!ok) return true;
    thread_local std::vector<FoldedChar> memo;  // a whole-book search reads every page into it
    ok = foldInto(rtf, matchCase, memo);
    bool may = !ok;
    if (ok && memo.size() >= needle.size()) {
        const std::size_t last = memo.size() - needle.size();
        for (std::size_t at = 0; at <= last && !may; ++at) {
            std::size_t i = 0;
            while (i < needle.size() && (memo[at + i] == needle[i] || memo[at + i] == ANY_CHARACTER)) ++i;
            may = i == needle.size();
        }
    }
    if (memo.capacity() > 1024 * 1024) std::vector<FoldedChar>().swap(memo);  // a very long page is let go
    return may;
}

}  // namespace search
