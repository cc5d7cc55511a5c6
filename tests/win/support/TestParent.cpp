#include <windows.h>

#include "support/TestParent.h"

namespace testsupport {
namespace {
const char CLASS_NAME[] = "QpTestParent";
}

TestParent::TestParent(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = CLASS_NAME;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        registered = RegisterClassA(&wc) != 0;
    }
    window_ = CreateWindowExA(0, CLASS_NAME, "test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, width, height, nullptr,
                              nullptr, GetModuleHandleA(nullptr), this);
}

TestParent::~TestParent() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TestParent::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_COMMAND && self) self->commands_.push_back(LOWORD(wParam));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace testsupport
