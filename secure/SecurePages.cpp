#include <windows.h>

#include "secure/SecurePages.h"

// Passwords and page encryption are not in this build yet: nobody can
// authenticate, so a secure page read from a book stays locked behind its
// placeholder and its cipher is written back untouched.
namespace secure {

namespace {
bool gAuthenticated = false;
}

bool isAuthenticated() { return gAuthenticated; }

bool authenticate(HWND) { return gAuthenticated; }

void clearAuthentication() { gAuthenticated = false; }

bool encryptPage(PageRecord&) { return false; }

bool decryptPage(PageRecord&, bool) { return false; }

}  // namespace secure
