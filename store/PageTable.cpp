#include "store/PageTable.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "store/ZeroByte.h"

const char EMPTY_PAGE_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\par\r\n"
    "}\r\n";
static_assert(sizeof(EMPTY_PAGE_RTF) == EMPTY_PAGE_RTF_LENGTH + 1, "the empty page is 222 bytes");

namespace {

// Stands in for a record that does not exist, so that a caller's mistake
// writes into a scratch record instead of past the end of the table.
PageRecord& scratchRecord() {
    static PageRecord scratch;
    scratch = PageRecord();
    return scratch;
}

}  // namespace

bool PageTable::indexEntryValid(ItemHandle item, int index) const {
    return index >= 0 && index < count() && records_[static_cast<std::size_t>(index)].item == item;
}

void PageTable::rebuildIndex() const {
    index_.clear();
    index_.reserve(records_.size(), itemOf());
    for (std::size_t i = 0; i < records_.size(); ++i)
        index_.insert(static_cast<std::uint32_t>(i), itemOf());  // keeps the first
    indexStale_ = false;
}

int PageTable::indexOfItem(ItemHandle item) const {
    if (!indexStale_) {
        const std::uint32_t found = index_.find(item, itemOf());
        if (found != HandleIndex::NONE && indexEntryValid(item, static_cast<int>(found)))
            return static_cast<int>(found);
    }
    // A miss or a stale entry: someone changed `item` behind the index, or
    // records were removed. Rebuild once and look again.
    rebuildIndex();
    const std::uint32_t found = index_.find(item, itemOf());
    return found == HandleIndex::NONE ? -1 : static_cast<int>(found);
}

PageRecord& PageTable::recordOfItem(ItemHandle item) { return recordAt(indexOfItem(item)); }

const PageRecord& PageTable::recordOfItem(ItemHandle item) const { return recordAt(indexOfItem(item)); }

PageRecord& PageTable::recordAt(int index) {
    assert(index >= 0 && index < count() && "record index outside the table");
    if (index < 0 || index >= count()) return scratchRecord();
    return records_[static_cast<std::size_t>(index)];
}

const PageRecord& PageTable::recordAt(int index) const {
    assert(index >= 0 && index < count() && "record index outside the table");
    if (index < 0 || index >= count()) return scratchRecord();
    return records_[static_cast<std::size_t>(index)];
}

void PageTable::appendRecord(PageRecord&& record) {
    const int index = count();
    records_.push_back(std::move(record));
    if (!indexStale_) index_.insert(static_cast<std::uint32_t>(index), itemOf());  // an earlier one stays first
}

void PageTable::appendRecord(const PageRecord& record) { appendRecord(PageRecord(record)); }

void PageTable::addEmptyRecord(ItemHandle item) {
    const int index = count();
    records_.emplace_back().item = item;
    if (!indexStale_) index_.insert(static_cast<std::uint32_t>(index), itemOf());
}

void PageTable::addPage(ItemHandle item, const std::string& text, const std::string& title, bool isFolder) {
    PageRecord record;
    record.item = item;
    setText(record, text);
    record.title = title;
    record.isFolder = isFolder ? 1 : 0;
    record.isExpanded = 1;
    appendRecord(std::move(record));
}

void PageTable::removeAt(int index) {
    assert(index >= 0 && index < count() && "record index outside the table");
    if (index < 0 || index >= count()) return;
    records_.erase(records_.begin() + index);
    // Every index behind the removed record moved; renumber lazily.
    indexStale_ = true;
}

void PageTable::reserve(int records) {
    const std::size_t count = records > 0 ? static_cast<std::size_t>(records) : 0;
    records_.reserve(count);
    if (!indexStale_) index_.reserve(count, itemOf());
}

void PageTable::clear() {
    records_.clear();
    index_.clear();
    indexStale_ = false;
    held_.reset();
}

