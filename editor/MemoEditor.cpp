#include <windows.h>
#include <imm.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "editor/MemoEditor.h"

#include "editor/Clipboard.h"
#include "editor/EditorMessages.h"
#include "editor/RtfStream.h"
#include "editor/Twips.h"
#include "settings/CommonDialogs.h"
#include "store/Cp932.h"
#include "ui/Busy.h"
#include "ui/WideText.h"

namespace {

const wchar_t PROP_THIS[] = L"MYRE_THIS";
const char DEFAULT_FACE[] = "ＭＳ ゴシック";
constexpr int LEFT_MARGIN = 6;   // pixels at 96 dots per inch, in the low word of the margins
constexpr int RIGHT_MARGIN = 3;  // and in the high word
constexpr BYTE SHIFTJIS = 128;

// Control characters that Ctrl+C, Ctrl+X and Ctrl+V type.
constexpr WPARAM CHAR_CTRL_C = 0x03;
constexpr WPARAM CHAR_CTRL_X = 0x18;
constexpr WPARAM CHAR_CTRL_V = 0x16;

// Face names are kept in code page 932, as the book stores them, and cut as they always were.
void copyFace(wchar_t (&dst)[LF_FACESIZE], const std::string& face) {
    const std::wstring cut = wide::from932(cp932::cutAt(face, LF_FACESIZE - 1));
    const std::size_t n = cut.size() < LF_FACESIZE - 1 ? cut.size() : LF_FACESIZE - 1;
    std::memcpy(dst, cut.c_str(), n * sizeof(wchar_t));
    dst[n] = L'\0';
}

std::string faceOf(const wchar_t (&face)[LF_FACESIZE]) { return wide::to932(std::wstring(face, wcsnlen(face, LF_FACESIZE))); }

// The clipboard steps of cut, copy and paste: copy as text and paste as text.
bool copyAsTextStep(MemoEditor& editor) { return clipboard::CopyAsTextStep(editor.copyAsText); }
bool pasteStep(MemoEditor& editor) {
    return clipboard::PasteStep(editor.window(), editor.originalProc(), editor.pasteAsText);
}

}  // namespace

MemoEditor::MemoEditor() {
    library_ = LoadLibraryW(L"RICHED20.DLL");
    setClipboardSteps(copyAsTextStep, pasteStep);
}

HWND MemoEditor::Create(HWND parent) {
    window_ =
        CreateWindowExW(0, L"RichEdit20W", L"", STYLE, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(CONTROL_ID)), GetModuleHandleW(nullptr), nullptr);
    if (!window_) return nullptr;

    HDC dc = GetDC(window_);
    pixelsPerInch_ = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window_, dc);
    if (pixelsPerInch_ <= 0) pixelsPerInch_ = 96;

    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET;
    cf.yHeight = twips::fromPixels(DEFAULT_PIXELS, pixelsPerInch_);
    cf.crTextColor = 0;
    cf.bCharSet = SHIFTJIS;
    copyFace(cf.szFaceName, DEFAULT_FACE);
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));

    PARAFORMAT2 pf{};
    pf.cbSize = sizeof(pf);
    pf.dwMask = PFM_LINESPACING;
    pf.bLineSpacingRule = 0;
    pf.dyLineSpacing = 10;
    SendMessageW(window_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
    const LPARAM margins = MAKELONG(MulDiv(LEFT_MARGIN, pixelsPerInch_, 96), MulDiv(RIGHT_MARGIN, pixelsPerInch_, 96));
    SendMessageW(window_, EM_SETMARGINS, EC_LEFTMARGIN, margins);
    SendMessageW(window_, EM_SETMARGINS, EC_RIGHTMARGIN, margins);

    // The subclass reads the property's address from the user data: reading a
    // property is a trip to the window server on every message, keys included.
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    SetPropW(window_, PROP_THIS, this);
    return window_;
}

