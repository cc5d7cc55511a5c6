// The file reader against the buffer reader: the same input through a file
// with a tiny buffer must give the same result, record for record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "store/DataFile.h"
#include "store/FileReader.h"

namespace {

// In memory when /dev/shm exists: a disk file that is rewritten in place
// gets flushed on every close (ext4), which slows the run a hundredfold.
char scratch[128];

void removeScratch() { unlink(scratch); }

const char* scratchPath() {
    if (!scratch[0]) {
        std::snprintf(scratch, sizeof scratch, "%s/quilt_fuzz_file_reader_%ld",
                      access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp", static_cast<long>(getpid()));
        std::atexit(removeScratch);
    }
    return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    unlink(scratchPath());
    std::FILE* file = std::fopen(scratchPath(), "wb");
    if (!file) return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    PageTable fromBytes, fromFile;
    DataFileHeader bytesHeader, fileHeader;
    VersionBlock bytesVersion, fileVersion;
    ReadReport bytesReport, fileReport;
    bool a = parseDataFile(data, size, fromBytes, bytesHeader, bytesVersion, &bytesReport);
    FileReader in(1 + size % 13);
    if (in.open(scratchPath()) != FileOpenResult::Opened) std::abort();
    bool b = readDataFile(in, fromFile, fileHeader, fileVersion, &fileReport);
    if (a != b || bytesReport.problem != fileReport.problem || bytesReport.problemOffset != fileReport.problemOffset)
        std::abort();
    if (a && buildDataFile(fromBytes, bytesHeader, bytesVersion, true) !=
                 buildDataFile(fromFile, fileHeader, fileVersion, true))
        std::abort();
    return 0;
}
