// A page dragged in the page list as the main window sees it: the list's drag-begins
// notification with the button down, a move over the target, the release. Variants: the
// capture lost on the way (Alt+Tab), the release below the last item, a tick while dragging,
// Delete pressed while dragging (nothing else starts during a drag: the drop goes on).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "res/resource.h"
#include "soak/SoakDriver.h"

namespace soak {

namespace {

enum class DragVariant { Drop, LoseCapture, ReleaseBelow, TickWhileDragging, DeleteWhileDragging };

void setButtonDown(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// A point on the shown start of the item's label (a long title runs past the list's edge).
POINT labelPoint(HWND tree, HTREEITEM item) {
    RECT r = {};
    TreeView_GetItemRect(tree, item, &r, TRUE);
    RECT client = {};
    GetClientRect(tree, &client);
    return {std::min<LONG>(r.left + 6, client.right - 2), (r.top + r.bottom) / 2};
}

// A drag the program let go of before the release (the capture lost, a cancel) is told as such.
HWND watched = nullptr;  // the main window, while the button is down
std::string lost;
LRESULT CALLBACK watchCapture(int code, WPARAM sent, LPARAM call) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(call);
    if (code == HC_ACTION && m.hwnd == watched && lost.empty() &&
        (m.message == WM_CAPTURECHANGED || m.message == WM_CANCELMODE)) {
        char front[64] = "nothing";
        GetClassNameA(GetForegroundWindow(), front, sizeof front);
        lost = std::string(m.message == WM_CANCELMODE ? "a cancel, " : "the capture lost, ") + front + " in front";
    }
    return CallNextHookEx(nullptr, code, sent, call);
}

void mouseMove(HWND window, HWND tree, POINT inTree) {
    MapWindowPoints(tree, window, &inTree, 1);
    SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(inTree.x, inTree.y));
}

}  // namespace

void Driver::drag(const Action& action) {
    const std::uint32_t n = static_cast<std::uint32_t>(s_.book.nodes.size());
    const int dragged = static_cast<int>(action.b % n);
    const int target = static_cast<int>(action.c % n);
    DragVariant variant = static_cast<DragVariant>(action.a / 15 % 5);
    if (variant == DragVariant::DeleteWhileDragging && (journal_ || leftOut("drag-delete")))
        variant = DragVariant::Drop;
    now_.b = static_cast<std::uint32_t>(dragged);
    now_.c = static_cast<std::uint32_t>(target);
    const std::vector<HTREEITEM> all = items();
    if (all.size() != n) {
        fail("the page list has " + std::to_string(all.size()) + " items, the model " + std::to_string(n));
        return;
    }
    HWND list = tree();
    TreeView_EnsureVisible(list, all[dragged]);
    setButtonDown(true);
    NMTREEVIEWW info = {};
    info.hdr.hwndFrom = list;
    info.hdr.idFrom = IDC_PAGE_LIST;
    info.hdr.code = TVN_BEGINDRAGW;
    info.itemNew.mask = TVIF_HANDLE;
    info.itemNew.hItem = all[dragged];
    info.ptDrag = labelPoint(list, all[dragged]);
    SendMessageA(window_, WM_NOTIFY, IDC_PAGE_LIST, reinterpret_cast<LPARAM>(&info));
    // The drag selects its page first; a password asked for on the way is answered with a click,
    // which lets the button go: that drag never begins.
    const std::size_t dialogsBefore = expected_.size();
    if (s_.book.nodes[dragged].id != s_.selected) show(dragged, action.a);
    const bool begun = expected_.size() == dialogsBefore;
    if (begun && GetCapture() != window_)  // the drag image follows the pointer from here
        return fail(std::string("the drag did not begin (the button reads ") +
                    ((GetKeyState(VK_LBUTTON) & 0x8000) ? "down)" : "up)"));
    watched = begun && variant != DragVariant::LoseCapture ? window_ : nullptr;
    lost.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, watchCapture, nullptr, GetCurrentThreadId());
    TreeView_EnsureVisible(list, all[target]);  // the user scrolls the list while dragging
    testapp::pumpMessages();
    const POINT over = labelPoint(list, all[target]);
    // The drop goes where the pointer is: what the list has under it (under Wine the item
    // rectangles and the hit test can part after folders were closed and opened again).
    TVHITTESTINFO aim = {};
    aim.pt = over;
    const auto under = std::find(all.begin(), all.end(), TreeView_HitTest(list, &aim));
    const int hovered = under == all.end() ? -1 : static_cast<int>(under - all.begin());
    mouseMove(window_, list, over);
    if (variant == DragVariant::ReleaseBelow) {
        RECT client = {};
        GetClientRect(list, &client);
        TVHITTESTINFO hit = {};  // empty space above the bottom scroll zone, if the list ends before it
        hit.pt = {4, client.bottom - 25};
        if (!TreeView_HitTest(list, &hit)) mouseMove(window_, list, hit.pt);
    }
    if (std::getenv("QP_SOAK_TRACE") && hovered != target)
        std::printf("drag: aimed at %d, the list has %d there\n", target, hovered);
    if (variant == DragVariant::LoseCapture) ReleaseCapture();
    if (variant == DragVariant::DeleteWhileDragging && begun) command(IDM_DELETE_PAGE);  // Del, as the menu has it
    if (variant == DragVariant::TickWhileDragging) {
        tickNow();
        compareDataFile(s_.book, "saved by a tick while dragging");
    }
    testapp::pumpMessages();
    watched = nullptr;
    UnhookWindowsHookEx(hook);
    setButtonDown(false);
    SendMessageA(window_, WM_LBUTTONUP, 0, 0);
    testapp::pumpMessages();
    if (!lost.empty()) return fail("the drag ended before the release: " + lost);
    // the page in the editor stays there, with its undo history
    if (begun && hovered >= 0 && variant != DragVariant::LoseCapture) s_.book.moveBefore(dragged, hovered);
}

}  // namespace soak
