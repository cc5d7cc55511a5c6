#include <windows.h>
#include <commctrl.h>

#include "pagelist/PageListControl.h"

#include "pagelist/PageListRules.h"
#include "res/resource.h"
#include "ui/Dpi.h"
#include "ui/WideText.h"

namespace {

constexpr int IMAGE_SIZE = 16;

HTREEITEM handle(ItemHandle item) { return reinterpret_cast<HTREEITEM>(item); }
ItemHandle toItem(LRESULT result) { return static_cast<ItemHandle>(result); }

}  // namespace

HWND PageListControl::Create(HWND parent) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    window_ = CreateWindowExW(0, WC_TREEVIEWW, L"", STYLE, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(CONTROL_ID)), instance, nullptr);
    if (!window_) return nullptr;
    iconSize_ = dpi::scale(IMAGE_SIZE, dpi::ofWindow(parent));
    loadIcons();
    // The object rides in the window's user data: a property would cost a trip to the
    // window server on every message the list gets.
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassProc)));
    return window_;
}

// The icons hold pictures of 16, 24 and 32 pixels; other sizes are made from the nearest.
void PageListControl::loadIcons() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON icons[16];
    for (int i = 0; i < 16; ++i) {
        icons[i] = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(pagelist::IMAGE_ICONS[i]), IMAGE_ICON, iconSize_, iconSize_, 0));
    }
    BuildImageList(icons);
    for (HICON icon : icons) {
        if (icon) DestroyIcon(icon);  // the image list keeps its own copies
    }
}

void PageListControl::FollowDpi(int dpi) {
    if (!window_) return;
    HIMAGELIST old = imageList_;
    iconSize_ = dpi::scale(IMAGE_SIZE, dpi);
    loadIcons();
    if (old) ImageList_Destroy(old);  // the control has let go of it
    const int session = dpi::ofSystem();
    if (dpi == session && !font_) return;  // the control's own font is the session's
    LOGFONTW face{};
    if (!SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof face, &face, 0)) return;
    face.lfHeight = MulDiv(face.lfHeight, dpi, session);
    HFONT font = CreateFontIndirectW(&face);
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (font_) DeleteObject(font_);
    font_ = font;
}

void PageListControl::BuildImageList(const HICON icons[16]) {
    imageList_ = ImageList_Create(iconSize_, iconSize_, ILC_MASK | ILC_COLOR8, 16, 0);
    for (int i = 0; i < 16; ++i) ImageList_AddIcon(imageList_, icons[i]);
    SendMessageW(window_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(imageList_));
}

void PageListControl::RestoreWindowProc() {
    if (!window_ || !previousProc_) return;
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    previousProc_ = nullptr;
}

// The control frees its items one at a time, each in a time that grows with the
// items left, which makes a book of a hundred thousand pages take seconds to close.
void PageListControl::LetGoAtExit() {
    if (!window_) return;
    ShowWindow(window_, SW_HIDE);
    SetParent(window_, HWND_MESSAGE);
}

LRESULT CALLBACK PageListControl::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PageListControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            return self->onFocus(msg, wParam, lParam);
        case WM_KEYDOWN:
            return self->onKeyDown(wParam, lParam);
        case WM_CHAR:
            return self->onChar(wParam, lParam);
        default:
            return self->callPrevious(msg, wParam, lParam);
    }
}

LRESULT PageListControl::callPrevious(UINT msg, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(previousProc_, window_, msg, wParam, lParam);
}

// Focus widening (AutoView) is the main window's business; it hears of every change.
LRESULT PageListControl::onFocus(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (focusHook_) focusHook_(msg == WM_SETFOCUS);
    return callPrevious(msg, wParam, lParam);
}

// Delete deletes the selected page, once per key-down, auto-repeat included.
LRESULT PageListControl::onKeyDown(WPARAM wParam, LPARAM lParam) {
    if (wParam != VK_DELETE) return callPrevious(WM_KEYDOWN, wParam, lParam);
    SendMessageW(GetParent(window_), WM_COMMAND, IDM_DELETE_PAGE, 0);  // "ページの削除"
    return 0;
}

// Enter moves on to the page's text.
LRESULT PageListControl::onChar(WPARAM wParam, LPARAM lParam) {
    if (wParam != VK_RETURN) return callPrevious(WM_CHAR, wParam, lParam);
    if (enterTarget_) SetFocus(enterTarget_);
    return 0;
}

