#include <windows.h>
#include <shellapi.h>

#include "app/PageDisplay.h"

#include <cstdlib>

#include "app/AppMessages.h"
#include "app/Lifecycle.h"
#include "io/TextCodec.h"
#include "app/AppState.h"
#include "app/Book.h"
#include "app/LinkTarget.h"
#include "app/MainControls.h"
#include "editor/RtfStream.h"
#include "secure/SecurePages.h"
#include "store/DataFile.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace pagedisplay {

const char LOCKED_PAGE_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\'96\\'a2\\'94\\'46\\'8f\\'d8\\'82\\'cc\\'82\\'bd\\'82\\'df"
    "\\'95\\'5c\\'8e\\'a6\\'82\\'c5\\'82\\'ab\\'82\\'dc\\'82\\'b9\\'82\\'f1\\'81\\'42\\par\r\n"
    "}";

// What stands for a page whose text cannot be read from the data file: read-only, never stored.
const char UNREADABLE_PAGE_RTF[] =
    "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1041\\f0\\fs23\\'82\\'b1\\'82\\'cc\\'83\\'79\\'81\\'5b\\'83\\'57\\'82\\'cd\\'"
    "83\\'66\\'81\\'5b\\'83\\'5e\\'83\\'74\\'83\\'40"
    "\\'83\\'43\\'83\\'8b\\'82\\'a9\\'82\\'e7\\'93\\'c7\\'82\\'dd\\'8d\\'9e\\'82\\'df\\'82\\'dc\\'82\\'b9\\'82\\'f1\\'"
    "81\\'42\\par\r\n"
    "}";

