#include <windows.h>
#include <commctrl.h>

#include "app/Toolbar.h"

#include "res/resource.h"
#include "ui/Dpi.h"

namespace toolbar {

const ButtonSpec BUTTONS[BUTTON_COUNT] = {
    {0, IDM_ADD_PAGE, false, IDS_TIP_ADD_PAGE},
    {1, IDM_ADD_FOLDER, false, IDS_TIP_ADD_FOLDER},
    {2, IDM_EDIT_TITLE, false, IDS_TIP_EDIT_TITLE},
    {3, IDM_DELETE_PAGE, false, IDS_TIP_DELETE},
    {I_IMAGENONE, BLANK_ID, false, 0},
    {4, IDM_ALWAYS_ON_TOP, true, IDS_TIP_TOPMOST},
    {I_IMAGENONE, BLANK_ID, false, 0},
    {5, IDM_TEXT_COLOUR, false, IDS_TIP_TEXT_COLOUR},
    {6, IDM_FONT, false, IDS_TIP_FONT},
};

namespace {

// The images of the toolbar there is; one toolbar lives at a time, and a new one (a new
// main window, or another display scale) frees the last one's.
HBITMAP gImages = nullptr;

// Bitmap 134 at the display's scale. The button-face grey is mapped to the system's
// first, as the toolbar does for a bitmap it loads itself, so that it stays see-through.
// Whole multiples are drawn pixel for pixel; other scales are smoothed.
HBITMAP scaledImages(HINSTANCE instance, int dpi) {
    HBITMAP source = CreateMappedBitmap(instance, IDB_TOOLBAR, 0, nullptr, 0);
    if (!source || dpi == dpi::BASE) return source;
    BITMAP info{};
    GetObjectW(source, sizeof info, &info);
    const int width = IMAGE_COUNT * imageWidth(dpi);
    const int height = imageHeight(dpi);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, dpi % dpi::BASE == 0 ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(source);
    return scaled;
}

void addButtons(HWND bar, HINSTANCE instance, int dpi) {
    HBITMAP images = scaledImages(instance, dpi);
    TBADDBITMAP bitmap{nullptr, reinterpret_cast<UINT_PTR>(images)};
    SendMessageW(bar, TB_ADDBITMAP, IMAGE_COUNT, reinterpret_cast<LPARAM>(&bitmap));
    if (gImages) DeleteObject(gImages);
    gImages = images;
    TBBUTTON buttons[BUTTON_COUNT] = {};
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        const ButtonSpec& spec = BUTTONS[i];
        buttons[i].iBitmap = spec.image;
        buttons[i].idCommand = spec.command;
        buttons[i].fsState = spec.command == BLANK_ID ? TBSTATE_INDETERMINATE : TBSTATE_ENABLED;
        buttons[i].fsStyle = spec.check ? BTNS_CHECK : BTNS_BUTTON;
    }
    SendMessageW(bar, TB_ADDBUTTONSW, BUTTON_COUNT, reinterpret_cast<LPARAM>(buttons));
}

// Each tip covers its button's rectangle; the tooltip subclasses the toolbar to see the mouse.
HWND addToolbarTips(HWND bar, HINSTANCE instance) {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, bar, nullptr, instance, nullptr);
    if (!tip) return nullptr;
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        if (!BUTTONS[i].tipString) continue;
        TTTOOLINFOW info{};
        info.cbSize = TTTOOLINFOW_V2_SIZE;
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = bar;
        info.uId = static_cast<UINT_PTR>(BUTTONS[i].command);
        SendMessageW(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&info.rect));
        info.hinst = instance;
        info.lpszText = MAKEINTRESOURCEW(BUTTONS[i].tipString);
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
    SendMessageW(bar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tip), 0);
    return tip;
}

}  // namespace

int imageWidth(int dpi) { return dpi::scale(IMAGE_WIDTH, dpi); }

int imageHeight(int dpi) { return dpi::scale(IMAGE_HEIGHT, dpi); }

Toolbar create(HWND parent, int dpi) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    const int width = imageWidth(dpi);
    const int height = imageHeight(dpi);
    Toolbar tb;
    tb.window = CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | CCS_TOP, CONTROL_ID,
                                0, nullptr, 0, nullptr, 0, width, height, width, height, sizeof(TBBUTTON));
    if (!tb.window) return tb;
    addButtons(tb.window, instance, dpi);
    tb.tooltip = addToolbarTips(tb.window, instance);
    SendMessageW(tb.window, TB_AUTOSIZE, 0, 0);
    return tb;
}

int height(HWND toolbar) {
    RECT r{};
    if (toolbar) GetWindowRect(toolbar, &r);
    return r.bottom - r.top;
}

}  // namespace toolbar
