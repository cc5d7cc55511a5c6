#include <windows.h>

#include "app/SecureCommands.h"

#include "app/Book.h"
#include "app/MainControls.h"
#include "app/PageDisplay.h"
#include "secure/SecureMessages.h"
#include "secure/SecurePages.h"
#include "store/PageImage.h"
#include "ui/WideText.h"

namespace securecommands {

namespace {

// The selected item's record, or null when nothing (known) is selected.
PageRecord* selectedRecord(ItemHandle& item) {
    item = gControls.pageList.GetSelection();
    const int index = item ? gBook.pages.indexOfItem(item) : -1;
    return index < 0 ? nullptr : &gBook.pages.recordAt(index);
}

// Moves both images of the item between the plain and the secure variants (8 more or less).
void setSecureImages(ItemHandle item, bool secure) {
    const ItemImages images = gControls.pageList.GetImages(item);
    gControls.pageList.SetImages(item, withSecure(images.image, secure), withSecure(images.selected, secure));
}

}  // namespace

void makeSecure(HWND window) {
    ItemHandle item = NO_ITEM;
    const PageRecord* found = selectedRecord(item);
    if (!found || found->isSecure) return;
    if (!secure::isAuthenticated() && !secure::registerOrAuthenticate(window, gBook.header)) return;
    pagedisplay::storeShownPage();
    PageRecord& record = gBook.pages.recordOfItem(item);
    if (!secure::encryptPage(record)) {
        wide::messageBox(window, securemsg::ENCRYPT_FAILED, securemsg::MAKE_SECURE_CAPTION, MB_OK | MB_ICONERROR);
        return;
    }
    record.isSecure = 1;
    setSecureImages(item, true);
}

void makeOrdinary(HWND window) {
    ItemHandle item = NO_ITEM;
    const PageRecord* found = selectedRecord(item);
    if (!found || !found->isSecure) return;
    if (!secure::isAuthenticated() && !secure::authenticate(window, gBook.header)) return;
    // shown locked (the password may have been given since, for a save of all pages): the page's
    // own text comes into the editor, or it would go on showing the placeholder as an ordinary page
    if (gControls.memo.locked) pagedisplay::showPage(item, window);
    pagedisplay::storeShownPage();
    PageRecord& record = gBook.pages.recordOfItem(item);
    if (!secure::decryptPage(record, true)) {
        secure::reportUndecryptable(window, item);  // a damaged page stays secure and unchanged
        return;
    }
    record.isSecure = 0;
    setSecureImages(item, false);
}

}  // namespace securecommands
