#include "backup/BackupSlots.h"

#include <algorithm>
#include <cstdio>

namespace backup {

namespace {

const char* const KIND_LABELS[] = {"終了時のデータ", "定期データ", "復元前のデータ", "削除前のデータ"};
const char OTHER_BOOK_SUFFIX[] = "　[※別のブック]";
const char LINE_FORMAT[] = "%04d/%02d/%02d　%02d:%02d　%s　%s";
const std::size_t LABEL_CAPACITY = 64;  // the label with its suffix and NUL
const int MAX_STAMP_SUFFIX = 99;

struct SlotAge {
    int slot;
    std::int32_t key;
    std::uint64_t time;  // the full last-write time, for slots of the same minute
};

}  // namespace

std::int32_t slotTimeKey(const StampTime& t) {
    // Packed as unsigned and read back as signed, so keys wrap as the program's always have.
    const std::uint32_t key = (static_cast<std::uint32_t>(t.year) << 20) + (static_cast<std::uint32_t>(t.month) << 16) +
                              (static_cast<std::uint32_t>(t.day) << 11) + (static_cast<std::uint32_t>(t.hour) << 6) +
                              static_cast<std::uint32_t>(t.minute);
    return static_cast<std::int32_t>(key);
}

int slotsInUse(int backupFileSize, std::size_t slotCount) {
    const int count = static_cast<int>(slotCount);
    return std::max(1, std::min(backupFileSize, count));
}

std::vector<int> backupSlotOrder(const std::vector<std::string>& slotPaths, int backupFileSize,
                                 const FileTimes& times) {
    if (slotPaths.empty()) return {};
    std::vector<int> order;
    std::vector<SlotAge> existing;
    const int inUse = backupFileSize <= 0 ? 1 : slotsInUse(backupFileSize, slotPaths.size());
    for (int slot = 0; slot < inUse; ++slot) {
        const std::string& path = slotPaths[static_cast<std::size_t>(slot)];
        StampTime time;
        std::uint64_t full = 0;
        if (times.localWriteTime(path, time) && times.localFileTime(path, full))
            existing.push_back({slot, slotTimeKey(time), full});
        else
            order.push_back(slot);  // free: filled in slot order before any is overwritten
    }
    // Oldest key first. Slots of the same minute go by their full time, so the backup just
    // written is never the next one overwritten (a delete's backup, then the exit's, within
    // a minute); a stable sort keeps the lower number first among equal times.
    std::stable_sort(existing.begin(), existing.end(), [](const SlotAge& a, const SlotAge& b) {
        return a.key != b.key ? a.key < b.key : a.time < b.time;
    });
    for (const SlotAge& age : existing) order.push_back(age.slot);
    return order;
}

int chooseBackupSlot(const std::vector<std::string>& slotPaths, int backupFileSize, const FileTimes& times) {
    if (backupFileSize <= 0) return 0;
    const std::vector<int> order = backupSlotOrder(slotPaths, backupFileSize, times);
    return order.empty() ? 0 : order.front();
}

int writeBackup(const std::vector<std::string>& slotPaths, int backupFileSize, SaveKind kind, const SlotWriter& write,
                const FileTimes& times) {
    for (int slot : backupSlotOrder(slotPaths, backupFileSize, times))
        if (write(slotPaths[static_cast<std::size_t>(slot)], kind)) return slot;
    return -1;
}

std::vector<int> newestSlotsFirst(const std::vector<std::string>& slotPaths, int backupFileSize,
                                  const FileTimes& times) {
    struct Dated {
        int slot;
        std::uint64_t time;
    };
    std::vector<Dated> listed;
    const int inUse = slotPaths.empty() ? 0 : slotsInUse(backupFileSize, slotPaths.size());
    for (int slot = 0; slot < inUse; ++slot) {
        std::uint64_t time = 0;
        if (!times.localFileTime(slotPaths[static_cast<std::size_t>(slot)], time)) continue;
        // in front of the first listed slot that is strictly older, else at the end
        auto at = std::find_if(listed.begin(), listed.end(), [&](const Dated& d) { return d.time < time; });
        listed.insert(at, {slot, time});
    }
    std::vector<int> order;
    for (const Dated& d : listed) order.push_back(d.slot);
    return order;
}

std::string saveKindLabel(std::int32_t kind) { return kind >= 0 && kind <= 3 ? KIND_LABELS[kind] : ""; }

std::string fileNameOf(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string restoreLine(const StampTime& t, const std::string& fileName, std::int32_t saveKind, bool otherBook) {
    std::string label = saveKindLabel(saveKind);
    if (otherBook) label += OTHER_BOOK_SUFFIX;
    label.resize(std::min(label.size(), LABEL_CAPACITY - 1));
    char line[512];
    std::snprintf(line, sizeof line, LINE_FORMAT, t.year, t.month, t.day, t.hour, t.minute, fileName.c_str(),
                  label.c_str());
    return line;
}

std::string placeStamped(const std::string& base, const std::string& stamp,
                         const std::function<bool(const std::string& target)>& place) {
    const std::string name = base + "." + stamp;
    for (int n = 0; n <= MAX_STAMP_SUFFIX; ++n) {
        const std::string target = n == 0 ? name : name + "-(" + std::to_string(n) + ")";
        if (place(target)) return target;
    }
    return std::string();
}

}  // namespace backup
