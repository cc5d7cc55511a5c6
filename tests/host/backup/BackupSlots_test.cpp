// Slot rotation, restore order and list lines over fake file times.
#include <gtest/gtest.h>

#include <map>
#include <cstdio>
#include <set>

#include "backup/BackupSlots.h"
#include "settings/AppPaths.h"
#include "store/TestBooks.h"

using namespace backup;

namespace {

// A backup folder whose files have the times the test gives them.
class FakeFolder : public FileTimes {
public:
    std::map<std::string, StampTime> files;
    bool localWriteTime(const std::string& path, StampTime& time) const override {
        auto f = files.find(path);
        if (f == files.end()) return false;
        time = f->second;
        return true;
    }
    bool localFileTime(const std::string& path, std::uint64_t& time) const override {
        StampTime t;
        if (!localWriteTime(path, t)) return false;
        time = static_cast<std::uint64_t>(slotTimeKey(t)) * 60 + static_cast<std::uint64_t>(t.second);
        return true;
    }
    std::uint64_t now = UINT64_MAX;
    std::uint64_t localNow() const override { return now; }
};

StampTime at(int minute, int second = 0) { return {2026, 12, 7, 15, minute, second}; }

const std::vector<std::string> SLOTS = paths::derivePaths("C:\\Q", "", "").backupSlotPaths;

// Writes a backup the way the program does: choose, then the file gets the time "now".
int backupAt(FakeFolder& folder, int size, int minute) {
    const int slot = chooseBackupSlot(SLOTS, size, folder);
    folder.files[SLOTS[static_cast<std::size_t>(slot)]] = at(minute);
    return slot;
}

}  // namespace

TEST(BackupSlots, TimeKeyPacksToTheMinute) {
    EXPECT_EQ((2026 << 20) + (12 << 16) + (7 << 11) + (15 << 6) + 59, slotTimeKey({2026, 12, 7, 15, 59, 58}));
    EXPECT_LT(slotTimeKey({2026, 12, 31, 23, 59, 0}), slotTimeKey({2027, 1, 1, 0, 0, 0}));
    EXPECT_LT(slotTimeKey({2048, 1, 1, 0, 0, 0}), 0) << "keys are signed 32-bit numbers";
}

TEST(BackupSlots, FillInOrderThenOverwriteTheOldest) {
    FakeFolder folder;
    EXPECT_EQ(0, backupAt(folder, 3, 1));
    EXPECT_EQ(1, backupAt(folder, 3, 2));
    EXPECT_EQ(2, backupAt(folder, 3, 3));
    EXPECT_EQ(0, backupAt(folder, 3, 4)) << "the oldest";
    EXPECT_EQ(1, backupAt(folder, 3, 5));
    folder.files.erase(SLOTS[1]);
    EXPECT_EQ(1, backupAt(folder, 3, 6)) << "a deleted slot is reused first, whatever the ages";
}

// A delete's backup, then the exit's, within a minute: the exit's never replaces the one just made.
TEST(BackupSlots, WithinAMinuteTheSlotWrittenFirstIsOverwritten) {
    FakeFolder folder;
    for (int slot = 0; slot < 3; ++slot) folder.files[SLOTS[static_cast<std::size_t>(slot)]] = at(5, 10 + slot);
    folder.files[SLOTS[0]] = at(5, 50);
    EXPECT_EQ(1, chooseBackupSlot(SLOTS, 3, folder));
}

TEST(BackupSlots, ChoiceCases) {
    struct Case {
        const char* name;
        std::map<int, int> minutes;  // slot -> minute of its last write
        int size;
        int expected;
    };
    const Case cases[] = {
        {"same minute: lower number", {{0, 9}, {1, 5}, {2, 5}}, 3, 1},
        {"same minute: the earlier second", {{0, 5}, {1, 5}}, 2, 0},
        {"size 0 means slot 0", {{0, 1}, {1, 0}}, 0, 0},
        {"size -4 means slot 0", {{0, 1}}, -4, 0},
        {"slots above the size are not used", {{0, 9}, {1, 8}, {2, 1}}, 2, 1},
        {"size above 100 means all 100", {{0, 1}, {1, 2}}, 500, 2},
    };
    for (const Case& c : cases) {
        FakeFolder folder;
        for (auto& [slot, minute] : c.minutes) folder.files[SLOTS[static_cast<std::size_t>(slot)]] = at(minute, slot);
        EXPECT_EQ(c.expected, chooseBackupSlot(SLOTS, c.size, folder)) << c.name;
    }
}

TEST(BackupSlots, AnUnwritableSlotPassesTheBackupOn) {
    FakeFolder folder;
    folder.files[SLOTS[0]] = at(3);
    folder.files[SLOTS[2]] = at(1);
    // slot 1 looks free (held open by another program) but cannot be written
    std::set<std::string> locked = {SLOTS[1], SLOTS[2]};
    std::vector<std::string> tried;
    auto write = [&](const std::string& path, SaveKind kind) {
        EXPECT_EQ(SaveKind::Periodic, kind);
        tried.push_back(path);
        return locked.count(path) == 0;
    };
    EXPECT_EQ(0, writeBackup(SLOTS, 3, SaveKind::Periodic, write, folder));
    EXPECT_EQ((std::vector<std::string>{SLOTS[1], SLOTS[2], SLOTS[0]}), tried) << "free first, then oldest";
    locked.insert(SLOTS[0]);
    EXPECT_EQ(-1, writeBackup(SLOTS, 3, SaveKind::Periodic, write, folder)) << "no slot: the backup is lost";
}

