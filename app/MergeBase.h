// The base of a merge of two copies of the book: the data file as this PC last read it from
// outside (another PC's version, or the first one it read), kept as a hard link
// "<backup folder>\bases\<machine>.qpd" (named for the machine: a synced program folder never
// gives one PC's base to the other). This PC's own saves, a restart that reads them again, and a
// start while a conflicted copy waits for its merge leave the base where it was: a base holding
// one side's edits would make the other side's older text look like a change, and those edits
// would be lost in the merge.
#pragma once

#include <string>

namespace mergebase {

// Both run right after the guard took the data file's fingerprint, and use it.
// After a save of the data file by this PC: its fingerprint is noted beside the base, so that the
// next start, reading this PC's own version again, keeps the base where it was.
void wrote(const std::string& backupFolder);
// This PC's base file for the book whose backups are in `backupFolder`.
std::string pathFor(const std::string& backupFolder);
// After a load of the data file: the base is this file as read. Without hard links (a FAT stick)
// there is none, and a merge takes the pages both copies hold alike as their base.
void keep(const std::string& dataFile, const std::string& backupFolder);
// On in the program (its start turns it on); tools and in-process tests keep no base.
void setEnabled(bool on);

}  // namespace mergebase
