// Secure pages as the rest of the program sees them: whether the user has
// authenticated in this run, the password dialogs, and the encryption of one
// page's text with the key material of this run.
//
// The key material exists from a successful dialog until the next load of a
// book or the end of the program (clearAuthentication zeroes it).
#pragma once
#include <windows.h>

#include "store/DataFile.h"
#include "store/PageTable.h"

namespace secure {

bool isAuthenticated();
// True when the last password dialog was cancelled, false when it succeeded.
bool wasCancelled();

// Asks for the book's password with the authentication dialog; true when it was right.
bool authenticate(HWND owner, const DataFileHeader& header);
// Before a page is made secure: the registration dialog when the book has no
// password yet (the header then gets it), otherwise the authentication dialog.
bool registerOrAuthenticate(HWND owner, DataFileHeader& header);
// Forgets the authentication of this run and zeroes the key material.
void clearAuthentication();

// The plain `text` becomes `cipher` and `textHash`, and `text` is wiped and
// emptied. False when not authenticated or the platform failed: the record is
// unchanged.
bool encryptPage(PageRecord& record);
// `text` gets the plain RTF back, `cipher` is dropped when asked. False for a
// page that does not decrypt to its digest: the record is unchanged.
bool decryptPage(PageRecord& record, bool dropCipher);

// Wipes and empties the plain text a secure page held for a moment.
void forgetPlainText(PageRecord& record);
// Storing an edited secure page: encrypts it; when that fails, the plain text
// is wiped (the page keeps its last cipher) and the user is told.
bool sealEditedPage(PageRecord& record, HWND owner);
// Tells the user that a page cannot be decrypted, once per page until the next load.
void reportUndecryptable(HWND owner, ItemHandle item);

}  // namespace secure