TEST(BackupSlots, AutomaticRestoreTriesTheNewestFirst) {
    FakeFolder folder;
    folder.files[SLOTS[0]] = at(5);
    folder.files[SLOTS[1]] = at(9);
    folder.files[SLOTS[3]] = at(5);
    folder.files[SLOTS[4]] = at(7);
    folder.files[SLOTS[5]] = at(30);  // beyond the size
    EXPECT_EQ((std::vector<int>{1, 4, 0, 3}), newestSlotsFirst(SLOTS, 5, folder)) << "equal times keep slot order";
    EXPECT_TRUE(newestSlotsFirst(SLOTS, 5, FakeFolder()).empty());
}

TEST(RestoreLine, BytesAsListed) {
    struct Case {
        int kind;
        bool other;
        std::string expected;
    };
    const Case cases[] = {
        {0, false, "2026/03/04　05:06　backup07.qpd　終了時のデータ"},
        {1, false, "2026/03/04　05:06　backup07.qpd　定期データ"},
        {2, true, "2026/03/04　05:06　backup07.qpd　復元前のデータ　[※別のブック]"},
        {3, false, "2026/03/04　05:06　backup07.qpd　削除前のデータ"},
        {4, false, "2026/03/04　05:06　backup07.qpd　"},
        {-1, true, "2026/03/04　05:06　backup07.qpd　　[※別のブック]"},
    };
    for (const Case& c : cases) {
        const std::string line = restoreLine({2026, 3, 4, 5, 6, 7}, fileNameOf(SLOTS[7]), c.kind, c.other);
        EXPECT_EQ(c.expected, line) << c.kind;
        EXPECT_EQ("07", line.substr(25, 2)) << "the slot number stands at bytes 25-26";
    }
}

TEST(StampedName, NeverReplacesAFile) {
    std::set<std::string> existing = {"d.qpd.20261207150000", "d.qpd.20261207150000-(1)"};
    auto place = [&](const std::string& target) { return existing.insert(target).second; };
    EXPECT_EQ("d.qpd.20261207150000-(2)", placeStamped("d.qpd", "20261207150000", place));
    EXPECT_EQ("d.qpd.20261207160000", placeStamped("d.qpd", "20261207160000", place));
    EXPECT_EQ("", placeStamped("d.qpd", "x", [](const std::string&) { return false; })) << "gives up";
}

// The written order kept beside the slots decides where the clock cannot be trusted: the clock
// set back (a dual boot), a slot dated in the future, and a damaged order file, where the
// file times decide again.
TEST(BackupSlots, TheWrittenOrderOverrulesTheClock) {
    const testbooks::TempFolder dir;
    std::vector<std::string> slots;
    for (int i = 0; i < 4; ++i) slots.push_back(dir.file("backup0" + std::to_string(i) + ".qpd"));
    struct Case {
        const char* name;
        const char* order;           // the order file; null: none
        std::map<int, int> minutes;  // slot -> minute of its last write; 99: in the future
        int next;                    // the next backup's slot
        int newest;                  // the automatic restore's first
        int orderAt = -1;            // minute of the order file's last write; -1: not known
    };
    const Case cases[] = {
        {"no order: the times", nullptr, {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 0, 3},
        {"clock set back after slot 3", "0\r\n1\r\n2\r\n3\r\n", {{0, 50}, {1, 51}, {2, 52}, {3, 4}}, 0, 3},
        {"slots the order does not name are older", "2\r\n", {{0, 1}, {1, 2}, {2, 0}, {3, 3}}, 0, 2},
        {"damaged order: the times", "2\r\n2\r\n", {{0, 1}, {1, 2}, {2, 3}, {3, 4}}, 0, 3},
        {"slot 0 written after the order (ended before its line)", "0\r\n1\r\n2\r\n3\r\n",
         {{0, 10}, {1, 2}, {2, 3}, {3, 4}}, 1, 0, 5},
        {"a slot in the future is not newest for it", nullptr, {{0, 1}, {1, 99}, {2, 3}, {3, 4}}, 1, 3},
    };
    for (const Case& c : cases) {
        FakeFolder folder;
        folder.now = static_cast<std::uint64_t>(slotTimeKey(at(60))) * 60;
        for (auto& [slot, minute] : c.minutes)
            folder.files[slots[static_cast<std::size_t>(slot)]] = minute == 99 ? StampTime{2031, 1, 1, 0, 0, 0} : at(minute);
        if (c.orderAt >= 0) folder.files[slotOrderPath(slots)] = at(c.orderAt);
        std::remove(slotOrderPath(slots).c_str());
        if (c.order) {
            ASSERT_TRUE(testcommon::writeFile(slotOrderPath(slots), c.order));
        }
        EXPECT_EQ(c.next, chooseBackupSlot(slots, 4, folder)) << c.name;
        EXPECT_EQ(c.newest, newestSlotsFirst(slots, 4, folder).front()) << c.name;
    }
    ASSERT_TRUE(recordSlotWritten(slots, 1));
    ASSERT_TRUE(recordSlotWritten(slots, 3));
    ASSERT_TRUE(recordSlotWritten(slots, 1));
    EXPECT_EQ((std::vector<int>{3, 1}), readSlotOrder(slots)) << "a slot written again moves to the newest end";
    FakeFolder folder;  // slot 2 written after the order was: the process ended before its line
    folder.files[slotOrderPath(slots)] = at(5);
    folder.files[slots[2]] = at(6);
    ASSERT_TRUE(recordSlotWritten(slots, 0, folder));
    EXPECT_EQ((std::vector<int>{3, 1, 2, 0}), readSlotOrder(slots)) << "the backup the order missed comes in";
}
