// qpctl: a small remote control for scripts. Waits for the main window of Quiltpad
// or closes it.
//   qpctl wait [seconds]    exit 0 once a window of the class QUILTPAD exists
//   qpctl close [seconds]   posts WM_CLOSE to it and waits until it is gone
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

static HWND findMain() { return FindWindowA("QUILTPAD", nullptr); }

static bool waitFor(bool present, int seconds) {
    for (int i = 0; i < seconds * 10; ++i) {
        if ((findMain() != nullptr) == present) return true;
        Sleep(100);
    }
    return false;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qpctl wait|close [seconds]\n");
        return 1;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    if (std::strcmp(argv[1], "wait") == 0) {
        if (waitFor(true, seconds)) return 0;
        std::fprintf(stderr, "qpctl: no Quiltpad window after %d s\n", seconds);
        return 2;
    }
    if (std::strcmp(argv[1], "close") == 0) {
        HWND window = findMain();
        if (!window) {
            std::fprintf(stderr, "qpctl: no Quiltpad window\n");
            return 2;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return waitFor(false, seconds) ? 0 : 2;
    }
    std::fprintf(stderr, "usage: qpctl wait|close [seconds]\n");
    return 1;
}
