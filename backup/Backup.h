// Backups of the whole book into the rotating slot files.
#pragma once

#include <string>
#include <vector>

#include "backup/BackupSlots.h"
#include "store/DataFile.h"

namespace backup {

// Writes the book into the next backup slot with `save` (the window's book
// writer), labelled with the save kind. The caller has stored the shown page
// first. A slot that cannot be written passes the backup on to the next slot
// in the rotation; when none can be written the backup is lost, silently.
// True when a slot was written.
bool makeBackup(const std::vector<std::string>& slotPaths, int backupFileSize, SaveKind kind, const SlotWriter& save);

}  // namespace backup