ItemHandle PageListControl::relative(ItemHandle item, UINT relation) const {
    if (!item || !window_) return 0;
    if (item == root()) {
        // the root pseudo-item has children (the top level) but no relatives
        if (relation != TVGN_CHILD) return 0;
        return toItem(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    }
    return toItem(SendMessageW(window_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(handle(item))));
}

ItemHandle PageListControl::Parent(ItemHandle item) const { return relative(item, TVGN_PARENT); }
ItemHandle PageListControl::FirstChild(ItemHandle item) const { return relative(item, TVGN_CHILD); }
ItemHandle PageListControl::NextSibling(ItemHandle item) const { return relative(item, TVGN_NEXT); }
ItemHandle PageListControl::PreviousSibling(ItemHandle item) const { return relative(item, TVGN_PREVIOUS); }

int PageListControl::ancestorCount(ItemHandle item) const {
    int count = 0;
    for (ItemHandle p = Parent(item); p; p = Parent(p)) ++count;
    return count;
}

ItemHandle PageListControl::GetSelection() const {
    if (!window_) return 0;
    return toItem(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void PageListControl::Select(ItemHandle item) {
    SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(handle(item)));
}

namespace {

// Pre-order successor of `item` that stays inside the subtree of `top` (0: the whole tree).
ItemHandle nextWithin(const PageListControl& list, ItemHandle item, ItemHandle top) {
    if (ItemHandle child = list.FirstChild(item)) return child;
    for (ItemHandle cur = item; cur && cur != top; cur = list.Parent(cur)) {
        if (ItemHandle sibling = list.NextSibling(cur)) return sibling;
    }
    return 0;
}

}  // namespace

ItemHandle PageListControl::NextInOrder(ItemHandle item) const {
    if (!item || item == root()) return 0;
    return nextWithin(*this, item, 0);
}

ItemHandle PageListControl::PreviousInOrder(ItemHandle item) const {
    if (!item || item == root()) return 0;
    ItemHandle prev = PreviousSibling(item);
    if (!prev) return Parent(item);
    // the previous sibling's deepest last descendant
    for (ItemHandle child = FirstChild(prev); child; child = FirstChild(prev)) {
        prev = child;
        for (ItemHandle next = NextSibling(prev); next; next = NextSibling(prev)) prev = next;
    }
    return prev;
}

int PageListControl::Depth(ItemHandle item) const {
    return ancestorCount(item) + ((GetWindowLongW(window_, GWL_STYLE) & TVS_HASBUTTONS) ? 1 : 0);
}

std::string PageListControl::GetTitle(ItemHandle item) const {
    wchar_t buffer[pagelist::TITLE_MAX_BYTES + 1] = {};  // a title has no more characters than bytes
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = handle(item);
    tv.pszText = buffer;
    tv.cchTextMax = pagelist::TITLE_MAX_BYTES + 1;
    if (!item || item == root() || !SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return std::string();
    return pagelist::cutTitle(wide::to932(buffer));
}

void PageListControl::SetTitle(ItemHandle item, const std::string& title) {
    if (!item || item == root()) return;
    std::wstring text = wide::from932(pagelist::cutTitle(title));
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = handle(item);
    tv.pszText = &text[0];
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

// The expanded state bit, not "is the first child the next visible item":
// that test fails for an open folder inside a closed one.
bool PageListControl::IsExpanded(ItemHandle item) const {
    if (!FirstChild(item) || item == root()) return false;
    LRESULT state = SendMessageW(window_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(handle(item)), TVIS_EXPANDED);
    return (state & TVIS_EXPANDED) != 0;
}

ItemImages PageListControl::GetImages(ItemHandle item) const {
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = handle(item);
    if (!item || item == root() || !SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return {0, 0};
    return {tv.iImage, tv.iSelectedImage};
}

ItemState PageListControl::GetState(ItemHandle item) const {
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_STATE;
    tv.hItem = handle(item);
    tv.stateMask = TVIS_EXPANDED;
    if (!item || item == root() || !SendMessageW(window_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv)))
        return {0, false};
    return {tv.iImage, (tv.state & TVIS_EXPANDED) != 0};
}

void PageListControl::SetImages(ItemHandle item, int image, int selected) {
    if (!item || item == root()) return;
    TVITEMW tv{};
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = handle(item);
    tv.iImage = image;
    tv.iSelectedImage = selected;
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    shadow_.setImage(item, image);
}

void PageListControl::Resize(int width, int height) {
    RECT r;
    GetWindowRect(window_, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window_), reinterpret_cast<POINT*>(&r), 2);
    MoveWindow(window_, r.left, r.top, width, height, TRUE);
}

ItemHandle PageListControl::InsertItem(const std::string& title, int image, ItemHandle parent, int selected,
                                       bool expanded) {
    return insert(title, image, parent, toItem(reinterpret_cast<LRESULT>(TVI_LAST)), selected, expanded);
}

ItemHandle PageListControl::InsertItemAfter(const std::string& title, int image, ItemHandle parent, ItemHandle after,
                                            int selected) {
    return insert(title, image, parent, after ? after : toItem(reinterpret_cast<LRESULT>(TVI_FIRST)), selected, false);
}

ItemHandle PageListControl::insert(const std::string& title, int image, ItemHandle parent, ItemHandle after,
                                   int selected, bool expanded) {
    // one conversion into a buffer on the stack: a load inserts every title of the book
    wchar_t text[pagelist::TITLE_MAX_BYTES + 1];
    const std::string cut = pagelist::cutTitle(title);
    const int units = cut.empty() ? 0
                                  : MultiByteToWideChar(932, 0, cut.data(), static_cast<int>(cut.size()), text,
                                                        pagelist::TITLE_MAX_BYTES);
    text[units > 0 ? units : 0] = L'\0';
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent ? handle(parent) : TVI_ROOT;
    ins.hInsertAfter = handle(after);
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = &text[0];
    if (image != -1) {
        ins.item.mask |= TVIF_IMAGE;
        ins.item.iImage = image;
    }
    if (selected != -1) {
        ins.item.mask |= TVIF_SELECTEDIMAGE;
        ins.item.iSelectedImage = selected;
    }
    if (expanded) {
        ins.item.mask |= TVIF_STATE;
        ins.item.state = ins.item.stateMask = TVIS_EXPANDED | TVIS_EXPANDEDONCE;
    }
    const ItemHandle item = toItem(SendMessageW(window_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    if (!item) return item;
    const TreeShadow::Item shadowParent = parent == root() ? 0 : parent;
    const int shadowImage = image == -1 ? 0 : image;
    if (ins.hInsertAfter == TVI_LAST)
        shadow_.insertLast(shadowParent, item, shadowImage);
    else
        shadow_.insertAfter(shadowParent, ins.hInsertAfter == TVI_FIRST ? 0 : after, item, shadowImage);
    return item;
}

std::vector<ItemMove> PageListControl::DeleteItem(ItemHandle item) {
    if (!item) return {};  // the control would read 0 as "everything"
    std::vector<ItemMove> gone = CollectSubtree(item);
    if (item == root())
        DeleteAll();
    else
        deleteOne(item);
    return gone;
}

void PageListControl::deleteOne(ItemHandle item) {
    SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(handle(item)));
    shadow_.remove(item);
}

void PageListControl::DeleteAll() {
    SendMessageW(window_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    shadow_.clear();
}

bool PageListControl::ShadowMatches() const {
    const LRESULT count = SendMessageW(window_, TVM_GETCOUNT, 0, 0);
    return count >= 0 && static_cast<std::size_t>(count) == shadow_.size() &&
           shadow_.firstRoot() == toItem(SendMessageW(window_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

void PageListControl::CommitLabelEdit(const TVITEMW& edited) {
    if (!edited.pszText) return;  // a cancelled edit keeps the old title
    std::wstring text = wide::from932(pagelist::cutTitle(wide::to932(edited.pszText)));
    TVITEMW tv = edited;
    tv.pszText = &text[0];
    SendMessageW(window_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
}

void PageListControl::Reveal(ItemHandle item) {
    if (!item || item == root()) return;
    SendMessageW(window_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(handle(item)));
    const int indent = static_cast<int>(SendMessageW(window_, TVM_GETINDENT, 0, 0));
    const int x = ancestorCount(item) * indent;
    // scrolling by message moves the content together with the thumb
    SendMessageW(window_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, x), 0);
    SetScrollPos(window_, SB_HORZ, x, TRUE);
}

std::vector<ItemMove> PageListControl::CollectSubtree(ItemHandle item) const {
    std::vector<ItemMove> out;
    for (const ItemLink& link : CollectSubtreeLinks(item)) out.push_back({link.item, 0});
    return out;
}

// Walks without recursion, so a deep tree cannot exhaust the stack.
std::vector<ItemLink> PageListControl::CollectSubtreeLinks(ItemHandle item) const {
    std::vector<ItemLink> out;
    if (!item || !window_) return out;
    out.push_back({item, Parent(item), FirstChild(item), 0});
    for (ItemHandle cur = FirstChild(item); cur; cur = nextWithin(*this, cur, item)) {
        out.push_back({cur, Parent(cur), FirstChild(cur), 0});
    }
    return out;
}

void PageListControl::SetLines(bool on) {
    LONG style = GetWindowLongW(window_, GWL_STYLE) | 0xF;
    if (!on) style ^= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
    SetWindowLongW(window_, GWL_STYLE, style);
    InvalidateRect(window_, nullptr, TRUE);
}

bool PageListControl::HasLines() const { return (GetWindowLongW(window_, GWL_STYLE) & TVS_HASLINES) != 0; }

void PageListControl::SetTextColour(COLORREF colour) { SendMessageW(window_, TVM_SETTEXTCOLOR, 0, colour); }

void PageListControl::SetBackColour(COLORREF colour) { SendMessageW(window_, TVM_SETBKCOLOR, 0, colour); }
