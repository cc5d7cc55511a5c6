#include "search/MemoText.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
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

// Collects characters, pairing the bytes of double-byte characters.
class TextSink {
public:
    TextSink(std::vector<FoldedChar>& out, bool matchCase) : out_(out), matchCase_(matchCase) {}

    // A byte of text; `dbcs` false for a run whose bytes are not code page 932.
    void byte(unsigned char c, bool dbcs) {
        if (lead_) {
            const unsigned char lead = lead_;
            lead_ = 0;
            if (validTrail(c)) return put(foldDouble(lead, c, matchCase_));
            put(ANY_CHARACTER);
        }
        if (c >= 0x80 && !dbcs) return put(ANY_CHARACTER);
        if (cp932::isLeadByte(c)) {
            lead_ = c;
            return;
        }
        put(foldSingle(c, matchCase_));
    }
    void character(FoldedChar c) {
        flush();
        put(c);
    }
    void flush() {
        if (lead_) put(ANY_CHARACTER);
        lead_ = 0;
    }

private:
    void put(FoldedChar c) {
        if (c != DROPPED) out_.push_back(c);
    }
    std::vector<FoldedChar>& out_;
    bool matchCase_;
    unsigned char lead_ = 0;
};

// Groups whose content is never text of the page.
constexpr std::string_view SKIPPED_GROUPS[] = {
    "fonttbl",   "colortbl",          "stylesheet", "info",         "pict",
    "objdata",   "themedata",         "datastore",  "latentstyles", "colorschememapping",
    "listtable", "listoverridetable", "rsidtbl",    "generator",    "xmlnstbl",
    "fontemb",   "fontfile",          "panose",     "falt",         "revtbl"};

