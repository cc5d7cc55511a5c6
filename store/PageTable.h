// The book in memory: one PageRecord per page or folder.
//
// While the program runs the page list is the authority on the tree's shape;
// each record carries the handle of its tree item, and `order`/`parentOrder`
// hold the shape in flattened form only right after a load and right after
// refreshFromTree. The position of a record in the table is not its tree
// position, except immediately after a load.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/HandleIndex.h"
#include "store/TextSource.h"

// Handle of a page-list tree item; the Win32 side casts HTREEITEM to it.
using ItemHandle = std::uintptr_t;
constexpr ItemHandle NO_ITEM = 0;

struct PageRecord {
    ItemHandle item = NO_ITEM;
    std::string title;  // code page 932
    // RTF; empty for a secure page at rest, and while the text is at its place
    // in the data file. Read it with loadText, change it with setText.
    std::string text;
    std::array<std::uint8_t, 32> textHash{};
    std::uint8_t isFolder = 0;
    std::uint8_t isExpanded = 0;
    std::int32_t order = 0;
    std::int32_t parentOrder = 0;
    std::int32_t selStart = 0;
    std::int32_t selEnd = 0;
    std::int32_t scrollH = 0;
    std::int32_t scrollV = 0;
    std::int32_t isSecure = 0;
    std::string cipher;  // raw bytes, not text; empty while at its place (loadCipher)
    // Where the text (or the cipher) is in the data file while it is not held
    // here. Bytes held in `text` or `cipher` win over a place.
    TextPlace place;
};

// The text of every page a command creates (222 bytes).
extern const char EMPTY_PAGE_RTF[];
constexpr std::size_t EMPTY_PAGE_RTF_LENGTH = 222;
// Its first three lines without the final "\par": where a page's text starts.
constexpr std::size_t EMPTY_PAGE_RTF_HEAD_LENGTH = 213;

class PageTable {
public:
    int count() const { return static_cast<int>(records_.size()); }

    // Index of the first record with this item, or -1.
    int indexOfItem(ItemHandle item) const;
    // The item must be in the table.
    PageRecord& recordOfItem(ItemHandle item);
    const PageRecord& recordOfItem(ItemHandle item) const;
    // The index must be inside the table.
    PageRecord& recordAt(int index);
    const PageRecord& recordAt(int index) const;

    void addEmptyRecord(ItemHandle item);
    void addPage(ItemHandle item, const std::string& text, const std::string& title, bool isFolder);
    void appendRecord(const PageRecord& record);
    void appendRecord(PageRecord&& record);
    // Removes one record; the ones behind it keep their relative order.
    void removeAt(int index);
    void clear();
    void reserve(int records);

    // Gives a record a new item handle and keeps the lookup index current.
    // Code that writes `item` directly is still found (the index notices stale
    // entries), this is just the cheap way.
    void setItem(int index, ItemHandle item);

    // The data file the table was read from or last saved as: held open while the program
    // runs (others may read it, never write it), whether or not a text is still at a place in it.
    void holdFile(TextSourcePtr file) { held_ = std::move(file); }
    const TextSourcePtr& heldFile() const { return held_; }

private:
    void rebuildIndex() const;
    bool indexEntryValid(ItemHandle item, int index) const;

    std::vector<PageRecord> records_;
    // The handle of the record at an index, for the lookup index.
    struct ItemOf {
        const PageTable* table;
        ItemHandle operator()(std::uint32_t index) const { return table->records_[index].item; }
    };
    ItemOf itemOf() const { return ItemOf{this}; }

    // First index holding each item handle. A cache: checked on every use and
    // rebuilt whenever it does not match the records.
    mutable HandleIndex index_;
    mutable bool indexStale_ = false;
    TextSourcePtr held_;
};

// A full copy of every field, `item` included.
void copyRecord(const PageRecord& source, PageRecord& destination);
// Copies every field except `item`; `item` too when copyItem is 1.
void copyFields(const PageRecord& source, PageRecord& destination, int copyItem);
void setTitle(PageRecord& record, const std::string& title);
void setCipher(PageRecord& record, const void* bytes, std::size_t length);
// Copies `cipher` out into a buffer of at least cipherSize; returns the length,
// 0 when its place cannot be read.
std::size_t readCipher(const PageRecord& record, void* buffer);
std::size_t cipherSize(const PageRecord& record);
// Forgets the cipher, held or at its place.
void clearCipher(PageRecord& record);

// The page's RTF, held or read from its place; false (and `out` empty) when
// the place cannot be read. `window` serves walks over many pages.
bool loadText(const PageRecord& record, std::string& out, PlaceWindow* window = nullptr);
// The same as a view, valid until the record changes or the window reads again.
bool viewText(const PageRecord& record, std::string_view& out, PlaceWindow& window);
bool loadCipher(const PageRecord& record, std::string& out, PlaceWindow* window = nullptr);
// A changed text: held in memory until the next save puts it at a place.
void setText(PageRecord& record, std::string text);
// Length of the text as stored (up to its first NUL).
std::size_t textLength(const PageRecord& record);
bool hasTextPlace(const PageRecord& record);
// The files the table's places are in, each once.
std::vector<const TextSource*> placeFiles(const PageTable& table);
// Reads the text or cipher at its place into the record, which then holds it
// (a copy that outlives a save); false when it cannot be read.
bool holdContent(PageRecord& record);
bool hasCipherPlace(const PageRecord& record);
