#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include "app/BookLoad.h"

#include <cstdlib>
#include <ctime>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/DataFileGuard.h"
#include "app/MergeBase.h"
#include "app/OpenMarker.h"
#include "app/Book.h"
#include "app/Commands.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"
#include "backup/AutoRestore.h"
#include "backup/Backup.h"
#include "editor/RtfStream.h"
#include "pagelist/PageListTree.h"
#include "res/resource.h"
#include "secure/SecurePages.h"
#include "settings/ColourScheme.h"
#include "store/Cp932.h"
#include "store/DeletionMarks.h"
#include "store/FileReader.h"
#include "store/OldDataFile.h"
#include "store/TextSource.h"
#include "store/TreeSource.h"
#include "ui/WideText.h"

namespace bookload {

namespace {

const char DEFAULT_PAGE_TITLE[] = "ページ";

bool gIncomplete = false;  // the page list lacks pages of the book read: nothing is written

HWND editorWindow() { return gControls.memo.window(); }

// Every byte of a non-ASCII character as \'xx (both bytes of a double-byte one), the way the
// editor writes them.
std::string escapeRtfLine(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
            continue;
        }
        cp932::appendRtfEscape(out, *p);
        if (cp932::isLeadByte(*p) && p[1]) cp932::appendRtfEscape(out, *++p);
    }
    return out;
}

// The first three lines of the empty page, up to and including "\par" and its line break.
std::string emptyPageHead() {
    const std::string empty(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH);
    const size_t par = empty.find("\\par\r\n");
    return empty.substr(0, par + 6);
}

void fillNewBook(PageTable& table) {
    const std::string texts[3] = {welcomeRtf(), std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH),
                                  std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH)};
    for (int i = 0; i < 3; ++i) {
        PageRecord r;
        r.title = DEFAULT_PAGE_TITLE;
        r.text = texts[i];
        r.isExpanded = 1;
        r.parentOrder = -1;
        r.order = i;
        table.appendRecord(std::move(r));
    }
}

bool hasSecureRecord(const PageTable& table) {
    for (int i = 0; i < table.count(); ++i)
        if (table.recordAt(i).isSecure) return true;
    return false;
}

// Page list lines, wrap, links, clipboard modes, colours, text limit and standard font.
void applyHeader(HWND mainWindow, const DataFileHeader& h) {
    MemoEditor& memo = gControls.memo;
    gControls.pageList.SetLines(h.listLines != 0);
    memo.SetNoWrap(h.noWrap != 0);
    memo.SetUrlDetection(h.urlDetection != 0);
    memo.copyAsText = h.copyAsText != 0;
    memo.pasteAsText = h.pasteAsText != 0;
    applyColours(mainWindow, h);
    memo.SetTextLimit(h.textLimit);
    memo.SetDefaultFont(fontFaceOf(h), std::abs(h.standardFontHeight), h.standardFontColour);
}

