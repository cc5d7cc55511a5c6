// A plain top-level window to host a control under test; it records the
// WM_COMMAND ids it receives.
#pragma once
#include <windows.h>

#include <vector>

namespace testsupport {

class TestParent {
public:
    TestParent(int width = 400, int height = 300);
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;

    HWND window() const { return window_; }
    const std::vector<int>& commands() const { return commands_; }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::vector<int> commands_;
};

}  // namespace testsupport