HWND MemoEditor::Renew() {
    HWND old = window_;
    if (!old) return nullptr;
    HWND parent = GetParent(old);
    RECT place;
    GetWindowRect(old, &place);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&place), 2);
    const bool focused = GetFocus() == old;
    CHARFORMAT2W font{};
    font.cbSize = sizeof(font);
    SendMessageW(old, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&font));
    const LRESULT events = SendMessageW(old, EM_GETEVENTMASK, 0, 0);
    const LRESULT lang = SendMessageW(old, EM_GETLANGOPTIONS, 0, 0);
    const LRESULT limit = SendMessageW(old, EM_GETLIMITTEXT, 0, 0);
    const WNDPROC oldProc = previousProc_;
    if (!Create(parent)) {  // the old control stays, subclass and all
        window_ = old;
        previousProc_ = oldProc;
        return old;
    }
    SetWindowPos(window_, old, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOACTIVATE);
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&font));
    SendMessageW(window_, EM_SETEVENTMASK, 0, events);
    SendMessageW(window_, EM_SETLANGOPTIONS, 0, lang);
    SendMessageW(window_, EM_EXLIMITTEXT, 0, limit);
    SetNoWrap(noWrap);
    SetUrlDetection(urlDetection);
    if (hasBackColour_) SetBackColour(backColour_);
    if (locked) SendMessageW(window_, EM_SETREADONLY, TRUE, 0);
    // the old control goes without the subclass, which now serves the new one
    SetWindowLongPtrW(old, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
    SetWindowLongPtrW(old, GWLP_USERDATA, 0);
    RemovePropW(old, PROP_THIS);
    DestroyWindow(old);
    if (focused) SetFocus(window_);
    return window_;
}

void MemoEditor::Resize(int width, int height) {
    RECT r;
    GetWindowRect(window_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window_), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(window_, r.left, r.top, width, height, TRUE);
}

void MemoEditor::SetNoWrap(bool flag) {
    noWrap = flag;
    SendMessageW(window_, EM_SETTARGETDEVICE, 0, flag ? 1 : 0);
}

void MemoEditor::SetUrlDetection(bool on) {
    urlDetection = on;
    SendMessageW(window_, EM_AUTOURLDETECT, on ? TRUE : FALSE, 0);
}