// Selects the bookmarked record's item and scrolls the page list so the item above it shows.
void selectStartPage(const DataFileHeader& header) {
    PageListControl& list = gControls.pageList;
    const int index = bookmarkIndex(header.bookmark, gBook.pages.count());
    if (index < 0 || index >= gBook.pages.count()) return;
    const ItemHandle item = gBook.pages.recordAt(index).item;
    list.Select(item);
    HWND tree = list.window();
    HTREEITEM above = TreeView_GetPrevVisible(tree, reinterpret_cast<HTREEITEM>(item));
    TreeView_EnsureVisible(tree, above ? above : reinterpret_cast<HTREEITEM>(item));
    const int indent = static_cast<int>(SendMessageW(tree, TVM_GETINDENT, 0, 0));
    int levels = list.Depth(item);
    if (GetWindowLongW(tree, GWL_STYLE) & TVS_HASBUTTONS) levels -= 1;
    const int x = levels > 0 ? levels * indent : 0;
    SendMessageW(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
}

// The data file stays open while the program runs and its texts stay there, read when needed.
// Any other file (a backup slot on a restore) is read whole: a backup slot is never a source.
bool readCurrentFile(const std::string& path, PageTable& table, DataFileHeader& header, VersionBlock& version,
                     ReadReport& report) {
    if (path != gApp.paths.dataFilePath) return readDataFile(path, table, header, version, &report);
    FileOpenResult opened = FileOpenResult::Unreadable;
    const TextSourcePtr source = openTextSource(path, &opened);
    if (!source) {
        report.missing = opened == FileOpenResult::Missing;
        report.problem = report.missing ? "the file does not exist" : "the file cannot be opened";
        return false;
    }
    return readDataFile(source, table, header, version, &report);
}

// Reads a file of any generation into a table of its own, so a damaged file changes nothing.
bool readBook(HWND mainWindow, const std::string& path, int kind, PageTable& table, DataFileHeader& header,
              std::int32_t& bookNumber, ReadReport& report) {
    header = newFileHeader();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    bookNumber = std::rand();
    switch (kind) {
        case DATA_FILE_CURRENT: {
            VersionBlock version;
            if (!readCurrentFile(path, table, header, version, report)) return false;
            bookNumber = version.bookNumber;
            return true;
        }
        case DATA_FILE_OLDER:
            if (!readOldDataFile(path, table, &report)) return false;
            convertOldTexts(table);
            return true;
        case DATA_FILE_MISSING:
            commands::sendOwnCommand(mainWindow, IDM_SHORTCUT);
            fillNewBook(table);
            return true;
        default:
            return false;
    }
}

// A read that failed may have failed because the place went away meanwhile: the file is
// opened once more to tell that from a damaged file.
bool failedUnreachable(const std::string& path, FileFault* unreachable) {
    if (!unreachable) return false;
    FileReader probe;
    const FileOpenResult opened = probe.open(path);
    *unreachable = opened == FileOpenResult::Unreadable ? probe.fault() : FileFault::None;
    return false;
}

// Records without an item would be dropped by the next save: it is held back, and the user told.
void holdWritesAfterFailedRebuild(HWND mainWindow, const std::string& path) {
    gIncomplete = true;
    const std::string text = appmessages::REBUILD_FAILED_TEXT + path;
    wide::messageBox(mainWindow, text.c_str(), appmessages::REBUILD_FAILED_CAPTION, MB_OK | MB_ICONWARNING);
}

}  // namespace

bool bookIncomplete() { return gIncomplete; }

std::string welcomeRtf() {
    const char* lines[] = {"キルト帳をご利用いただき、ありがとうございます。", "",
                           "★旧バージョンからのデータ移行は以下をご覧ください。", "　file://./help/help00.html", ""};
    std::string rtf = emptyPageHead();
    for (const char* line : lines) rtf += escapeRtfLine(line) + "\\par\r\n";
    rtf += "}\r\n";
    return rtf;
}

void applyColours(HWND mainWindow, const DataFileHeader& header) {
    colourscheme::setWindowScheme(mainWindow, header.windowColourIndex, header.customWindowColour);
    gControls.pageList.SetTextColour(header.listTextColour);
    gControls.pageList.SetBackColour(header.listBackColour);
    gControls.memo.SetBackColour(header.memoBackColour);
}

// Each plain text goes in as a replacement of the empty editor's selection: the window
// text of a rich edit would read a text that begins with "{\rtf" as RTF.
void convertOldTexts(PageTable& table) {
    HWND edit = editorWindow();
    const LRESULT limit = SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
    SendMessageW(edit, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);  // no old page is cut short
    for (int i = 0; i < table.count(); ++i) {
        PageRecord& record = table.recordAt(i);
        SetWindowTextW(edit, L"");
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(wide::from932(record.text).c_str()));
        record.text = rtfstream::StreamOutRtf(edit);
    }
    SetWindowTextW(edit, L"");
    SendMessageW(edit, EM_EXLIMITTEXT, 0, limit);
}

bool editorHasDeletionMark() { return rtfHasDeletionMark(rtfstream::StreamOutRtf(editorWindow())); }

