// Writes a few small, valid inputs of every kind into the corpus folders:
//   make_seeds READERS_DIR DELETION_MARKS_DIR FILE_NAMES_DIR
#include <cstdio>
#include <string>

#include "store/DataFile.h"
#include "store/OldDataFile.h"

namespace {

void put(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

std::string i32(int v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
    return s;
}

PageTable smallBook() {
    PageTable table;
    PageRecord folder;
    folder.title = "folder";
    folder.text = "{\\rtf1 f\\par}";
    folder.isFolder = 1;
    folder.isExpanded = 1;
    folder.parentOrder = -1;
    table.appendRecord(folder);
    PageRecord page;
    page.order = 1;
    page.parentOrder = 0;
    page.title = "page";
    page.text = EMPTY_PAGE_RTF;
    page.selStart = 2;
    page.scrollV = 5;
    table.appendRecord(page);
    PageRecord secure = page;
    secure.order = 2;
    secure.text.clear();
    secure.isSecure = 1;
    secure.cipher = std::string(32, 'c');
    table.appendRecord(secure);
    return table;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 1;
    const std::string readers = argv[1], marks = argv[2], names = argv[3];
    PageTable book = smallBook();
    VersionBlock version = makeVersionBlock(SaveKind::Periodic, 77);
    put(readers + "/current_scroll.qpd", buildDataFile(book, newFileHeader(), version, true));
    std::string plain = buildDataFile(book, newFileHeader(), version, false);
    put(readers + "/current.qpd", plain);
    std::string previous = plain;
    previous.replace(0, 12, std::string("qpad200b1\0\0\0", 12));
    put(readers + "/previous.qpd", previous);

    std::string old = std::string("quiltpad090\0", 12) + i32(2) + std::string(84, '\0');
    old += i32(4) + std::string("one").append(61, '\0') + std::string("abc", 4);
    old += i32(1) + std::string(64, 't') + std::string(1, '\0');
    put(readers + "/old.qpd", old);

    put(marks + "/mark.rtf", "{\\rtf1{\\fonttbl{\\f0 x;}}\\deleted\\f0 a\\deleted\\f1 b}");
    put(marks + "/typed.rtf", "{\\rtf1 typed deleted\\\\ and \\\\deleted\\\\ \\'95\\\\deleted\\f0}");
    put(marks + "/nested.rtf", "{{{{}}}}}\\deleted\\f0");

    // page titles, the double-byte ones as code page 932 bytes (this tree's literals are UTF-8)
    put(names + "/reserved.txt", "a/b:c*d?e\"f<g>h|i\\j");
    put(names + "/japanese.txt", "\x95\x5c\x8e\xa6\x83\x5c\x83\x74\x83\x67 memo");  // 表示ソフト: second bytes 0x5C
    put(names + "/lone_lead.txt", "ok\x81:\xE0/\x81");
    put(names + "/device.txt", "com1.txt");
    put(names + "/line_break.txt", std::string("a\r\nb\rc\0d", 8));
    return 0;
}
