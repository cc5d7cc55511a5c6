#include "Generate.h"

#include <vector>

#include "store/Cp932.h"

namespace qpdtool {

namespace {

// splitmix64: small, fast, and the same everywhere (unlike the standard
// library's distributions).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1; bound > 0.
    std::uint32_t below(std::uint32_t bound) { return static_cast<std::uint32_t>(next() % bound); }

private:
    std::uint64_t state_;
};

// Words in code page 932, spelled as bytes so that the tool does not depend
// on the compiler's execution character set.
const char* const JAPANESE_WORDS[] = {
    "\x93\xfa\x96\x7b\x8c\xea",          // 日本語
    "\x83\x81\x83\x82",                  // メモ
    "\x83\x4c\x83\x8b\x83\x67\x92\xa0",  // キルト帳
    "\x83\x65\x83\x4c\x83\x58\x83\x67",  // テキスト
    "\x8d\xa1\x93\xfa",                  // 今日
    "\x97\x5c\x92\xe8",                  // 予定
    "\x89\xef\x8b\x63",                  // 会議
    "\x94\x83\x82\xa2\x95\xa8",          // 買い物
    "\x95\x5c\x8e\xa6",                  // 表示
    "\x81\x41",                          // 、
    "\x81\x42",                          // 。
};
const char* const ASCII_WORDS[] = {
    "note", "quilt", "page",    "text", "meeting", "2024", "list", "idea", "http://example.com/",
    "TODO", "draft", "Quiltpad"};
const char PAGE_WORD[] = "\x83\x79\x81\x5b\x83\x57";            // ページ
const char FOLDER_WORD[] = "\x83\x74\x83\x48\x83\x8b\x83\x5f";  // フォルダ

const char RTF_TAIL[] = "\\par\r\n}\r\n";

template <std::size_t N>
const char* pick(Random& random, const char* const (&words)[N]) {
    return words[random.below(N)];
}

void appendEscaped(std::string& out, const char* text) {
    for (const char* p = text; *p; ++p) cp932::appendRtfEscape(out, static_cast<unsigned char>(*p));
}

std::string pageText(Random& random, int textBytes) {
    std::string rtf(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_HEAD_LENGTH);
    rtf += ' ';
    const std::size_t target = textBytes > 0 ? static_cast<std::size_t>(textBytes) : 0;
    const std::size_t tail = sizeof RTF_TAIL - 1;
    std::size_t lineStart = rtf.size();
    bool bold = false;
    while (rtf.size() + tail < target) {
        std::uint32_t roll = random.below(10);
        if (roll < 4)
            appendEscaped(rtf, pick(random, JAPANESE_WORDS));
        else if (roll < 9)
            rtf += std::string(pick(random, ASCII_WORDS)) + " ";
        else {
            rtf += bold ? "\\b0 " : "\\b ";
            bold = !bold;
        }
        if (rtf.size() - lineStart > 70) {
            rtf += "\\par\r\n";
            lineStart = rtf.size();
        }
    }
    if (bold) rtf += "\\b0 ";
    return rtf + RTF_TAIL;
}

std::string randomBytes(Random& random, std::size_t count) {
    std::string bytes(count, '\0');
    for (char& b : bytes) b = static_cast<char>(random.next());
    return bytes;
}

// Folders and pages in pre-order: folders open, fill and close at random,
// never deeper than 12 levels.
void buildShape(const GenOptions& options, Random& random, PageTable& table) {
    int foldersLeft = options.folders > 0 ? options.folders : 0;
    int pagesLeft = options.pages > 0 ? options.pages : 0;
    std::vector<int> open;        // record indices of the open folders
    std::vector<int> childCount;  // per record
    int pageNumber = 0, folderNumber = 0;
    while (foldersLeft + pagesLeft > 0) {
        while (!open.empty() && childCount[static_cast<std::size_t>(open.back())] > 0 &&
               (random.below(4) == 0 || open.size() >= 12))
            open.pop_back();
        bool folder = foldersLeft > 0 && random.below(static_cast<std::uint32_t>(foldersLeft + pagesLeft)) <
                                             static_cast<std::uint32_t>(foldersLeft);
        PageRecord record;
        record.order = table.count();
        record.parentOrder = open.empty() ? -1 : open.back();
        record.isFolder = folder ? 1 : 0;
        record.title = std::string(folder ? FOLDER_WORD : PAGE_WORD) + " " +
                       std::to_string(folder ? ++folderNumber : ++pageNumber);
        if (!open.empty()) ++childCount[static_cast<std::size_t>(open.back())];
        childCount.push_back(0);
        table.appendRecord(std::move(record));
        if (folder) {
            open.push_back(table.count() - 1);
            --foldersLeft;
        } else {
            --pagesLeft;
        }
    }
    // A folder shows as expanded only when it has something to show.
    for (int i = 0; i < table.count(); ++i) {
        PageRecord& record = table.recordAt(i);
        record.isExpanded =
            (record.isFolder && childCount[static_cast<std::size_t>(i)] > 0 && (options.expandAll || random.below(2)))
                ? 1
                : 0;
    }
}

void fillPages(const GenOptions& options, Random& random, Book& book) {
    std::vector<int> pages;
    for (int i = 0; i < book.table.count(); ++i)
        if (!book.table.recordAt(i).isFolder) pages.push_back(i);
    // The first `secure` pages of a shuffle become secure.
    int secure = options.secure < static_cast<int>(pages.size()) ? options.secure : static_cast<int>(pages.size());
    for (int i = 0; i < secure; ++i) {
        std::size_t j = static_cast<std::size_t>(i) + random.below(static_cast<std::uint32_t>(pages.size()) - i);
        std::swap(pages[static_cast<std::size_t>(i)], pages[j]);
        book.table.recordAt(pages[static_cast<std::size_t>(i)]).isSecure = 1;
    }
    const std::size_t cipherSize =
        (static_cast<std::size_t>(options.textBytes > 0 ? options.textBytes : 0) / 16 + 1) * 16;
    for (int i = 0; i < book.table.count(); ++i) {
        PageRecord& record = book.table.recordAt(i);
        if (record.isSecure) {
            std::string hash = randomBytes(random, record.textHash.size());
            std::copy(hash.begin(), hash.end(), record.textHash.begin());
            record.cipher = randomBytes(random, cipherSize);
        } else {
            record.text = pageText(random, options.textBytes);
        }
        if (options.scroll) {
            std::uint32_t length = static_cast<std::uint32_t>(record.text.size()) + 1;
            record.selStart = static_cast<std::int32_t>(random.below(length));
            record.selEnd = record.selStart + static_cast<std::int32_t>(random.below(8));
            record.scrollH = 0;
            record.scrollV = static_cast<std::int32_t>(random.below(400));
        }
    }
    if (secure > 0) {
        book.header.passwordRegistered = 1;
        std::string check = randomBytes(random, 32);
        std::copy(check.begin(), check.end(), book.header.checkValue);
        for (auto& b : book.header.salt) b = static_cast<std::uint8_t>(random.below(255));
    }
}

}  // namespace

void generateBook(const GenOptions& options, Book& book) {
    Random random(options.seed);
    book = Book();
    book.magic = CURRENT_MAGIC;
    book.version = makeVersionBlock(SaveKind::ExitData, static_cast<std::int32_t>(random.below(32768)));
    book.header = newFileHeader();
    book.scrollBlocks = options.scroll;
    book.table.reserve(options.pages + options.folders);
    buildShape(options, random, book.table);
    fillPages(options, random, book);
    // The bookmark sits on a plain record, as the program would save it.
    if (book.table.count() > 0) {
        int mark = static_cast<int>(random.below(static_cast<std::uint32_t>(book.table.count())));
        book.header.bookmark = book.table.recordAt(mark).isSecure ? 0 : mark;
    }
}

}  // namespace qpdtool