namespace {

const char AUTO_PAGE_TITLE[] = "自動追加ページ";

void shellOpen(HWND owner, const char* verb, const std::string& target) {
    ShellExecuteW(owner, verb ? wide::from932(verb).c_str() : nullptr, wide::from932(target).c_str(), nullptr, nullptr,
                  SW_SHOW);
}

std::string utf8Of(const std::wstring& text) { return textcodec::utf16ToUtf8(std::u16string(text.begin(), text.end())); }

// A link with a character code page 932 lacks (a web address with é) is resolved in UTF-8
// and opened as it is.
void openWideLink(HWND edit, const std::wstring& link, const std::wstring& currentDir) {
    const linktarget::LinkAction action = linktarget::resolveLink(utf8Of(link), utf8Of(currentDir));
    if (action.verb == linktarget::Verb::None) return;
    const std::string& t = action.target;
    const std::u16string target16 = textcodec::utf8ToUtf16(t);
    const std::wstring target(target16.begin(), target16.end());
    ShellExecuteW(edit, action.verb == linktarget::Verb::Open ? L"open" : nullptr, target.c_str(), nullptr, nullptr, SW_SHOW);
}

ShellOpen gShellOpen = shellOpen;

ItemHandle gShown = NO_ITEM;  // the page the editor holds
bool gChanged = false;        // the editor's text or format changed since it was shown or stored

HWND editorWindow() { return gControls.memo.window(); }

// The control's modified flag is one input: not every change sets it.
bool changed() { return gChanged || SendMessageW(editorWindow(), EM_GETMODIFY, 0, 0); }

PageRecord* recordFor(ItemHandle item) {
    if (item == NO_ITEM) return nullptr;
    const int index = gBook.pages.indexOfItem(item);
    return index < 0 ? nullptr : &gBook.pages.recordAt(index);
}

void setLocked(bool locked) {
    gControls.memo.locked = locked;
    SendMessageW(editorWindow(), EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

// Some rich-edit versions empty a control paragraph by paragraph, renumbering all
// the rest each time: leaving a page of many thousand lines would take minutes.
// A fresh control in its place takes milliseconds.
constexpr LRESULT RENEW_ABOVE_LINES = 1000;

void emptyLargeEditor() {
    if (SendMessageW(editorWindow(), EM_GETLINECOUNT, 0, 0) <= RENEW_ABOVE_LINES) return;
    HWND fresh = gControls.memo.Renew();
    gControls.pageList.setEnterTarget(fresh);
}

// A secure page that may not be shown, a page that cannot be read: a read-only
// placeholder, which is never stored into a page.
void showLockedPage(const char* rtf = LOCKED_PAGE_RTF) {
    setLocked(true);
    rtfstream::StreamInRtf(editorWindow(), rtf);
}

// The text the editor is to show; false (and the user told) when a text at its place in the
// data file cannot be read. A secure page's plain text is streamed from the record itself.
bool pageText(const PageRecord& record, std::string& loaded, const char*& rtf, HWND owner) {
    rtf = record.text.c_str();
    if (record.isSecure) return true;
    if (!loadText(record, loaded)) {
        const busy::Operation box;  // nothing else starts behind it (a search step selecting another page)
        wide::messageBox(owner, appmessages::UNREADABLE_PAGE_TEXT, appmessages::UNREADABLE_PAGE_CAPTION,
                    MB_OK | MB_ICONERROR);
        return false;
    }
    rtf = loaded.c_str();
    return true;
}

}  // namespace

void setShellOpen(ShellOpen open) { gShellOpen = open ? open : shellOpen; }

ItemHandle shownItem() { return gShown; }
void markChanged() {
    gChanged = true;
    lifecycle::noteEdit();
}

bool hasChanges() { return gChanged; }

void forgetShownPage() {
    gShown = NO_ITEM;
    gChanged = false;
}

void shownItemMoved(ItemHandle from, ItemHandle to) {
    if (gShown != NO_ITEM && gShown == from) gShown = to;
}

void storeShownPage() {
    PageRecord* record = recordFor(gShown);
    if (!record || gControls.memo.locked) return;
    // A page left as it was shown keeps its stored text byte for byte: streaming it
    // out again would cost a switch its time and rewrite the page in the control's words.
    if (changed()) {
        setText(*record, rtfstream::StreamOutRtf(editorWindow()));
        if (record->isSecure) secure::sealEditedPage(*record, gApp.mainWindow);
        gChanged = false;
        SendMessageW(editorWindow(), EM_SETMODIFY, FALSE, 0);
    }
    CHARRANGE range = {0, 0};
    SendMessageW(editorWindow(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    record->selStart = range.cpMin;
    record->selEnd = range.cpMax;
    const POINT scroll = gControls.memo.GetScrollPosition();
    record->scrollH = scroll.x;
    record->scrollV = scroll.y;
}

void showPage(ItemHandle item, HWND owner) {
    storeShownPage();
    // From here until the new page is in, the editor holds nothing that may be stored:
    // a tick inside the password dialog below must not write this editor anywhere.
    forgetShownPage();
    PageRecord* record = recordFor(item);
    if (!record) return;
    MemoEditor& memo = gControls.memo;
    if (memo.locked) setLocked(false);
    emptyLargeEditor();
    if (record->isSecure) {
        if (!secure::isAuthenticated()) {
            // behind the password prompt the editor shows no other page (another book's, after a load)
            showLockedPage();
            if (!secure::authenticate(owner, gBook.header)) {
                gShown = item;  // locked: never stored, but the page it stands for
                return;
            }
            setLocked(false);
        }
        record = recordFor(item);  // the dialog ran a message loop
        if (!record || !secure::decryptPage(*record, false)) {
            // a damaged page stays as it is: shown locked, never stored back
            showLockedPage();
            gShown = item;
            secure::reportUndecryptable(owner, item);
            return;
        }
    }
    std::string loaded;
    const char* rtf = nullptr;
    if (!pageText(*record, loaded, rtf, owner)) {
        showLockedPage(UNREADABLE_PAGE_RTF);
        gShown = item;
        return;
    }
    memo.SetScrollPosition(0, 0);
    // the book's text limit, raised by the stream-in only for a page already longer
    memo.SetTextLimit(gBook.header.textLimit);
    rtfstream::StreamInRtf(editorWindow(), rtf);
    if (record->isSecure) secure::forgetPlainText(*record);
    if (rtfstream::TextByteLength(editorWindow()) == 0) {
        // typing in an empty page starts in the standard font
        const DataFileHeader& h = gBook.header;
        memo.SelectAll();
        memo.SetSelectionFont(fontFaceOf(h), std::abs(h.standardFontHeight));
        memo.SetSelectionColour(h.standardFontColour);
    }
    CHARRANGE range = {record->selStart, record->selEnd};
    SendMessageW(editorWindow(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    memo.SetScrollPosition(record->scrollH, record->scrollV);
    // undo starts with the page as shown, not with another page or the standard font
    SendMessageW(editorWindow(), EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(editorWindow(), EM_SETMODIFY, FALSE, 0);  // as stored, until the user changes it
    gChanged = false;
    gShown = item;
}

bool unlockShownPage(HWND owner) {
    if (!gControls.memo.locked) return true;
    if (gShown == NO_ITEM) return false;
    showPage(gShown, owner);  // asks for the password again
    return !gControls.memo.locked;
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

void onSelectionChanged(const NMTREEVIEWW& info) {
    if (gControls.pageList.IsDragging()) return;  // the drop re-selects when it is done
    const ItemHandle item = reinterpret_cast<ItemHandle>(info.itemNew.hItem);
    // The page already in the editor (selected again after a drop moved it) stays as it is,
    // with its undo history; a page shown locked asks for the password again.
    if (item == gShown && !gControls.memo.locked) return;
    showPage(item, gApp.mainWindow);
}

void onTitleEdited(const NMTVDISPINFOW& info) {
    if (!info.item.pszText) return;  // the edit was cancelled
    // the data file keeps titles in Shift_JIS: a title it cannot hold is refused, the old one stays
    if (!wide::firstOutside932(info.item.pszText).empty()) {
        wide::messageBox(gApp.mainWindow, wide::refusalNaming(appmessages::TITLE_CHARACTER_FORMAT, info.item.pszText),
                         appmessages::TITLE_CHARACTER_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
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
    SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    // the link text, at most 511 characters
    wchar_t buffer[512] = {};
    LONG last = range.cpMax;
    if (last < 0 || last - range.cpMin > 511) last = range.cpMin + 511;
    TEXTRANGEW tr = {{range.cpMin, last}, buffer};
    SendMessageW(edit, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
    buffer[511] = L'\0';

    wchar_t currentDir[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, currentDir);
    std::string text, folder;
    if (!wide::to932(buffer, text) || !wide::to932(currentDir, folder)) return openWideLink(edit, buffer, currentDir);
    const linktarget::LinkAction action = linktarget::resolveLink(text, folder);
    if (action.verb == linktarget::Verb::Default)
        gShellOpen(edit, nullptr, action.target);
    else if (action.verb == linktarget::Verb::Open)
        gShellOpen(edit, "open", action.target);
}

}  // namespace pagedisplay
