#include <windows.h>
#include <shellapi.h>

#include "app/PageDisplay.h"

#include <cstdlib>
#include <ctime>

#include "app/AppState.h"
#include "app/Book.h"
#include "app/LinkTarget.h"
#include "app/MainControls.h"
#include "editor/RtfStream.h"
#include "pagelist/PageListTree.h"
#include "secure/SecurePages.h"
#include "settings/ColourScheme.h"
#include "store/Cp932.h"
#include "store/DeletionMarks.h"
#include "store/OldDataFile.h"
#include "store/TreeSource.h"

namespace pagedisplay {

const char LOCKED_PAGE_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\'96\\'a2\\'94\\'46\\'8f\\'d8\\'82\\'cc\\'82\\'bd\\'82\\'df"
    "\\'95\\'5c\\'8e\\'a6\\'82\\'c5\\'82\\'ab\\'82\\'dc\\'82\\'b9\\'82\\'f1\\'81\\'42\\par\r\n"
    "}";

namespace {

const char AUTO_PAGE_TITLE[] = "自動追加ページ";
const char DEFAULT_PAGE_TITLE[] = "ページ";
const int CMD_OFFER_SHORTCUT = 32850;

void shellOpen(HWND owner, const char* verb, const std::string& target) {
    ShellExecuteA(owner, verb, target.c_str(), nullptr, nullptr, SW_SHOW);
}

ShellOpen gShellOpen = shellOpen;

HWND editorWindow() { return gControls.memo.window(); }

PageRecord* recordFor(ItemHandle item) {
    if (item == NO_ITEM) return nullptr;
    const int index = gBook.pages.indexOfItem(item);
    return index < 0 ? nullptr : &gBook.pages.recordAt(index);
}

void setLocked(bool locked) {
    gControls.memo.locked = locked;
    SendMessageA(editorWindow(), EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

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
    colourscheme::applyScheme(mainWindow, h);
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
    const int indent = static_cast<int>(SendMessageA(tree, TVM_GETINDENT, 0, 0));
    int levels = list.Depth(item);
    if (GetWindowLongA(tree, GWL_STYLE) & TVS_HASBUTTONS) levels -= 1;
    const int x = levels > 0 ? levels * indent : 0;
    SendMessageA(tree, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
}

// Reads a file of any generation into a table of its own, so a damaged file changes nothing.
bool readBook(HWND mainWindow, const std::string& path, int kind, PageTable& table, DataFileHeader& header,
              std::int32_t& bookNumber) {
    header = newFileHeader();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    bookNumber = std::rand();
    switch (kind) {
    case DATA_FILE_CURRENT: {
        VersionBlock version;
        if (!readDataFile(path, table, header, version)) return false;
        bookNumber = version.bookNumber;
        return true;
    }
    case DATA_FILE_OLDER:
        if (!readOldDataFile(path, table)) return false;
        convertOldTexts(table);
        return true;
    case DATA_FILE_MISSING:
        SendMessageA(mainWindow, WM_COMMAND, CMD_OFFER_SHORTCUT, 0);
        fillNewBook(table);
        return true;
    default:
        return false;
    }
}

}  // namespace

void setShellOpen(ShellOpen open) { gShellOpen = open ? open : shellOpen; }

std::string welcomeRtf() {
    const char* lines[] = {"キルト帳をご利用いただき、ありがとうございます。", "",
                           "★旧バージョンからのデータ移行は以下をご覧ください。",
                           "　file://./help/help00.html", ""};
    std::string rtf = emptyPageHead();
    for (const char* line : lines) rtf += escapeRtfLine(line) + "\\par\r\n";
    rtf += "}\r\n";
    return rtf;
}

void storeEditorToPage(ItemHandle item) {
    PageRecord* record = recordFor(item);
    if (!record || gControls.memo.locked) return;
    record->text = rtfstream::StreamOutRtf(editorWindow());
    if (record->isSecure) secure::encryptPage(*record);
    CHARRANGE range = {0, 0};
    SendMessageA(editorWindow(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    record->selStart = range.cpMin;
    record->selEnd = range.cpMax;
    const POINT scroll = gControls.memo.GetScrollPosition();
    record->scrollH = scroll.x;
    record->scrollV = scroll.y;
}

void showPage(ItemHandle item, HWND owner) {
    PageRecord* record = recordFor(item);
    if (!record) return;
    MemoEditor& memo = gControls.memo;
    if (memo.locked) setLocked(false);
    if (record->isSecure) {
        if (!secure::isAuthenticated() && !secure::authenticate(owner)) {
            setLocked(true);
            rtfstream::StreamInRtf(editorWindow(), LOCKED_PAGE_RTF);
            return;
        }
        secure::decryptPage(*record, false);
    }
    memo.SetScrollPosition(0, 0);
    rtfstream::StreamInRtf(editorWindow(), record->text.c_str());
    if (record->isSecure) record->text.clear();
    if (rtfstream::TextByteLength(editorWindow()) == 0) {
        // typing in an empty page starts in the standard font
        const DataFileHeader& h = gBook.header;
        memo.SelectAll();
        memo.SetSelectionFont(fontFaceOf(h), std::abs(h.standardFontHeight));
        memo.SetSelectionColour(h.standardFontColour);
    }
    CHARRANGE range = {record->selStart, record->selEnd};
    SendMessageA(editorWindow(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    memo.SetScrollPosition(record->scrollH, record->scrollV);
    // undo starts with the page as shown, not with another page or the standard font
    SendMessageA(editorWindow(), EM_EMPTYUNDOBUFFER, 0, 0);
}

void addPageIfEmpty(ItemHandle folder) {
    PageListControl& list = gControls.pageList;
    if (folder != NO_ITEM) {
        const PageRecord* record = recordFor(folder);
        if (!record || !record->isFolder) return;
    }
    const ItemHandle parent = folder == NO_ITEM ? PageListControl::root() : folder;
    if (list.FirstChild(parent) != NO_ITEM) return;
    const ItemHandle item = list.InsertItem(AUTO_PAGE_TITLE, 0, parent, 1);
    if (item == NO_ITEM) return;
    gBook.pages.addPage(item, std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH), AUTO_PAGE_TITLE, false);
    if (folder == NO_ITEM) {
        list.Select(item);
        SetFocus(editorWindow());
    }
}

void onSelectionChanged(const NMTREEVIEWA& info) {
    if (gControls.pageList.IsDragging()) return;  // the drop re-selects when it is done
    storeEditorToPage(gBook.shownItem);
    const ItemHandle selected = reinterpret_cast<ItemHandle>(info.itemNew.hItem);
    showPage(selected, gApp.mainWindow);
    gBook.shownItem = selected;
}

void onTitleEdited(const NMTVDISPINFOA& info) {
    if (!info.item.pszText) return;  // the edit was cancelled
    PageListControl& list = gControls.pageList;
    list.CommitLabelEdit(info.item);
    const ItemHandle item = reinterpret_cast<ItemHandle>(info.item.hItem);
    PageRecord* record = recordFor(item);
    if (record) setTitle(*record, list.GetTitle(item));
}

void openLink(const ENLINK& link) {
    if (link.msg != WM_LBUTTONUP) return;
    HWND edit = editorWindow();
    CHARRANGE range = link.chrg;
    SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // the link text, at most what fits the 1024-byte buffer
    char buffer[1024] = {};
    LONG last = range.cpMax;
    if (last < 0 || last - range.cpMin > 511) last = range.cpMin + 511;
    TEXTRANGEA tr = {{range.cpMin, last}, buffer};
    SendMessageA(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    buffer[sizeof buffer - 1] = '\0';

    char currentDir[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, currentDir);
    const linktarget::LinkAction action = linktarget::resolveLink(buffer, currentDir);
    if (action.verb == linktarget::Verb::Default) gShellOpen(edit, nullptr, action.target);
    else if (action.verb == linktarget::Verb::Open) gShellOpen(edit, "open", action.target);
}

void convertOldTexts(PageTable& table) {
    HWND edit = editorWindow();
    for (int i = 0; i < table.count(); ++i) {
        PageRecord& record = table.recordAt(i);
        SetWindowTextA(edit, record.text.c_str());
        record.text = rtfstream::StreamOutRtf(edit);
    }
    SetWindowTextA(edit, "");
}

bool editorHasDeletionMark() { return rtfHasDeletionMark(rtfstream::StreamOutRtf(editorWindow())); }

bool loadIntoUi(HWND mainWindow, const std::string& path) {
    const int kind = detectDataFile(path);
    if (kind == DATA_FILE_UNUSABLE) return false;

    PageTable table;
    DataFileHeader header;
    std::int32_t bookNumber = 0;
    if (!readBook(mainWindow, path, kind, table, header, bookNumber)) return false;

    // from here on the new book replaces the old one
    gBook.shownItem = NO_ITEM;
    TreeView_DeleteAllItems(gControls.pageList.window());
    gBook.pages = std::move(table);
    gBook.header = header;
    gBook.bookNumber = bookNumber;
    applyHeader(mainWindow, gBook.header);

    PageListTree tree(gControls.pageList);
    rebuildTree(gBook.pages, tree, gBook.header.bookmark);
    if (gBook.header.passwordRegistered && !hasSecureRecord(gBook.pages)) clearPasswordRegistration(gBook.header);
    secure::clearAuthentication();
    gBook.shownItem = NO_ITEM;
    if (gBook.pages.count() == 0) addPageIfEmpty(NO_ITEM);  // a book always has a page to show
    else selectStartPage(gBook.header);
    SetFocus(editorWindow());
    return true;
}

bool saveFromUi(const std::string& path, SaveKind kind) {
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos) CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);

    PageListTree tree(gControls.pageList);
    DataFileHeader& h = gBook.header;
    h.bookmark = refreshFromTree(gBook.pages, tree);
    const MemoEditor& memo = gControls.memo;
    h.listLines = gControls.pageList.HasLines() ? 1 : 0;
    h.noWrap = memo.noWrap ? 1 : 0;
    h.urlDetection = memo.urlDetection ? 1 : 0;
    h.copyAsText = memo.copyAsText ? 1 : 0;
    h.pasteAsText = memo.pasteAsText ? 1 : 0;
    const VersionBlock version = makeVersionBlock(kind, gBook.bookNumber);
    if (editorHasDeletionMark()) stripDeletionMarks(gBook.pages);
    return writeDataFile(path, version, gApp.ini.window.ExitScroll, gBook.pages, h);
}

}  // namespace pagedisplay
