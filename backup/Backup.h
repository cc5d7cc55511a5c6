// Backups of the whole book into the rotating slot files.
#pragma once

#include "store/DataFile.h"

namespace backup {

// Writes the book into the next backup slot, labelled with the save kind.
// The caller has stored the shown page first. True when a slot was written.
bool makeBackup(SaveKind kind);

}  // namespace backup