// Where rich-edit versions part ways: a picture stands as a blank or as
// nothing, an object as its result's text or as one character, a field's
// result is shown or left out, hidden text is found or not, and the texts of
// headers, footers, notes and the two-part Unicode groups are each shown by
// some and skipped by others. A page holding any of them is never ruled out.
constexpr std::string_view UNSURE_WORDS[] = {
    "pict",   "object",  "field",   "fldrslt", "upr",      "v",          "header", "headerl", "headerr", "headerf",
    "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "shp",    "shpinst", "do",      "txe"};

// Control words are views into the page's RTF: every page of a whole-book search is read
// here, so no word is copied and a comparison looks at the length first.
bool listed(const std::string_view* names, std::size_t count, std::string_view word) {
    for (std::size_t i = 0; i < count; ++i)
        if (word == names[i]) return true;
    return false;
}

bool skippedGroup(std::string_view word) {
    return listed(SKIPPED_GROUPS, sizeof SKIPPED_GROUPS / sizeof *SKIPPED_GROUPS, word);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool unsureWord(std::string_view word, bool hasValue, long value) {
    if (word == "v") return !hasValue || value != 0;  // \v0 ends hidden text
    return listed(UNSURE_WORDS, sizeof UNSURE_WORDS / sizeof *UNSURE_WORDS, word);
}

struct GroupState {
    bool skip = false;
    bool dbcs = true;  // the current font's bytes are code page 932
    int uc = 1;        // fallback characters after \uN
    bool fontTable = false;
};

class RtfReader {
public:
    RtfReader(const std::string& rtf, TextSink& sink, bool matchCase) : s_(rtf), sink_(sink), matchCase_(matchCase) {}

    // False when the RTF cannot be read, or holds what editors show differently.
    bool read() {
        std::vector<GroupState> stack;
        GroupState state;
        while (pos_ < s_.size()) {
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
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            controlSymbol(state, c, firstInGroup);
            return true;
        }
        const std::size_t wordAt = pos_;
        while (pos_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[pos_]))) ++pos_;
        const std::string_view word(s_.data() + wordAt, pos_ - wordAt);
        bool hasValue = false;
        long value = 0;
        if (pos_ < s_.size() && (s_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(s_[pos_])))) {
            const char* start = s_.c_str() + pos_;
            char* end = nullptr;
            value = std::strtol(start, &end, 10);
            pos_ += static_cast<std::size_t>(end - start);
            hasValue = true;
        }
        if (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
        controlWord(state, word, hasValue, value, firstInGroup);
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

    void controlWord(GroupState& state, std::string_view word, bool hasValue, long value, bool firstInGroup) {
        const bool destination = firstInGroup || ignorable_;
        const bool ignorable = ignorable_;
        ignorable_ = false;
        // a picture counts even inside a group that is never text ("\\*\\shppict")
        if (unsureWord(word, hasValue, value) && (!state.skip || word == "pict" || word == "object")) unsure_ = true;
        if (destination && word == "fonttbl") {
            state.fontTable = true;
            return;
        }
        // "\*" marks a group that is never text: field instructions, bookmarks,
        // and whatever a later writer adds
        if ((destination && skippedGroup(word)) || ignorable) {
            state.skip = true;
            return;
        }
        if (word == "bin" && hasValue && value > 0) {
            pos_ += static_cast<std::size_t>(value);
            return;
        }
        if (word == "f" && hasValue) return font(state, static_cast<int>(value));
        if (word == "fcharset" && state.fontTable) {
            if (fontNumber_ >= 0) fontCharsets_[fontNumber_] = static_cast<int>(value);
            return;
        }
        if (word == "ansicpg" && hasValue) {
            defaultDbcs_ = value == 932;
            state.dbcs = defaultDbcs_;
            return;
        }
        if (word == "uc" && hasValue) {
            state.uc = static_cast<int>(value);
            return;
        }
        if (word == "u" && hasValue) {
            const long code = value < 0 ? value + 65536 : value;
            symbol(state, code < 0x80 ? foldSingle(static_cast<unsigned char>(code), matchCase_) : ANY_CHARACTER);
            skipCount_ = state.uc;
            return;
        }
        if (word == "par" || word == "sect" || word == "page" || word == "row") return symbol(state, '\r');
        // a line break: one character that some editors find as a blank
        if (word == "line") return symbol(state, ANY_CHARACTER);
        if (word == "tab") return symbol(state, '\t');
        if (word == "cell" || word == "emdash" || word == "endash" || word == "emspace" || word == "enspace" ||
            word == "qmspace" || word == "bullet" || word == "lquote" || word == "rquote" || word == "ldblquote" ||
            word == "rdblquote")
            return symbol(state, ANY_CHARACTER);
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

    const std::string& s_;
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

bool startsWith(const std::string& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

}  // namespace

std::vector<FoldedChar> foldedMemoText(const std::string& rtf, bool matchCase, bool& ok) {
    std::vector<FoldedChar> out;
    out.reserve(rtf.size() / 4);
    TextSink sink(out, matchCase);
    if (!startsWith(rtf, "{\\rtf")) {
        for (unsigned char c : rtf) sink.byte(c, true);  // the editor takes it as plain text
        sink.flush();
        ok = true;
        return out;
    }
    RtfReader reader(rtf, sink, matchCase);
    ok = reader.read();
    if (!ok) out.clear();
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

bool memoMayContain(const std::string& rtf, const std::string& text, bool matchCase) {
    bool ok = false;
    const std::vector<FoldedChar> needle = foldedSearchText(text, matchCase, ok);
    if (!ok) return true;
    const std::vector<FoldedChar> memo = foldedMemoText(rtf, matchCase, ok);
    if (!ok) return true;
    if (memo.size() < needle.size()) return false;
    const std::size_t last = memo.size() - needle.size();
    for (std::size_t at = 0; at <= last; ++at) {
        std::size_t i = 0;
        while (i < needle.size() && (memo[at + i] == needle[i] || memo[at + i] == ANY_CHARACTER)) ++i;
        if (i == needle.size()) return true;
    }
    return false;
}

}  // namespace search
