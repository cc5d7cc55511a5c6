// Making the selected page secure and ordinary again (commands 32974 and 32976).
#pragma once
#include <windows.h>

namespace securecommands {

// Registers a password or authenticates first; then the page's text is encrypted
// and its images become the secure ones.
void makeSecure(HWND window);
// Authenticates first (and shows the page); then the page's text is decrypted for good.
void makeOrdinary(HWND window);

}  // namespace securecommands
