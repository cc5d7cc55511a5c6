#include "backup/Backup.h"

namespace backup {

bool makeBackup(const std::vector<std::string>& slotPaths, int backupFileSize, SaveKind kind, const SlotWriter& save) {
    return writeBackup(slotPaths, backupFileSize, kind, save, systemFileTimes()) >= 0;
}

}  // namespace backup
