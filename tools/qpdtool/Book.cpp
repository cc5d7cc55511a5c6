#include "Book.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "store/FileReader.h"
#include "store/MemoryTree.h"
#include "store/OldDataFile.h"
#include "store/TreeSource.h"

namespace qpdtool {

namespace {

std::string damaged(const ReadReport& report) {
    if (report.problemOffset >= 0)
        return "damaged at offset " + std::to_string(report.problemOffset) + ": " + report.problem;
    return report.problem;
}

// Why detection refused a file, in words.
std::string unusableReason(const std::string& path) {
    FileReader in;
    if (in.open(path) != FileOpenResult::Opened) return "the file cannot be opened";
    if (in.size() < VERSION_BLOCK_SIZE) return "shorter than 32 bytes (" + std::to_string(in.size()) + " bytes)";
    unsigned char first[VERSION_BLOCK_SIZE];
    if (!in.bytes(first, sizeof first)) return "the file cannot be read";
    return "not a data file (magic \"" + magicOf(decodeVersionBlock(first)) + "\")";
}

}  // namespace

int fail(const std::string& path, const std::string& reason, int code) {
    std::fprintf(stderr, "qpdtool: %s: %s\n", path.c_str(), reason.c_str());
    return code;
}

int loadBook(const std::string& path, Book& book, std::string& reason) {
    int kind = detectDataFile(path);
    if (kind == DATA_FILE_MISSING) {
        reason = "the file does not exist";
        return EXIT_MISSING;
    }
    if (kind == DATA_FILE_UNUSABLE) {
        reason = unusableReason(path);
        return EXIT_UNUSABLE;
    }
    ReadReport report;
    book.older = kind == DATA_FILE_OLDER;
    bool ok = book.older ? readOldDataFile(path, book.table, &report)
                         : readDataFile(path, book.table, book.header, book.version, &report);
    book.magic = report.magic;
    book.scrollBlocks = report.scrollBlocks;
    book.extraBytes = report.extraBytes;
    if (book.older) book.header = newFileHeader();
    if (!ok) {
        reason = damaged(report);
        return report.missing ? EXIT_MISSING : EXIT_UNUSABLE;
    }
    return EXIT_OK;
}

std::int32_t freshBookNumber() {
    std::random_device device;
    std::uint64_t seed =
        device() ^ static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return static_cast<std::int32_t>(seed % 32768);
}

void modernise(Book& book, std::int32_t freshBookNumber) {
    int bookmark = bookmarkIndex(book.header.bookmark, book.table.count());
    if (book.older) {
        for (int i = 0; i < book.table.count(); ++i) {
            PageRecord& record = book.table.recordAt(i);
            record.text = plainTextToRtf(record.text);
        }
        book.header = newFileHeader();
        book.version = makeVersionBlock(SaveKind::ExitData, freshBookNumber);
        bookmark = 0;
    } else {
        book.version = makeVersionBlock(static_cast<SaveKind>(book.version.saveKind), book.version.bookNumber);
    }
    // The same path as a load and a save in the program: build the tree from
    // parentOrder, then number it in pre-order.
    MemoryTree tree;
    rebuildTree(book.table, tree, bookmark);
    refreshFromTree(book.table, tree);
    if (book.table.count() > 0) book.header.bookmark = book.table.recordAt(bookmark).order;
    book.older = false;
    book.magic = CURRENT_MAGIC;
}

}  // namespace qpdtool
