#include "backup/BackupSlots.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "store/AtomicFile.h"
#include "store/FileReader.h"

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

// Existing slots (oldest first by their times) by the written order: those it does not name
// first, then the named ones oldest first, then those written after the order was (a process
// ended between a backup and its line in the order: that backup is the newest). False when no
// order is kept.
bool inWrittenOrder(const std::vector<std::string>& slotPaths, std::vector<SlotAge>& existing, const FileTimes& times) {
    const std::vector<int> written = readSlotOrder(slotPaths);
    if (written.empty()) return false;
    std::uint64_t recorded = 0;
    const bool dated = times.localFileTime(slotOrderPath(slotPaths), recorded);
    const auto later = [&](const SlotAge& age) { return dated && age.time > recorded; };
    std::vector<SlotAge> named, unnamed, after;
    for (int slot : written)
        for (const SlotAge& age : existing)
            if (age.slot == slot && !later(age)) named.push_back(age);
    for (const SlotAge& age : existing)
        if (later(age))
            after.push_back(age);
        else if (std::find(written.begin(), written.end(), age.slot) == written.end())
            unnamed.push_back(age);
    existing = unnamed;
    existing.insert(existing.end(), named.begin(), named.end());
    existing.insert(existing.end(), after.begin(), after.end());
    return true;
}

}  // namespace

std::string slotOrderPath(const std::vector<std::string>& slotPaths) {
    if (slotPaths.empty()) return std::string();
    const std::string& first = slotPaths.front();
    const std::size_t separator = first.find_last_of("\\/");
    return (separator == std::string::npos ? std::string() : first.substr(0, separator + 1)) + "slots.txt";
}

std::vector<int> readSlotOrder(const std::vector<std::string>& slotPaths) {
    std::string bytes;
    if (slotPaths.empty() || readFileBytes(slotOrderPath(slotPaths), bytes) != ReadBytesResult::Ok) return {};
    std::vector<int> order;
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.size() > 3 || line.find_first_not_of("0123456789") != std::string::npos) return {};
        const int slot = std::stoi(line);
        if (slot >= static_cast<int>(slotPaths.size()) || std::find(order.begin(), order.end(), slot) != order.end())
            return {};
        order.push_back(slot);
    }
    return order;
}

bool recordSlotWritten(const std::vector<std::string>& slotPaths, int slot, const FileTimes& times) {
    if (slotPaths.empty() || slot < 0 || slot >= static_cast<int>(slotPaths.size())) return false;
    std::vector<int> order = readSlotOrder(slotPaths);
    // the backups the order missed come in first, oldest first, then the one just written
    std::uint64_t recorded = 0;
    std::vector<std::pair<std::uint64_t, int>> missed;
    if (!order.empty() && times.localFileTime(slotOrderPath(slotPaths), recorded))
        for (int s = 0; s < static_cast<int>(slotPaths.size()); ++s) {
            std::uint64_t written = 0;
            if (times.localFileTime(slotPaths[static_cast<std::size_t>(s)], written) && written > recorded &&
                written <= times.localNow())
                missed.push_back({written, s});
        }
    std::sort(missed.begin(), missed.end());
    for (const auto& m : missed) order.push_back(m.second);
    order.push_back(slot);
    std::vector<int> once;  // each slot at its newest place
    for (auto s = order.rbegin(); s != order.rend(); ++s)
        if (std::find(once.begin(), once.end(), *s) == once.end()) once.insert(once.begin(), *s);
    std::string text;
    for (int s : once) text += std::to_string(s) + "\r\n";
    return writeFileAtomically(slotOrderPath(slotPaths), text);
}

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
    const std::uint64_t now = times.localNow();
    const int inUse = backupFileSize <= 0 ? 1 : slotsInUse(backupFileSize, slotPaths.size());
    for (int slot = 0; slot < inUse; ++slot) {
        const std::string& path = slotPaths[static_cast<std::size_t>(slot)];
        StampTime time;
        std::uint64_t full = 0;
        if (times.localWriteTime(path, time) && times.localFileTime(path, full))
            // dated in the future: no newer for that, overwritten first
            existing.push_back(full > now ? SlotAge{slot, INT32_MIN, 0} : SlotAge{slot, slotTimeKey(time), full});
        else
            order.push_back(slot);  // free: filled in slot order before any is overwritten
    }
    // Oldest key first. Slots of the same minute go by their full time, so the backup just
    // written is never the next one overwritten (a delete's backup, then the exit's, within
    // a minute); a stable sort keeps the lower number first among equal times.
    std::stable_sort(existing.begin(), existing.end(), [](const SlotAge& a, const SlotAge& b) {
        return a.key != b.key ? a.key < b.key : a.time < b.time;
    });
    // the written order, where it is kept, overrules the clock
    inWrittenOrder(slotPaths, existing, times);
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
    std::vector<SlotAge> existing;
    const std::uint64_t now = times.localNow();
    for (int slot = 0; slot < inUse; ++slot) {
        std::uint64_t time = 0;
        if (!times.localFileTime(slotPaths[static_cast<std::size_t>(slot)], time)) continue;
        if (time > now) time = 0;  // dated in the future: no newer for that
        existing.push_back({slot, 0, time});
        // in front of the first listed slot that is strictly older, else at the end
        auto at = std::find_if(listed.begin(), listed.end(), [&](const Dated& d) { return d.time < time; });
        listed.insert(at, {slot, time});
    }
    std::vector<int> order;
    std::stable_sort(existing.begin(), existing.end(),
                     [](const SlotAge& a, const SlotAge& b) { return a.time < b.time; });
    if (inWrittenOrder(slotPaths, existing, times)) {
        for (auto it = existing.rbegin(); it != existing.rend(); ++it) order.push_back(it->slot);
        return order;
    }
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