bool loadIntoUi(HWND mainWindow, const std::string& path, FileFault* unreachable, bool missingFolderIsEmpty) {
    if (unreachable) *unreachable = FileFault::None;
    FileFault fault = FileFault::None;
    int kind = detectDataFile(path, &fault);
    if (kind == DATA_FILE_UNREACHABLE && missingFolderIsEmpty && fault == FileFault::NoFolder) kind = DATA_FILE_MISSING;
    if (kind == DATA_FILE_UNREACHABLE) {
        if (unreachable) *unreachable = fault;
        return false;
    }
    if (kind == DATA_FILE_UNUSABLE) return false;

    PageTable table;
    DataFileHeader header;
    std::int32_t bookNumber = 0;
    ReadReport report;
    if (!readBook(mainWindow, path, kind, table, header, bookNumber, report))
        return failedUnreachable(path, unreachable);
    // Bytes after the last record are not part of the book, but the next save would drop
    // them: the whole file is kept aside first.
    if (report.extraBytes > 0) backup::keepFileWithExtraBytes(mainWindow, path);

    // from here on the new book replaces the old one
    pagedisplay::forgetShownPage();
    gControls.pageList.DeleteAll();
    gBook.pages = std::move(table);
    gBook.header = header;
    gBook.bookNumber = bookNumber;
    applyHeader(mainWindow, gBook.header);

    PageListTree tree(gControls.pageList);
    gIncomplete = false;
    if (!rebuildTree(gBook.pages, tree, gBook.header.bookmark)) holdWritesAfterFailedRebuild(mainWindow, path);
    if (gBook.header.passwordRegistered && !hasSecureRecord(gBook.pages)) clearPasswordRegistration(gBook.header);
    secure::clearAuthentication();
    pagedisplay::forgetShownPage();
    if (gBook.pages.count() == 0)
        pagedisplay::addPageIfEmpty(NO_ITEM);  // a book always has a page to show
    else
        selectStartPage(gBook.header);
    SetFocus(editorWindow());
    if (path == gApp.paths.dataFilePath) {
        datafileguard::remember(path);                         // the version this run read
        mergebase::keep(path, gApp.paths.backupFolder);  // and the base of a merge with another PC's copy
    } else {
        datafileguard::forget();
    }
    return true;
}

bool makeBackup(SaveKind kind) {
    return backup::makeBackup(gApp.paths.backupSlotPaths, gApp.ini.setting.BackupFileSize, kind, saveFromUi);
}

bool saveFromUi(const std::string& path, SaveKind kind) {
    if (gIncomplete) return false;
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) CreateDirectoryW(wide::from932(path.substr(0, slash)).c_str(), nullptr);

    PageListTree tree(gControls.pageList);
    DataFileHeader& h = gBook.header;
    bool whole = false;
    h.bookmark = refreshFromTree(gBook.pages, tree, &whole);
    // Inside an operation (a session forced to end while a delete takes its items out of the
    // list) the list and the table can part: such a book would not read back. The file stays.
    if (!whole) return false;
    const MemoEditor& memo = gControls.memo;
    h.listLines = gControls.pageList.HasLines() ? 1 : 0;
    h.noWrap = memo.noWrap ? 1 : 0;
    h.urlDetection = memo.urlDetection ? 1 : 0;
    h.copyAsText = memo.copyAsText ? 1 : 0;
    h.pasteAsText = memo.pasteAsText ? 1 : 0;
    const VersionBlock version = makeVersionBlock(kind, gBook.bookNumber);
    // a text whose place cannot be read fails the save: the old file stays
    if (editorHasDeletionMark() && stripDeletionMarks(gBook.pages) < 0) return false;
    // Saved as the data file, the texts are at their places in the new file from now on;
    // a backup slot is only written.
    if (path == gApp.paths.dataFilePath) {
        if (!saveDataFile(path, version, gApp.ini.window.ExitScroll, gBook.pages, h)) return false;
        datafileguard::remember(path);  // the version this run wrote
        mergebase::wrote(gApp.paths.backupFolder);
        openmarker::afterSave(path);
        return true;
    }
    return writeDataFile(path, version, gApp.ini.window.ExitScroll, gBook.pages, h);
}

}  // namespace bookload
