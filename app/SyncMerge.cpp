#include <windows.h>

#include "app/SyncMerge.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/Book.h"
#include "app/BookLoad.h"
#include "app/MainControls.h"
#include "app/MergeBase.h"
#include "app/PageDisplay.h"
#include "backup/BackupSlots.h"
#include "editor/DateStamp.h"
#include "pagelist/PageListTree.h"
#include "store/DataFile.h"
#include "store/TreeSource.h"
#include "sync/BookMerge.h"
#include "sync/ConflictCopies.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace syncmerge {

namespace {

std::set<std::string> gDeclined;  // copies the user chose not to merge, this run
bool gOffering = false;

// A table's records in tree order, each with its text held (a secure page's cipher): what the
// merge compares and what the merged book is made of.
struct Side {
    std::vector<PageRecord> records;
    bookmerge::Book book;
};

bool sideOf(const PageTable& table, Side& side) {
    std::vector<int> byOrder(static_cast<std::size_t>(table.count()));
    for (int i = 0; i < table.count(); ++i) byOrder[static_cast<std::size_t>(i)] = i;
    std::stable_sort(byOrder.begin(), byOrder.end(),
                     [&](int a, int b) { return table.recordAt(a).order < table.recordAt(b).order; });
    std::vector<int> depthOfOrder;
    for (int i : byOrder) {
        PageRecord record = table.recordAt(i);
        std::string held;
        if (!record.isFolder && !(record.isSecure ? loadCipher(record, held) : loadText(record, held))) return false;
        if (record.isSecure)
            record.cipher = held;
        else
            record.text = held;
        record.place = TextPlace();
        const int parent = record.parentOrder;
        const int depth = parent >= 0 && parent < static_cast<int>(depthOfOrder.size())
                              ? depthOfOrder[static_cast<std::size_t>(parent)] + 1
                              : 0;
        depthOfOrder.push_back(depth);
        side.book.push_back(bookmerge::Page{record.title, depth, record.isFolder != 0,
                                            (record.isSecure ? "c" : "t") + held});
        side.records.push_back(std::move(record));
    }
    return true;
}

bool readSide(const std::string& path, std::int32_t bookNumber, Side& side) {
    PageTable table;
    DataFileHeader header;
    VersionBlock version;
    return readDataFile(path, table, header, version) && version.bookNumber == bookNumber && sideOf(table, side);
}

// The merged book as a table in tree order.
PageTable mergedTable(const bookmerge::Result& result, const Side& ours, const Side& theirs) {
    PageTable table;
    std::vector<int> open;  // the order of the folder at each depth
    for (std::size_t i = 0; i < result.pages.size(); ++i) {
        const bookmerge::Placed& p = result.pages[i];
        const Side& from = p.side == bookmerge::Side::Ours ? ours : theirs;
        PageRecord record = from.records[static_cast<std::size_t>(p.index)];
        record.item = NO_ITEM;
        record.title = p.title.substr(0, 255);
        record.order = static_cast<std::int32_t>(i);
        open.resize(static_cast<std::size_t>(p.depth));
        record.parentOrder = open.empty() ? -1 : open.back();
        open.push_back(static_cast<int>(i));
        table.appendRecord(std::move(record));
    }
    return table;
}

std::string stampNow() {
    const std::string stamp = datestamp::CurrentDateStamp(datestamp::DATE_FORMAT_FILE_STAMP);
    return stamp.substr(0, 8) + "-" + stamp.substr(8);
}

// "quiltpad.sync-conflict-….qpd" -> "quiltpad.merged.20261210-101500.qpd" beside the data file.
std::string renameAside(const std::string& copy) {
    const std::string& data = gApp.paths.dataFilePath;
    const std::string::size_type dot = data.rfind('.');
    const std::string stem = data.substr(0, dot), extension = data.substr(dot);
    const std::string kept = backup::placeStamped(stem + ".merged", stampNow(), [&](const std::string& target) {
        return MoveFileW(wide::from932(copy).c_str(), wide::from932(target + extension).c_str()) != FALSE;
    });
    return kept.empty() ? kept : kept + extension;
}

std::string originOf(const std::string& path, const std::string& told) {
    if (!told.empty()) return told;
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME at = {};
    FILETIME local;
    if (!GetFileAttributesExW(wide::from932(path).c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &at))
        return "copy";
    char text[32];
    std::snprintf(text, sizeof text, "%04u/%02u/%02u %02u:%02u", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute);
    return text;
}

}  // namespace

