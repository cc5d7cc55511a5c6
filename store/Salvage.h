// Rescue of a data file that cannot be read whole: every record that still
// reads whole is kept, in file order, and the damaged stretches are named.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/DataFile.h"
#include "store/PageTable.h"

// A stretch of the record list: records kept or lost, with their byte offsets
// [begin, end). Lost records are numbered by the orders around them.
struct SalvageSpan {
    bool kept = false;
    int firstRecord = 0;
    int lastRecord = -1;  // below firstRecord when no whole record is known to be inside
    std::size_t begin = 0;
    std::size_t end = 0;
    std::string why;  // for a lost stretch: what was wrong at its start
};

struct Salvage {
    DataFileHeader header;
    VersionBlock version;
    PageTable table;            // the kept records, numbered 0.. in file order
    bool scrollBlocks = false;  // some kept record carried block 1
    std::int32_t storedCount = -1;
    std::vector<SalvageSpan> spans;
};

// Salvages a "qpad300" or "qpad200b1" file held in memory. False (with the
// reason in `why`) when not even the version block and header can be read.
// Parents that point outside the kept records move to the top level; the
// bookmark follows its record or falls back to the first.
bool salvageDataFile(const void* data, std::size_t size, Salvage& out, std::string& why);

// The same for a first- or second-generation file: the whole pages before the
// damage, as plain-text top-level records (no header of its own).
bool salvageOldDataFile(const void* data, std::size_t size, Salvage& out, std::string& why);
