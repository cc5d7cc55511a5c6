// The bytes of a data file holding one page, whose text is its title, for tests of every level.
#pragma once

#include <cstdint>
#include <string>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace testcommon {

inline std::string onePageBook(const std::string& title, std::int32_t bookNumber, SaveKind kind) {
    PageTable table;
    PageRecord page;
    page.order = 0;
    page.parentOrder = -1;
    page.title = title;
    page.text = "{\\rtf1 " + title + "}";
    table.appendRecord(page);
    return buildDataFile(table, newFileHeader(), makeVersionBlock(kind, bookNumber), false);
}

}  // namespace testcommon