void MemoEditor::SetDefaultFont(const std::string& face, int pixels, COLORREF colour) {
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof(cf);
    SendMessageW(window_, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    cf.dwMask |= CFM_FACE | CFM_SIZE | CFM_COLOR;
    cf.dwEffects &= ~CFE_AUTOCOLOR;  // an automatic colour would hide the one given
    copyFace(cf.szFaceName, face);
    cf.yHeight = twips::fromPixels(std::abs(pixels), pixelsPerInch_);
    cf.crTextColor = colour;
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

void MemoEditor::SetBackColour(COLORREF colour) {
    backColour_ = colour;
    hasBackColour_ = true;
    SendMessageW(window_, EM_SETBKGNDCOLOR, 0, colour);
}

void MemoEditor::SetTextLimit(int characters) { SendMessageW(window_, EM_EXLIMITTEXT, 0, characters); }

CHARFORMATW MemoEditor::selectionFormat() const {
    CHARFORMATW cf{};
    cf.cbSize = sizeof(cf);
    SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

void MemoEditor::applyToSelection(CHARFORMATW& format) {
    format.cbSize = sizeof(format);
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    // a new format is a change of the page, even where the control does not say so
    SendMessageW(window_, EM_SETMODIFY, TRUE, 0);
}

void MemoEditor::SetSelectionColour(COLORREF colour) {
    CHARFORMATW cf = selectionFormat();
    cf.dwMask |= CFM_COLOR;
    cf.dwEffects &= ~CFE_AUTOCOLOR;
    cf.crTextColor = colour;
    applyToSelection(cf);
}

void MemoEditor::SetSelectionFont(const std::string& face, int pixels) {
    CHARFORMATW cf = selectionFormat();
    cf.dwMask |= CFM_SIZE | CFM_FACE;
    cf.yHeight = twips::fromPixels(pixels, pixelsPerInch_);
    copyFace(cf.szFaceName, face);
    applyToSelection(cf);
}

void MemoEditor::SetSelectionFace(const std::string& face) {
    CHARFORMATW cf = selectionFormat();
    cf.dwMask = CFM_FACE;
    copyFace(cf.szFaceName, face);
    applyToSelection(cf);
}

void MemoEditor::SetSelectionSize(int pixels) {
    CHARFORMATW cf = selectionFormat();
    cf.dwMask = CFM_SIZE;
    cf.yHeight = twips::fromPixels(pixels, pixelsPerInch_);
    applyToSelection(cf);
}

// Follows the effect bit the control reports; for a mixed selection that is its own choice.
void MemoEditor::toggleEffect(DWORD effect) {
    CHARFORMATW cf = selectionFormat();
    const bool on = (cf.dwEffects & effect) != 0;
    cf.dwMask = effect;
    cf.dwEffects = on ? 0 : effect;
    applyToSelection(cf);
}

void MemoEditor::ToggleBold() { toggleEffect(CFE_BOLD); }
void MemoEditor::ToggleItalic() { toggleEffect(CFE_ITALIC); }
void MemoEditor::ToggleStrikeOut() { toggleEffect(CFE_STRIKEOUT); }
void MemoEditor::ToggleUnderline() { toggleEffect(CFE_UNDERLINE); }

void MemoEditor::ChooseSelectionColour() {
    COLORREF colour = selectionFormat().crTextColor;
    if (!dialogs::chooseColourRecent(window_, colour, customColours())) return;
    lastColour = colour;
    SetSelectionColour(colour);
}

void MemoEditor::ChooseSelectionFace() {
    std::string face = faceOf(selectionFormat().szFaceName);
    if (!dialogs::chooseFontName(window_, face) || face.empty()) return;
    SetSelectionFace(face);
}

void MemoEditor::ChooseSelectionSize() {
    // the dialog gets a character height, which is what the control's size means
    int height = -twips::toPixels(selectionFormat().yHeight, pixelsPerInch_);
    if (!dialogs::chooseFontSize(window_, height) || height == 0) return;
    SetSelectionSize(std::abs(height));
}

void MemoEditor::ChooseSelectionFont() {
    CHARFORMATW cf = selectionFormat();
    dialogs::StyledFont font;
    font.face = faceOf(cf.szFaceName);
    font.height = -twips::toPixels(cf.yHeight, pixelsPerInch_);
    font.bold = (cf.dwEffects & CFE_BOLD) != 0;
    font.italic = (cf.dwEffects & CFE_ITALIC) != 0;
    font.underline = (cf.dwEffects & CFE_UNDERLINE) != 0;
    font.strikeOut = (cf.dwEffects & CFE_STRIKEOUT) != 0;
    if (!dialogs::chooseFontStyled(window_, font)) return;

    CHARFORMATW chosen{};
    chosen.cbSize = sizeof(chosen);
    chosen.dwMask = CFM_SIZE | CFM_FACE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    chosen.dwEffects = (font.bold ? CFE_BOLD : 0) | (font.italic ? CFE_ITALIC : 0) |
                       (font.underline ? CFE_UNDERLINE : 0) | (font.strikeOut ? CFE_STRIKEOUT : 0);
    chosen.yHeight = twips::fromPixels(std::abs(font.height), pixelsPerInch_);
    copyFace(chosen.szFaceName, font.face);
    lastFont = chosen;
    applyToSelection(chosen);
}

void MemoEditor::ApplyLastColour() { SetSelectionColour(lastColour); }

void MemoEditor::ApplyLastFont() {
    if (lastFont.cbSize == 0) return;  // the font dialog has not been used yet
    CHARFORMATW cf = lastFont;
    applyToSelection(cf);
}

void MemoEditor::SelectAll() { SendMessageW(window_, EM_SETSEL, 0, -1); }

POINT MemoEditor::GetScrollPosition() const { return {GetScrollPos(window_, SB_HORZ), GetScrollPos(window_, SB_VERT)}; }

void MemoEditor::SetScrollPosition(int horizontal, int vertical) {
    const WORD h = static_cast<WORD>(horizontal < 0 ? 0 : horizontal > 0xFFFF ? 0xFFFF : horizontal);
    const WORD v = static_cast<WORD>(vertical < 0 ? 0 : vertical > 0xFFFF ? 0xFFFF : vertical);
    // A bar already there is left alone: every scroll message redraws the bar.
    const POINT now = GetScrollPosition();
    if (now.y != v) {
        SendMessageW(window_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, v), 0);
        SendMessageW(window_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, v), 0);
        SendMessageW(window_, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    }
    if (now.x != h) {
        SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, h), 0);
        SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, h), 0);
        SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    }
}

