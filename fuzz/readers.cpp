// Every data-file reader, chosen by detection as the program chooses. A book
// that reads goes through the tree as a load and a save would, and must then
// write and read back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/DataFile.h"
#include "store/MemoryTree.h"
#include "store/OldDataFile.h"
#include "store/TreeSource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    ReadReport report;
    int kind = detectDataBytes(data, size);
    bool read = false;
    if (kind == DATA_FILE_CURRENT) {
        read = parseDataFile(data, size, table, header, version, &report);
    } else if (kind == DATA_FILE_OLDER) {
        read = parseOldDataFile(data, size, table, &report);
        header = newFileHeader();
        version = makeVersionBlock(SaveKind::ExitData, 1);
        for (int i = 0; i < table.count(); ++i) table.recordAt(i).text = plainTextToRtf(table.recordAt(i).text);
    }
    if (!read) {
        if (table.count() != 0 || (kind != DATA_FILE_UNUSABLE && report.problem.empty()))
            std::abort();  // a refused file leaves an empty table and says why
        return 0;
    }
    for (int i = 0; i < table.count(); ++i) {
        const PageRecord& r = table.recordAt(i);
        if (r.parentOrder < -1 || r.parentOrder >= i) std::abort();
    }
    if (header.bookmark < 0 || (table.count() > 0 && header.bookmark >= table.count())) std::abort();

    MemoryTree tree;
    if (!rebuildTree(table, tree, header.bookmark) || tree.itemCount() != table.count()) std::abort();
    header.bookmark = refreshFromTree(table, tree);
    for (int i = 0; i < table.count(); ++i)
        if (table.recordAt(i).parentOrder >= table.recordAt(i).order)
            std::abort();  // a parent always comes first in tree order

    bool scroll = report.scrollBlocks;
    std::string written = buildDataFile(table, header, version, scroll);
    PageTable again;
    DataFileHeader againHeader;
    VersionBlock againVersion;
    if (!parseDataFile(written.data(), written.size(), again, againHeader, againVersion)) std::abort();
    if (buildDataFile(again, againHeader, againVersion, scroll) != written) std::abort();
    return 0;
}
