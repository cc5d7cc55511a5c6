// The restore list's reading of a slot's first 32 bytes: any version block
// gives a line of the fixed form with the slot's file name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "backup/BackupSlots.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unsigned char block[VERSION_BLOCK_SIZE] = {};
    std::memcpy(block, data, size < VERSION_BLOCK_SIZE ? size : VERSION_BLOCK_SIZE);
    const VersionBlock version = decodeVersionBlock(block);
    backup::StampTime time;
    time.year = 2000 + (size > 32 ? data[32] % 100 : 26);
    time.month = 1 + (size > 33 ? data[33] % 12 : 0);
    time.day = 1 + (size > 34 ? data[34] % 28 : 0);
    time.hour = size > 35 ? data[35] % 24 : 0;
    time.minute = size > 36 ? data[36] % 60 : 0;
    const bool other = version.bookNumber != 1;
    const std::string line = backup::restoreLine(time, "backup07.qpd", version.saveKind, other);
    // (this tree has UTF-8 literals, so the separators are not at their program offsets)
    if (line.compare(0, 5, std::to_string(time.year) + "/") != 0 || line.find("backup07.qpd") == std::string::npos)
        std::abort();
    return 0;
}
