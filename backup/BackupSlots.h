// The rotating backup slots: which slot the next backup goes to, the order the
// automatic restore tries them in, the restore list's lines, and the stamped
// names under which an unreadable data file is kept aside.
//
// Slot paths come from paths::derivePaths (backupSlotPaths), the one place
// that knows the folder and the file names.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/DateStamp.h"
#include "store/DataFile.h"

namespace backup {

using datestamp::StampTime;

// The last-write times of files: the platform's in the program, fakes in tests.
// Both open the file for reading without sharing and fail when that fails.
class FileTimes {
public:
    virtual ~FileTimes() = default;
    // As a local calendar date and time.
    virtual bool localWriteTime(const std::string& path, StampTime& time) const = 0;
    // As a local 64-bit file time, for ordering.
    virtual bool localFileTime(const std::string& path, std::uint64_t& time) const = 0;
    // Now, as a local 64-bit file time: a slot dated after it is never the newest for that
    // date alone. The largest time when unknown.
    virtual std::uint64_t localNow() const { return UINT64_MAX; }
};

// The platform's file times (BackupFilesWin.cpp, BackupFilesHost.cpp).
const FileTimes& systemFileTimes();

// A slot's age at minute resolution: year<<20 | month<<16 | day<<11 | hour<<6 | minute,
// compared as a signed 32-bit number.
std::int32_t slotTimeKey(const StampTime& time);

// How many slots BackupFileSize puts in use: 1 at least, never more than there are paths.
int slotsInUse(int backupFileSize, std::size_t slotCount);

// The order the slots were written in, oldest first, kept in "slots.txt" beside
// them (one slot number a line) so that no clock can change it: the file beside
// slotPaths[0], the order it holds (empty when it is missing or damaged: numbers out of
// range or twice), and one more slot written (moved to the newest end; false when the
// file could not be written, the file times then decide as before). A slot written after
// the order file was (the process ended between the two writes) is newer than all it names.
std::string slotOrderPath(const std::vector<std::string>& slotPaths);
std::vector<int> readSlotOrder(const std::vector<std::string>& slotPaths);
bool recordSlotWritten(const std::vector<std::string>& slotPaths, int slot, const FileTimes& times = systemFileTimes());

// The slot of the next backup: the first one that does not open, else the oldest: by the
// written order where it is kept, else by the smallest time key (the lowest number among
// equal keys). A size of 0 or less means slot 0.
int chooseBackupSlot(const std::vector<std::string>& slotPaths, int backupFileSize, const FileTimes& times);

// Every slot in use in the order a backup tries them: chooseBackupSlot's slot
// first, then the other free slots in slot order, then the existing ones from
// the oldest key. A slot that cannot be written hands the backup to the next.
std::vector<int> backupSlotOrder(const std::vector<std::string>& slotPaths, int backupFileSize, const FileTimes& times);

// Writes the book into one slot with the save kind; false when the write failed.
using SlotWriter = std::function<bool(const std::string& path, SaveKind kind)>;

// One backup: tries the slots in backupSlotOrder until a write succeeds.
// Returns the slot written, -1 when none could be (the backup is lost).
int writeBackup(const std::vector<std::string>& slotPaths, int backupFileSize, SaveKind kind, const SlotWriter& write,
                const FileTimes& times);

// The existing slots in use, newest first: by the written order where it is kept (slots it
// does not name after those it does), else by last-write time, equal times in slot order,
// a slot dated in the future after all the others.
std::vector<int> newestSlotsFirst(const std::vector<std::string>& slotPaths, int backupFileSize,
                                  const FileTimes& times);

// The restore dialog's label of a save kind; empty for a kind outside 0..3.
std::string saveKindLabel(std::int32_t kind);

// The file name of a path, without its folder.
std::string fileNameOf(const std::string& path);

// One restore list line: "YYYY/MM/DD　hh:mm　backupNN.qpd　<label>", the label
// followed by "　[※別のブック]" for a slot of another book. The slot number's
// two digits stand at bytes 25 and 26.
std::string restoreLine(const StampTime& time, const std::string& fileName, std::int32_t saveKind, bool otherBook);

// Places a copy (or the file itself) under `base` + "." + stamp without ever
// replacing a file: `place` must fail when its target exists; the names
// tried next carry "-(1)", "-(2)" ... "-(99)". Returns the name used, or
// the empty string when no name could be used.
std::string placeStamped(const std::string& base, const std::string& stamp,
                         const std::function<bool(const std::string& target)>& place);

}  // namespace backup
