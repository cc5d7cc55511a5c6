#include <windows.h>
#include <commctrl.h>
#include <imm.h>
#include <richedit.h>
#include <shellapi.h>
#include <windowsx.h>

#include "app/MainFrame.h"

#include "app/AppState.h"
#include "app/Commands.h"
#include "app/Lifecycle.h"
#include "app/MainControls.h"
#include "app/MenuState.h"
#include "app/PageDisplay.h"
#include "app/PageDrop.h"
#include "app/SplitLayout.h"
#include "app/Splitter.h"
#include "app/Toolbar.h"
#include "ui/Dpi.h"

namespace mainframe {
namespace {

bool autoView() { return gApp.ini.window.AutoView; }

// WM_DROPFILES: files dropped on the window become pages.
void filesDropped(HWND window, HDROP drop) { importexport::filesDropped(window, drop, commands::ioShell()); }

// ---- Creation steps

// The page list is wider while it (or its title editor) has the focus.
void pageListFocusChanged(bool gained) {
    if (!autoView() || !gApp.mainWindow) return;
    if (gained)
        splitter::widen();
    else
        splitter::narrow();
    splitter::sendRelayout(gApp.mainWindow);
}

void createPageList(HWND window) {
    PageListControl& list = gControls.pageList;
    if (!list.Create(window)) return;
    SetWindowPos(list.window(), nullptr, splitlayout::MARGIN, toolbar::height(gControls.toolbar), 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    list.setFocusHook(pageListFocusChanged);
}

void createMemoEditor(HWND window) {
    MemoEditor& memo = gControls.memo;
    memo.setCustomColours(&gApp.customColours);
    HWND edit = memo.Create(window);
    if (!edit) return;
    gControls.pageList.setEnterTarget(edit);
    const LRESULT events = SendMessageW(edit, EM_GETEVENTMASK, 0, 0);
    // ENM_CHANGE: the program's own change flag learns of every change of the text
    SendMessageW(edit, EM_SETEVENTMASK, 0, events | ENM_LINK | ENM_CHANGE);
    const LRESULT lang = SendMessageW(edit, EM_GETLANGOPTIONS, 0, 0);
    SendMessageW(edit, EM_SETLANGOPTIONS, 0, lang & ~IMF_DUALFONT);
}

// The input method's state of the last run, when one was saved.
void restoreInputMethod() {
    const IniSettings::Ime& ime = gApp.ini.ime;
    if (ime.Conversion == IME_NOT_SAVED && ime.Sentence == IME_NOT_SAVED) return;
    HWND edit = gControls.memo.window();
    HIMC context = edit ? ImmGetContext(edit) : nullptr;
    if (!context) return;
    ImmSetOpenStatus(context, ime.OnOff ? TRUE : FALSE);
    ImmSetConversionStatus(context, static_cast<DWORD>(ime.Conversion), static_cast<DWORD>(ime.Sentence));
    ImmReleaseContext(edit, context);
}

LRESULT onPageListNotify(HWND window, const NMHDR& header) {
    switch (header.code) {
        case TVN_SELCHANGEDW:
            pagedisplay::onSelectionChanged(reinterpret_cast<const NMTREEVIEWW&>(header));
            return 0;
        case TVN_BEGINDRAGW:
            pagedrop::begin(window, reinterpret_cast<const NMTREEVIEWW&>(header));
            return 0;
        case TVN_BEGINLABELEDITW:
            if (autoView()) {
                // the focus goes to the editor (the list narrows), then the list is widened for the edit
                SetFocus(window);
                splitter::widen();
                splitter::postRelayout(window);
            }
            return 0;  // the edit is always allowed
        case TVN_ENDLABELEDITW:
            pagedisplay::onTitleEdited(reinterpret_cast<const NMTVDISPINFOW&>(header));
            if (autoView()) {
                splitter::narrow();
                splitter::postRelayout(window);
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace

void createChildren(HWND window) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    splitter::reset();
    gControls.dpi = dpi::ofWindow(window);
    const toolbar::Toolbar bar = toolbar::create(window, gControls.dpi);
    gControls.toolbar = bar.window;
    gControls.tooltip = bar.tooltip;
    createPageList(window);
    createMemoEditor(window);
    restoreInputMethod();
}

void finishCreation(HWND window) {
    DragAcceptFiles(window, TRUE);
    if (gControls.pageList.window()) SetFocus(gControls.pageList.window());
}

LRESULT onSize(HWND window, WPARAM sizeType, LPARAM size) {
    splitter::layout(window, sizeType, GET_X_LPARAM(size), GET_Y_LPARAM(size));
    return 0;
}

LRESULT onSetFocus(HWND) {
    if (gControls.memo.window()) SetFocus(gControls.memo.window());
    return 0;
}

LRESULT onGetMinMaxInfo(LPARAM info) {
    auto* mmi = reinterpret_cast<MINMAXINFO*>(info);
    const int smallest = dpi::scale(splitlayout::MIN_TRACK_SIZE, maincontrols::dpi());
    mmi->ptMinTrackSize.x = smallest;
    mmi->ptMinTrackSize.y = smallest;
    return 0;
}

LRESULT onNotify(HWND window, LPARAM header) {
    const NMHDR& h = *reinterpret_cast<const NMHDR*>(header);
    if (h.idFrom == static_cast<UINT_PTR>(PageListControl::CONTROL_ID)) return onPageListNotify(window, h);
    if (h.idFrom == static_cast<UINT_PTR>(MemoEditor::CONTROL_ID) && h.code == EN_LINK)
        pagedisplay::openLink(reinterpret_cast<const ENLINK&>(h));
    return 0;
}

LRESULT onContextMenu(HWND window, WPARAM wParam, LPARAM lParam) {
    menustate::showContextMenu(window, reinterpret_cast<HWND>(wParam), lParam);
    return 0;
}

LRESULT onInitMenuPopup(HWND window, WPARAM menu, LPARAM) {
    (void)menu;
    menustate::updateMenu(window);
    return 0;
}

LRESULT onMouseMove(HWND window, LPARAM point) {
    pagedrop::track(window, point);
    splitter::onMouseMove(window, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    return 0;
}

LRESULT onLButtonDown(HWND window, LPARAM point) {
    splitter::onButtonDown(window, GET_X_LPARAM(point), GET_Y_LPARAM(point));
    return 0;
}

LRESULT onLButtonUp(HWND window, LPARAM) {
    splitter::onButtonUp(window);
    pagedrop::end(window);
    return 0;
}

// Losing the capture to another window (Alt+Tab, a message box, a menu) ends the
// splitter's drag, and ends a page drag without a move.
LRESULT onCaptureChanged(HWND window, LPARAM newCapture) {
    if (reinterpret_cast<HWND>(newCapture) == window) return 0;
    if (splitter::isDragging()) splitter::onButtonUp(window);
    pagedrop::cancel(window);
    return 0;
}

LRESULT onCancelMode(HWND window) {
    pagedrop::cancel(window);
    return 0;
}

bool onSetCursor(HWND window, WPARAM cursorWindow, LPARAM hitTest) {
    if (reinterpret_cast<HWND>(cursorWindow) != window || LOWORD(hitTest) != HTCLIENT) return false;
    return splitter::setCursor(window);
}

LRESULT onDropFiles(HWND window, WPARAM drop) {
    filesDropped(window, reinterpret_cast<HDROP>(drop));
    DragFinish(reinterpret_cast<HDROP>(drop));
    return 0;
}

}  // namespace mainframe
