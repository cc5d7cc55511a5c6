#include "store/Salvage.h"

#include <algorithm>
#include <map>

#include "store/ByteReader.h"
#include "store/ByteWriter.h"
#include "store/OldDataFile.h"

namespace {

// Where a record's head can plausibly start: the writer leaves tell-tale
// values in every head, so a stray match inside a text is most unlikely.
bool plausibleHead(const unsigned char* head, std::int32_t minOrder) {
    const std::int32_t order = bytes::getI32LE(head);
    const std::int32_t parent = bytes::getI32LE(head + 4);
    const std::int32_t titleLength = bytes::getI32LE(head + 12);
    const std::int32_t textLength = bytes::getI32LE(head + 16);
    const std::int32_t blocks = bytes::getI32LE(head + 20);
    return order >= minOrder && parent >= -1 && parent < order && head[8] <= 1 && head[9] <= 1 && head[10] == 0 &&
           head[11] == 0 && titleLength >= 1 && textLength >= 1 &&
           (blocks == 0 || blocks == 24 || blocks == 48 || blocks == 72);
}

// A record that reads whole at `at`, with its title and text each ending in
// the NUL the writer puts there.
bool wholeRecordAt(const unsigned char* data, std::size_t size, std::size_t at, std::int32_t minOrder,
                   PageRecord& record, std::size_t& next, bool& scroll) {
    if (size - at < RECORD_HEAD_SIZE || !plausibleHead(data + at, minOrder)) return false;
    ReadReport report;
    if (!parseRecordAt(data, size, at, record, next, &report)) return false;
    const std::size_t titleLength = static_cast<std::size_t>(bytes::getI32LE(data + at + 12));
    const std::size_t bodyLength =
        record.isSecure ? record.cipher.size() : static_cast<std::size_t>(bytes::getI32LE(data + at + 16));
    const std::size_t titleEnd = next - bodyLength;
    if (next - at < RECORD_HEAD_SIZE + titleLength + bodyLength || data[titleEnd - 1] != 0) return false;
    if (!record.isSecure && data[next - 1] != 0) return false;
    scroll = scroll || report.scrollBlocks;
    return true;
}

// Consecutive kept records make one stretch.
void addSpan(Salvage& out, const SalvageSpan& span) {
    if (span.kept && !out.spans.empty()) {
        SalvageSpan& previous = out.spans.back();
        if (previous.kept && previous.end == span.begin) {
            previous.lastRecord = span.lastRecord;
            previous.end = span.end;
            return;
        }
    }
    out.spans.push_back(span);
}

// Renumbers the kept records 0.. and points their parents at the new numbers.
void renumber(Salvage& out, const std::map<std::int32_t, int>& byOrder, std::int32_t bookmarkOrder) {
    for (int i = 0; i < out.table.count(); ++i) {
        PageRecord& record = out.table.recordAt(i);
        auto parent = byOrder.find(record.parentOrder);
        record.parentOrder = parent == byOrder.end() ? -1 : parent->second;
        record.order = i;
    }
    auto bookmark = byOrder.find(bookmarkOrder);
    out.header.bookmark = bookmark == byOrder.end() ? 0 : bookmark->second;
}

}  // namespace

bool salvageDataFile(const void* file, std::size_t size, Salvage& out, std::string& why) {
    out = Salvage();
    std::size_t at = 0;
    ReadReport head;
    if (!parseDataFileHead(file, size, out.header, out.version, at, out.storedCount, &head)) {
        why = head.problem;
        return false;
    }
    const auto* data = static_cast<const unsigned char*>(file);
    std::map<std::int32_t, int> byOrder;
    std::int32_t expected = 0;  // the order the next record should carry
    while (at < size) {
        PageRecord record;
        std::size_t next = 0;
        if (wholeRecordAt(data, size, at, expected, record, next, out.scrollBlocks)) {
            addSpan(out, {true, record.order, record.order, at, next, ""});
            byOrder[record.order] = out.table.count();
            expected = record.order + 1;
            out.table.appendRecord(std::move(record));
            at = next;
            continue;
        }
        // Damage: what went wrong here, then the next place a record reads whole.
        ReadReport report;
        PageRecord ignored;
        std::size_t unused = 0;
        const bool cut = !parseRecordAt(data, size, at, ignored, unused, &report);
        std::size_t resume = at + 1;
        std::int32_t found = -1;
        for (; resume < size; ++resume) {
            PageRecord probe;
            bool scroll = false;
            if (wholeRecordAt(data, size, resume, expected, probe, unused, scroll)) {
                found = probe.order;
                break;
            }
        }
        const int lastLost = found >= 0 ? found - 1 : std::max(expected, out.storedCount) - 1;
        addSpan(out, {false, expected, lastLost, at, resume,
                      cut ? report.problem : "no whole record starts here (its head or lengths do not fit)"});
        at = resume;
    }
    if (at == size && out.storedCount > expected && (out.spans.empty() || out.spans.back().kept))
        addSpan(out, {false, expected, out.storedCount - 1, size, size, "the file ends before these records"});
    renumber(out, byOrder, out.header.bookmark);
    return true;
}

bool salvageOldDataFile(const void* file, std::size_t size, Salvage& out, std::string& why) {
    out = Salvage();
    ByteReader in(file, size);
    if (size < OLD_HEADER_SIZE || detectDataBytes(file, size) != DATA_FILE_OLDER) {
        why = size < OLD_HEADER_SIZE ? "the header ends early" : "not a file of an older generation";
        return false;
    }
    out.storedCount = bytes::getI32LE(static_cast<const unsigned char*>(file) + 12);
    in.skip(OLD_HEADER_SIZE);
    // Pages carry no marks to find the next one by: the first damage ends the salvage.
    for (int i = 0; in.remaining() > 0; ++i) {
        const std::size_t at = in.offset();
        std::int32_t length = 0;
        PageRecord page;
        if (!in.i32LE(length) || !in.cString(page.title, OLD_TITLE_SIZE) || length < 0 ||
            !in.cString(page.text, static_cast<std::size_t>(length))) {
            addSpan(out, {false, i, std::max(i, out.storedCount) - 1, at, size,
                          "page " + std::to_string(i) + " does not read whole"});
            break;
        }
        page.order = i;
        page.parentOrder = -1;
        page.isExpanded = 1;
        addSpan(out, {true, i, i, at, in.offset(), ""});
        out.table.appendRecord(std::move(page));
    }
    const int kept = out.table.count();
    if (in.remaining() == 0 && out.storedCount > kept)
        addSpan(out, {false, kept, out.storedCount - 1, size, size, "the file ends before these pages"});
    return true;
}
