#include "editor/RtfUnicode.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "io/TextCodec.h"
#include "store/Cp932.h"

namespace rtfunicode {

namespace {

// One character of the RTF's text and the bytes that wrote it.
struct Unit {
    char16_t c;
    std::size_t begin, end;
    int fallback;  // \ucN in force there
};

// Groups whose content is not text.
bool isDestination(const std::string& word) {
    static const char* const WORDS[] = {"fonttbl", "colortbl", "stylesheet", "info",     "pict",  "object",
                                        "fldinst", "listtable", "listoverridetable", "themedata", "header",
                                        "footer",  "pntext",   "pntxta",   "pntxtb",   "xmlnstbl", "latentstyles"};
    for (const char* w : WORDS)
        if (word == w) return true;
    return false;
}

char16_t decodedByte(const std::string& bytes) {
    std::u16string out;
    return textcodec::cp932ToUtf16(bytes, out) && out.size() == 1 ? out[0] : char16_t(0xFFFD);
}

class Reader {
public:
    explicit Reader(const std::string& rtf) : s_(rtf) {}

    // The text units of the document, false when the RTF cannot be read.
    bool read(std::vector<Unit>& units) {
        struct Group {
            bool skip;
            int uc;
        };
        std::vector<Group> groups{{false, 1}};
        int skipFallback = 0;
        while (at_ < s_.size()) {
            const std::size_t begin = at_;
            const char c = s_[at_];
            Group& g = groups.back();
            if (c == '{') {
                groups.push_back(g);
                ++at_;
                continue;
            }
            if (c == '}') {
                if (groups.size() == 1) return false;
                groups.pop_back();
                ++at_;
                continue;
            }
            if (c == '\r' || c == '\n' || c == '\0') {
                ++at_;
                continue;
            }
            char16_t unit = 0;
            bool produced = false;
            if (c == '\\') {
                if (!controlAt(g.skip, g.uc, unit, produced, groups.size() > 1 ? &g.skip : nullptr))
                    return false;
            } else {
                std::string bytes(1, c);
                if (cp932::isLeadByte(static_cast<unsigned char>(c)) && at_ + 1 < s_.size()) bytes += s_[++at_];
                ++at_;
                unit = static_cast<unsigned char>(c) < 0x80 ? char16_t(static_cast<unsigned char>(c)) : decodedByte(bytes);
                produced = true;
            }
            if (!produced || g.skip) continue;
            if (skipFallback > 0) {  // the fallback of a \uN just read
                --skipFallback;
                continue;
            }
            units.push_back({unit, begin, at_, g.uc});
            if (pendingFallback_ >= 0) {
                skipFallback = pendingFallback_;
                pendingFallback_ = -1;
            }
        }
        return true;
    }

private:
    // A control word or symbol at `at_`; `unit` and `produced` tell of the text it stands for.
    bool controlAt(bool skip, int& uc, char16_t& unit, bool& produced, bool* groupSkip) {
        ++at_;
        if (at_ >= s_.size()) return false;
        const char c = s_[at_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++at_;
            if (c == '\\' || c == '{' || c == '}') {
                unit = static_cast<char16_t>(c);
                produced = true;
            } else if (c == '\'') {
                return hexAt(unit, produced);
            } else if (c == '*') {
                if (groupSkip) *groupSkip = true;
            } else if (c == '~') {
                unit = 0xA0;
                produced = true;
            } else if (c == '_') {
                unit = 0x2011;
                produced = true;
            }
            return true;
        }
        std::string word;
        while (at_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[at_]))) word += s_[at_++];
        bool hasNumber = false;
        long number = 0;
        const std::size_t numberAt = at_;
        if (at_ < s_.size() && (s_[at_] == '-' || std::isdigit(static_cast<unsigned char>(s_[at_])))) {
            number = std::strtol(s_.c_str() + numberAt, nullptr, 10);
            ++at_;
            while (at_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[at_]))) ++at_;
            hasNumber = true;
        }
        if (at_ < s_.size() && s_[at_] == ' ') ++at_;
        if (isDestination(word) && groupSkip) *groupSkip = true;
        if (word == "uc" && hasNumber) uc = static_cast<int>(number);
        if (word == "par" || word == "sect") {
            unit = u'\r';
            produced = true;
        } else if (word == "line") {
            unit = u'\v';
            produced = true;
        } else if (word == "tab") {
            unit = u'\t';
            produced = true;
        } else if (word == "u" && hasNumber) {
            unit = static_cast<char16_t>(number < 0 ? number + 65536 : number);
            produced = true;
            if (!skip) pendingFallback_ = uc;
        }
        return true;
    }

    // \'xx, and the \'yy after a lead byte: one character of code page 932.
    bool hexAt(char16_t& unit, bool& produced) {
        int first = 0;
        if (!hexByte(first)) return false;
        std::string bytes(1, static_cast<char>(first));
        if (cp932::isLeadByte(static_cast<unsigned char>(first)) && s_.compare(at_, 2, "\\'") == 0) {
            at_ += 2;
            int second = 0;
            if (!hexByte(second)) return false;
            bytes += static_cast<char>(second);
        }
        unit = first < 0x80 ? char16_t(first) : decodedByte(bytes);
        produced = true;
        return true;
    }

    bool hexByte(int& value) {
        if (at_ + 2 > s_.size()) return false;
        char digits[3] = {s_[at_], s_[at_ + 1], 0};
        char* end = nullptr;
        value = static_cast<int>(std::strtol(digits, &end, 16));
        if (end != digits + 2) return false;
        at_ += 2;
        return true;
    }

    const std::string& s_;
    std::size_t at_ = 0;
    int pendingFallback_ = -1;
};

bool fits932(char16_t c) {
    if (c < 0x80) return true;
    std::string ignored;
    return textcodec::utf16ToCp932(std::u16string(1, c), ignored);
}

}  // namespace

std::string keepEveryCharacter(const std::string& rtf, const std::u16string& text) {
    if (textcodec::firstOutsideCp932(text) == std::u16string::npos) return rtf;
    std::vector<Unit> units;
    if (!Reader(rtf).read(units)) return rtf;
    // the last paragraph mark is written though the text does not end with one
    if (units.size() == text.size() + 1 && units.back().c == u'\r') units.pop_back();
    if (units.size() != text.size()) return rtf;
    std::string out;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const Unit& u = units[i];
        if (u.c == text[i]) continue;
        if (fits932(text[i])) return rtf;  // another difference than a look-alike: not guessed at
        out.append(rtf, copied, u.begin - copied);
        out += "\\u" + std::to_string(static_cast<int>(static_cast<std::int16_t>(text[i])));
        out += u.fallback > 0 ? std::string(static_cast<std::size_t>(u.fallback), '?') : std::string(" ");
        copied = u.end;
    }
    if (copied == 0) return rtf;
    out.append(rtf, copied, std::string::npos);
    return out;
}

}  // namespace rtfunicode
