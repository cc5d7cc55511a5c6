// Secure pages as the rest of the program sees them: whether the user has
// authenticated in this run, the authentication dialog, and the encryption of
// one page's text.
#pragma once
#include <windows.h>

#include "store/PageTable.h"

namespace secure {

bool isAuthenticated();
// Asks for the book's password (owned by `owner`); true when it was right.
bool authenticate(HWND owner);
// Forgets the authentication of this run and zeroes the key material.
void clearAuthentication();

// The plain `text` becomes `cipher` and `textHash`; `text` is emptied.
bool encryptPage(PageRecord& record);
// `text` gets the plain RTF back; `cipher` is dropped when asked.
bool decryptPage(PageRecord& record, bool dropCipher);

}  // namespace secure
