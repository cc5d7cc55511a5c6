#include <windows.h>
#include <commctrl.h>

#include "app/PageCommands.h"

#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/AppMessages.h"
#include "app/AppState.h"
#include "app/Book.h"
#include "app/BookLoad.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"
#include "editor/DateStamp.h"
#include "res/resource.h"
#include "secure/SecureMessages.h"
#include "secure/SecurePages.h"
#include "store/PageImage.h"
#include "ui/WideText.h"

namespace pagecommands {

namespace {

const char FOLDER_TITLE[] = "Folder";

PageListControl& list() { return gControls.pageList; }

bool sameRegistration(const DataFileHeader& a, const DataFileHeader& b) {
    return a.passwordRegistered == b.passwordRegistered &&
           std::memcmp(a.checkValue, b.checkValue, sizeof a.checkValue) == 0 &&
           std::memcmp(a.salt, b.salt, sizeof a.salt) == 0;
}

// Secure texts in the page clipboard open only with the registration they were copied
// under. A book without one takes it over; a book with another one cannot take them,
// or they could never be read again: the paste is refused.
bool takeClipboardRegistration(HWND window) {
    bool secure = false;
    for (int i = 0; i < gBook.clipboard.count(); ++i) secure = secure || gBook.clipboard.recordAt(i).isSecure;
    if (!secure) return true;
    const DataFileHeader& copied = gBook.clipboardRegistration;
    if (sameRegistration(gBook.header, copied)) return true;
    if (gBook.header.passwordRegistered) {
        wide::messageBox(window, appmessages::PASTE_OTHER_PASSWORD_TEXT, appmessages::PASTE_CAPTION, MB_OK | MB_ICONWARNING);
        return false;
    }
    gBook.header.passwordRegistered = copied.passwordRegistered;
    std::memcpy(gBook.header.checkValue, copied.checkValue, sizeof copied.checkValue);
    std::memcpy(gBook.header.salt, copied.salt, sizeof copied.salt);
    return true;
}

std::string emptyPage() { return std::string(EMPTY_PAGE_RTF, EMPTY_PAGE_RTF_LENGTH); }

// Parent for a new item: the selected item's parent, or the top level.
ItemHandle parentForNewItem() {
    const ItemHandle selected = list().GetSelection();
    const ItemHandle parent = selected ? list().Parent(selected) : NO_ITEM;
    return parent ? parent : PageListControl::root();
}

// Selects a new item, moves to the editor, then the automatic bookmark and title edit.
void finishAdding(HWND window, ItemHandle item) {
    list().Select(item);
    SetFocus(gControls.memo.window());
    if (gApp.ini.window.AutoBookmark) setBookmark(window);
    if (gApp.ini.window.AutoEdit) editTitle(window);
}

// A new page under a secure folder is secure when the settings ask for it; false to stop.
bool newPageSecurity(HWND window, bool& secure) {
    secure = false;
    if (!gApp.ini.window.ParentSec) return true;
    const ItemHandle selected = list().GetSelection();
    const ItemHandle parent = selected ? list().Parent(selected) : NO_ITEM;
    if (!parent) return true;
    const int index = gBook.pages.indexOfItem(parent);
    if (index < 0) return true;
    const PageRecord& folder = gBook.pages.recordAt(index);
    if (!folder.isFolder || !folder.isSecure) return true;
    if (!secure::isAuthenticated() && !secure::authenticate(window, gBook.header)) return false;
    secure = true;
    return true;
}

// Every item of the page list in tree order.
template <typename Visit>
void forEachItem(Visit visit) {
    const PageListControl& l = list();
    for (ItemHandle item = l.FirstChild(PageListControl::root()); item; item = l.NextInOrder(item)) visit(item);
}

}  // namespace

std::string newPageTitle(bool allowDate) {
    if (allowDate && gApp.ini.window.AutoDate) return datestamp::CurrentDateStamp(gApp.ini.window.DateString);
    char title[64];
    std::snprintf(title, sizeof title, "ページ (%d)", gBook.pages.count() + 1);
    return title;
}

void editTitle(HWND) {
    const ItemHandle selected = list().GetSelection();
    if (selected) TreeView_EditLabel(list().window(), reinterpret_cast<HTREEITEM>(selected));
}

void addPage(HWND window) {
    bool secure = false;
    if (!newPageSecurity(window, secure)) return;
    PageRecord sealed;  // a secure page's text is encrypted before anything is added
    sealed.text = emptyPage();
    if (secure && !secure::encryptPage(sealed)) {
        wide::messageBox(window, securemsg::ENCRYPT_FAILED, securemsg::SECURE_PAGE_CAPTION, MB_OK | MB_ICONERROR);
        return;
    }
    const std::string title = newPageTitle(true);
    const int image = pageImage(false, false, secure);
    const ItemHandle item = list().InsertItem(title, image, parentForNewItem(), selectedImage(image));
    if (!item) return;
    list().Reveal(item);
    gBook.pages.addPage(item, emptyPage(), title, false);
    if (secure) {
        PageRecord& record = gBook.pages.recordOfItem(item);
        record.isSecure = 1;
        record.text.clear();
        record.cipher = sealed.cipher;
        record.textHash = sealed.textHash;
    }
    finishAdding(window, item);
}

void addFolder(HWND window) {
    // the count is taken before either record is added
    const std::string title = newPageTitle(false);
    const int image = pageImage(true, false, false);
    const ItemHandle folder = list().InsertItem(FOLDER_TITLE, image, parentForNewItem(), selectedImage(image));
    if (!folder) return;
    const ItemHandle page = list().InsertItem(title, 0, folder, selectedImage(0));
    gBook.pages.addPage(folder, std::string(), FOLDER_TITLE, true);
    if (!page) return;
    list().Reveal(page);
    gBook.pages.addPage(page, emptyPage(), title, false);
    finishAdding(window, page);
}

void deletePage(HWND window) {
    const ItemHandle selected = list().GetSelection();
    if (!selected) return;
    const int index = gBook.pages.indexOfItem(selected);
    const bool isFolder = index >= 0 && gBook.pages.recordAt(index).isFolder;
    if (gApp.ini.window.DeleteDialog &&
        wide::messageBox(window, isFolder ? appmessages::DELETE_FOLDER_TEXT : appmessages::DELETE_PAGE_TEXT,
                    appmessages::DELETE_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    if (gApp.ini.setting.DeleteBackup) {
        pagedisplay::storeShownPage();
        bookload::makeBackup(SaveKind::BeforeDelete);
    }
    // the selection moves while the items go: the editor's page is stored first (it may
    // be another page than the one deleted), then nothing is stored into a deleted page
    pagedisplay::storeShownPage();
    pagedisplay::forgetShownPage();
    const ItemHandle parent = list().Parent(selected);
    for (const ItemMove& gone : list().DeleteItem(selected)) {
        const int at = gBook.pages.indexOfItem(gone.item);
        if (at >= 0) gBook.pages.removeAt(at);
    }
    pagedisplay::addPageIfEmpty(parent);
    // never leave the list without a selection while it has items
    if (!list().GetSelection()) {
        const ItemHandle next = parent ? parent : list().FirstChild(PageListControl::root());
        if (next) list().Select(next);
    }
}

void copyPage(HWND window) {
    const ItemHandle selected = list().GetSelection();
    if (!selected || gBook.pages.indexOfItem(selected) < 0) return;
    pagedisplay::storeShownPage();
    PageTable& clip = gBook.clipboard;
    clip.clear();
    gBook.clipboardRegistration = gBook.header;
    std::unordered_map<ItemHandle, int> positions;
    const std::vector<ItemLink> links = list().CollectSubtreeLinks(selected);
    for (size_t i = 0; i < links.size(); ++i) {
        const int index = gBook.pages.indexOfItem(links[i].item);
        if (index < 0) continue;
        PageRecord copy;
        copyRecord(gBook.pages.recordAt(index), copy);
        if (!holdContent(copy)) {  // the copy holds its text: it outlives the save that replaces the file
            clip.clear();
            wide::messageBox(window, appmessages::UNREADABLE_PAGE_TEXT, appmessages::UNREADABLE_PAGE_CAPTION,
                        MB_OK | MB_ICONERROR);
            return;
        }
        const int position = clip.count();
        positions[links[i].item] = position;
        copy.order = position;
        const auto parent = positions.find(links[i].parent);
        copy.parentOrder = (i == 0 || parent == positions.end()) ? -1 : parent->second;
        copy.isExpanded = list().IsExpanded(links[i].item) ? 1 : 0;
        clip.appendRecord(std::move(copy));
    }
}

void pastePage(HWND window) {
    PageTable& clip = gBook.clipboard;
    if (clip.count() == 0 || !takeClipboardRegistration(window)) return;
    const ItemHandle baseParent = parentForNewItem();
    std::vector<ItemHandle> created;
    for (int i = 0; i < clip.count(); ++i) {
        PageRecord& source = clip.recordAt(i);
        std::string title = source.title;  // the list cuts its label; the record keeps the whole title
        if (gApp.ini.window.AutoDate && clip.count() == 1 && !source.isFolder) {
            title = datestamp::CurrentDateStamp(gApp.ini.window.DateString);
            source.title = title;
        }
        const int p = source.parentOrder;
        const ItemHandle parent =
            (p >= 0 && p < static_cast<int>(created.size()) && created[p]) ? created[p] : baseParent;
        const int image = pageImage(source.isFolder != 0, false, source.isSecure != 0);
        const ItemHandle item = list().InsertItem(title, image, parent, selectedImage(image));
        created.push_back(item);
        if (!item) continue;
        gBook.pages.addEmptyRecord(item);
        PageRecord& record = gBook.pages.recordOfItem(item);
        copyFields(source, record, 0);
        record.title = title;
    }
    for (int i = 0; i < clip.count(); ++i) {
        const PageRecord& source = clip.recordAt(i);
        if (source.isFolder && source.isExpanded && created[i])
            TreeView_Expand(list().window(), reinterpret_cast<HTREEITEM>(created[i]), TVE_EXPAND);
    }
    if (created.empty() || !created[0]) return;
    list().Reveal(created[0]);
    finishAdding(window, created[0]);
}

void setBookmark(HWND) {
    const ItemHandle selected = list().GetSelection();
    if (!selected) return;
    forEachItem([](ItemHandle item) {
        const ItemImages images = list().GetImages(item);
        if (imageIsBookmark(images.image))
            list().SetImages(item, withBookmark(images.image, false), withBookmark(images.selected, false));
    });
    const ItemImages images = list().GetImages(selected);
    list().SetImages(selected, withBookmark(images.image, true), withBookmark(images.selected, true));
}

// Like the other bookmark commands, nothing happens while no item is selected.
void openBookmark(HWND) {
    if (!list().GetSelection()) return;
    ItemHandle found = NO_ITEM;
    forEachItem([&found](ItemHandle item) {
        if (!found && imageIsBookmark(list().GetImages(item).image)) found = item;
    });
    if (found) list().Select(found);
}

// At the ends of the list the selection stays where it is.
void nextPage(HWND) {
    const ItemHandle next = list().NextInOrder(list().GetSelection());
    if (next) list().Select(next);
}

void previousPage(HWND) {
    const ItemHandle previous = list().PreviousInOrder(list().GetSelection());
    if (previous) list().Select(previous);
}

void collapseFolders(HWND) {
    std::unordered_set<ItemHandle> chain;
    const ItemHandle selected = list().GetSelection();
    for (ItemHandle a = selected ? list().Parent(selected) : NO_ITEM; a; a = list().Parent(a)) chain.insert(a);
    for (int i = 0; i < gBook.pages.count(); ++i) {
        const PageRecord& record = gBook.pages.recordAt(i);
        if (record.isFolder && !chain.count(record.item))
            TreeView_Expand(list().window(), reinterpret_cast<HTREEITEM>(record.item), TVE_COLLAPSE);
    }
}

}  // namespace pagecommands
