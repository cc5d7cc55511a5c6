#include "backup/Backup.h"

namespace backup {

bool makeBackup(const std::vector<std::string>& slotPaths, int backupFileSize, SaveKind kind, const SlotWriter& save) {
    const int slot = writeBackup(slotPaths, backupFileSize, kind, save, systemFileTimes());
    if (slot >= 0) recordSlotWritten(slotPaths, slot);  // the order no clock can change
    return slot >= 0;
}

}  // namespace backup