std::wstring MemoEditor::GetSelectedFirstLine() const {
    CHARRANGE sel{};
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    const LONG length = sel.cpMax > sel.cpMin ? sel.cpMax - sel.cpMin : 0;
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, 0);
    SendMessageW(window_, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buffer.data()));
    std::wstring text(buffer.data());
    const size_t cr = text.find(L'\r');
    return cr == std::wstring::npos ? text : text.substr(0, cr);
}

void MemoEditor::setClipboardSteps(ClipboardStep copyAsText, ClipboardStep paste) {
    copyAsTextStep_ = copyAsText;
    pasteStep_ = paste;
}

LRESULT MemoEditor::callOriginal(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(previousProc_, window_, msg, wParam, lParam);
}

LRESULT CALLBACK MemoEditor::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MemoEditor*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_PASTE:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION: {
            // Some rich-edit versions raise their text limit to fit whatever is typed or
            // pasted; the limit stays the page's own.
            const LRESULT limit = self->callOriginal(EM_GETLIMITTEXT, 0, 0);
            const LRESULT result = self->onInput(msg, wParam, lParam);
            if (self->callOriginal(EM_GETLIMITTEXT, 0, 0) != limit) self->callOriginal(EM_EXLIMITTEXT, 0, limit);
            return result;
        }
        case WM_CUT:
        case WM_COPY:
            return self->onCopyOrCut(msg, wParam, lParam);
        default:
            return self->callOriginal(msg, wParam, lParam);
    }
}

LRESULT MemoEditor::onInput(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KEYDOWN:
            return onArrowKey(wParam, lParam);
        case WM_CHAR:
            return onCtrlChar(wParam, lParam);
        case WM_PASTE:
            return onPaste(wParam, lParam);
        case WM_IME_CHAR:
            return onImeChar(wParam, lParam);
        default:
            return onImeComposition(wParam, lParam);
    }
}

namespace {
// Ctrl+V alone (Ctrl+Shift+V pastes pages; Alt makes it another key).
bool isCtrlV(WPARAM key) {
    return key == 'V' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
}
}  // namespace

// At the edges of the text an arrow key that could only beep is swallowed.
LRESULT MemoEditor::onArrowKey(WPARAM key, LPARAM lParam) {
    // Shift+Insert pastes like Ctrl+V and the paste command: through the paste step
    if (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) return onPaste(0, 0);
    // Ctrl+V too, before the control pastes by itself: nothing of it is ever taken back
    if (isCtrlV(key)) return onPaste(0, 0);
    const bool arrow = key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
    if (arrow && arrowKeyStaysPut(key)) return 0;
    return callOriginal(WM_KEYDOWN, key, lParam);
}

bool MemoEditor::arrowKeyStaysPut(WPARAM key) const {
    CHARRANGE sel{};
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    if (sel.cpMin != sel.cpMax && !shift) return false;
    const LRESULT startLine = SendMessageW(window_, EM_EXLINEFROMCHAR, 0, sel.cpMin);
    const LRESULT endLine = SendMessageW(window_, EM_EXLINEFROMCHAR, 0, sel.cpMax);
    const LRESULT endLineStart = SendMessageW(window_, EM_LINEINDEX, endLine, 0);
    const bool endOnLastLine = SendMessageW(window_, EM_LINEINDEX, endLine + 1, 0) == -1;
    const LRESULT endLineLength = SendMessageW(window_, EM_LINELENGTH, endLineStart, 0);
    const bool endAtLineEnd = sel.cpMax >= endLineStart + endLineLength;
    switch (key) {
        case VK_LEFT:
            return sel.cpMin == 0;
        case VK_UP:
            return startLine == 0 && (!shift || sel.cpMin == 0);
        case VK_RIGHT:
            return endOnLastLine && endAtLineEnd;
        case VK_DOWN:
            return endOnLastLine && (!shift || endAtLineEnd);
        default:
            return false;
    }
}

