#include <windows.h>
#include <commctrl.h>

#include "app/Splitter.h"

#include "app/AppState.h"
#include "app/MainControls.h"
#include "app/SplitLayout.h"
#include "app/Toolbar.h"

namespace splitter {
namespace {

struct Drag {
    bool dragging = false;
    int startX = 0;
    int startShare = 0;
} gDrag;

SIZE clientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right - r.left, r.bottom - r.top};
}

int listWidth() {
    RECT r{};
    GetWindowRect(gControls.pageList.window(), &r);
    return r.right - r.left;
}

// The margins and the gap at the scale of the monitor the window is on.
splitlayout::Spacing spacing() { return splitlayout::spacingAt(maincontrols::dpi()); }

bool inZone(HWND window, int x, int y) {
    return splitlayout::inSplitterZone(x, y, listWidth(), clientSize(window).cy, spacing());
}

HCURSOR sizingCursor() { return LoadCursorW(nullptr, IDC_SIZEWE); }

}  // namespace

void layout(HWND window, WPARAM sizeType, int width, int height) {
    if (sizeType == SIZE_RESTORED || sizeType == SIZE_MAXIMIZED) {
        const int top = toolbar::height(gControls.toolbar);
        splitlayout::Panes p = splitlayout::computePanes(width, height, top, gApp.splitter.percent, spacing());
        auto place = [](HWND child, const splitlayout::Box& b) {
            if (child) MoveWindow(child, b.x, b.y, b.width > 0 ? b.width : 0, b.height > 0 ? b.height : 0, TRUE);
        };
        place(gControls.pageList.window(), p.list);
        place(gControls.memo.window(), p.memo);
    }
    if (gControls.toolbar) SendMessageW(gControls.toolbar, TB_AUTOSIZE, 0, 0);
    (void)window;
}

void postRelayout(HWND window) {
    SIZE s = clientSize(window);
    PostMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(s.cx, s.cy));
}

void sendRelayout(HWND window) {
    SIZE s = clientSize(window);
    SendMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(s.cx, s.cy));
}

void onMouseMove(HWND window, int x, int y) {
    if (!gDrag.dragging) {
        SetCursor(inZone(window, x, y) ? sizingCursor() : LoadCursorW(nullptr, IDC_ARROW));
        return;
    }
    splitlayout::Share& share = gApp.splitter;
    share.percent =
        splitlayout::dragShare(x, gDrag.startX, clientSize(window).cx, gDrag.startShare, share.min, share.max);
    postRelayout(window);
}

void onButtonDown(HWND window, int x, int y) {
    if (!inZone(window, x, y)) return;
    SetCapture(window);
    SetCursor(sizingCursor());
    gDrag.dragging = true;
    gDrag.startX = x;
    gDrag.startShare = gApp.splitter.percent;
}

void onButtonUp(HWND window) {
    if (!gDrag.dragging) return;
    gDrag.dragging = false;  // first: releasing the capture reports back through WM_CAPTURECHANGED
    ReleaseCapture();
    postRelayout(window);
}

// Keeps the sizing cursor steady over the zone instead of flashing the class arrow.
bool setCursor(HWND window) {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(window, &pt);
    if (!gDrag.dragging && !inZone(window, pt.x, pt.y)) return false;
    SetCursor(sizingCursor());
    return true;
}

void widen() { splitlayout::widen(gApp.splitter); }

void narrow() { splitlayout::narrow(gApp.splitter); }

// A new main window starts unwidened, at the resting share.
void reset() {
    gDrag = Drag();
    splitlayout::narrow(gApp.splitter);
}

int restingPercent() { return splitlayout::restingPercent(gApp.splitter); }

bool isDragging() { return gDrag.dragging; }

}  // namespace splitter