bool mergeCopy(HWND window, const std::string& path, const std::string& origin) {
    pagedisplay::storeShownPage();
    PageListTree tree(gControls.pageList);
    refreshFromTree(gBook.pages, tree);
    Side ours, theirs, base;
    if (!sideOf(gBook.pages, ours) || !readSide(path, gBook.bookNumber, theirs)) return false;
    const bool haveBase = readSide(mergebase::pathFor(gApp.paths.backupFolder), gBook.bookNumber, base);
    const bookmerge::Result result = bookmerge::merge(haveBase ? base.book : bookmerge::commonBase(ours.book, theirs.book),
                                                      ours.book, theirs.book, origin);
    const PageTable merged = mergedTable(result, ours, theirs);
    // the book from before is kept first; the data file is let go for the replace
    if (!bookload::makeBackup(SaveKind::BeforeRestore)) return false;
    for (const TextSource* file : placeFiles(gBook.pages)) file->release();
    if (gBook.pages.heldFile()) gBook.pages.heldFile()->release();
    if (!writeDataFile(gApp.paths.dataFilePath, makeVersionBlock(SaveKind::ExitData, gBook.bookNumber),
                       gApp.ini.window.ExitScroll, merged, gBook.header))
        return false;
    bookload::loadIntoUi(window, gApp.paths.dataFilePath);
    const std::string kept = renameAside(path);
    char counts[512];
    std::snprintf(counts, sizeof counts, appmessages::MERGED_FORMAT, result.added, result.changed, result.keptTwice,
                  result.kept, result.moved, result.deleted);
    wide::messageBox(window, counts + (kept.empty() ? path : kept), appmessages::MERGE_CAPTION, MB_OK | MB_ICONINFORMATION);
    return true;
}

void offerMerges(HWND window) {
    if (gOffering || busy::inProgress()) return;
    const std::string& data = gApp.paths.dataFilePath;
    const std::string::size_type slash = data.find_last_of('\\');
    if (slash == std::string::npos) return;
    const std::string folder = data.substr(0, slash + 1), book = data.substr(slash + 1);
    std::vector<std::pair<std::string, conflictcopies::Copy>> copies;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide::from932(folder + "*.qpd").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::string name;
        if (!wide::to932(found.cFileName, name)) continue;
        const conflictcopies::Copy copy = conflictcopies::judge(name, book);
        unsigned char first[VERSION_BLOCK_SIZE];
        if (!copy.conflicted || gDeclined.count(folder + name) || !readFirst32(folder + name, first) ||
            detectDataBytes(first, sizeof first) != DATA_FILE_CURRENT || decodeVersionBlock(first).bookNumber != gBook.bookNumber)
            continue;  // not a copy of this book: left alone
        copies.emplace_back(folder + name, copy);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    gOffering = true;
    for (const auto& [path, copy] : copies) {
        const busy::Operation operation;
        const std::string text = appmessages::MERGE_QUESTION_TEXT + path + appmessages::MERGE_QUESTION_ASK;
        if (wide::messageBox(window, text, appmessages::MERGE_CAPTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1) != IDYES) {
            gDeclined.insert(path);
            continue;
        }
        if (!mergeCopy(window, path, originOf(path, copy.origin)))
            wide::messageBox(window, appmessages::MERGE_FAILED_TEXT + path, appmessages::MERGE_CAPTION, MB_OK | MB_ICONWARNING);
    }
    gOffering = false;
}

}  // namespace syncmerge