// Ctrl+C and Ctrl+X: the control has already acted on the key-down; the
// clipboard step then adjusts what it did. Ctrl+V was pasted on its key-down.
LRESULT MemoEditor::onCtrlChar(WPARAM wParam, LPARAM lParam) {
    const bool typed = wParam >= 0x20 || wParam == '\r' || wParam == '\t';
    if (typed && !roomFor(1)) {
        MessageBeep(MB_OK);  // a full page takes no more typing
        return 0;
    }
    if (wParam == CHAR_CTRL_C || wParam == CHAR_CTRL_X) {
        if (copyAsTextStep_ && copyAsTextStep_(*this)) return 0;
    } else if (wParam == CHAR_CTRL_V) {
        return 0;  // the key-down pasted
    }
    return callOriginal(WM_CHAR, wParam, lParam);
}

LRESULT MemoEditor::onCopyOrCut(UINT msg, WPARAM wParam, LPARAM lParam) {
    callOriginal(msg, wParam, lParam);
    if (copyAsTextStep_) copyAsTextStep_(*this);
    return 0;
}

bool MemoEditor::IsReadOnly() const { return window_ && (GetWindowLongW(window_, GWL_STYLE) & ES_READONLY) != 0; }

LRESULT MemoEditor::onPaste(WPARAM wParam, LPARAM lParam) {
    if (IsReadOnly()) return 0;  // the paste steps write past the control's own read-only check
    if (!pasteFits()) return 0;
    if (pasteStep_ && pasteStep_(*this)) return 0;
    return callOriginal(WM_PASTE, wParam, lParam);
}

LRESULT MemoEditor::onImeChar(WPARAM wParam, LPARAM lParam) {
    if (!roomFor(1)) {
        MessageBeep(MB_OK);
        return 0;
    }
    return callOriginal(WM_IME_CHAR, wParam, lParam);
}

// A converted string that does not fit is dropped, as typing it would be.
LRESULT MemoEditor::onImeComposition(WPARAM wParam, LPARAM lParam) {
    if (lParam & GCS_RESULTSTR) {
        HIMC context = ImmGetContext(window_);
        const LONG bytes = context ? ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0) : 0;
        const bool fits = bytes <= 0 || roomFor(static_cast<std::size_t>(bytes) / sizeof(WCHAR));
        if (!fits) ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        if (context) ImmReleaseContext(window_, context);
        if (!fits) {
            MessageBeep(MB_OK);
            return 0;
        }
    }
    return callOriginal(WM_IME_COMPOSITION, wParam, lParam);
}

bool MemoEditor::roomFor(std::size_t characters) const {
    if (GetWindowLongW(window_, GWL_STYLE) & ES_READONLY) return true;  // the control refuses by itself
    CHARRANGE sel{};
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    const std::size_t selected = sel.cpMax > sel.cpMin ? static_cast<std::size_t>(sel.cpMax - sel.cpMin) : 0;
    const std::size_t held = rtfstream::CharacterCount(window_);
    const std::size_t kept = held > selected ? held - selected : 0;
    return kept + characters <= rtfstream::TextLimit(window_);
}

bool MemoEditor::pasteFits() {
    const std::size_t characters = clipboard::PasteCharacters(window_, pasteAsText);
    if (characters == 0 || roomFor(characters)) return true;
    char text[sizeof editormessages::PASTE_TOO_LONG_TEXT + 32];
    std::snprintf(text, sizeof text, editormessages::PASTE_TOO_LONG_TEXT,
                  static_cast<unsigned long>(rtfstream::TextLimit(window_)));
    const busy::Operation box;  // nothing else starts behind it (a search step selecting another page)
    wide::messageBox(GetAncestor(window_, GA_ROOT), text, editormessages::PASTE_TOO_LONG_CAPTION,
                MB_OK | MB_ICONEXCLAMATION);
    return false;
}
