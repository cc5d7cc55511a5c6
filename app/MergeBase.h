// The base of a merge of two copies of the book: the data file as this PC last read it, kept as a
// hard link "<backup folder>\bases\<machine>.qpd" (named for the machine: a synced program folder
// never gives one PC's base to the other). This PC's own saves replace the data file and leave
// the link on the version read: a base holding this PC's edits would make the other side's older
// text look like a change.
#pragma once

#include <string>

namespace mergebase {

// This PC's base file for the book whose backups are in `backupFolder`.
std::string pathFor(const std::string& backupFolder);
// After a load of the data file: the base is this file as read. Without hard links (a FAT stick)
// there is none, and a merge takes the pages both copies hold alike as their base.
void keep(const std::string& dataFile, const std::string& backupFolder);
// On in the program (its start turns it on); tools and in-process tests keep no base.
void setEnabled(bool on);

}  // namespace mergebase
