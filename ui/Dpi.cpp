#include <windows.h>

#include "ui/Dpi.h"

namespace dpi {

namespace {

// Looked up at run time: Windows 7 and 8 have neither function, and the program runs there too.
template <class Function>
Function user32Function(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int screenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : BASE;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BASE;
}

}  // namespace

int ofSystem() {
    using GetDpiForSystemFn = UINT(WINAPI*)();
    static const auto getDpiForSystem = user32Function<GetDpiForSystemFn>("GetDpiForSystem");
    const int dpi = getDpiForSystem ? static_cast<int>(getDpiForSystem()) : 0;
    return dpi > 0 ? dpi : screenPixelsPerInch();
}

int ofWindow(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : ofSystem();
}

}  // namespace dpi
