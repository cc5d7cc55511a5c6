#include <windows.h>

#include "ui/WideText.h"

#include <cwchar>

namespace wide {

std::wstring windowText(HWND window) {
    const int length = window ? GetWindowTextLengthW(window) : 0;
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

void setWindowText(HWND window, const std::string& text) { SetWindowTextW(window, from932(text).c_str()); }

int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, from932(text).c_str(), from932(caption).c_str(), flags);
}

int messageBox(HWND owner, const std::wstring& text, const std::string& caption, UINT flags) {
    return MessageBoxW(owner, text.c_str(), from932(caption).c_str(), flags);
}

std::wstring refusalNaming(const char* format, const std::wstring& text) {
    const std::wstring character = firstOutside932(text);
    unsigned long code = character.empty() ? 0 : character[0];
    if (character.size() == 2) code = 0x10000 + ((code - 0xD800) << 10) + (character[1] - 0xDC00);
    wchar_t hex[16];
    swprintf(hex, 16, L"U+%04lX", code);
    std::wstring out = from932(format);
    const std::size_t at = out.find(L"%s");
    if (at != std::wstring::npos) out.replace(at, 2, L"\x300C" + character + L"\x300D (" + hex + L")");
    return out;
}

std::string loadString(UINT id) {
    const wchar_t* text = nullptr;
    // with a zero length the call gives a pointer into the resource itself
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    return to932(std::wstring(text, static_cast<size_t>(length)));
}

}  // namespace wide
