#include "SalvageCommand.h"

#include <cstdio>
#include <filesystem>

#include "Book.h"
#include "store/AtomicFile.h"
#include "store/FileReader.h"
#include "store/Salvage.h"

namespace qpdtool {

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

std::string records(const SalvageSpan& span) {
    if (span.lastRecord < span.firstRecord) return "records from " + std::to_string(span.firstRecord);
    if (span.lastRecord == span.firstRecord) return "record " + std::to_string(span.firstRecord);
    return "records " + std::to_string(span.firstRecord) + "-" + std::to_string(span.lastRecord);
}

void printSpans(const Salvage& salvage) {
    for (const SalvageSpan& span : salvage.spans) {
        std::printf("%s %s (bytes %zu-%zu)%s%s\n", span.kept ? "kept" : "lost", records(span).c_str(), span.begin,
                    span.end, span.why.empty() ? "" : ": ", span.why.c_str());
    }
}

}  // namespace

int salvageCommand(const std::string& bookPath, const std::string& out) {
    if (sameFile(bookPath, out))
        return fail(out, "the output must be another file: the damaged book is kept as it is", EXIT_USAGE);
    std::string bytes;
    ReadBytesResult read = readFileBytes(bookPath, bytes);
    if (read != ReadBytesResult::Ok)
        return fail(bookPath, read == ReadBytesResult::Missing ? "the file does not exist" : "the file cannot be read",
                    read == ReadBytesResult::Missing ? EXIT_MISSING : EXIT_UNUSABLE);

    Book book;
    std::string reason;
    if (loadBook(bookPath, book, reason) == EXIT_OK) {
        if (!writeFileAtomically(out, bytes)) return fail(out, "cannot be written", EXIT_UNUSABLE);
        std::printf("the book reads whole (%d records): copied unchanged\n", book.table.count());
        return EXIT_OK;
    }
    Salvage salvage;
    std::string why;
    const bool older = detectDataBytes(bytes.data(), bytes.size()) == DATA_FILE_OLDER;
    if (!(older ? salvageOldDataFile : salvageDataFile)(bytes.data(), bytes.size(), salvage, why))
        return fail(bookPath, "nothing can be salvaged: " + why, EXIT_UNUSABLE);
    Book rescued;
    rescued.older = older;
    rescued.version = salvage.version;
    rescued.header = salvage.header;
    rescued.table = std::move(salvage.table);
    if (older) modernise(rescued, freshBookNumber());  // plain pages become RTF in the current format
    if (!writeDataFile(out, rescued.version, salvage.scrollBlocks, rescued.table, rescued.header))
        return fail(out, "cannot be written", EXIT_UNUSABLE);
    printSpans(salvage);
    std::printf("salvaged %d records", rescued.table.count());
    if (salvage.storedCount >= 0) std::printf(" of the %d the book counts", salvage.storedCount);
    std::printf(" into %s\n", out.c_str());
    return EXIT_OK;
}

}  // namespace qpdtool