void PageTable::setItem(int index, ItemHandle item) {
    assert(index >= 0 && index < count() && "record index outside the table");
    if (index < 0 || index >= count()) return;
    PageRecord& record = records_[static_cast<std::size_t>(index)];
    // Another record may hold the old handle too; find it on the next lookup.
    if (!indexStale_ && index_.find(record.item, itemOf()) == static_cast<std::uint32_t>(index)) indexStale_ = true;
    record.item = item;
    if (indexStale_) return;
    const std::uint32_t entry = index_.find(item, itemOf());
    if (entry == HandleIndex::NONE || entry > static_cast<std::uint32_t>(index))
        index_.assign(static_cast<std::uint32_t>(index), itemOf());
}

void copyRecord(const PageRecord& source, PageRecord& destination) { destination = source; }

void copyFields(const PageRecord& source, PageRecord& destination, int copyItem) {
    ItemHandle item = destination.item;
    destination = source;
    if (copyItem != 1) destination.item = item;
}

void setTitle(PageRecord& record, const std::string& title) { record.title = title; }

void setCipher(PageRecord& record, const void* bytes, std::size_t length) {
    record.cipher.assign(static_cast<const char*>(bytes), length);
    if (hasCipherPlace(record)) record.place = TextPlace();
}

bool hasTextPlace(const PageRecord& record) { return record.place.source && !record.place.cipher; }
bool hasCipherPlace(const PageRecord& record) { return record.place.source && record.place.cipher; }

std::size_t cipherSize(const PageRecord& record) {
    if (record.cipher.empty() && hasCipherPlace(record)) return record.place.length;
    return record.cipher.size();
}

std::size_t readCipher(const PageRecord& record, void* buffer) {
    if (record.cipher.empty() && hasCipherPlace(record)) {
        const TextPlace& place = record.place;
        return place.source->read(place.offset, buffer, place.length) ? place.length : 0;
    }
    if (!record.cipher.empty()) std::memcpy(buffer, record.cipher.data(), record.cipher.size());
    return record.cipher.size();
}

void clearCipher(PageRecord& record) {
    record.cipher.clear();
    if (hasCipherPlace(record)) record.place = TextPlace();
}

namespace {

bool loadPlace(const TextPlace& place, std::string& out, PlaceWindow* window) {
    out.clear();
    if (window) {
        const char* bytes = window->bytes(place);
        if (bytes) out.assign(bytes, place.length);
        return bytes != nullptr;
    }
    out.resize(place.length);
    if (place.length == 0 || place.source->read(place.offset, &out[0], place.length)) return true;
    out.clear();
    return false;
}

}  // namespace

bool loadText(const PageRecord& record, std::string& out, PlaceWindow* window) {
    if (record.text.empty() && hasTextPlace(record)) return loadPlace(record.place, out, window);
    out = record.text;
    return true;
}

bool viewText(const PageRecord& record, std::string_view& out, PlaceWindow& window) {
    out = std::string_view();
    if (!record.text.empty() || !hasTextPlace(record)) {
        out = record.text;
        return true;
    }
    const char* bytes = window.bytes(record.place);
    if (bytes) out = std::string_view(bytes, record.place.length);
    return bytes != nullptr;
}

bool loadCipher(const PageRecord& record, std::string& out, PlaceWindow* window) {
    if (record.cipher.empty() && hasCipherPlace(record)) return loadPlace(record.place, out, window);
    out = record.cipher;
    return true;
}

std::vector<const TextSource*> placeFiles(const PageTable& table) {
    std::vector<const TextSource*> found;
    if (table.heldFile()) found.push_back(table.heldFile().get());
    const TextSource* last = nullptr;
    for (int i = 0; i < table.count(); ++i) {
        const TextSource* source = table.recordAt(i).place.source.get();
        if (!source || source == last) continue;
        last = source;
        if (std::find(found.begin(), found.end(), source) == found.end()) found.push_back(source);
    }
    return found;
}

bool holdContent(PageRecord& record) {
    if (!record.place.source) return true;
    std::string& held = record.place.cipher ? record.cipher : record.text;
    if (held.empty() && !loadPlace(record.place, held, nullptr)) return false;
    record.place = TextPlace();
    return true;
}

void setText(PageRecord& record, std::string text) {
    record.text = std::move(text);
    if (hasTextPlace(record)) record.place = TextPlace();
}

std::size_t textLength(const PageRecord& record) {
    if (record.text.empty() && hasTextPlace(record)) return record.place.length;
    return zeroByteOffset(record.text.data(), record.text.size());
}
